#include "editing/common_band_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <string>

#include "common/rounding.h"
#include "eq/scales.h"
#include "i18n/language.h"
#include "panels/control_names.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// The panel's rows: text field, slider and spin buttons of the frequency,
// the gain and the Q.
struct Row {
  const char* edit;
  const char* bar;
  const char* spin;
};
constexpr Row kRows[] = {{"ComEQFreEdit", "ComEQFreBar", "ComEQFreUpDownBtn"},
                         {"ComEQGainEdit", "ComEQGainBar", "ComEQGainUpDownBtn"},
                         {"ComEQQvalueEdit", "ComEQQvalueBar", "ComEQQvalueUpDownBtn"}};

}  // namespace

QWidget* CommonBandPanel::Named(const char* name) const {
  return registry_.Named(QString::fromLatin1(name));
}

int CommonBandPanel::ShowCurrentBand(int address) {
  const int position = EqPosition(address);
  const int band = position / 256;
  const int field = position % 256;
  if (field < 1 || field > 4) return address;
  const int base = address - field;
  freq_ = base + 1;
  gain_ = base + 2;
  q_ = field == 3 || field == 4 ? address : store_.ActiveQSlot(base + 3);
  const int bandSlots[] = {freq_, gain_, q_};

  const bool sync = editing_.SliderSync;
  editing_.SliderSync = true;
  // The panel's controls are named after the band's parameters they stand for.
  const int row = ChannelOf(address) == 1 && store_.MicGroupB != 0 ? 2 : ChannelOf(address);
  const std::array<int, 4> shown{row, freq_, gain_, q_};
  const bool rename = shown != named_;
  named_ = shown;
  const InstalledTranslation language;
  for (int i = 0; i < 3; ++i) {
    SetTag(Named(kRows[i].bar), bandSlots[i]);
    SetTag(Named(kRows[i].spin), bandSlots[i]);
    if (!rename) continue;
    for (const char* name : {kRows[i].edit, kRows[i].bar, kRows[i].spin})
      ControlNames::DescribeParamControl(Named(name), row, SlotOf(bandSlots[i]), language);
  }
  if (auto* label = qobject_cast<QLabel*>(Named("COMEQlabel"))) {
    label->setText(Title(band + 1));
  }
  const std::string texts[] = {StepText(StepTable::Freq, store_.Param(freq_)),
                               FormatFixed(GainDb(store_.Param(gain_)), 1) + "dB",
                               StepText(StepTable::Q, store_.Param(q_))};
  for (int i = 0; i < 3; ++i) {
    if (auto* edit = qobject_cast<QLineEdit*>(Named(kRows[i].edit))) {
      edit->setText(QString::fromStdString(texts[i]));
    }
    if (auto* slider = qobject_cast<QSlider*>(Named(kRows[i].bar)))
      slider->setValue(store_.Param(bandSlots[i]));
    // A row can be used exactly when the band's own field can.
    const QLineEdit* own = BandFieldOf(Named(kRows[i].edit));
    const bool editable = own != nullptr && own->isEnabled();
    for (const char* name : {kRows[i].edit, kRows[i].bar, kRows[i].spin}) {
      if (QWidget* w = Named(name)) w->setEnabled(editable);
    }
  }
  editing_.SliderSync = sync;
  return address;
}

void CommonBandPanel::ShowPageBand(int page, int channel) {
  if (page < 0 || page >= kEqGroups || !HasEqualiser(channel)) return;
  const int bands = BandCount[static_cast<std::size_t>(channel)];
  const int band = std::clamp(editing_.CurrentBand[static_cast<std::size_t>(page)], 0, bands - 1);
  ShowCurrentBand(MakeAddress(channel, EqSlot(channel, band, 1)));
}

void CommonBandPanel::ShowAgain() {
  // Through the frequency slot, so that the Q follows the band's type,
  // which may have changed.
  if (freq_ >= 0) ShowCurrentBand(freq_);
}

QLineEdit* CommonBandPanel::BandFieldOf(const QObject* panelField) const {
  if (panelField == nullptr || freq_ < 0) return nullptr;
  const int bandSlots[] = {freq_, gain_, q_};
  for (int i = 0; i < 3; ++i) {
    if (panelField->objectName() != QLatin1String(kRows[i].edit)) continue;
    auto* own = qobject_cast<QLineEdit*>(registry_.PrimaryControl(bandSlots[i]));
    return own != nullptr && !registry_.IsFiller(own) ? own : nullptr;
  }
  return nullptr;
}

}  // namespace dsp
