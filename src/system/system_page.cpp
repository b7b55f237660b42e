#include "system/system_page.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "editing/edit_session.h"
#include "editing/page_switcher.h"
#include "link/device_link.h"
#include "link/frames.h"
#include "link/link_view.h"
#include "panels/picture_button.h"
#include "panels/ui_text.h"
#include "presets/device_modes.h"
#include "store/param_store.h"
#include "system/mode_panel.h"
#include "system/preset_panel.h"

namespace dsp {
namespace {

constexpr int kKeyboardLockAddress = 0x90D;
constexpr int kSystemPage = 7;

// The character a key press types, as the password key filter sees it;
// 0 for keys that type nothing (arrows, Home, Shift, Tab, Delete, ...).
char32_t TypedCharacter(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Backspace:
      return U'\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return U'\r';
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
      return 0;  // focus moves and Delete edits, as in any field
    default:
      break;
  }
  const QString text = key.text();
  if (text.isEmpty()) return 0;
  return text.toUcs4().value(0, 0);
}

}  // namespace

bool SystemServices::Linked() const {
  return link.LinkState == 2;
}

QString SystemServices::NotReadyText() const {
  return link.Connected() ? QCoreApplication::translate("SystemServices", "设备忙,请稍后再试!")
                          : CoreText("Link", kNotLinkedText);
}

void SystemServices::Message(const QString& text) const {
  view.ShowMessage(text.toStdString());
}

Answer SystemServices::Ask(const QString& caption, const QString& text, QuestionButtons buttons,
                           const QuestionDetails& details) const {
  if (askDetailed) return askDetailed(caption, text, details, buttons);
  if (ask) return ask(caption, text, buttons);
  return AskWithMessageBox(&editor.Root(), caption, text, buttons, details);
}

SystemPage::SystemPage(EditorContext& editor, ParamStore& store, DeviceLink& link, LinkView& view,
                       std::filesystem::path presetFolder)
    : services_{editor, store, link, view, {}, {}, {}, {}} {
  presets_ = std::make_unique<PresetPanel>(services_, std::move(presetFolder));
  modes_ = std::make_unique<ModePanel>(services_);

  // The editing session keeps offline edits in the preset folder, tells
  // through the page's messages and asks whether the pages are locked.
  EditSession& session = editor.Session();
  session.SaveRecovery = [this](const Settings& settings) { return presets_->SaveRecovery(settings); };
  session.ShowMessage = [this](const QString& text) { services_.Message(text); };
  session.PagesLocked = [this] {
    const QWidget* prompt = services_.Find("FirstCheckGrop");
    return prompt != nullptr && !prompt->isHidden();
  };

  const char* names[2][3] = {{"SysPanelLabel1", "NewSysPassLabel1", "NewSysPassLabel2"},
                             {"PassPanelLabel1", "NewPassLabel1", "NewPassLabel2"}};
  groups_[0].length = kSystemPasswordLength;
  groups_[0].command = AddrSystemPassword;
  groups_[0].stored = &ParamStore::SystemPassword;
  groups_[1].length = kLockPasswordLength;
  groups_[1].command = AddrLockPassword;
  groups_[1].stored = &ParamStore::LockPassword;
  for (int g = 0; g < 2; ++g) {
    for (int i = 0; i < 3; ++i) groups_[g].fields[i] = services_.Find<QLineEdit>(names[g][i]);
  }
  sysPass_ = services_.Find<QLineEdit>("SysPassEdit");
  unlock_ = services_.Find<QLineEdit>("PanelPassWordEdit");

  // Every password field takes digits only: typed keys pass the key filter,
  // pasted text the validator.
  auto digitsOnly = [this](QLineEdit* field) {
    if (field == nullptr) return;
    field->installEventFilter(this);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
  };
  digitsOnly(sysPass_);
  digitsOnly(unlock_);
  for (ChangeGroup& group : groups_) {
    for (QLineEdit* field : group.fields) digitsOnly(field);
    ResetGroup(group);
  }

  if (auto* ok = services_.Find<QAbstractButton>("SysPassOkBtn")) {
    connect(ok, &QAbstractButton::clicked, this, [this] { SysPassOkBtnClick(); });
  }
  if (auto* ok = services_.Find<QAbstractButton>("UnlockOkBtn")) {
    connect(ok, &QAbstractButton::clicked, this, [this] { UnlockOkBtnClick(); });
  }
}

SystemPage::~SystemPage() {
  EditSession& session = services_.editor.Session();
  session.SaveRecovery = nullptr;
  session.ShowMessage = nullptr;
  session.PagesLocked = nullptr;
}

void SystemPage::PreparePresets() {
  presets_->PreparePresetFolders();
  presets_->RefreshPresetList();
}

bool SystemPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const char32_t typed = TypedCharacter(static_cast<const QKeyEvent&>(*event));
  // Keys that type nothing keep their editing and navigation.
  if (typed == 0) return false;
  bool reset = false;
  for (ChangeGroup& group : groups_) {
    if (std::find(group.fields.begin(), group.fields.end(), watched) != group.fields.end()) {
      reset = PasswordChangeKey(group);
    }
  }
  // A key that completed a change (normally Enter) is used up: the group
  // starts again with empty fields.
  return reset || !IsPasswordKey(typed);
}

bool SystemPage::PasswordChangeKey(ChangeGroup& group) {
  auto& [old, first, second] = group.fields;
  if (old == nullptr || first == nullptr || second == nullptr) return false;
  std::string& stored = services_.store.*group.stored;
  const std::string oldText = old->text().toStdString();
  const std::string firstText = first->text().toStdString();
  const std::string secondText = second->text().toStdString();
  const PasswordChangeStep step =
      CheckPasswordChange({oldText, firstText, secondText}, stored, group.length, services_.Linked());
  if (step.enableFirst) first->setEnabled(true);
  if (step.enableSecond) second->setEnabled(true);
  switch (step.outcome) {
    case PasswordChangeStep::Outcome::Ignored:
    case PasswordChangeStep::Outcome::Waiting:
      return false;
    case PasswordChangeStep::Outcome::Changed:
      stored = firstText;
      if (services_.sendText) services_.sendText(group.command, firstText);
      break;
    case PasswordChangeStep::Outcome::Mismatch:
      services_.Message(tr("密码不一致!"));
      break;
    case PasswordChangeStep::Outcome::Unchanged:
      break;
  }
  ResetGroup(group);
  return true;
}

void SystemPage::ResetGroup(ChangeGroup& group) {
  for (int i = 0; i < 3; ++i) {
    QLineEdit* field = group.fields[static_cast<std::size_t>(i)];
    if (field == nullptr) continue;
    field->clear();
    if (i > 0) field->setEnabled(false);
  }
}

void SystemPage::SysPassOkBtnClick() {
  if (sysPass_ == nullptr) return;
  const std::string entered = sysPass_->text().toStdString();
  sysPass_->clear();
  if (!PasswordAccepted(entered, services_.store.SystemPassword, kSystemPasswordLength)) {
    services_.Message(tr("密码错误!"));
    return;
  }
  if (!services_.Linked()) return;
  if (QWidget* rights = services_.Find("SysUserMangerGrop")) rights->setEnabled(true);
  if (services_.sendText) services_.sendText(AddrSystemPassword, entered);
}

void SystemPage::SetLocked(bool locked) {
  // The mouse wheel steps the band field clicked last wherever the pointer
  // is over the window, the unlock group included: while the pages are
  // locked no field is stepped, and after the unlock a field must be
  // clicked again.
  if (locked) services_.editor.Editing().EditClicked = false;
  if (QWidget* group = services_.Find("FirstCheckGrop")) {
    group->setVisible(locked);
    if (locked) group->raise();
  }
  if (QWidget* strip = services_.Find("TopTileGrop")) strip->setEnabled(!locked);
  if (QWidget* pages = services_.Find("FormPageItem")) pages->setEnabled(!locked);
}

void SystemPage::ShowLockPrompt() {
  DeviceLink& link = services_.link;
  // Without a processor there is nothing to unlock (a preset loaded, an
  // undo, offline): the prompt waits for the next connection's download.
  if (!link.Connected() && !link.CompletingSequence()) return;
  if (link.FirstDownloadMarker != 1 || services_.store.Param(kKeyboardLockAddress) != 1) return;
  link.FirstDownloadMarker = 2;
  PictureButton* tab = services_.editor.Registry().PageTabs()[kSystemPage];
  if (tab != nullptr) services_.editor.Pages().FormTabBtn1Click(tab);
  SetLocked(true);
  if (unlock_ != nullptr) unlock_->setFocus(Qt::OtherFocusReason);
}

void SystemPage::UnlockOkBtnClick() {
  if (unlock_ == nullptr) return;
  const std::string entered = unlock_->text().toStdString();
  unlock_->clear();
  if (!PasswordAccepted(entered, services_.store.LockPassword, kLockPasswordLength)) return;
  SetLocked(false);
  services_.Message(tr("解锁成功"));
}

}  // namespace dsp
