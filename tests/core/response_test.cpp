#include "eq/response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "eq/scales.h"

namespace dsp {
namespace {

BandCurve Curve(double frequency, int type, double q, double gain) {
  BandCurve curve;
  curve.fill(std::numeric_limits<float>::quiet_NaN());
  ComputeBandCurve(curve, frequency, type, q, gain);
  return curve;
}

// Index of the design point nearest a frequency.
int X0(double frequency) {
  return static_cast<int>(std::lround(GridX(frequency)));
}

bool AllFinite(const BandCurve& curve) {
  return std::all_of(curve.begin(), curve.end(), [](float v) { return std::isfinite(v); });
}

bool Near(const BandCurve& a, const BandCurve& b, double tolerance) {
  for (int x = 0; x < GridPoints; ++x) {
    if (std::fabs(a[x] - b[x]) > tolerance) return false;
  }
  return true;
}

TEST(GridMapping, EndsAndInverse) {
  EXPECT_DOUBLE_EQ(GridX(10), 0);
  EXPECT_NEAR(GridX(24000), GridWidth, 1e-9);
  EXPECT_DOUBLE_EQ(GridX(0), GridX(1));
  EXPECT_DOUBLE_EQ(GridX(-5), GridX(1));
  for (double f : {10.0, 19.7, 1000.0, 20600.0, 24000.0}) EXPECT_NEAR(GridFreq(GridX(f)), f, f * 1e-12);
  EXPECT_EQ(X0(20), 41);
  EXPECT_EQ(X0(1000), 273);
  EXPECT_EQ(X0(20600), 453);
}

TEST(BandCurve, FlatShapes) {
  struct Case {
    int type;
    double q, gain;
  } cases[] = {
      {0, 1.0, 0.0},   {0, 128.0, 0.0}, {1, 1.0, 0.0},   {2, 2.0, 0.0},   {5, 1.0, 12.0},  {50, 0.4, -24.0},
      {99, 10.0, 6.0}, {100, 1.0, 0.0}, {200, 1.0, 0.0}, {110, 1.0, 0.0}, {250, 1.0, 0.0}, {356, 1.0, 0.0},
  };
  for (const auto& c : cases) {
    for (double f : {20.0, 1000.0, 20600.0}) {
      const BandCurve curve = Curve(f, c.type, c.q, c.gain);
      for (int x = 0; x < GridPoints; ++x) ASSERT_EQ(curve[x], 0.0f) << c.type << " at " << f << " x " << x;
    }
  }
}

TEST(BandCurve, PeakAt1000HzIsCentredAndSymmetric) {
  const BandCurve curve = Curve(1000, 0, 1.0, 12);
  const auto peak = std::max_element(curve.begin(), curve.end()) - curve.begin();
  EXPECT_EQ(peak, 273);
  EXPECT_NEAR(curve[273], 12.0, 1e-4);
  for (int d = 1; 273 + d < GridPoints; ++d) EXPECT_NEAR(curve[273 - d], curve[273 + d], 1e-3) << d;
  EXPECT_LT(curve[0], 0.05);
  // A cut mirrors the boost.
  const BandCurve cut = Curve(1000, 0, 1.0, -12);
  EXPECT_TRUE(Near(
      cut,
      [&] {
        BandCurve negated;
        for (int x = 0; x < GridPoints; ++x) negated[x] = -curve[x];
        return negated;
      }(),
      1e-3));
}

// The shape is the same wherever the band sits; only its position changes.
// A band at 10 Hz (x0 = 0) shows the shape's upper half and one at 1000 Hz
// (x0 = 273) most of its lower half, so the 20 Hz band (x0 = 41) can be
// checked against both, including the held end value.
TEST(BandCurve, PlacementAt20Hz) {
  for (int type : {0, 1, 2, 105, 209}) {
    const BandCurve at10 = Curve(10, type, 0.4, 9);
    const BandCurve at1000 = Curve(1000, type, 0.4, 9);
    const BandCurve at20 = Curve(20, type, 0.4, 9);
    for (int x = 0; x < 41; ++x) EXPECT_EQ(at20[x], at1000[x + 232]) << type << " x " << x;
    for (int x = 41; x < GridPoints; ++x) {
      EXPECT_EQ(at20[x], at10[std::min(x - 41, 230)]) << type << " x " << x;
    }
    // From x = 272 on the curve holds shape point 461.
    for (int x = 272; x < GridPoints; ++x) EXPECT_EQ(at20[x], at20[272]);
  }
}

TEST(BandCurve, PlacementAt20600Hz) {
  const BandCurve shelf = Curve(20600, 1, 1.0, 12);
  const BandCurve at1000 = Curve(1000, 1, 1.0, 12);
  // Upwards only the 10 points 453..462 come from the shape; downwards the
  // shape runs out at x = 222 and its point 0 is held below.
  for (int x = 222; x < GridPoints; ++x) EXPECT_EQ(shelf[x], at1000[x - 180]) << x;
  for (int x = 0; x < 222; ++x) EXPECT_EQ(shelf[x], shelf[222]) << x;
  EXPECT_NEAR(shelf[0], 12.0, 1e-3);
  EXPECT_NEAR(shelf[453], 6.0, 1e-3);
}

TEST(BandCurve, ShelfQAboveFourDrawsAsFour) {
  for (int type : {1, 2}) {
    const BandCurve four = Curve(500, type, 4.0, -9);
    for (double q : {4.5, 10.0, 128.0}) EXPECT_EQ(Curve(500, type, q, -9), four) << type << " Q " << q;
    EXPECT_NE(Curve(500, type, 3.8, -9), four);
  }
}

// Exactly the five largest Q steps are replaced: 121 draws with Q 102, while a
// Q of exactly 102 itself draws with 98.
TEST(BandCurve, WidestQStepsDrawWider) {
  struct Case {
    double shown, drawn;
  } cases[] = {{102, 98}, {108, 100}, {114, 101}, {121, 102}, {128, 103}};
  for (const auto& c : cases) {
    const BandCurve shown = Curve(2000, 0, c.shown, 10);
    EXPECT_TRUE(Near(shown, Curve(2000, 0, c.drawn + 1e-9, 10), 1e-5)) << c.shown;
    EXPECT_FALSE(Near(shown, Curve(2000, 0, c.shown + 1e-9, 10), 1e-5)) << c.shown;
  }
  EXPECT_FALSE(Near(Curve(2000, 0, 96, 10), Curve(2000, 0, 98, 10), 1e-5));
}

TEST(BandCurve, TwoSectionShapesAreSums) {
  struct Case {
    int two, one;
    float factor;
  } cases[] = {{104, 101, 2}, {106, 102, 2}, {108, 107, 2}, {204, 201, 2},
               {206, 202, 2}, {208, 207, 2}, {107, 3, 1},   {207, 4, 1}};
  for (const auto& c : cases) {
    const BandCurve two = Curve(700, c.two, 1.7, 0);
    const BandCurve one = Curve(700, c.one, 1.7, 0);
    for (int x = 0; x < GridPoints; ++x) ASSERT_EQ(two[x], c.factor * one[x]) << c.two << " x " << x;
  }
}

// Deep in the stop band the fall per design point grows with the order: a
// fourth-order code falls twice as steeply as 102/202, and 109/209 (a
// third-order shape drawn doubled) three times.
TEST(BandCurve, FilterSlopes) {
  const int x0 = X0(1000);
  auto fall = [x0](int type) {
    const BandCurve c = Curve(1000, type, 1.0, 0);
    return type < 200 ? c[x0 - 80] - c[x0 - 100] : c[x0 + 80] - c[x0 + 100];
  };
  struct Case {
    int type, reference;
    double ratio;
  } cases[] = {{101, 102, 1}, {103, 102, 1}, {104, 102, 2}, {105, 102, 2}, {106, 102, 2}, {109, 102, 3},
               {201, 202, 1}, {203, 202, 1}, {204, 202, 2}, {205, 202, 2}, {206, 202, 2}, {209, 202, 3}};
  EXPECT_GT(fall(102), 20.0);
  for (const auto& c : cases) EXPECT_NEAR(fall(c.type) / fall(c.reference), c.ratio, 0.05) << c.type;

  // A high-pass passes the top of the axis and a low-pass its bottom.
  for (int type : {102, 105, 109}) {
    const BandCurve hp = Curve(1000, type, 1.0, 0);
    const BandCurve lp = Curve(1000, type + 100, 1.0, 0);
    EXPECT_NEAR(hp[GridWidth], 0.0, 0.01) << type;
    EXPECT_NEAR(lp[0], 0.0, 0.01) << type;
    for (int x = 1; x < x0; ++x) ASSERT_LE(hp[x - 1], hp[x] + 1e-4) << type << " x " << x;
  }
}

// A low-pass section is exactly zero at the top of its stretched range (shape
// point 336, x0 + 105 on the curve): that point has no logarithm and repeats
// the point before it.
TEST(BandCurve, LowPassZeroRepeatsPreviousPoint) {
  for (int type : {202, 203, 205}) {
    const BandCurve curve = Curve(1000, type, 1.0, 0);
    ASSERT_TRUE(AllFinite(curve));
    EXPECT_EQ(curve[X0(1000) + 105], curve[X0(1000) + 104]) << type;
    EXPECT_LT(curve[X0(1000) + 104], curve[X0(1000) + 103]) << type;
  }
}

TEST(BandCurve, EveryInputGivesFiniteCurve) {
  std::vector<double> qs;
  for (int step = 0; step < StepCount(StepTable::Q); ++step) qs.push_back(StepValue(StepTable::Q, step));
  for (double q : {-1.0, -0.01, -0.001, 0.0, 1e-6, 0.2, 4.001, 129.0, 1e6, 1e300}) qs.push_back(q);
  const double freqs[] = {1, 5, 10, 19.7, 20, 440, 1000, 12000, 20600, 23000, 24000, 26000, 30000};
  constexpr int kFreqs = sizeof(freqs) / sizeof(freqs[0]);

  // Every type with every Q; the peaking band and the shelves over the gain
  // range as well. The frequency and, where the gain is ignored, the gain
  // cycle through their lists.
  int run = 0;
  for (int type = 0; type < 256; ++type) {
    const bool gain_matters = type <= 2;
    for (double q : qs) {
      for (int g = 0; g <= 180; g += gain_matters ? 12 : 181) {
        const double f = freqs[run % kFreqs];
        const int gain_step = gain_matters ? g : (run * 37) % 181;
        ++run;
        const BandCurve curve = Curve(f, type, q, GainDb(gain_step));
        ASSERT_TRUE(AllFinite(curve)) << "type " << type << " f " << f << " Q " << q << " gain " << gain_step;
      }
    }
  }
}

TEST(BandCurve, AnyFrequencyStaysOnTheCurve) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> freqs{-inf, -1, 0, 0.5, nan, 24000, 24100, 30000, 1e6, 1e300, inf};
  for (double f = 1; f <= 30000; f *= 1.05) freqs.push_back(f);
  for (double f : freqs) {
    for (int type : {0, 2, 105, 209}) {
      // Guard values around the curve catch a write past either end.
      struct Guarded {
        float before;
        BandCurve curve;
        float after;
      } g{-7.5f, {}, -7.5f};
      g.curve.fill(std::numeric_limits<float>::quiet_NaN());
      ComputeBandCurve(g.curve, f, type, 1.0, 12);
      EXPECT_EQ(g.before, -7.5f);
      EXPECT_EQ(g.after, -7.5f);
      ASSERT_TRUE(AllFinite(g.curve)) << f << " type " << type;
    }
  }
  // Beyond 24 kHz the band's middle lies past the end: the curve shows the
  // rising lower part of the shape only.
  const BandCurve high = Curve(30000, 0, 1.0, 12);
  EXPECT_LT(high[GridWidth], 12.0f);
  EXPECT_GT(high[GridWidth], high[GridWidth - 20]);
}

TEST(BandCurve, BrokenCoefficientsDrawFlatInsteadOfNaN) {
  // Q -0.01 makes the drawn peaking Q zero; a NaN gain breaks every term.
  for (auto [type, q, gain] : {std::tuple{0, -0.01, 6.0}, std::tuple{0, 1.0, std::nan("")},
                               std::tuple{1, -0.001, 6.0}, std::tuple{107, -0.001, 0.0}}) {
    const BandCurve curve = Curve(1000, type, q, gain);
    for (int x = 0; x < GridPoints; ++x) ASSERT_EQ(curve[x], 0.0f) << type << " x " << x;
  }
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST(BandCurve, FrequencyCountsInWholeHertzHalvesToEven) {
  // 20.5 Hz is 20 Hz (x0 41); taken as it is it would snap to 21 Hz (x0 44).
  const BandCurve half = Curve(20.5, 0, 1.0, 12);
  EXPECT_TRUE(Near(half, Curve(20, 0, 1.0, 12), 0));
  EXPECT_FALSE(Near(half, Curve(21, 0, 1.0, 12), 0.01));
  EXPECT_EQ(std::max_element(half.begin(), half.end()) - half.begin(), X0(20));
  // 21.5 Hz rounds up to the even 22 Hz.
  EXPECT_TRUE(Near(Curve(21.5, 0, 1.0, 12), Curve(22, 0, 1.0, 12), 0));
}

}  // namespace
}  // namespace dsp
