#include "mainwindow/store_refresh.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "common/rounding.h"
#include "eq/scales.h"
#include "mainwindow/main_window.h"
#include "mainwindow/page_switcher.h"
#include "panels/catalogue.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr QSize kRadioSize(13, 13);
constexpr QSize kSignSize(15, 15);

QString PaneText(const QWidget* pane, int value) {
  const int role = HintInt(pane, 0);
  return role == 0 ? QString::number(value) : QString::fromStdString(RoleText(role, value));
}

}  // namespace

void RebuildModeList(QComboBox* box, const ParamStore& store, int slot) {
  if (box == nullptr) return;
  const QSignalBlocker block(box);
  box->clear();
  for (int n = 1; n <= kModeCount; ++n) {
    box->addItem(QStringLiteral("%1-%2").arg(n).arg(QString::fromStdString(store.ModeNames[n - 1])));
  }
  box->setCurrentIndex(slot >= 0 && slot < box->count() ? slot : -1);
}

void StoreRefresh::FillRadioMembers(int address) {
  auto& members = window_.Registry().RadioMembers();
  members = {};
  for (const ParamEntry& entry : Catalogue()) {
    if (MakeAddress(entry.channel, entry.slot) != address) continue;
    for (size_t i = 0; i < entry.members.size() && i < members.size(); ++i) {
      auto* member =
          qobject_cast<PictureButton*>(window_.Registry().Named(QString::fromStdString(entry.members[i])));
      members[i] = member;
      SetHint(member, QString::number(i));
    }
  }
}

void StoreRefresh::ShowSlot(int address) {
  ControlRegistry& registry = window_.Registry();
  ParamStore& store = window_.Store();
  ButtonVisual& visual = window_.Visual();
  QWidget* w = registry.PrimaryControl(address);
  if (w == nullptr || registry.IsFiller(w)) return;
  const int v = store.Param(address);
  switch (KindOf(w)) {
    case WidgetKind::Slider: {
      auto* slider = static_cast<QSlider*>(w);
      if (slider->value() == v) return;  // an unchanged position leaves the pane as it is
      slider->setValue(v);
      if (QWidget* pane = registry.CompanionControl(address); KindOf(pane) == WidgetKind::ValuePane) {
        static_cast<QLabel*>(pane)->setText(PaneText(pane, slider->value()));
      }
      return;
    }
    case WidgetKind::PictureButton: {
      auto* button = static_cast<PictureButton*>(w);
      if (address == 0x000) return;  // the operating mode follows below
      if (address == 0x001) {
        visual.Apply(registry.Named(v == 0 ? QStringLiteral("SingModeBtn") : QStringLiteral("DiscoModeBtn")),
                     ButtonVisual::kSingDance);
        return;
      }
      if (button->size() == kRadioSize) {
        FillRadioMembers(address);
        SetHint(button, QString::number(v));
        visual.Apply(button, ButtonVisual::kRadio);
        return;
      }
      // Prepare the opposite state; the operation toggles it to the stored one.
      SetHint(button, v == 0 ? QStringLiteral("1") : QStringLiteral("0"));
      if (button->size() == kSignSize) {
        visual.Apply(button, ButtonVisual::kSign);
      } else if (button->text() != QLatin1String("EQ pass")) {
        visual.Apply(button, ButtonVisual::kTwoState);
      }
      return;
    }
    case WidgetKind::ChoiceBox: {
      auto* box = static_cast<QComboBox*>(w);
      const QSignalBlocker block(box);
      box->setCurrentIndex(v % 10 < box->count() ? v % 10 : -1);
      if (KindOf(registry.ExtraControls(address, 0)) == WidgetKind::Picture) {
        visual.Apply(registry.ExtraControls(address, std::clamp(v, 0, 2)), ButtonVisual::kBandType);
      }
      return;
    }
    case WidgetKind::TextField: {
      const int role = HintInt(w, 0);
      // The Q field shows the Q slot matching the band's type.
      const int value = role == role::BandQ ? store.Param(store.ActiveQSlot(Tag(w))) : v;
      auto* field = static_cast<QLineEdit*>(w);
      field->setText(QString::fromStdString(RoleText(role, value)));
      // A shown frequency field becomes the current one; a gain field moves
      // its band's slider without running the slider's reaction.
      if (role == role::BandFreq) window_.Editing().CurrentEdit = field;
      if (auto* slider = qobject_cast<QSlider*>(registry.ExtraControls(address, 0))) {
        window_.Editing().SliderSync = true;
        slider->setValue(value);
        window_.Editing().SliderSync = false;
      }
      return;
    }
    default:
      return;
  }
}

void StoreRefresh::RefreshFromStore(int which) {
  ControlRegistry& registry = window_.Registry();
  ParamStore& store = window_.Store();
  EditState& editing = window_.Editing();
  editing.PanelRefreshing = true;
  if (SetSuppressSend) SetSuppressSend(1);
  store.RebuildParamTable(store.Scene());
  store.SceneFlag = store.Param(0x001);
  if (which == 2) which = 1;
  for (int channel = 0; channel <= 9; ++channel) {
    if (channel != which && which != 20) continue;
    for (int slot = 0; slot < BlockLength[channel]; ++slot) ShowSlot(MakeAddress(channel, slot));
  }
  window_.Visual().Apply(registry.Named(store.Param(0x000) == 0 ? QStringLiteral("AutoModeBtn")
                                                                : QStringLiteral("ManulModeBtn")),
                         ButtonVisual::kAutoManual);
  const int channel = window_.Pages().CurrentChannel();
  if (HasEqualiser(channel)) window_.Pages().ShowBypassState(channel);

  if (QWidget* rights = registry.Named(QStringLiteral("SysUserMangerGrop"))) rights->setEnabled(false);
  const bool manager = store.Param(0x90C) != 0;
  if (QWidget* gain = registry.Named(QStringLiteral("SignRzGroup"))) gain->setEnabled(manager);
  if (QWidget* save = registry.Named(QStringLiteral("RzBmpButton138"))) save->setEnabled(manager);

  const int mode = store.Device(9, DeviceIndex(9, 2, store.Scene()));
  RebuildModeList(qobject_cast<QComboBox*>(registry.Named(QStringLiteral("SysModeBox"))), store, mode);
  if (auto* name = qobject_cast<QLineEdit*>(registry.Named(QStringLiteral("PresetModeEdit")))) {
    name->setText(mode >= 0 && mode < kModeCount ? QString::fromStdString(store.ModeNames[mode]) : QString());
  }
  ShowCurrentBand(editing.LastChangedAddress);
  editing.PanelRefreshing = false;
  if (window_.Pages().DrawEq) window_.Pages().DrawEq(kAllBands, channel);
  if (SetSuppressSend) SetSuppressSend(0);
  if (auto* label = qobject_cast<QLabel*>(registry.Named(QStringLiteral("CurrentModeLabel")))) {
    label->setText(QStringLiteral("（当前模式：%1 ）").arg(mode + 1));
  }
  if (ShowLockPrompt) ShowLockPrompt();
}

int StoreRefresh::ShowCurrentBand(int address) {
  const int position = EqPosition(address);
  const int band = position / 256;
  const int field = position % 256;
  if (field < 1 || field > 4) return address;
  ControlRegistry& registry = window_.Registry();
  ParamStore& store = window_.Store();
  const int base = address - field;
  const int f = base + 1;
  const int g = base + 2;
  const int q = field == 4 ? base + 4 : base + 3;
  window_.Editing().SliderSync = true;
  const std::pair<const char*, int> tags[] = {{"ComEQFreBar", f},    {"ComEQFreUpDownBtn", f},
                                              {"ComEQGainBar", g},   {"ComEQGainUpDownBtn", g},
                                              {"ComEQQvalueBar", q}, {"ComEQQvalueUpDownBtn", q}};
  for (const auto& [name, tag] : tags) SetTag(registry.Named(QString::fromLatin1(name)), tag);
  if (auto* label = qobject_cast<QLabel*>(registry.Named(QStringLiteral("COMEQlabel")))) {
    label->setText(QStringLiteral("调节当前EQ段：%1").arg(band + 1));
  }
  auto setText = [&registry](const char* name, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(registry.Named(QString::fromLatin1(name)))) {
      edit->setText(QString::fromStdString(text));
    }
  };
  setText("ComEQQvalueEdit", StepText(StepTable::Q, store.Param(q)));
  setText("ComEQGainEdit", FormatFixed(GainDb(store.Param(g)), 1) + "dB");
  setText("ComEQFreEdit", StepText(StepTable::Freq, store.Param(f)));
  const std::pair<const char*, int> sliders[] = {
      {"ComEQFreBar", f}, {"ComEQGainBar", g}, {"ComEQQvalueBar", q}};
  for (const auto& [name, slot] : sliders) {
    if (auto* slider = qobject_cast<QSlider*>(registry.Named(QString::fromLatin1(name)))) {
      slider->setValue(store.Param(slot));
    }
  }
  window_.Editing().SliderSync = false;
  return address;
}

}  // namespace dsp
