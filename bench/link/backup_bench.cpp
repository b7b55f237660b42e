// A backup's transfer over each kind of line, with the same pacing: the
// processor emulator on a pseudo-terminal, reached directly, through
// ser2net's raw TCP accepter and through its RFC 2217 accepter. One
// iteration is the command line's backup: find the processor, download
// everything, write the preset file. The download is paced by the link's
// 100 ms transfer tick, so the lines should take the same time; a network
// line that took longer would show here.
//
// BM_LinkedIdle measures what a linked, idle link costs on each line (the
// heartbeat once a second; the pacing sleeps between due ticks): CPU time
// per second of wall time.
//
// Needs the dsp-emulator program beside this binary and ser2net installed.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <array>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>

#include "../support/idle_cpu.h"
#include "posix/emulator_process.h"
#include "posix/ser2net_process.h"
#include "presets/preset_file.h"
#include "session/room.h"

namespace {

namespace fs = std::filesystem;

// A pause outside the measured work between closing a port and opening it
// again (see BM_Backup).
void SettleAfterClose() {
  ::usleep(50000);
}

// Runs one operation of `room` on the event loop until it ends.
bool RunOperation(dsp::Room& room, const std::function<void(dsp::Room::Done)>& start) {
  bool ok = false;
  QEventLoop loop;
  start([&](bool result) {
    ok = result;
    loop.quit();
  });
  loop.exec();
  return ok;
}

// One backup as the command line makes it: find the processor, download
// everything, write the preset file; the room closes at the end.
bool BackupOnce(const std::string& port, const fs::path& file, benchmark::State& state, int number) {
  dsp::Room room("bench", {port});
  if (!RunOperation(room, [&](dsp::Room::Done done) { room.Connect(std::move(done)); })) {
    const std::string why = room.error() + " (backup " + std::to_string(number) + ")";
    state.SkipWithError(why.c_str());
    return false;
  }
  if (!dsp::SavePresetFileAs(room.store(), file)) {
    state.SkipWithError("the preset file could not be written");
    return false;
  }
  return true;
}

// For the whole run, an emulator per kind of line: one reached directly on
// its pseudo-terminal, one behind a ser2net for raw TCP and one behind
// another for RFC 2217, so that no two kinds of line share a terminal (a
// ser2net holds the terminal it serves open).
struct Rig {
  std::array<dsp::posix::EmulatorProcess, 3> emulators{
      dsp::posix::EmulatorProcess{{"--random-image", "--seed", "3"}},
      dsp::posix::EmulatorProcess{{"--random-image", "--seed", "3"}},
      dsp::posix::EmulatorProcess{{"--random-image", "--seed", "3"}}};
  std::array<std::unique_ptr<dsp::posix::Ser2netProcess>, 3> servers;
  Rig() {
    for (int kind : {1, 2})
      if (!emulators[kind].path().empty())
        servers[kind] = std::make_unique<dsp::posix::Ser2netProcess>(emulators[kind].path());
  }
  bool Started() const {
    for (int kind : {0, 1, 2})
      if (emulators[kind].path().empty() || (kind > 0 && (!servers[kind] || !servers[kind]->started())))
        return false;
    return true;
  }
  std::string Port(int kind) const {
    if (kind == 0) return emulators[0].path();
    return kind == 1 ? servers[1]->rawUrl() : servers[2]->rfc2217Url();
  }
  static Rig& Get() {
    static Rig rig;
    return rig;
  }
};

const char* KindName(int kind) {
  return kind == 0 ? "pseudo-terminal" : kind == 1 ? "raw TCP" : "RFC 2217";
}

void BM_Backup(benchmark::State& state) {
  Rig& rig = Rig::Get();
  if (!rig.Started()) {
    state.SkipWithError("the emulator or ser2net did not start");
    return;
  }
  const int kind = static_cast<int>(state.range(0));
  state.SetLabel(KindName(kind));
  const fs::path file = fs::temp_directory_path() / ("backup_bench_" + std::to_string(::getpid()) + ".Wfxr");
  int done = 0;
  for (auto _ : state) {
    if (!BackupOnce(rig.Port(kind), file, state, done + 1)) break;
    ++done;
    // The emulator takes the closed terminal for a hang-up a moment later;
    // a port opened again before that loses its first answers.
    state.PauseTiming();
    SettleAfterClose();
    state.ResumeTiming();
  }
  std::error_code ec;
  fs::remove(file, ec);
}
BENCHMARK(BM_Backup)->Arg(0)->Arg(1)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LinkedIdle(benchmark::State& state) {
  Rig& rig = Rig::Get();
  if (!rig.Started()) {
    state.SkipWithError("the emulator or ser2net did not start");
    return;
  }
  const int kind = static_cast<int>(state.range(0));
  state.SetLabel(KindName(kind));
  dsp::Room room("bench", {rig.Port(kind)});
  if (!RunOperation(room, [&](dsp::Room::Done done) { room.Connect(std::move(done)); })) {
    state.SkipWithError(room.error().c_str());
    return;
  }
  dsp::bench::MeasureIdleCpu(state, 3000);
}
BENCHMARK(BM_LinkedIdle)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
