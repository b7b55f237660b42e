#pragma once
// Shows the stores in the widgets without sending anything: after a
// download, a reload or an upload every widget shows the processor's values,
// and the common band panel follows the band changed last.

#include <functional>

class QComboBox;

namespace dsp {

class MainWindow;
class ParamStore;

// Refills the mode list with "N-name" for the 15 modes and selects `slot`.
void RebuildModeList(QComboBox* box, const ParamStore& store, int slot);

class StoreRefresh {
 public:
  explicit StoreRefresh(MainWindow& window) : window_(window) {}

  // Channel 0..9, or 20 for all; 2 is shown through the channel 1 widgets.
  void RefreshFromStore(int which);
  // Points the common band panel at the band of `address` (a band frequency,
  // gain or Q slot) and shows its values; other addresses change nothing.
  int ShowCurrentBand(int address);

  // The link's write suppression, set during a refresh and cleared after it.
  std::function<void(int)> SetSuppressSend;
  // The keyboard-lock prompt check that ends every refresh.
  std::function<void()> ShowLockPrompt;

 private:
  void ShowSlot(int address);
  void FillRadioMembers(int address);

  MainWindow& window_;
};

}  // namespace dsp
