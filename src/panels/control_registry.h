#pragma once
// The control registry: binds every slot of every channel to the widgets
// that show and edit it. Per channel four tables of 81 entries, indexed by
// slot; a widget's tag holds its ParamAddress, so reactions shared by many
// widgets find their parameter through the tag and the refresh walks the
// tables in slot order.

#include <QHash>
#include <QString>
#include <array>

#include "panels/edit_state.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace dsp {

class ParamStore;
class PictureButton;

constexpr int kRegistryChannels = 11;  // channels 0..10; 2 and 10 own no widgets
constexpr int kRegistrySlots = 81;
constexpr int kPageCount = 8;
constexpr int kBandLabelCapacity = 22;
constexpr int kRadioCapacity = 4;

class ControlRegistry {
 public:
  // Fills the tables from the catalogue with the widgets found by name below
  // `root`, writes the tags, the thumb pictures, the page tabs, the band
  // number labels, the radio members and the editing state, and sets the
  // music channel's first device value to 1. Building twice gives the same
  // result.
  void BuildControlRegistry(QWidget* root, ParamStore& store, EditState& editing);
  // Only finds the widgets below `root` and fills the tables, the page tabs,
  // the band number labels and the radio members, changing no widget: what
  // a window needs to know of its bindings before its first show.
  void FindControls(QWidget* root);

  // Look-ups by address (channel in the high byte, slot in the low byte).
  // Addresses outside the tables give nullptr.
  QWidget* PrimaryControl(int address) const { return Entry(primary_, address); }
  QWidget* CompanionControl(int address) const { return Entry(companion_, address); }
  QWidget* StepperControl(int address) const { return Entry(stepper_, address); }
  // Extra entry i (0..2) of a slot: the band type pictures, the gain slider.
  QWidget* ExtraControls(int address, int i) const;

  // The hidden text field standing in for slots without a widget.
  QLineEdit* Filler() const { return filler_; }
  bool IsFiller(const QWidget* widget) const;

  const std::array<PictureButton*, kPageCount>& PageTabs() const { return tabs_; }
  // Band number labels of an EQ group in band order; nullptr past the bands.
  QLabel* BandNumberLabel(int group, int band) const;
  int BandLabelCount(int group) const;

  std::array<PictureButton*, kRadioCapacity>& RadioMembers() { return radioMembers_; }

  // Widget of a layout name (only widgets below the root at build time).
  QWidget* Named(const QString& name) const { return byName_.value(name, nullptr); }

 private:
  using Table = std::array<std::array<QWidget*, kRegistrySlots>, kRegistryChannels>;
  static QWidget* Entry(const Table& table, int address);
  void Clear();
  void FillTables();
  void WriteTags(QWidget* thumbTemplate);

  Table primary_{};
  Table companion_{};
  Table stepper_{};
  std::array<std::array<QWidget*, 3 * kRegistrySlots>, kRegistryChannels> extras_{};
  QLineEdit* filler_ = nullptr;
  std::array<PictureButton*, kPageCount> tabs_{};
  std::array<std::array<QLabel*, kBandLabelCapacity>, kEqGroups> bandLabels_{};
  std::array<int, kEqGroups> bandLabelCount_{};
  std::array<PictureButton*, kRadioCapacity> radioMembers_{};
  QHash<QString, QWidget*> byName_;
};

}  // namespace dsp
