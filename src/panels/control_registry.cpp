#include "panels/control_registry.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "catalogue/catalogue.h"
#include "panels/picture_button.h"
#include "panels/skin_slider.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

QWidget* ControlRegistry::Entry(const Table& table, int address) {
  const int channel = ChannelOf(address);
  const int slot = SlotOf(address);
  if (address < 0 || channel >= kRegistryChannels || slot >= kRegistrySlots) return nullptr;
  return table[channel][slot];
}

QWidget* ControlRegistry::ExtraControls(int address, int i) const {
  const int channel = ChannelOf(address);
  const int slot = SlotOf(address);
  if (address < 0 || channel >= kRegistryChannels || slot >= kRegistrySlots || i < 0 || i > 2) return nullptr;
  return extras_[channel][3 * slot + i];
}

bool ControlRegistry::IsFiller(const QWidget* widget) const {
  return widget != nullptr && widget == filler_;
}

QLabel* ControlRegistry::BandNumberLabel(int group, int band) const {
  if (group < 0 || group >= kEqGroups || band < 0 || band >= kBandLabelCapacity) return nullptr;
  return bandLabels_[group][band];
}

int ControlRegistry::BandLabelCount(int group) const {
  return group >= 0 && group < kEqGroups ? bandLabelCount_[group] : 0;
}

void ControlRegistry::Clear() {
  primary_ = {};
  companion_ = {};
  stepper_ = {};
  extras_ = {};
  tabs_ = {};
  bandLabels_ = {};
  bandLabelCount_ = {};
  radioMembers_ = {};
}

void ControlRegistry::FillTables() {
  // Every slot below the channel's block length starts with the filler; the
  // system channel's slots 17..31 have no entry at all.
  for (int channel = 0; channel < kRegistryChannels; ++channel) {
    if (channel == 2) continue;  // shown through the channel 1 widgets
    for (int slot = 0; slot < BlockLength[channel] && slot < kRegistrySlots; ++slot) {
      if (channel == 9 && slot >= 17 && slot <= 31) continue;
      primary_[channel][slot] = filler_;
    }
  }
  for (const ParamEntry& p : Catalogue()) {
    primary_[p.channel][p.slot] = Named(QString::fromStdString(p.primary));
    if (!p.companion.empty()) companion_[p.channel][p.slot] = Named(QString::fromStdString(p.companion));
    if (!p.stepper.empty()) stepper_[p.channel][p.slot] = Named(QString::fromStdString(p.stepper));
  }
  for (const BandSet& set : BandSets()) {
    const int base = EqBase[set.channel];
    for (int b = 1; b <= set.bands; ++b) {
      const BandNames n = NamesOfBand(set, b);
      const int s = base + 5 * (b - 1);
      auto named = [this](const std::string& name) { return Named(QString::fromStdString(name)); };
      primary_[set.channel][s] = named(n.modeBox);
      extras_[set.channel][3 * s] = named(n.peqPicture);
      extras_[set.channel][3 * s + 1] = named(n.lsqPicture);
      extras_[set.channel][3 * s + 2] = named(n.hsqPicture);
      primary_[set.channel][s + 1] = named(n.freqEdit);
      stepper_[set.channel][s + 1] = named(n.freqSpin);
      primary_[set.channel][s + 2] = named(n.gainEdit);
      stepper_[set.channel][s + 2] = named(n.gainSpin);
      extras_[set.channel][3 * (s + 2)] = named(n.gainBar);
      primary_[set.channel][s + 3] = named(n.qEdit);
      stepper_[set.channel][s + 3] = named(n.qSpin);
      primary_[set.channel][s + 4] = named(n.qEdit);
      stepper_[set.channel][s + 4] = named(n.qSpin);
      const int group = EqGroupOf(MakeAddress(set.channel, 0));
      if (b - 1 < kBandLabelCapacity) {
        bandLabels_[group][b - 1] = qobject_cast<QLabel*>(named(n.numberLabel));
        bandLabelCount_[group] = b;
      }
    }
  }
}

void ControlRegistry::WriteTags(QWidget* thumbTemplate) {
  auto* thumbs = qobject_cast<SkinSlider*>(thumbTemplate);
  for (int channel = 0; channel < kRegistryChannels; ++channel) {
    for (int slot = 0; slot < BlockLength[channel] && slot < kRegistrySlots; ++slot) {
      const int address = MakeAddress(channel, slot);
      QWidget* primary = primary_[channel][slot];
      // The filler stands for "no widget" and keeps no address.
      switch (IsFiller(primary) ? WidgetKind::None : KindOf(primary)) {
        case WidgetKind::ChoiceBox:
        case WidgetKind::TextField:
        case WidgetKind::PictureButton:
          SetTag(primary, address);
          break;
        case WidgetKind::Slider:
          SetTag(primary, address);
          if (channel <= 8 && thumbs != nullptr && primary != thumbTemplate) {
            static_cast<SkinSlider*>(primary)->setThumbPictures(thumbs->thumbPicture(),
                                                                thumbs->disabledThumbPicture());
          }
          break;
        default:
          break;
      }
      QWidget* companion = companion_[channel][slot];
      const WidgetKind companionKind = KindOf(companion);
      if (companionKind == WidgetKind::ChoiceBox || companionKind == WidgetKind::ValuePane ||
          companionKind == WidgetKind::PictureButton) {
        SetTag(companion, address);
      }
      QWidget* stepper = stepper_[channel][slot];
      const WidgetKind stepperKind = KindOf(stepper);
      if (stepperKind == WidgetKind::PictureButton || stepperKind == WidgetKind::SpinButtons) {
        SetTag(stepper, address);
      }
      QWidget* extra = extras_[channel][3 * slot];
      if (KindOf(extra) == WidgetKind::Picture) {
        for (int i = 0; i < 3; ++i) {
          SetTag(extras_[channel][3 * slot + i], address);
          SetHint(extras_[channel][3 * slot + i], QString::number(i));
        }
      } else if (KindOf(extra) == WidgetKind::Slider) {
        SetTag(extra, address);
      }
    }
  }
}

void ControlRegistry::FindControls(QWidget* root) {
  Clear();
  byName_.clear();
  filler_ = nullptr;
  if (root == nullptr) return;
  byName_.insert(root->objectName(), root);
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->objectName().isEmpty() && !byName_.contains(w->objectName())) byName_.insert(w->objectName(), w);
  }
  filler_ = qobject_cast<QLineEdit*>(Named("Example"));

  FillTables();
  for (int page = 0; page < kPageCount; ++page) {
    tabs_[page] = qobject_cast<PictureButton*>(Named(QStringLiteral("FormTabBtn%1").arg(page + 1)));
  }
  radioMembers_ = {qobject_cast<PictureButton*>(Named("SysMusInputLevel")),
                   qobject_cast<PictureButton*>(Named("SysMusInputLevel2")),
                   qobject_cast<PictureButton*>(Named("SysMusInputLevel3")), nullptr};
}

void ControlRegistry::BuildControlRegistry(QWidget* root, ParamStore& store, EditState& editing) {
  FindControls(root);
  if (root == nullptr) return;
  editing.CurrentEdit = qobject_cast<QLineEdit*>(Named("MusFreEdit1"));
  editing.PreviousEdit = filler_;

  editing.PanelRefreshing = true;
  WriteTags(Named("MicHPFreBar"));
  store.SetDevice(0, 0, 1);
  editing.PanelRefreshing = false;
}

}  // namespace dsp
