// The front desk with a venue of 64 linked rooms (64 dsp-emulator
// processes on pseudo-terminals), served in this process:
//
//  - BM_GetRooms: GET /api/rooms (the summaries of all 64 rooms) from one
//    client, one request after another: the time per request is its
//    latency; with Arg 8, eight requests are kept in flight.
//  - BM_GetStaticFile: GET /desk.css, the baseline of the same run: what
//    the HTTP server itself costs per request.
//  - BM_IdleCpu: CPU time of this process (the server, its 64 links and
//    their heartbeats) per second of wall time, with 64 rooms and, first
//    of all (before the venue is made), with none (baseline). The
//    emulators run in their own processes and are not counted.
//
// Needs the dsp-emulator program beside this binary.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../support/idle_cpu.h"
#include "posix/emulator_process.h"
#include "server/front_desk.h"
#include "server/served_room.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRooms = 64;

bool RunUntil(const std::function<bool()>& done, int boundMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < boundMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// The venue, for the whole run.
struct Venue {
  std::vector<std::unique_ptr<dsp::posix::EmulatorProcess>> emulators;
  std::unique_ptr<dsp::server::FrontDesk> desk;
  bool ready = false;
  static Venue& Get() {
    static Venue venue;
    return venue;
  }
  Venue() {
    dsp::server::DeskOptions options;
    options.port = 0;
    options.token = "bench-token";
    desk = std::make_unique<dsp::server::FrontDesk>(options);
    for (int i = 0; i < kRooms; ++i) {
      emulators.push_back(std::make_unique<dsp::posix::EmulatorProcess>(std::vector<std::string>{}));
      if (emulators.back()->path().empty()) return;
      desk->AddRoom(std::make_unique<dsp::server::ServedRoom>("room-" + std::to_string(i), emulators.back()->path()));
    }
    QString problem;
    if (!desk->Listen(problem)) return;
    desk->StartRooms();
    ready = RunUntil(
        [&] {
          for (const auto& room : desk->Rooms())
            if (!room->Ready()) return false;
          return true;
        },
        300000);
  }
};

void BM_IdleCpu(benchmark::State& state) {
  const bool rooms = state.range(0) != 0;
  std::unique_ptr<dsp::server::FrontDesk> empty;
  if (rooms) {
    if (!Venue::Get().ready) {
      state.SkipWithError("the 64 rooms did not link");
      return;
    }
  } else {
    dsp::server::DeskOptions options;
    options.port = 0;
    options.token = "bench-token";
    empty = std::make_unique<dsp::server::FrontDesk>(options);
    QString problem;
    empty->Listen(problem);
  }
  state.SetLabel(rooms ? "64 linked rooms" : "no rooms");
  dsp::bench::MeasureIdleCpu(state, 10000);
}
BENCHMARK(BM_IdleCpu)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();  // before the venue exists
BENCHMARK(BM_IdleCpu)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void Get(benchmark::State& state, const QString& path) {
  Venue& venue = Venue::Get();
  if (!venue.ready) {
    state.SkipWithError("the 64 rooms did not link");
    return;
  }
  QNetworkAccessManager nam;
  const QUrl url(QStringLiteral("http://127.0.0.1:%1%2").arg(venue.desk->Port()).arg(path));
  const int inFlight = static_cast<int>(state.range(0));
  std::int64_t bytes = 0;
  for (auto _ : state) {
    std::vector<QNetworkReply*> replies;
    for (int i = 0; i < inFlight; ++i) replies.push_back(nam.get(QNetworkRequest(url)));
    RunUntil([&] { return std::all_of(replies.begin(), replies.end(), [](auto* r) { return r->isFinished(); }); }, 60000);
    for (QNetworkReply* reply : replies) {
      bytes += reply->readAll().size();
      if (reply->error() != QNetworkReply::NoError) state.SkipWithError("a request failed");
      delete reply;
    }
  }
  state.SetItemsProcessed(state.iterations() * inFlight);
  state.SetBytesProcessed(bytes);
}

void BM_GetRooms(benchmark::State& state) {
  Get(state, QStringLiteral("/api/rooms"));
}
BENCHMARK(BM_GetRooms)->Arg(1)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);

void BM_GetStaticFile(benchmark::State& state) {
  Get(state, QStringLiteral("/desk.css"));
}
BENCHMARK(BM_GetStaticFile)->Arg(1)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
