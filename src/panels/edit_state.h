#pragma once
// The editing state of the panels: one instance for the main window, shared
// by the registry (which initialises it), the edit reactions and the graph.

#include <QString>
#include <array>
#include <functional>

class QLineEdit;

namespace dsp {

constexpr int kEqGroups = 7;

struct EditState {
  // The band text field that keyboard, wheel and spin input act on.
  QLineEdit* CurrentEdit = nullptr;
  // The field that was current before; its frame is drawn grey.
  QLineEdit* PreviousEdit = nullptr;
  // Text of the current field before editing, restored when input is unusable.
  QString LastGoodText;
  // Set on the first click into any band field; the wheel steps only after it.
  bool EditClicked = false;
  // Set while a slider is moved by the program; slider reactions ignore it.
  bool SliderSync = false;
  // Set while the registry is built and while the panels are refreshed.
  bool PanelRefreshing = false;
  // Band selected last per EQ group (0-based).
  std::array<int, kEqGroups> CurrentBand{};
  // EQ or filter parameter changed last, read by the graph's timer.
  int LastChangedAddress = 0;
  int LastChangedValue = 0;
  // Runs after every recorded change: the graph's timer wakes for it.
  std::function<void()> ChangeRecorded;

  void RecordChange(int address, int value) {
    LastChangedAddress = address;
    LastChangedValue = value;
    if (ChangeRecorded) ChangeRecorded();
  }
};

}  // namespace dsp
