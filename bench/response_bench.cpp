// Cost of the equaliser graph's response curves: one band (the redraw after a
// drag step) and the busiest page's full recompute and sum (the microphone
// page: 15 peaking bands and a fourth-order high-pass).
#include <benchmark/benchmark.h>

#include "eq/response.h"
#include "eq/scales.h"

namespace {

void BM_SingleBand(benchmark::State& state) {
  dsp::BandCurve curve;
  int step = 0;
  for (auto _ : state) {
    const double f = dsp::StepValue(dsp::StepTable::Freq, step % 362);
    dsp::ComputeBandCurve(curve, f, 0, 1.4, 6.0);
    benchmark::DoNotOptimize(curve.data());
    benchmark::ClobberMemory();
    ++step;
  }
}
BENCHMARK(BM_SingleBand)->Unit(benchmark::kMicrosecond);

void BM_SingleHighPassFourthOrder(benchmark::State& state) {
  dsp::BandCurve curve;
  for (auto _ : state) {
    dsp::ComputeBandCurve(curve, 80, 105, 0.7, 0);
    benchmark::DoNotOptimize(curve.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SingleHighPassFourthOrder)->Unit(benchmark::kMicrosecond);

void BM_BusiestPageRecomputeAndSum(benchmark::State& state) {
  constexpr int kBands = 16;
  std::array<dsp::BandCurve, kBands> curves;
  dsp::BandCurve total;
  int round = 0;
  for (auto _ : state) {
    for (int band = 0; band < 15; ++band) {
      const int freq_step = (band * 24 + round) % 362;
      const double q = dsp::StepValue(dsp::StepTable::Q, (band * 7 + round) % 101);
      const double gain = dsp::GainDb((band * 11 + round) % 181);
      dsp::ComputeBandCurve(curves[band], dsp::StepValue(dsp::StepTable::Freq, freq_step), 0, q, gain);
    }
    dsp::ComputeBandCurve(curves[15], 100, 105, 0.7, 0);
    total.fill(0.0f);
    for (const auto& curve : curves) {
      for (int x = 0; x < dsp::GridPoints; ++x) total[x] += curve[x];
    }
    benchmark::DoNotOptimize(total.data());
    benchmark::ClobberMemory();
    ++round;
  }
}
BENCHMARK(BM_BusiestPageRecomputeAndSum)->Unit(benchmark::kMicrosecond);

}  // namespace
