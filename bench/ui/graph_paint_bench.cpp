// Cost of one drawing of the EQ graph as the window does it: load the bands
// from the store, recompute, sum, put the grid picture back and paint the
// curve, on an off-screen picture of the design size (1078 x 297) at pixel
// ratios 1 and 2. The full redraw is the busiest page (the microphones: 15
// bands and the high-pass); a drag step recomputes one band.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>

#include "eq/band_slots.h"
#include "eq/graph_geometry.h"
#include "graph/graph_image.h"
#include "store/param_store.h"

namespace {

using namespace dsp;

const GraphGeometry kGraph(1078, 297);

ParamStore BusyMicrophones() {
  ParamStore store;
  for (int band = 0; band < 15; ++band) {
    store.SetParam(MakeAddress(1, EqSlot(1, band, 0)), band % 3);
    store.SetParam(MakeAddress(1, EqSlot(1, band, 1)), 20 + band * 22);
    store.SetParam(MakeAddress(1, EqSlot(1, band, 2)), 60 + band * 8);
    store.SetParam(MakeAddress(1, EqSlot(1, band, 3)), 10 + band * 5);
    store.SetParam(MakeAddress(1, EqSlot(1, band, 4)), band);
  }
  store.SetParam(0x0100, 60);  // high-pass on
  return store;
}

void Redraw(benchmark::State& state, int band) {
  const qreal ratio = static_cast<qreal>(state.range(0));
  ParamStore store = BusyMicrophones();
  BandSlots bands;
  bands.DrawEq(store, AllBands, 1, kGraph, false);
  const QImage background = GraphImage::PaintBackground(kGraph, ratio);
  const QColor colour(0, 204, 255);
  int step = 0;
  for (auto _ : state) {
    // A drag step changes the band's frequency each time.
    if (band != AllBands) store.SetParam(MakeAddress(1, EqSlot(1, band, 1)), 100 + (step++ % 100));
    const EqDrawing d = bands.DrawEq(store, band, 1, kGraph, band != AllBands);
    QImage picture = background.copy();
    GraphImage::PaintCurve(picture, d.curve, colour);
    benchmark::DoNotOptimize(picture.constBits());
  }
}

void BM_FullRedraw(benchmark::State& state) {
  Redraw(state, AllBands);
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_DragStep(benchmark::State& state) {
  Redraw(state, 7);
}
BENCHMARK(BM_DragStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_BackgroundBuild(benchmark::State& state) {
  const qreal ratio = static_cast<qreal>(state.range(0));
  for (auto _ : state) {
    QImage image = GraphImage::PaintBackground(kGraph, ratio);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_BackgroundBuild)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
