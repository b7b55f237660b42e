#pragma once
// The value edit pipeline and the click reactions of the picture buttons.
// edit_pipeline.cpp binds the reactions and holds the pipeline itself;
// text_entry.cpp, band_selection.cpp, control_reactions.cpp and
// operating_mode.cpp hold the reactions, one family each.
//
// Every change a user makes with a widget ends in ApplyValue: it turns the
// widget and a value into a clamped step, shows it in the widget and its
// partners, stores it, sends it (one parameter or one EQ band) and records
// it for the graph. The reactions are bound by data: one handler per widget
// kind, each finding its parameter through the widget's tag and the control
// registry. Re-entry between widgets that update each other is prevented by
// the flags of EditState (SliderSync, PanelRefreshing) and by the writer's
// SuppressSend.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QSlider;

namespace dsp {

class ControlRegistry;
class EditorContext;
class ParamStore;
class ParamWriter;
class PictureButton;
class SpinButtons;
struct EditState;

// Characters a band value may be typed with: digits, the sign and the point.
bool IsValueChar(QChar c);

// StepMode of ApplyValue and CommitEditText.
constexpr int kStepSet = 0;
constexpr int kStepUp = 1;
constexpr int kStepDown = 11;

class EditPipeline : public QObject {
  Q_OBJECT
 public:
  explicit EditPipeline(EditorContext& editor);
  ~EditPipeline() override;

  // The link's write side; nullptr returns to store-only writes.
  void SetWriter(ParamWriter* writer);
  ParamWriter& Writer() { return *writer_; }

  // Connects the reactions to every bound widget; run once the registry is
  // built. Binding twice does not connect twice.
  void Bind();

  // ---- the pipeline ----
  void CommitEditText(int stepMode);
  void ApplyValue(QWidget* widget, int stepMode, bool displayOnly, double x);
  int SelectBand(QWidget* widget, int group);
  // A text field that edits a band value: the primary widget of its own tag.
  bool IsBandField(const QWidget* widget) const;

  // ---- reactions, under the layout's handler names ----
  // `takeFocus` false leaves the keyboard focus where it is (the EQ graph
  // selecting a band while it has the focus).
  void MusFreEdit1Click(QLineEdit* field, bool takeFocus = true);
  // Returns true when the key is discarded.
  bool MusFreEdit1KeyPress(QLineEdit* field, const QKeyEvent& key);
  void MusFreEdit1KeyDown(int key);
  void MusFreEdit1Exit();
  void MusFreUpDownBtn1Click(SpinButtons* spin, bool upRight);
  // The common band panel's text fields, standing for the band fields of
  // the band the panel shows: a click makes that band's field the one the
  // arrows and the wheel step; Enter, leaving the field and the arrows apply
  // the typed text to the band's field as if it had been typed there.
  void ComEQFreEditClick(QLineEdit* field);
  // Returns true when the key is used up or discarded.
  bool ComEQFreEditKeyPress(QLineEdit* field, const QKeyEvent& key);
  void ComEQFreEditExit(QLineEdit* field);
  void MicHPFreBarChange(QSlider* slider);
  void MusEQGainBar1Change(QSlider* slider);
  void MusModeBox1Change(QComboBox* box);
  void MusPEQBtn1Click(QWidget* picture);
  void SubMusHPTypeChange(QComboBox* box);
  // Returns true when the wheel step was used.
  bool FormMouseWheel(int delta);

  void EchoEffPhaseBtnClick(PictureButton* button);
  void MainLmuteBtnClick(PictureButton* button);
  void MusEQAllpassBtnClick(PictureButton* button);
  void EQResetBtnClick();
  void SysMusInputLevelClick(PictureButton* button);
  void MicABtnClick(PictureButton* button);
  void AutoModeBtnClick(PictureButton* button);
  void SingModeBtnClick(PictureButton* button);
  // Enables or disables what automatic mode locks (value 0 automatic).
  void ApplyOperatingMode(int value);
  // The nine volume sliders of the system page and the title strip.
  void SysMusStartVolBarChange(QSlider* slider);

  // Every band of one equaliser (a channel) or of all of them (20) to its
  // default; a single channel is also sent. Then the panels are refreshed.
  void ResetEq(int which);

  // Message boxes ("error" for a band field without a role); replaceable so
  // tests never block on a modal box.
  std::function<void(const QString& text)> ShowMessage;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Opens an undo gesture while the slider's thumb is held.
  void BindSliderGesture(QSlider* slider);
  // The member `k` of the radio group of `tag` (fills RadioMembers).
  void FillRadioMembers(int tag);
  // True while EQ bypass and EQ reset are locked: the music page in automatic mode.
  bool EqButtonsLocked() const;
  void DrawEq(int band, int channel);
  int CurrentPageIndex() const;
  int CurrentChannel() const;
  void SetFrameColour(QWidget* field, const QColor& colour);
  bool PanelFieldEvent(QLineEdit* field, QEvent* event);
  // Applies the text of a common band panel field to the band's own field
  // (stepped by `stepMode`), then shows the band's stored values again.
  void CommitPanelField(QLineEdit* field, int stepMode);

  // The mouse wheel over the whole window, seen by an application-wide
  // filter of its own so that the field filter sees each event once.
  class WheelFilter : public QObject {
   public:
    explicit WheelFilter(EditPipeline& pipeline) : pipeline_(pipeline) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

   private:
    EditPipeline& pipeline_;
  };

  EditorContext& editor_;
  ControlRegistry& registry_;
  ParamStore& store_;
  EditState& editing_;
  std::unique_ptr<ParamWriter> storeOnly_;
  ParamWriter* writer_;
  bool bound_ = false;
  QSet<const QObject*> fields_;       // widgets that get the band field reactions
  QSet<const QObject*> panelFields_;  // the common band panel's text fields
  // The value each volume pane showed last: a current volume rises from it
  // by at most one step per change.
  QHash<const QWidget*, int> lastVolume_;
  std::unique_ptr<WheelFilter> wheel_;
};

}  // namespace dsp
