#include "system/mode_panel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

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

ModePanel::ModePanel(SystemServices& services) : services_(services) {
  box_ = services_.Find<QComboBox>("SysModeBox");
  name_ = services_.Find<QLineEdit>("PresetModeEdit");
  if (box_ != nullptr) {
    connect(box_, &QComboBox::currentIndexChanged, this, [this](int index) { SysModeBoxChange(index); });
  }
  if (name_ != nullptr) {
    // The processor codes a name one byte per character from space to 0x7F:
    // other characters cannot be stored, so they cannot be typed.
    name_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{20}-\\x{7F}]{0,%1}").arg(kModeNameLength)), name_));
  }
  if (auto* recall = services_.Find<QAbstractButton>("RecallModeBtn")) {
    connect(recall, &QAbstractButton::clicked, this, [this] { RecallModeBtnClick(); });
  }
  if (auto* save = services_.Find<QAbstractButton>("RzBmpButton138")) {
    connect(save, &QAbstractButton::clicked, this, [this] { SaveModeBtnClick(); });
  }
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
  if (services_.Ask(QStringLiteral("提示"),
                    QStringLiteral("模式切换为") + box_->itemText(slot) + QStringLiteral("?"),
                    QuestionButtons::YesNo) != Answer::Yes) {
    return;
  }
  // Linked and idle, the write goes out at once and its acknowledgement
  // reloads the processor's setting; not linked, it is only stored, like
  // every other change made while the processor is away.
  services_.editor.Pipeline().Writer().WriteParam(kRecallAddress, slot);
}

void ModePanel::SaveModeBtnClick() {
  if (services_.store.Param(kRightsAddress) != 1) {
    services_.Message("用户模式无法执行保存操作!");
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
    services_.Message("模式名称无效: 只能使用英文字母、数字、空格和符号, 最多20个字符!");
    return;
  }
  const QString question = QStringLiteral("保存当前模式为 %1-%2?").arg(slot + 1).arg(name);
  if (services_.Ask(QStringLiteral("提示"), question, QuestionButtons::YesNo) != Answer::Yes) return;
  // The link may have gone while the question was open; then nothing is
  // renamed and nothing waits for an acknowledgement.
  if (!services_.link.StartModeSave(slot, name.toStdString())) services_.Message(services_.NotReadyText());
}

}  // namespace dsp
