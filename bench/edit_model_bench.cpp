// Cost of the editing model: the diff of two whole settings that differ in
// every parameter (the load question and an A/B switch), the frame plan of
// such a switch, and what 1000 undo steps hold in memory.
#include <benchmark/benchmark.h>

#include "editmodel/edit_history.h"
#include "editmodel/param_cells.h"
#include "editmodel/settings.h"
#include "editmodel/write_plan.h"

namespace {

dsp::Settings Filled(int seed) {
  dsp::Settings s;
  for (auto& row : s.image)
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<std::int32_t>((seed + i * 7) % 90);
  return s;
}

void BM_DiffOfTwoFullSettings(benchmark::State& state) {
  const dsp::Settings a = Filled(1);
  const dsp::Settings b = Filled(2);
  for (auto _ : state) {
    auto changes = dsp::Diff(a, b, dsp::DiffScope::Setting);
    benchmark::DoNotOptimize(changes.data());
  }
  state.counters["changes"] = static_cast<double>(dsp::Diff(a, b, dsp::DiffScope::Setting).size());
}
BENCHMARK(BM_DiffOfTwoFullSettings)->Unit(benchmark::kMicrosecond);

void BM_AbSwitchFramePlan(benchmark::State& state) {
  const dsp::Settings a = Filled(1);
  dsp::Settings b = Filled(2);
  b.image[0][1] = 1;  // the other scene, too
  for (auto _ : state) {
    const auto changes = dsp::Diff(a, b, dsp::DiffScope::Setting);
    auto plan = dsp::PlanWrites(changes, b.Scene());
    benchmark::DoNotOptimize(plan.values.data());
  }
  const auto plan = dsp::PlanWrites(dsp::Diff(a, b, dsp::DiffScope::Setting), b.Scene());
  state.counters["valueFrames"] = static_cast<double>(plan.values.size());
  state.counters["bandFrames"] = static_cast<double>(plan.bands.size());
}
BENCHMARK(BM_AbSwitchFramePlan)->Unit(benchmark::kMicrosecond);

void BM_LoadQuestionReport(benchmark::State& state) {
  const auto changes = dsp::Diff(Filled(1), Filled(2), dsp::DiffScope::Setting);
  for (auto _ : state) {
    auto report = dsp::ReportDiff(changes, 8);
    benchmark::DoNotOptimize(report.all.data());
  }
}
BENCHMARK(BM_LoadQuestionReport)->Unit(benchmark::kMicrosecond);

// 1000 steps of an ordinary session: mostly single fields and band drags,
// every twentieth a whole-setting step (a preset load or an EQ reset).
void BM_HistoryOf1000Steps(benchmark::State& state) {
  const auto whole = dsp::Diff(Filled(1), Filled(2), dsp::DiffScope::Setting);
  std::size_t bytes = 0;
  std::size_t changes = 0;
  for (auto _ : state) {
    dsp::EditHistory history;
    for (int s = 0; s < 1000; ++s) {
      dsp::EditStep step;
      if (s % 20 == 19) {
        step.label = "加载预设 Club";
        step.changes = whole;
      } else {
        const int n = 1 + s % 3;
        for (int k = 0; k < n; ++k)
          step.changes.push_back({static_cast<std::uint16_t>((s * 13 + k) % dsp::CellCount()), s, s + 1});
      }
      history.Record(std::move(step));
    }
    bytes = history.MemoryBytes();
    changes = history.ChangeCount();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["changes"] = static_cast<double>(changes);
}
BENCHMARK(BM_HistoryOf1000Steps)->Unit(benchmark::kMillisecond);

}  // namespace
