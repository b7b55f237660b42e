#include "eq/response.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "common/rounding.h"

namespace dsp {
namespace {

// Every shape is designed at a quarter of the sampling rate. The angle is the
// 32-bit value nearest pi/2, so its cosine is a tiny negative number rather
// than exactly 0, as in the processor's own design tools.
constexpr float kDesignAngle = 1.5707964f;

// Shelves and filter sections are stretched before they are laid down: their
// whole range 0..pi is spread over the points K..462-K of the shape, with
// K = round(462 * 120 / 512) for shelves and round(462 * 140 / 512) for filter
// sections. Outside that range the shape keeps its value near 0 and near pi.
constexpr int kShelfMargin = 108;
constexpr int kSectionMargin = 126;

enum class Stretch { None, Shelf, Section };

// Filter section kinds.
enum class Kind { Off, ThirdRootQ, HalfRootQ, UserQ, FirstOrder, Butterworth };

struct Coefficients {
  float b0, b1, b2, a0, a1, a2;
};

struct Section {
  Kind kind;
  int order = 0;  // Butterworth order
  int index = 0;  // Butterworth section number
};

using Shape = std::array<float, GridPoints>;
using Phi = std::array<double, GridPoints>;

double DesignCos() {
  return std::cos(static_cast<double>(kDesignAngle));
}
double DesignSin() {
  return std::sin(static_cast<double>(kDesignAngle));
}

// Narrowing to 32 bits. A finite value beyond the float range becomes an
// infinity explicitly (the conversion itself would be undefined); such a
// value then fails the positive-and-finite test of the magnitude.
float ToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

Coefficients Store(double b0, double b1, double b2, double a0, double a1, double a2) {
  return {ToFloat(b0), ToFloat(b1), ToFloat(b2), ToFloat(a0), ToFloat(a1), ToFloat(a2)};
}

Coefficients PeakingCoefficients(double q, double gain) {
  const double cs = DesignCos(), sn = DesignSin();
  // The drawn Q is wider than the band's own: (Q + 0.01) * 2.8.
  const double q_design = (q + 0.01) / 0.35714285714285715;
  const double a = std::pow(10.0, gain / 40.0);
  const double alpha = sn / (2.0 * q_design);
  return Store(1 + alpha * a, -2 * cs, 1 - alpha * a, 1 + alpha / a, -2 * cs, 1 - alpha / a);
}

Coefficients ShelfCoefficients(bool low, double q, double gain) {
  const double cs = DesignCos(), sn = DesignSin();
  const double s = std::min(q, 4.0) + 0.001;
  const double a = std::pow(10.0, gain / 40.0);
  const double alpha = sn / 2.0 * std::sqrt(std::fabs((a + 1 / a) * (1 / s - 1) + 2));
  const double r = 2 * std::sqrt(a) * alpha;
  if (low) {
    return Store(a * ((a + 1) - (a - 1) * cs + r), 2 * a * ((a - 1) - (a + 1) * cs),
                 a * ((a + 1) - (a - 1) * cs - r), (a + 1) + (a - 1) * cs + r, -2 * ((a - 1) + (a + 1) * cs),
                 (a + 1) + (a - 1) * cs - r);
  }
  return Store(a * ((a + 1) + (a - 1) * cs + r), -2 * a * ((a - 1) + (a + 1) * cs),
               a * ((a + 1) + (a - 1) * cs - r), (a + 1) - (a - 1) * cs + r, 2 * ((a - 1) - (a + 1) * cs),
               (a + 1) - (a - 1) * cs - r);
}

Coefficients SectionCoefficients(bool low_pass, const Section& section, double q) {
  const double cs = DesignCos(), sn = DesignSin();
  double alpha = 0;
  switch (section.kind) {
    case Kind::Off:
      return Store(1, 0, 0, 1, 0, 0);
    case Kind::FirstOrder:
      if (low_pass) return Store(sn, sn, 0, 1 + sn + cs, sn - cs - 1, 0);
      return Store(1 + cs, -(1 + cs), 0, 1 + sn + cs, sn - cs - 1, 0);
    case Kind::ThirdRootQ:
      alpha = sn * std::sqrt(3.0) / 2;
      break;
    case Kind::HalfRootQ:
      alpha = sn * std::sqrt(2.0) / 2;
      break;
    case Kind::UserQ:
      alpha = sn / (2 * (std::min(q, 4.0) + 0.001));
      break;
    case Kind::Butterworth:
      alpha = sn * std::sin((section.index + 0.5) * std::numbers::pi / section.order);
      break;
  }
  if (low_pass) return Store((1 - cs) / 2, 1 - cs, (1 - cs) / 2, 1 + alpha, -2 * cs, 1 - alpha);
  return Store((1 + cs) / 2, -(1 + cs), (1 + cs) / 2, 1 + alpha, -2 * cs, 1 - alpha);
}

// The sample position m(n) of shape point n, in units of pi / 462.
double SamplePosition(int n, Stretch stretch) {
  if (stretch == Stretch::None) return n;
  const int margin = stretch == Stretch::Shelf ? kShelfMargin : kSectionMargin;
  const bool below_margin = stretch == Stretch::Shelf ? n < margin : n <= margin;
  if (below_margin) return 1;
  const double h = GridMiddle;
  if (n <= GridMiddle) return h * (n - margin) / (h - margin);
  if (n <= GridWidth - margin) return h + h * (n - h) / (h - margin);
  return GridWidth - 1;
}

// phi = (2 sin(w / 2))^2 for every shape point: the only angle-dependent term
// of the magnitude, shared by both sections of a two-section shape.
void FillPhi(Phi& phi, Stretch stretch) {
  for (int n = 0; n < GridPoints; ++n) {
    const double w = SamplePosition(n, stretch) * std::numbers::pi / GridWidth;
    const double half = 2 * std::sin(w / 2);
    phi[n] = half * half;
  }
}

// Magnitude in dB of one section at every shape point:
//   10 log10(P) - 10 log10(R), with P and R the squared magnitudes of the
//   numerator and the denominator written in phi.
// A point where P or R is not a positive finite number (a zero of the filter,
// or coefficients broken by an absurd Q or gain) has no logarithm: it repeats
// the previous point, and points before the first good one repeat that one.
// A shape without any good point is flat.
void FillShape(Shape& shape, const Coefficients& c, const Phi& phi) {
  const double b0 = c.b0, b1 = c.b1, b2 = c.b2, a0 = c.a0, a1 = c.a1, a2 = c.a2;
  const double sb = (b0 + b1 + b2) * (b0 + b1 + b2);
  const double cb = b1 * (b0 + b2) + 4 * b0 * b2;
  const double sa = (a0 + a1 + a2) * (a0 + a1 + a2);
  const double ca = a1 * (a0 + a2) + 4 * a0 * a2;
  const double bb = b0 * b2, aa = a0 * a2;

  int pending = 0;  // leading points still waiting for a good value
  bool seen_good = false;
  float last = 0;
  for (int n = 0; n < GridPoints; ++n) {
    const float p = ToFloat(phi[n] * (bb * phi[n] - cb) + sb);
    const float r = ToFloat(phi[n] * (aa * phi[n] - ca) + sa);
    if (std::isfinite(p) && std::isfinite(r) && p > 0 && r > 0) {
      last = ToFloat(10.0 * std::log10(static_cast<double>(p) / static_cast<double>(r)));
      if (!seen_good) {
        for (int i = 0; i < pending; ++i) shape[i] = last;
        seen_good = true;
      }
      shape[n] = last;
    } else if (seen_good) {
      shape[n] = last;
    } else {
      ++pending;
    }
  }
  if (!seen_good) shape.fill(0.0f);
}

// Lays a shape onto the design axis with its middle point on x0. Below x0 the
// shape runs out at its point 0 and holds it; above x0 it holds point 461
// (point 462 is never placed). x0 may lie anywhere, even off the axis: only
// the 463 points of the curve are written.
void Place(BandCurve& curve, const Shape& shape, std::int64_t x0) {
  x0 = std::clamp<std::int64_t>(x0, -GridPoints, 2 * GridPoints);
  for (int x = 0; x < GridPoints; ++x) {
    const std::int64_t j = std::clamp<std::int64_t>(GridMiddle + x - x0, 0, GridWidth - 1);
    curve[x] = shape[static_cast<std::size_t>(j)];
  }
}

// The widest Q steps are drawn a little wider than they read.
double DrawnQ(double q) {
  if (q == 102) return 98;
  if (q == 108) return 100;
  if (q == 114) return 101;
  if (q == 121) return 102;
  if (q == 128) return 103;
  return q;
}

struct FilterSlope {
  Section first;
  Section second;
  bool two_sections;
  bool doubled;
};

FilterSlope SlopeOf(int d) {
  switch (d) {
    case 1:
      return {{Kind::ThirdRootQ}, {}, false, false};
    case 2:
      return {{Kind::HalfRootQ}, {}, false, false};
    case 3:
      return {{Kind::FirstOrder}, {Kind::FirstOrder}, true, false};
    case 4:
      return {{Kind::ThirdRootQ}, {Kind::ThirdRootQ}, true, false};
    case 5:
      return {{Kind::Butterworth, 4, 0}, {Kind::Butterworth, 4, 1}, true, false};
    case 6:
      return {{Kind::HalfRootQ}, {Kind::HalfRootQ}, true, false};
    case 7:
      return {{Kind::UserQ}, {}, false, false};
    case 8:
      return {{Kind::UserQ}, {Kind::UserQ}, true, false};
    case 9:
      return {{Kind::Butterworth, 3, 0}, {Kind::FirstOrder}, true, true};
    default:
      return {{Kind::Off}, {}, false, false};
  }
}

}  // namespace

double GridX(double frequency) {
  // Also catches NaN.
  if (!(frequency >= 1.0)) frequency = 1.0;
  return (std::log10(frequency) - 1) / GridDecades * GridWidth;
}

double GridFreq(double x) {
  return std::pow(10.0, x * GridDecades / GridWidth + 1);
}

void ComputeBandCurve(BandCurve& curve, double frequency, int type, double q, double gain) {
  // The band frequency counts in whole hertz (20.5 Hz is 20 Hz); then it is
  // snapped to the design axis, again in whole hertz.
  frequency = static_cast<double>(RoundHalfEven(frequency));
  const std::int64_t snapped_x = RoundHalfEven(GridX(frequency));
  double f = static_cast<double>(RoundHalfEven(GridFreq(static_cast<double>(snapped_x))));
  if (f < 10) f = 10;
  const std::int64_t x0 = RoundHalfEven((std::log10(f) - 1) / GridDecades * GridWidth);

  q = DrawnQ(q);
  const int code = type & 0xFF;

  Phi phi;
  Shape shape;
  if (code == BandPeaking || (code >= 5 && code < HighPassFamily)) {
    FillPhi(phi, Stretch::None);
    FillShape(shape, PeakingCoefficients(q, code == BandPeaking ? gain : 0.0), phi);
  } else if (code == BandLowShelf || code == BandHighShelf) {
    FillPhi(phi, Stretch::Shelf);
    FillShape(shape, ShelfCoefficients(code == BandLowShelf, q, gain), phi);
  } else {
    const bool low_pass = code == BandUserLowPass || code >= LowPassFamily;
    const FilterSlope slope =
        code < HighPassFamily ? FilterSlope{{Kind::UserQ}, {}, false, false} : SlopeOf(code % 10);
    FillPhi(phi, Stretch::Section);
    FillShape(shape, SectionCoefficients(low_pass, slope.first, q), phi);
    if (slope.two_sections) {
      Shape second;
      FillShape(second, SectionCoefficients(low_pass, slope.second, q), phi);
      for (int n = 0; n < GridPoints; ++n) {
        const double sum = static_cast<double>(shape[n]) + second[n];
        shape[n] = ToFloat(slope.doubled ? 2 * sum : sum);
      }
    }
  }
  Place(curve, shape, x0);
}

}  // namespace dsp
