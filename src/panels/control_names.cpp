#include "panels/control_names.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSet>
#include <QStringList>
#include <algorithm>

#include "catalogue/catalogue.h"
#include "editmodel/param_cells.h"
#include "panels/control_registry.h"
#include "panels/ui_text.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// True for parameters with a few named values (a band's type, buttons,
// choices), false for those with a range of steps.
bool HasNamedValues(const ParamCell& cell) {
  if (cell.kind == CellKind::BandField) return cell.field == 0;
  return cell.entry != nullptr && cell.entry->kind != ParamKind::Slider;
}

// The value a picture button of a radio group or a pair picks: its place
// among the parameter's members; -1 for other widgets.
int MemberOf(const QWidget* widget, const ParamCell& cell) {
  if (cell.entry == nullptr || KindOf(widget) != WidgetKind::PictureButton) return -1;
  const std::vector<std::string>& members = cell.entry->members;
  const auto it = std::find(members.begin(), members.end(), widget->objectName().toStdString());
  return it != members.end() ? static_cast<int>(it - members.begin()) : -1;
}

}  // namespace

bool ControlNames::DescribeParamControl(QWidget* widget, int row, int slot, const Translator& texts,
                                        int member) {
  const int id = CellOfSlot(row, slot);
  if (widget == nullptr || id < 0) return false;
  const ParamCell& cell = ParamCells()[static_cast<std::size_t>(id)];
  auto value = [&cell, &texts](int v) { return QString::fromStdString(CellValueText(cell, v, texts)); };
  QStringList parts;
  if (cell.kind == CellKind::BandField) {
    parts << tr("EQ 第%1段").arg(cell.band + 1) << CatalogueText(BandFieldCaption(cell.field));
  }
  if (member < 0) member = MemberOf(widget, cell);
  if (member >= 0) {
    parts << tr("选择 %1").arg(value(member));
  } else {
    if (KindOf(widget) == WidgetKind::ValuePane) parts << tr("显示的值");
    if (KindOf(widget) == WidgetKind::SpinButtons) parts << tr("步进按钮");
    const int limit = CellLimit(cell);
    if (HasNamedValues(cell)) {
      QStringList values;
      for (int v = 0; v <= limit; ++v) values << value(v);
      parts << tr("可选：%1").arg(values.join(QStringLiteral(" / ")));
    } else {
      parts << tr("%1 至 %2").arg(value(0), value(limit));
    }
  }
  widget->setAccessibleName(QString::fromStdString(CellName(cell, texts)));
  widget->setAccessibleDescription(parts.join(tr("，")));
  return true;
}

void ControlNames::DescribeBoundControls(const ControlRegistry& registry, int micRow, const Translator& texts) {
  // A widget bound to several slots (the Q field of a band stands for the
  // peaking and the shelf Q) is named after the first.
  QSet<const QWidget*> done;
  auto describe = [&done, &texts](QWidget* widget, int row, int slot, int member = -1) {
    if (widget == nullptr || done.contains(widget)) return;
    if (DescribeParamControl(widget, row, slot, texts, member)) done.insert(widget);
  };
  auto rowOf = [micRow](int channel) { return channel == 1 ? micRow : channel; };
  for (int channel = 0; channel <= 9; ++channel) {
    if (channel == 2) continue;  // shown through the channel 1 widgets
    for (int slot = 0; slot < BlockLength[static_cast<std::size_t>(channel)] && slot < kRegistrySlots; ++slot) {
      const int address = MakeAddress(channel, slot);
      QWidget* primary = registry.PrimaryControl(address);
      if (!registry.IsFiller(primary)) describe(primary, rowOf(channel), slot);
      describe(registry.CompanionControl(address), rowOf(channel), slot);
      describe(registry.StepperControl(address), rowOf(channel), slot);
      for (int i = 0; i < 3; ++i) {
        QWidget* extra = registry.ExtraControls(address, i);
        // The band type pictures pick type i; the gain slider changes the gain.
        describe(extra, rowOf(channel), slot, KindOf(extra) == WidgetKind::Picture ? i : -1);
      }
    }
  }
  // Members of radio groups and pairs that the tables do not list.
  for (const ParamEntry& entry : Catalogue()) {
    for (const std::string& member : entry.members)
      describe(registry.Named(QString::fromStdString(member)), rowOf(entry.channel), entry.slot);
  }
}

QString ControlNames::CaptionAsName(const QString& caption) {
  QString name = caption.trimmed();
  while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A))) name.chop(1);
  return name.trimmed();
}

QString ControlNames::PlainName(const QWidget* widget) {
  if (widget == nullptr) return {};
  if (!widget->accessibleName().isEmpty()) return widget->accessibleName();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget); button != nullptr && !button->text().isEmpty())
    return CaptionAsName(button->text());
  for (const QLabel* label : widget->window()->findChildren<QLabel*>()) {
    if (label->buddy() == widget && !label->text().isEmpty()) return CaptionAsName(label->text());
  }
  return widget->toolTip();
}

}  // namespace dsp
