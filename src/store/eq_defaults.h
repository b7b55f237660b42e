#pragma once
// The equaliser default shape: flat gain, default Q, centre frequencies
// spread evenly over the frequency steps. Used at start-up for every
// equaliser (nothing is sent) and by the EQ reset of one channel (every band
// is then sent).

#include <functional>

#include "store/param_store.h"

namespace dsp {

constexpr int kAllEqualisers = 20;

// Default of field 0..4 (type, frequency step, gain step, peaking Q step,
// shelf Q step) of band `band` of `channel`.
int EqDefault(int channel, int band, int field);
// Frequency step of band `band` of the music channel's scene 1 copy at start-up.
inline int MusicScene1DefaultFreq(int band) { return 11 + 24 * band; }

// Writes the defaults into the stores. which = 20: every equaliser, into the
// device image only (both scene copies of the music channel, the scene 1 copy
// with its own frequencies). which = a channel 0..8: that channel in the
// current scene, into both stores; after each band `sendBand` is called with
// the address of the band's field 4 and its value (the caller sends or
// queues the band). The caller refreshes the controls afterwards.
void ResetEqStores(ParamStore& store, int which,
                   const std::function<void(int address, int value)>& sendBand = {});

}  // namespace dsp
