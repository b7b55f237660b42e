// Text entry and stepping in the band fields: a click selects the field and
// normalises its text, typed keys are filtered, Enter or leaving the field
// commits the text, arrows, spin buttons and the wheel step the value. The
// common band panel's text fields take the same keys and hand what is typed
// to the band field they stand for.

#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>

#include "editing/common_band_panel.h"
#include "editing/edit_pipeline.h"
#include "editing/editor_context.h"
#include "editing/param_writer.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/spin_buttons.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// A typed character a band field takes.
bool IsTypedKey(const QString& text) {
  return text.size() == 1 && IsValueChar(text.front());
}

// True when a band field discards the key: editing and navigation keys
// (Backspace, Delete, Tab, Home, End, Shift, ...) keep their behaviour; of
// the keys that type a character only those of a number pass.
bool DiscardsKey(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return false;
    default:
      return !key.text().isEmpty() && !IsTypedKey(key.text());
  }
}

}  // namespace

void EditPipeline::MusFreEdit1Click(QLineEdit* field, bool takeFocus) {
  if (KindOf(registry_.PrimaryControl(Tag(field))) != WidgetKind::TextField || !IsBandField(field)) return;
  editing_.EditClicked = true;
  if (takeFocus) field->setFocus(Qt::MouseFocusReason);
  editing_.CurrentEdit = field;
  editing_.LastGoodText = field->text();
  // Normalise the text and select the band; the value is stored, not sent.
  const int before = writer_->SuppressSend();
  writer_->SetSuppressSend(1);
  CommitEditText(kStepSet);
  writer_->SetSuppressSend(before);
}

bool EditPipeline::MusFreEdit1KeyPress(QLineEdit* field, const QKeyEvent& key) {
  editing_.CurrentEdit = field;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      MusFreEdit1Exit();
      return true;
    default:
      return DiscardsKey(key);
  }
}

void EditPipeline::MusFreEdit1KeyDown(int key) {
  if (editing_.CurrentEdit == nullptr || registry_.IsFiller(editing_.CurrentEdit)) return;
  if (key == Qt::Key_Up || key == Qt::Key_Right) CommitEditText(kStepUp);
  if (key == Qt::Key_Down || key == Qt::Key_Left) CommitEditText(kStepDown);
}

void EditPipeline::MusFreEdit1Exit() {
  QLineEdit* field = editing_.CurrentEdit;
  if (field == nullptr) return;
  if (field->text().isEmpty()) {
    field->setText(editing_.LastGoodText);
  } else {
    CommitEditText(kStepSet);
  }
}

void EditPipeline::MusFreUpDownBtn1Click(SpinButtons* spin, bool upRight) {
  QWidget* target = registry_.PrimaryControl(Tag(spin));
  if (auto* field = qobject_cast<QLineEdit*>(target); field != nullptr && IsBandField(field)) {
    // Focus first, so the field being left is committed as itself.
    field->setFocus(Qt::OtherFocusReason);
    editing_.CurrentEdit = field;
    CommitEditText(upRight ? kStepUp : kStepDown);
  } else if (auto* slider = qobject_cast<QSlider*>(target)) {
    slider->setValue(slider->value() + (upRight ? 1 : -1));
  }
}

void EditPipeline::ComEQFreEditClick(QLineEdit* field) {
  QLineEdit* own = editor_.BandPanel().BandFieldOf(field);
  if (own == nullptr || !IsBandField(own) || !own->isEnabled()) return;
  // The focus stays in the panel; the arrows, the spin buttons and the
  // wheel act on the band's own field, which is selected as by a click.
  editing_.EditClicked = true;
  editing_.CurrentEdit = own;
  editing_.LastGoodText = own->text();
  SelectBand(own, EqGroupOf(Tag(own)));
}

bool EditPipeline::ComEQFreEditKeyPress(QLineEdit* field, const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      CommitPanelField(field, kStepUp);
      return true;
    case Qt::Key_Down:
    case Qt::Key_Left:
      CommitPanelField(field, kStepDown);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      CommitPanelField(field, kStepSet);
      return true;
    default:
      return DiscardsKey(key);
  }
}

void EditPipeline::ComEQFreEditExit(QLineEdit* field) {
  // Only text the user changed is applied: the panel's own display (gain
  // with its unit) is not sent back when the field is merely passed through.
  if (field->isModified()) CommitPanelField(field, kStepSet);
}

void EditPipeline::CommitPanelField(QLineEdit* field, int stepMode) {
  CommonBandPanel& panel = editor_.BandPanel();
  QLineEdit* own = panel.BandFieldOf(field);
  if (own != nullptr && IsBandField(own) && own->isEnabled()) {
    // As if the text had been typed into the band's field: the same
    // filtering, table rounding, clamping and band frame.
    editing_.CurrentEdit = own;
    editing_.LastGoodText = own->text();
    own->setText(field->text());
    CommitEditText(stepMode);
  }
  // The stored values: the one just applied, or the band's value again
  // when the text could not be used.
  panel.ShowAgain();
}

bool EditPipeline::FormMouseWheel(int delta) {
  if (!editing_.EditClicked || delta == 0) return false;
  CommitEditText(delta > 0 ? kStepUp : kStepDown);
  return true;
}

}  // namespace dsp
