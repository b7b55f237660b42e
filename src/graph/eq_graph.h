#pragma once
// The EQ graph of the main window: builds the canvas (Image1), the band
// points, the value label, the "EQ PASS" label and the axis labels, draws
// the equaliser of a channel (DrawEq) and carries out what the drag state
// machine decides on mouse events: selecting band fields, stepping the Q,
// applying dragged steps through the edit pipeline, and redrawing after
// changes made elsewhere (the 15 ms graph timer).
//
// The canvas takes the keyboard focus. Its keys work on one point (the
// page's current band, or the filter point pressed last) and each is made
// as the mouse gesture it stands for: selecting a point is a click on it,
// an arrow a press, a one-step move and a release, Page Up/Down a right
// press, a one-step move to the side and a release.

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "editmodel/settings.h"
#include "eq/band_slots.h"
#include "eq/graph_drag.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace dsp {

class BandPoint;
class GraphImage;
class PointOverhang;
class EditorContext;

class EqGraph : public QObject {
  Q_OBJECT
 public:
  explicit EqGraph(EditorContext& editor);
  ~EqGraph() override;

  // Creates the graph's widgets: the canvas, points and labels inside
  // `area` (AdvPanel2), the axis labels in `panel` (AdvPanel1).
  void Build(QWidget* panel, QWidget* area);

  // Redraws the graph for one slot (0..16) or AllBands of a channel.
  void DrawEq(int band, int channel);
  // The graph timer: applies pending drag steps and redraws after changes
  // made elsewhere, while no point is held.
  void Timer1Timer();
  // Something for the timer to do: a drag step not yet applied or a change
  // not yet drawn. The timer runs only while this holds.
  bool HasWork() const;
  void ApplyPendingDrag();
  // Every band of the page shown, then its current band.
  void RedrawPage();

  // Mouse reactions (public so every path can be driven directly).
  void EP1MouseDown(BandPoint* point, Qt::MouseButton button, QPoint pos);
  void EP1MouseMove(BandPoint* point, QPoint pos);
  void EP1MouseUp(BandPoint* point, Qt::MouseButton button);
  void EP1MouseWheel(BandPoint* point, int delta);
  void Image1MouseMove(Qt::MouseButtons buttons, QPoint pos);
  void Image1MouseUp(Qt::MouseButton button);
  void EQlabelMouseUp();
  // A click on a band number label selects the band's frequency field.
  void MusEQPointLabel1Click(QLabel* label);
  // A key pressed while the canvas has the focus; true when it was used
  // (also when the locked pages or a held point refuse it).
  bool Image1KeyPress(int key, Qt::KeyboardModifiers modifiers);

  // The point the keys work on (0..16), -1 for none.
  int KeyPoint() const;
  // A point's name for the keyboard and assistive technology ("第3段").
  static QString PointName(int point);

  GraphImage* Image() const { return image_; }
  BandPoint* Point(int index) const;
  const BandSlots& Slots() const { return slots_; }
  const GraphDrag& Drag() const { return drag_; }
  // The curve's points of the last drawing.
  const std::vector<CurvePoint>& LastCurve() const { return lastCurve_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DragContext Context() const;
  // The address of field f (1 frequency, 2 gain, 3 Q) of band `band` of the
  // page shown, through the page's band number label; -1 without one.
  int BandFieldAddress(int band, int field) const;
  // The click reaction of a band text field, on the field at an address,
  // when it is a text field that can take the focus.
  bool SelectField(int address);
  void PlaceAxisLabels();
  void ShowValueLabel(const ValueLabel& label);
  // Redraws the band changed last when the change was not seen yet, or
  // `always`.
  void DrawLastChange(bool always);
  bool Shown(int point) const;
  // The shown point next to `from` in `direction` (+1, -1); -1 for none.
  int NeighbourPoint(int from, int direction) const;
  // A click on a point, as the keys select it.
  void ClickPoint(int point);
  // The key point moved `freqSteps` along the frequency and `gainSteps`
  // along the gain scale, as a left drag of one step moves it.
  void KeyDrag(int freqSteps, int gainSteps);
  // The key point's Q one step up (+1) or down (-1), as a right drag steps it.
  void KeyQStep(int direction);
  // The focus ring and the accessible description follow the key point.
  void ShowKeyPoint();
  // A press on a point opens one undo step; its release (on the point or
  // the canvas) applies what is pending and closes it.
  void OpenGesture();
  void CloseGesture();

  EditorContext& editor_;
  GraphImage* image_ = nullptr;
  QWidget* area_ = nullptr;
  std::array<BandPoint*, kBandPointCount> points_{};
  QLabel* valueLabel_ = nullptr;
  QLabel* passLabel_ = nullptr;
  PointOverhang* overhang_ = nullptr;
  std::vector<QLabel*> axisLabels_;
  BandSlots slots_;
  GraphDrag drag_;
  std::vector<CurvePoint> lastCurve_;
  // The other letter's curve of the A/B pair for a channel, or nothing
  // while it equals `current`; kept until the other setting, the channel,
  // the scene, the microphone group or the size change.
  const std::vector<CurvePoint>* GhostCurve(int channel, const std::vector<CurvePoint>& current);
  struct Ghost {
    bool valid = false;
    Settings other;
    int channel = -1, scene = 0, groupB = 0, width = 0, height = 0;
    std::vector<CurvePoint> curve;
  } ghost_;
  bool gestureOpen_ = false;
  // The point pressed last, by the mouse or the keys, with the page and its
  // current band at that time: it stays the key point while they stay.
  struct Pick {
    int point = -1;
    int page = -1;
    int band = -1;
  } pick_;
};

}  // namespace dsp
