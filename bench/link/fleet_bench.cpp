// A venue's backup: N rooms (1, 8, 32, 64), each an emulator on its own
// pseudo-terminal, all downloaded side by side on one event loop as the
// rooms command does, and each written to a preset file. The wall time of
// N rooms should stay close to one room's (the download is paced by each
// room's own 100 ms transfer tick, not by the others); rss_per_room_kb is
// the growth of the resident set per linked room.
//
// BM_FleetIdle: 64 linked, idle rooms (heartbeats only) for 3 s: CPU time
// per second of wall time.
//
// Needs the dsp-emulator program beside this binary.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../support/idle_cpu.h"
#include "posix/emulator_process.h"
#include "presets/preset_file.h"
#include "session/room.h"

namespace {

namespace fs = std::filesystem;

long ResidentKb() {
  std::ifstream in("/proc/self/status");
  std::string key;
  long value = 0;
  while (in >> key) {
    if (key == "VmRSS:") {
      in >> value;
      return value;
    }
    in.ignore(4096, '\n');
  }
  return 0;
}

// 64 emulators for the whole run, each with its own setting.
std::vector<std::unique_ptr<dsp::posix::EmulatorProcess>>& Emulators() {
  static std::vector<std::unique_ptr<dsp::posix::EmulatorProcess>> emulators = [] {
    std::vector<std::unique_ptr<dsp::posix::EmulatorProcess>> list;
    for (int i = 0; i < 64; ++i)
      list.push_back(std::make_unique<dsp::posix::EmulatorProcess>(
          std::vector<std::string>{"--random-image", "--seed", std::to_string(100 + i)}));
    return list;
  }();
  return emulators;
}

// Connects every room at once; true when all of them linked.
bool ConnectAll(std::vector<std::unique_ptr<dsp::Room>>& rooms) {
  int pending = static_cast<int>(rooms.size());
  bool ok = true;
  QEventLoop loop;
  for (auto& room : rooms) {
    room->Connect([&](bool linked) {
      ok = ok && linked;
      if (--pending == 0) loop.quit();
    });
  }
  if (pending > 0) loop.exec();
  return ok;
}

std::vector<std::unique_ptr<dsp::Room>> MakeRooms(int count) {
  std::vector<std::unique_ptr<dsp::Room>> rooms;
  for (int i = 0; i < count; ++i)
    rooms.push_back(std::make_unique<dsp::Room>("room-" + std::to_string(i),
                                                std::vector<std::string>{Emulators()[i]->path()}));
  return rooms;
}

void BM_FleetBackup(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (int i = 0; i < count; ++i) {
    if (Emulators()[i]->path().empty()) {
      state.SkipWithError("an emulator did not start");
      return;
    }
  }
  const fs::path dir = fs::temp_directory_path() / ("fleet_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  double perRoomKb = 0;
  for (auto _ : state) {
    const long before = ResidentKb();
    std::vector<std::unique_ptr<dsp::Room>> rooms = MakeRooms(count);
    if (!ConnectAll(rooms)) {
      state.SkipWithError("a room did not link");
      break;
    }
    perRoomKb = std::max(perRoomKb, static_cast<double>(ResidentKb() - before) / count);
    for (const auto& room : rooms) {
      if (!dsp::SavePresetFileAs(room->store(), dir / (room->name() + ".Wfxr"))) {
        state.SkipWithError("a preset file could not be written");
        break;
      }
    }
    rooms.clear();
    // The emulators take the closed terminals for a hang-up a moment later;
    // a port opened again before that loses its first answers.
    state.PauseTiming();
    ::usleep(50000);
    state.ResumeTiming();
  }
  state.counters["rooms"] = count;
  state.counters["rss_per_room_kb"] = perRoomKb;
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_FleetBackup)->Arg(1)->Arg(8)->Arg(32)->Arg(64)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FleetIdle(benchmark::State& state) {
  std::vector<std::unique_ptr<dsp::Room>> rooms = MakeRooms(64);
  if (!ConnectAll(rooms)) {
    state.SkipWithError("a room did not link");
    return;
  }
  dsp::bench::MeasureIdleCpu(state, 3000);
  state.counters["rooms"] = 64;
}
BENCHMARK(BM_FleetIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
