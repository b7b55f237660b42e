#include "mainwindow/window_access.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "panels/control_names.h"
#include "panels/control_registry.h"

namespace dsp {

namespace {

// A control bound to no parameter: its name (nullptr: its caption, the
// label in front of it or its tooltip) and its description (nullptr: its
// tooltip, which follows what the control would do).
struct Command {
  const char* object;
  const char* name;
  const char* description;
};

constexpr Command kCommands[] = {
    {"UndoBtn", QT_TRANSLATE_NOOP("WindowAccess", "撤销"), nullptr},
    {"RedoBtn", QT_TRANSLATE_NOOP("WindowAccess", "重做"), nullptr},
    {"LogViewBtn", QT_TRANSLATE_NOOP("WindowAccess", "通信记录"),
     QT_TRANSLATE_NOOP("WindowAccess", "打开通信记录窗口，Ctrl+L")},
    {"VerifyBtn", nullptr,
     QT_TRANSLATE_NOOP("WindowAccess", "读取设备中的设置，列出与本机不同的参数，Ctrl+Shift+V")},
    {"MinimizeBtn", QT_TRANSLATE_NOOP("WindowAccess", "最小化"),
     QT_TRANSLATE_NOOP("WindowAccess", "把窗口缩到任务栏")},
    {"MaximizeBtn", QT_TRANSLATE_NOOP("WindowAccess", "最大化"),
     QT_TRANSLATE_NOOP("WindowAccess", "让窗口占满屏幕，再按一次恢复原来大小")},
    {"CloseBtn", QT_TRANSLATE_NOOP("WindowAccess", "关闭"), QT_TRANSLATE_NOOP("WindowAccess", "关闭程序")},
    {"LinkBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "查找设备并连接")},
    {"UnLinkBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "断开与设备的连接")},
    {"EQResetBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "把本页所有EQ段恢复为默认值")},
    {"AbABtn", QT_TRANSLATE_NOOP("WindowAccess", "设置 A"),
     QT_TRANSLATE_NOOP("WindowAccess", "切换到设置 A，只发送不同的参数")},
    {"AbBBtn", QT_TRANSLATE_NOOP("WindowAccess", "设置 B"),
     QT_TRANSLATE_NOOP("WindowAccess", "切换到设置 B，只发送不同的参数")},
    {"AbCopyBtn", QT_TRANSLATE_NOOP("WindowAccess", "复制设置"), nullptr},
    {"AbDiffBtn", QT_TRANSLATE_NOOP("WindowAccess", "A 与 B 的差异"),
     QT_TRANSLATE_NOOP("WindowAccess", "列出 A 与 B 不同的参数")},
    {"ReportBtn", QT_TRANSLATE_NOOP("WindowAccess", "导出报告"),
     QT_TRANSLATE_NOOP("WindowAccess", "把当前设置、均衡曲线和全部参数导出为 PDF 报告")},
    {"MicPanScrollBar", QT_TRANSLATE_NOOP("WindowAccess", "麦克风EQ段"),
     QT_TRANSLATE_NOOP("WindowAccess", "左右滚动，显示其余的EQ段")},
    {"SysPassOkBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "用系统密码取得管理员权限")},
    {"SysUserBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "系统用户权限，由系统密码决定")},
    {"SysManagerBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "系统用户权限，由系统密码决定")},
    {"DeviceIDLabel", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "设备的识别码，只读")},
    {"PresetGrid", QT_TRANSLATE_NOOP("WindowAccess", "电脑数据列表"),
     QT_TRANSLATE_NOOP("WindowAccess", "电脑上保存的数据，选中一行把名称填入备份文件名称")},
    {"FileEdit", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "保存到电脑或上传到设备的数据名称")},
    {"SavePresetBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "把当前设置以备份文件名称保存到电脑")},
    {"LoadPresetBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "把选中的电脑数据上传到设备")},
    {"SysModeBox", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "要调用或保存的设备模式，共 15 个")},
    {"PresetModeEdit", nullptr,
     QT_TRANSLATE_NOOP("WindowAccess", "保存设备模式时用的名称，最多 20 个英文字母、数字或符号")},
    {"RecallModeBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "让设备切换到选中的模式")},
    {"RzBmpButton138", nullptr,
     QT_TRANSLATE_NOOP("WindowAccess", "把当前设置以模式名称保存到选中的模式，需要管理员权限")},
    {"UnlockOkBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "用键盘锁密码解锁")},
    {"MicABtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "麦克风页显示 A 组")},
    {"MicBBtn", nullptr, QT_TRANSLATE_NOOP("WindowAccess", "麦克风页显示 B 组")},
};

// Parts of compound widgets (a list's viewport and scroll bars, a choice
// box's list) are reached through the widget itself.
bool InsideCompound(const QWidget* widget, const QWidget* region) {
  for (const QWidget* p = widget->parentWidget(); p != nullptr && p != region; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractScrollArea*>(p) != nullptr || qobject_cast<const QComboBox*>(p) != nullptr)
      return true;
  }
  return false;
}

}  // namespace

void WindowAccess::DescribeCommands(QWidget& window) {
  for (const Command& c : kCommands) {
    auto* widget = window.findChild<QWidget*>(QString::fromLatin1(c.object));
    if (widget == nullptr) continue;
    widget->setAccessibleName(c.name != nullptr ? tr(c.name) : ControlNames::PlainName(widget));
    if (c.description != nullptr) widget->setAccessibleDescription(tr(c.description));
  }
  // Fields named by the caption in front of them (the password fields).
  for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
    if (field->accessibleName().isEmpty()) field->setAccessibleName(ControlNames::PlainName(field));
  }
  for (int page = 0; page < kPageCount; ++page) {
    auto* tab = window.findChild<QWidget*>(QStringLiteral("FormTabBtn%1").arg(page + 1));
    if (tab == nullptr) continue;
    tab->setAccessibleName(ControlNames::PlainName(tab));
    tab->setAccessibleDescription(tr("第%1页，Ctrl+%1").arg(page + 1));
  }
}

void WindowAccess::ChainTabOrder(const std::vector<QWidget*>& regions) {
  QWidget* previous = nullptr;
  for (QWidget* region : regions) {
    if (region == nullptr) continue;
    for (QWidget* widget : region->findChildren<QWidget*>()) {
      if ((widget->focusPolicy() & Qt::TabFocus) == 0 || InsideCompound(widget, region)) continue;
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
  }
}

}  // namespace dsp
