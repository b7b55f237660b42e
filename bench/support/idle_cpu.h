#pragma once
// The share of a core this process uses while its event loop runs with
// nothing asked of it: the idle benchmarks of the link, the venue and the
// front desk measure it the same way.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "../../tests/support/cpu_time.h"

namespace dsp::bench {

// Runs the event loop for `ms` per iteration and sets the counter
// "cpu_percent" to the CPU time used over the wall time.
inline void MeasureIdleCpu(benchmark::State& state, int ms) {
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double before = test::CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    cpu += test::CpuSeconds() - before;
    wall += static_cast<double>(clock.elapsed()) / 1000.0;
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
}

}  // namespace dsp::bench
