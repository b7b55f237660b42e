// The link on a line that loses frames: 100 edits at a user's pace (typed
// values, spin-button clicks, slider drags, band points dragged on the
// graph and typed band fields) through the in-process processor emulator,
// which loses every Nth parameter or band frame (or its acknowledgement).
// The line is in process, so time is simulated: pacing ticks of 20 ms,
// the emulator answering at once. The figures are the counters:
//
//  - held_after_last_ms: from the last edit until the emulator holds every
//    value of the window (and the pacing has nothing left to send); -1
//    when it never does within 200 s;
//  - lag_ms: all the time the emulator did not hold the window's values or
//    the pacing had frames unanswered or waiting, over the whole run;
//  - ms_per_loss: lag_ms beyond the clean line's, per frame or answer lost;
//  - lost: frames (or answers) the line lost; repeats: frames sent again
//    by the fast repair.
//
// The runs without the fast repair are the pacing as it was before it,
// measured in the same run for comparison.
//
// The wall time of an iteration is only the cost of simulating it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "emulator/emulator.h"
#include "store/param_store.h"

namespace {

constexpr int kTickMs = 20;

class QuietView : public dsp::LinkView {
 public:
  void SetStatusText(const std::string&) override {}
  void UpdateStatusDialog(const std::string&, int) override {}
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowLinkButtons(bool) override {}
  void RefreshFromStore(int) override {}
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(dsp::LinkTimer timer, bool running) override {
    running_[static_cast<int>(timer)] = running;
  }
  void AppendLog(const std::string&) override {}
  void ClearLog() override {}
  void ShowDeviceId(const std::string&) override {}
  void ShowSelectedPort(int) override {}
  bool Running(dsp::LinkTimer timer) const { return running_.at(static_cast<int>(timer)); }
  std::vector<std::string> messages;

 private:
  std::map<int, bool> running_{{0, false}, {1, false}, {2, false}};
};

struct Line {
  dsp::ParamStore store;
  dsp::ProcessorEmulator emulator;
  dsp::EmulatedPort port{emulator};
  QuietView view;
  dsp::DeviceLink link{store, port, view};

  Line() {
    emulator.LoadFactorySetting();
    link.SetPortList({"EMU"});
    link.LinkBtnClick(true);
    for (int i = 0; i < 5 && !view.Running(dsp::LinkTimer::Transfer); ++i) {
      link.Timer1Timer();
      port.Pump();
    }
    for (int i = 0; i < 400 && view.Running(dsp::LinkTimer::Transfer); ++i) {
      link.Timer2Timer();
      port.Pump();
    }
  }
  bool Holds() const {
    for (int c = 0; c < 9; ++c)
      for (int i = 0; i < dsp::TransferLength[static_cast<std::size_t>(c)]; ++i)
        if (store.Device(c, i) != emulator.image[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)])
          return false;
    return true;
  }
  bool Busy() const {
    return link.TxReady == 0 || link.valueQueue().count != 0 || link.eqQueue().count != 0 ||
           link.RepeatLast == 1 || !Holds();
  }
};

// The 100 edits as writes at pacing ticks (a write comes between two ticks).
using Script = std::multimap<int, std::function<void(dsp::DeviceLink&)>>;

Script HundredEdits() {
  Script s;
  std::uint32_t seed = 2024;
  auto next = [&seed] {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
  };
  auto value = [](int address, int v) { return [=](dsp::DeviceLink& l) { l.WriteParam(address, v); }; };
  auto band = [](int address, int v) { return [=](dsp::DeviceLink& l) { l.WriteEqBand(address, v); }; };
  int tick = 10;
  for (int edit = 0; edit < 100; ++edit) {
    const int kind = static_cast<int>(next() % 5);
    const int channel = 5 + static_cast<int>(next() % 4);  // the outputs
    const int b = static_cast<int>(next() % 8);
    switch (kind) {
      case 0:  // a typed value
        s.emplace(tick, value(channel * 256 + static_cast<int>(next() % 4) * 4, static_cast<int>(next() % 100)));
        break;
      case 1:  // a spin-button click
        s.emplace(tick, value(channel * 256 + 20, static_cast<int>(next() % 16)));
        break;
      case 2:  // a slider dragged for 200 ms
        for (int i = 0; i < 10; ++i) s.emplace(tick + i, value(channel * 256 + 4, 30 + 2 * i));
        break;
      case 3:  // a band point dragged on the graph for 200 ms: frequency and gain
        for (int i = 0; i < 10; ++i) {
          s.emplace(tick + i, band(0x0005 + 5 * b + 1, 100 + 3 * i));
          s.emplace(tick + i, band(0x0005 + 5 * b + 2, 80 + i));
        }
        break;
      default:  // a typed band field
        s.emplace(tick, band(0x0005 + 5 * b + 3, static_cast<int>(next() % 100)));
        break;
    }
    tick += 10 + static_cast<int>(next() % 16);  // 200 to 500 ms to the next edit
  }
  return s;
}

struct Result {
  int heldAfterLastTicks = -1;
  int lagTicks = 0;
  long lost = 0;
  long repeats = 0;
  bool linked = false;
};

Result Run(long loseEvery, long loseAckEvery, bool repair = true) {
  static const Script script = HundredEdits();
  Line line;
  line.link.SetFastRepair(repair);
  line.emulator.faults.loseEvery = loseEvery;
  line.emulator.faults.loseAckEvery = loseAckEvery;
  const int lastEdit = script.rbegin()->first;
  Result r;
  for (int tick = 0; tick < lastEdit + 10000; ++tick) {
    const auto [from, to] = script.equal_range(tick);
    for (auto it = from; it != to; ++it) {
      it->second(line.link);
      line.port.Pump();
    }
    line.link.HoldTimerTimer();
    line.port.Pump();
    const bool busy = line.Busy();
    if (busy) ++r.lagTicks;
    if (tick > lastEdit && !busy) {
      r.heldAfterLastTicks = tick - lastEdit;
      break;
    }
  }
  r.lost = line.emulator.framesLost + line.emulator.acksLost;
  r.repeats = line.link.FastRepeatsSent();
  r.linked = line.link.LinkState == 2 && line.view.messages.empty();
  return r;
}

void BM_HundredEditsOnALossyLine(benchmark::State& state) {
  const long every = state.range(0);
  const bool acks = state.range(1) != 0;
  const bool repair = state.range(2) != 0;
  static const Result clean = Run(0, 0);
  Result r;
  for (auto _ : state) r = acks ? Run(0, every, repair) : Run(every, 0, repair);
  // Never held (the pacing before the fast repair could leave a lost band
  // frame unrepeated): -1.
  if (!r.linked) {
    state.SkipWithError("the link was lost");
    return;
  }
  std::string label = every == 0 ? "clean line"
                                  : "1 in " + std::to_string(every) + (acks ? " answers lost" : " frames lost");
  state.SetLabel(label + (repair ? "" : ", without the fast repair (before)"));
  state.counters["held_after_last_ms"] = r.heldAfterLastTicks < 0 ? -1 : r.heldAfterLastTicks * kTickMs;
  state.counters["lag_ms"] = r.lagTicks * kTickMs;
  state.counters["lost"] = static_cast<double>(r.lost);
  state.counters["repeats"] = static_cast<double>(r.repeats);
  state.counters["ms_per_loss"] =
      r.lost > 0 ? static_cast<double>((r.lagTicks - clean.lagTicks) * kTickMs) / static_cast<double>(r.lost) : 0;
}
// Arguments: 1 in how many lost (0: none), answers (1) or frames (0),
// with the fast repair (1) or without (0: the pacing before it).
BENCHMARK(BM_HundredEditsOnALossyLine)
    ->Args({0, 0, 1})
    ->Args({20, 0, 1})
    ->Args({3, 0, 1})
    ->Args({20, 1, 1})
    ->Args({3, 1, 1})
    ->Args({20, 0, 0})
    ->Args({3, 0, 0})
    ->Args({3, 1, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
