#include "store/eq_defaults.h"

#include "common/rounding.h"

namespace dsp {

int EqDefault(int channel, int band, int field) {
  switch (field) {
    case 0: return 0;
    case 1: {
      const int bands = (channel >= 0 && channel <= 8) ? BandCount[static_cast<std::size_t>(channel)] : 0;
      if (bands <= 0) return 5;
      return static_cast<int>(RoundHalfEven(360.0 / bands * band)) + 5;
    }
    case 2: return 120;
    case 3: return 16;
    case 4: return 10;
    default: return 0;
  }
}

void ResetEqStores(ParamStore& store, int which, const std::function<void(int, int)>& sendBand) {
  for (int c = 0; c <= 8; ++c) {
    if (!HasEqualiser(c)) continue;
    if (which != kAllEqualisers && which != c) continue;
    for (int b = 0; b < BandCount[static_cast<std::size_t>(c)]; ++b) {
      for (int f = 0; f < 5; ++f) {
        const int slot = EqSlot(c, b, f);
        const int d = EqDefault(c, b, f);
        if (which == kAllEqualisers && c == 0) {
          store.SetDevice(0, DeviceIndex(0, slot, 0), d);
          store.SetDevice(0, DeviceIndex(0, slot, 1), f == 1 ? MusicScene1DefaultFreq(b) : d);
        } else {
          store.SetDevice(c, DeviceIndex(c, slot, store.SceneFlag), d);
          store.SetParam(MakeAddress(c, slot), d);
        }
      }
      if (which != kAllEqualisers && sendBand) {
        const int address = MakeAddress(c, EqSlot(c, b, 4));
        sendBand(address, store.Param(address));
      }
    }
  }
}

}  // namespace dsp
