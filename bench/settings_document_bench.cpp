// Cost of the settings documents on a full setting (every entry of a preset
// file set): export to JSON, import back to a preset file, and the diff of
// two settings that differ everywhere as `dsp-control diff` prints it. The
// preset writer alone is the baseline.
#include <benchmark/benchmark.h>

#include "editmodel/settings.h"
#include "presets/preset_file.h"
#include "settingsdoc/settings_document.h"

namespace {

dsp::ParamStore Full(int seed) {
  dsp::ParamStore store;
  for (int c = 0; c < dsp::PresetChannels; ++c)
    for (int i = 0; i < dsp::kDeviceSlots; ++i)
      store.DeviceImage[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = (seed + i * 7 + c) % 20;
  return store;
}

void BM_PresetFileWriteBaseline(benchmark::State& state) {
  const dsp::ParamStore store = Full(1);
  for (auto _ : state) {
    std::string file = dsp::BuildPresetFile(store);
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_PresetFileWriteBaseline)->Unit(benchmark::kMillisecond);

void BM_ExportFullSetting(benchmark::State& state) {
  const std::string file = dsp::BuildPresetFile(Full(1));
  std::string error;
  for (auto _ : state) {
    auto doc = dsp::ExportPresetFile(file, dsp::SourceTexts(), "zh", error);
    benchmark::DoNotOptimize(doc->data());
  }
}
BENCHMARK(BM_ExportFullSetting)->Unit(benchmark::kMillisecond);

void BM_ImportFullSetting(benchmark::State& state) {
  std::string error;
  const std::string doc = *dsp::ExportPresetFile(dsp::BuildPresetFile(Full(1)), dsp::SourceTexts(), "zh", error);
  for (auto _ : state) {
    auto result = dsp::ImportSettings(doc, dsp::SourceTexts());
    benchmark::DoNotOptimize(result.file.data());
  }
}
BENCHMARK(BM_ImportFullSetting)->Unit(benchmark::kMillisecond);

void BM_DiffOfFullSettingsAsPrinted(benchmark::State& state) {
  const std::string a = dsp::BuildPresetFile(Full(1));
  const std::string b = dsp::BuildPresetFile(Full(2));
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto left = dsp::ReadPresetContent(a);
    const auto right = dsp::ReadPresetContent(b);
    const auto changes = dsp::Diff(left.settings, right.settings, dsp::DiffScope::Setting);
    std::string out;
    for (const auto& change : changes) out += dsp::ChangeLine(change) + "\n";
    lines = changes.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["changes"] = static_cast<double>(lines);
}
BENCHMARK(BM_DiffOfFullSettingsAsPrinted)->Unit(benchmark::kMillisecond);

}  // namespace
