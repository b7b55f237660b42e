#pragma once
// Pixel geometry of the EQ graph: the mapping between hertz / decibels and
// the pixels of the graph picture, the grid the background is made of and
// the places of the axis labels around it. Pure computation, no widgets.
//
// The frequency axis spans 10 Hz at x = 0 to 24 000 Hz at x = W
// logarithmically; the decibel axis spans +12 dB at y = 0 to -24 dB at
// y = H - 1 (the horizontal mapping uses the full width, the vertical one
// H - 1). All mappings return real numbers; callers round where they need
// pixels.

#include <cstdint>
#include <string>
#include <vector>

namespace dsp {

constexpr double kGraphTopDb = 12.0;
constexpr double kGraphBottomDb = -24.0;

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Grid colours, pen width 1 pixel.
constexpr Rgb GridBright{0, 200, 0};
constexpr Rgb GridMedium{0, 103, 51};
constexpr Rgb GridDark{0, 18, 9};

class GraphGeometry {
 public:
  GraphGeometry() = default;
  GraphGeometry(int width, int height) : width_(width), height_(height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Width / 462: design points to pixels. 1.0 for an empty picture.
  double GridScale() const;

  double FreqToX(double f) const;
  double XToFreq(double x) const;
  double DbToY(double db) const;
  double YToDb(double y) const;

 private:
  int width_ = 0;
  int height_ = 0;
};

// One straight grid line, coordinates already rounded to whole pixels.
struct GridLine {
  int x1, y1, x2, y2;
  Rgb colour;
};

// The lines of the background picture in drawing order: 37 decibel lines
// (every whole decibel from -24 to +12), the bright left edge, 100 Hz, 1 kHz,
// 10 kHz and right edge, the medium lines at 20..90 Hz, 200..900 Hz,
// 2..9 kHz and 20 kHz, and the bright top and bottom lines again on top.
std::vector<GridLine> GridLines(const GraphGeometry& geometry);

// An axis label beside the graph. Positions are in the coordinates of the
// panel around the graph area, whose top left corner is (areaLeft, areaTop).
struct AxisLabel {
  std::string name;  // "EQLabelY0".."EQLabelY10", "EQLabelX11".."EQLabelX20"
  std::string text;  // "-24dB" .. "36dB", "20Hz" .. "20KHz"
  int left, top, width, height;
  bool rightAligned;  // decibel labels; frequency labels are centred
};
std::vector<AxisLabel> AxisLabels(const GraphGeometry& geometry, int areaLeft, int areaTop);

}  // namespace dsp
