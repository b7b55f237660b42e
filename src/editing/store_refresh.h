#pragma once
// Shows the stores in the widgets without sending anything: after a
// download, a reload or an upload, an EQ reset, a scene or microphone group
// change every widget shows the stored values, and the common band panel and
// the graph show the current band of the page shown. Each widget kind gets its value the way a
// user's action would give it (sliders move and their reactions update the
// panes, buttons replay their click reactions with the state prepared), with
// sending suppressed.

#include <QCoreApplication>
#include <functional>

class QComboBox;

namespace dsp {

class EditorContext;
class ParamStore;

// Refills the mode list with "N-name" for the 15 modes and selects `slot`.
void RebuildModeList(QComboBox* box, const ParamStore& store, int slot);

class StoreRefresh {
  Q_DECLARE_TR_FUNCTIONS(StoreRefresh)

 public:
  explicit StoreRefresh(EditorContext& editor) : editor_(editor) {}

  // Channel 0..9, or 20 for all; 2 is shown through the channel 1 widgets.
  void RefreshFromStore(int which);
  // Points the common band panel at the band of `address` (a band frequency,
  // gain or Q slot) and shows its values; other addresses change nothing
  // (CommonBandPanel::ShowCurrentBand).
  int ShowCurrentBand(int address);

  // Pause after each slider so the panels visibly settle; what changed so far
  // is painted during the pause. Tests set it to 0.
  static inline int SliderPauseMs = 5;

  // The keyboard-lock prompt check that ends every refresh.
  std::function<void()> ShowLockPrompt;

 private:
  void ShowSlot(int address);
  void PauseAfterSlider();

  EditorContext& editor_;
};

}  // namespace dsp
