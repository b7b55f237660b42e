#include "eq/graph_geometry.h"

#include <cmath>

#include "common/rounding.h"
#include "eq/response.h"

namespace dsp {

namespace {

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

// The vertical span of the decibel axis: H - 1 pixels, at least one so a
// degenerate picture never divides by zero.
double Span(int height) {
  return height > 1 ? static_cast<double>(height - 1) : 1.0;
}

}  // namespace

double GraphGeometry::GridScale() const {
  return width_ > 0 ? static_cast<double>(width_) / GridWidth : 1.0;
}

double GraphGeometry::FreqToX(double f) const {
  return (std::log10(f) - 1) / GridDecades * GridWidth * GridScale();
}

double GraphGeometry::XToFreq(double x) const {
  return std::pow(10.0, x * GridDecades / (GridWidth * GridScale()) + 1);
}

double GraphGeometry::DbToY(double db) const {
  return (kGraphTopDb - db) / (kGraphTopDb - kGraphBottomDb) * Span(height_);
}

double GraphGeometry::YToDb(double y) const {
  return kGraphTopDb - y / Span(height_) * (kGraphTopDb - kGraphBottomDb);
}

std::vector<GridLine> GridLines(const GraphGeometry& g) {
  std::vector<GridLine> lines;
  const int w = g.Width();
  const int h = g.Height();
  auto horizontal = [&](double db, Rgb colour) {
    const int y = Px(g.DbToY(db));
    lines.push_back({0, y, w, y, colour});
  };
  auto vertical = [&](double x, Rgb colour) {
    const int px = Px(x);
    lines.push_back({px, 0, px, h, colour});
  };
  for (int d = -24; d <= 12; ++d) {
    const Rgb colour = d % 3 != 0 ? GridDark : (d == -24 || d == 0 || d == 12 ? GridBright : GridMedium);
    horizontal(d, colour);
  }
  vertical(0, GridBright);
  for (double f : {100.0, 1000.0, 10000.0}) vertical(g.FreqToX(f), GridBright);
  vertical(w - 1, GridBright);
  for (double decade : {10.0, 100.0, 1000.0}) {
    for (int m = 2; m <= 9; ++m) vertical(g.FreqToX(decade * m), GridMedium);
  }
  vertical(g.FreqToX(20000), GridMedium);
  horizontal(kGraphTopDb, GridBright);
  horizontal(kGraphBottomDb, GridBright);
  return lines;
}

std::vector<AxisLabel> AxisLabels(const GraphGeometry& g, int areaLeft, int areaTop) {
  constexpr int kDbWidth = 32, kDbHeight = 13, kHzWidth = 36, kHzHeight = 13;
  std::vector<AxisLabel> labels;
  for (int n = 0; n <= 10; ++n) {
    const int d = -24 + 6 * n;
    labels.push_back({"EQLabelY" + std::to_string(n), std::to_string(d) + "dB", areaLeft - kDbWidth - 2,
                      Px(g.DbToY(d)) + areaTop - kDbHeight / 2, kDbWidth, kDbHeight, true});
  }
  const struct {
    double hz;
    const char* text;
  } marks[] = {{20, "20Hz"},   {50, "50Hz"},   {100, "100Hz"}, {200, "200Hz"},   {500, "500Hz"},
               {1000, "1KHz"}, {2000, "2KHz"}, {5000, "5KHz"}, {10000, "10KHz"}, {20000, "20KHz"}};
  int n = 11;
  for (const auto& m : marks) {
    labels.push_back({"EQLabelX" + std::to_string(n++), m.text, Px(g.FreqToX(m.hz)) + areaLeft - kHzWidth / 2,
                      areaTop + g.Height(), kHzWidth, kHzHeight, false});
  }
  return labels;
}

}  // namespace dsp
