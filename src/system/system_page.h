#pragma once
// The reactions of the system page that are not plain parameter widgets:
// the preset group and the device mode group (their own panels), the
// system password entry that unlocks the user/manager choice, the two
// password change groups, the keyboard-lock prompt and its unlock, and the
// digit-only key filter of every password field.

#include <QObject>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "system/system_services.h"

class QLineEdit;

namespace dsp {

class ModePanel;
class PresetPanel;

class SystemPage : public QObject {
  Q_OBJECT
 public:
  SystemPage(EditorContext& editor, ParamStore& store, DeviceLink& link, LinkView& view,
             std::filesystem::path presetFolder);
  ~SystemPage() override;

  SystemServices& Services() { return services_; }
  PresetPanel& Presets() { return *presets_; }
  ModePanel& Modes() { return *modes_; }

  // Start-up: the preset folder and the preset list.
  void PreparePresets();

  // ---- reactions ----
  // "确定" beside SysPassEdit.
  void SysPassOkBtnClick();
  // "确定" of the unlock prompt.
  void UnlockOkBtnClick();
  // The end of every refresh: after the first download of a connection with
  // the keyboard lock on, the pages lock until the lock password is given.
  void ShowLockPrompt();

  // One of the two password change groups: old, new, new again.
  struct ChangeGroup {
    std::array<QLineEdit*, 3> fields{};
    int length = 0;
    int command = 0;
    std::string ParamStore::*stored = nullptr;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The change check of a key press in a group's field, on the texts before
  // the key; true when it reset the group.
  bool PasswordChangeKey(ChangeGroup& group);
  void ResetGroup(ChangeGroup& group);
  void SetLocked(bool locked);

  SystemServices services_;
  std::unique_ptr<PresetPanel> presets_;
  std::unique_ptr<ModePanel> modes_;
  std::array<ChangeGroup, 2> groups_{};
  QLineEdit* sysPass_ = nullptr;
  QLineEdit* unlock_ = nullptr;
};

}  // namespace dsp
