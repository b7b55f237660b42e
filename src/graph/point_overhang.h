#pragma once
// The parts of the band points that stick out of the graph area. A point at
// +12 dB or -24 dB has its centre on the picture's edge, so half of it lies
// outside the graph area (AdvPanel2), which cannot show its children there.
// This widget lies in the panel around the area (AdvPanel1), masked to
// exactly those overhanging parts: it draws them and hands the mouse events
// made on them to their point, so a point at either edge is whole and can be
// taken anywhere. The points themselves, and the value mapping, stay as
// they are.

#include <QPointer>
#include <QWidget>
#include <vector>

namespace dsp {

class BandPoint;

class PointOverhang : public QWidget {
  Q_OBJECT
 public:
  // `area` is the graph area holding `points`; `panel` the panel around it.
  PointOverhang(QWidget* area, std::vector<BandPoint*> points, QWidget* panel);

  // Follows the area's geometry and the points' places and visibility;
  // runs by itself on their move, resize, show and hide events.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // A point's place in this widget's coordinates.
  QRect PointRect(const BandPoint* point) const;
  // The topmost shown point at a position, or nullptr.
  BandPoint* PointAt(const QPointF& pos) const;
  void Forward(QMouseEvent* event, BandPoint* point);

  QWidget* area_;
  std::vector<BandPoint*> points_;
  // The point a press on this widget went to, until its buttons are released.
  QPointer<BandPoint> held_;
};

}  // namespace dsp
