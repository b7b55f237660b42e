#pragma once
// The device mode group of the system page ("设备模式管理"): the mode list
// SysModeBox, the name box PresetModeEdit, recalling a stored mode and
// storing the current setting into a slot under a new name. The entry texts
// are in presets/device_modes.h.

#include <QObject>
#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;

namespace dsp {

struct SystemServices;

class ModePanel : public QObject {
  Q_OBJECT
 public:
  explicit ModePanel(SystemServices& services);

  // ---- reactions ----
  // Selection change: the selected entry's name into PresetModeEdit.
  void SysModeBoxChange(int index);
  // "调用设备模式": switch the processor to the selected mode.
  void RecallModeBtnClick();
  // "保存设备模式": store the current setting into the selected slot.
  void SaveModeBtnClick();
  // A name typed, put in by an input method or pasted into PresetModeEdit
  // was refused: when it held a character the processor cannot keep, the
  // user is told why.
  void PresetModeEditRejected();

  // Tells why typed text was refused (default: a tooltip at the name box);
  // replaceable for tests.
  std::function<void(const QString& text)> ShowNameHint;

 private:
  // The selected slot 0..14, or -1 (none, or a placeholder entry).
  int SelectedSlot() const;

  SystemServices& services_;
  QComboBox* box_ = nullptr;
  QLineEdit* name_ = nullptr;
  class NameValidator;
  NameValidator* validator_ = nullptr;
};

}  // namespace dsp
