// Fuzz target for the EQ graph's core: whatever the stores hold (values the
// processor or a preset sent, in or out of range) and whatever the mouse
// does, drawing and dragging stay inside the tables and give sane results.
// The sanitizers catch any access outside the tables and the stores; the
// checks below catch results that leave their ranges.
//
// Input layout: the first 3 bytes pick the channel, the band and the graph
// size; then pairs of bytes are stored as 16-bit values into the channel's
// panel row; the rest (after a 0xFF 0xFF marker) is a list of mouse events
// of 5 bytes each: kind, point, x, y (signed), button.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "eq/band_slots.h"
#include "eq/graph_drag.h"
#include "store/param_store.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dsp;
  if (size < 3) return 0;
  const int channel = data[0] % 10;
  // The page that shows the channel's equaliser (the system page for 9).
  constexpr int kPageOf[10] = {0, 1, 1, 2, 2, 3, 5, 4, 6, 7};
  const int band = data[1] % 24 - 1;
  const GraphGeometry geometry(1 + data[2] * 9, 2 + data[2] * 3);
  ParamStore store;
  std::size_t i = 3;
  for (int slot = 0; slot < kPanelSlots && i + 1 < size; ++slot, i += 2) {
    if (data[i] == 0xFF && data[i + 1] == 0xFF) break;
    const auto value = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
    store.SetParam(MakeAddress(channel, slot), value);
  }
  i += 2;

  BandSlots slots;
  for (int b : {AllBands, band}) {
    const EqDrawing d = slots.DrawEq(store, b, channel, geometry, false);
    if (!d.drawn) continue;
    Check(d.curve.size() == static_cast<std::size_t>(GridPoints));
    for (const float v : slots.Total()) Check(std::isfinite(v));
    for (const PointMove& m : d.moves) Check(m.point >= 0 && m.point < kBandPointCount);
  }

  GraphDrag drag;
  DragContext context;
  context.page = kPageOf[channel];
  context.channel = channel;
  context.manual = (data[0] & 0x10) != 0;
  context.windowReady = true;
  context.geometry = geometry;
  PointRect p{0, 0, 14, 14};
  for (; i + 4 < size; i += 5) {
    const int point = data[i + 1] % kBandPointCount;
    const int x = static_cast<std::int8_t>(data[i + 2]) * 40;
    const int y = static_cast<std::int8_t>(data[i + 3]) * 10;
    const auto button = static_cast<MouseButton>(data[i + 4] % 3);
    switch (data[i] % 6) {
      case 0: {
        const DragSteps stored = StoredDragSteps(store, slots.ControlsOfPoint(point));
        p.width = p.height = PointSize(point);
        drag.Press(button, x, y, point, context, stored.freq, stored.gain);
        break;
      }
      case 1:
        if (drag.Move(x, y, p, context).applyPending) {
          Check(drag.PendingFreqStep() >= 0 && drag.PendingFreqStep() <= 361);
          Check(drag.PendingGainStep() >= 0 && drag.PendingGainStep() <= 180);
          Check(drag.DragGainDb() >= -24 && drag.DragGainDb() <= 12);
        }
        break;
      case 2:
        drag.Release(button, context);
        break;
      case 3:
        drag.ImageMove(true, x, y);
        break;
      case 4:
        drag.ImageRelease(button, context);
        break;
      default: {
        // Steps reach the controls only after a move put them in range (the
        // echo low-pass value is clamped by the control itself).
        const PointControls& controls = slots.ControlsOfPoint(drag.DragBand());
        for (const ApplyCall& call : drag.TakePending(controls)) {
          if (call.gain) Check(call.value >= 0 && call.value <= 180);
          if (!call.gain && controls.scale != FreqScale::EchoLowPass)
            Check(call.value >= 0 && call.value <= 361);
        }
        break;
      }
    }
  }
  return 0;
}
