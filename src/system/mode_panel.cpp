#include "system/mode_panel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>
#include <utility>

#include "editing/edit_pipeline.h"
#include "editing/param_writer.h"
#include "link/device_link.h"
#include "presets/device_modes.h"
#include "store/param_store.h"
#include "system/system_services.h"

namespace dsp {
namespace {

constexpr int kRecallAddress = 0x902;
constexpr int kRightsAddress = 0x90C;

}  // namespace

// The name box's rule: the processor codes one byte per character from
// space to 0x7F, so other characters cannot be stored and cannot be typed.
// The validator remembers whether its last refusal was for such a
// character, so that a refusal for the length alone (the box holds 20
// characters) is not explained as one for the alphabet.
class ModePanel::NameValidator : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int&) const override {
    refusedCharacter_ = false;
    for (const char32_t c : input.toUcs4()) {
      if (!IsModeNameCharacter(c)) {
        refusedCharacter_ = true;
        return Invalid;
      }
    }
    return input.size() <= kModeNameLength ? Acceptable : Invalid;
  }

  // True when the last validation refused a character; clears the mark.
  bool TakeRefusedCharacter() { return std::exchange(refusedCharacter_, false); }

 private:
  // Written by validate(), which the line edit calls as a const query.
  mutable bool refusedCharacter_ = false;
};

ModePanel::ModePanel(SystemServices& services) : services_(services) {
  box_ = services_.Find<QComboBox>("SysModeBox");
  name_ = services_.Find<QLineEdit>("PresetModeEdit");
  if (box_ != nullptr) {
    connect(box_, &QComboBox::currentIndexChanged, this, [this](int index) { SysModeBoxChange(index); });
  }
  if (name_ != nullptr) {
    validator_ = new NameValidator(name_);
    name_->setValidator(validator_);
    // Each refused key, input method text or paste says once why.
    connect(name_, &QLineEdit::inputRejected, this, [this] { PresetModeEditRejected(); });
  }
  ShowNameHint = [this](const QString& text) {
    if (name_ != nullptr) QToolTip::showText(name_->mapToGlobal(QPoint(0, name_->height())), text, name_);
  };
  if (auto* recall = services_.Find<QAbstractButton>("RecallModeBtn")) {
    connect(recall, &QAbstractButton::clicked, this, [this] { RecallModeBtnClick(); });
  }
  if (auto* save = services_.Find<QAbstractButton>("RzBmpButton138")) {
    connect(save, &QAbstractButton::clicked, this, [this] { SaveModeBtnClick(); });
  }
}

void ModePanel::PresetModeEditRejected() {
  if (validator_ == nullptr || !validator_->TakeRefusedCharacter()) return;
  if (ShowNameHint) ShowNameHint(tr("模式名称只能使用英文字母、数字和符号"));
}

int ModePanel::SelectedSlot() const {
  if (box_ == nullptr) return -1;
  const int index = box_->currentIndex();
  return index >= 0 && index < kModeCount ? index : -1;
}

void ModePanel::SysModeBoxChange(int index) {
  if (name_ == nullptr || box_ == nullptr || index < 0) return;
  name_->setText(QString::fromStdString(ModeNameFromEntry(index, box_->itemText(index).toStdString())));
}

void ModePanel::RecallModeBtnClick() {
  const int slot = SelectedSlot();
  if (slot < 0) return;
  if (services_.Ask(tr("提示"), tr("模式切换为%1?").arg(box_->itemText(slot)), QuestionButtons::YesNo) !=
      Answer::Yes) {
    return;
  }
  // Linked and idle, the write goes out at once and its acknowledgement
  // reloads the processor's setting; not linked, it is only stored, like
  // every other change made while the processor is away.
  services_.editor.Pipeline().Writer().WriteParam(kRecallAddress, slot);
}

void ModePanel::SaveModeBtnClick() {
  if (services_.store.Param(kRightsAddress) != 1) {
    services_.Message(tr("用户模式无法执行保存操作!"));
    return;
  }
  const int slot = SelectedSlot();
  if (slot < 0 || name_ == nullptr) return;
  if (!services_.Linked()) {
    services_.Message(services_.NotReadyText());
    return;
  }
  const QString name = name_->text();
  // The name box refuses other characters as they are typed; a name set
  // from elsewhere is checked here, before anything is asked or sent.
  if (!ModeNameSendable(name.toStdString())) {
    services_.Message(tr("模式名称无效: 只能使用英文字母、数字、空格和符号, 最多20个字符!"));
    return;
  }
  const QString question = tr("保存当前模式为 %1-%2?").arg(slot + 1).arg(name);
  if (services_.Ask(tr("提示"), question, QuestionButtons::YesNo) != Answer::Yes) return;
  // The link may have gone while the question was open; then nothing is
  // renamed and nothing waits for an acknowledgement.
  if (!services_.link.StartModeSave(slot, name.toStdString())) services_.Message(services_.NotReadyText());
}

}  // namespace dsp
