#include "eq/graph_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "common/rounding.h"

namespace dsp {
namespace {

const GraphGeometry kDesign(1078, 297);

TEST(GraphGeometry, EdgeValuesOfTheDesignSize) {
  const struct {
    double value, expected;
  } cases[] = {
      {kDesign.FreqToX(10), 0},       {kDesign.FreqToX(24000), 1078},   {kDesign.FreqToX(100), 318.9},
      {kDesign.FreqToX(1000), 637.8}, {kDesign.FreqToX(20000), 1052.7}, {kDesign.DbToY(12), 0},
      {kDesign.DbToY(0), 98.7},       {kDesign.DbToY(-24), 296},        {kDesign.GridScale(), 1078.0 / 462},
      {kDesign.XToFreq(0), 10},       {kDesign.YToDb(296), -24},        {kDesign.YToDb(0), 12},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, 0.05);
}

TEST(GraphGeometry, RoundTrips) {
  for (const GraphGeometry& g : {kDesign, GraphGeometry(893, 297), GraphGeometry(2156, 594)}) {
    for (double f = 10; f <= 24000; f *= 1.07) EXPECT_NEAR(g.XToFreq(g.FreqToX(f)), f, f * 1e-9);
    for (double db = -24; db <= 12; db += 0.2) EXPECT_NEAR(g.YToDb(g.DbToY(db)), db, 1e-9);
  }
}

TEST(GraphGeometry, DegeneratePictureStaysFinite) {
  const GraphGeometry empty(0, 1);
  EXPECT_TRUE(std::isfinite(empty.FreqToX(1000)));
  EXPECT_TRUE(std::isfinite(empty.YToDb(5)));
  EXPECT_TRUE(std::isfinite(empty.DbToY(-3)));
}

TEST(GridLines, DecibelLinesAndTheirColours) {
  const std::vector<GridLine> lines = GridLines(kDesign);
  std::map<int, Rgb> byRow;  // the 37 decibel lines, first drawing of each row
  int horizontal = 0;
  for (const GridLine& l : lines) {
    if (l.y1 != l.y2) continue;
    EXPECT_EQ(l.x1, 0);
    EXPECT_EQ(l.x2, 1078);
    if (horizontal++ < 37) byRow.emplace(l.y1, l.colour);
  }
  EXPECT_EQ(horizontal, 37 + 2);  // the top and bottom again, over the verticals
  ASSERT_EQ(byRow.size(), 37u);
  for (int d = -24; d <= 12; ++d) {
    const int y = static_cast<int>(RoundHalfEven(kDesign.DbToY(d)));
    const Rgb expected = (d == -24 || d == 0 || d == 12) ? GridBright : (d % 3 == 0 ? GridMedium : GridDark);
    EXPECT_EQ(byRow.at(y), expected) << d << " dB";
  }
  EXPECT_EQ(lines.back().colour, GridBright);
  EXPECT_EQ(lines.back().y1, 296);
  EXPECT_EQ(lines[lines.size() - 2].y1, 0);
}

TEST(GridLines, VerticalLines) {
  std::vector<int> bright, medium;
  for (const GridLine& l : GridLines(kDesign)) {
    if (l.x1 != l.x2) continue;
    EXPECT_EQ(l.y1, 0);
    EXPECT_EQ(l.y2, 297);
    (l.colour == GridBright ? bright : medium).push_back(l.x1);
    EXPECT_NE(l.colour, GridDark);
  }
  auto px = [](double hz) { return static_cast<int>(RoundHalfEven(kDesign.FreqToX(hz))); };
  EXPECT_EQ(bright, (std::vector<int>{0, px(100), px(1000), px(10000), 1077}));
  ASSERT_EQ(medium.size(), 25u);
  EXPECT_EQ(medium.front(), px(20));
  EXPECT_EQ(medium.back(), px(20000));
  // Nothing between 10 kHz and 20 kHz.
  EXPECT_EQ(
      std::count_if(medium.begin(), medium.end(), [&](int x) { return x > px(10000) && x < px(20000); }), 0);
}

TEST(AxisLabels, NamesTextsAndPlaces) {
  const std::vector<AxisLabel> labels = AxisLabels(kDesign, 40, 13);
  ASSERT_EQ(labels.size(), 21u);
  const struct {
    std::size_t index;
    const char* name;
    const char* text;
    int left, top, width;
  } cases[] = {
      {0, "EQLabelY0", "-24dB", 6, 296 + 13 - 6, 32},
      {4, "EQLabelY4", "0dB", 6, 99 + 13 - 6, 32},
      {6, "EQLabelY6", "12dB", 6, 0 + 13 - 6, 32},
      {10, "EQLabelY10", "36dB", 6, -197 + 13 - 6, 32},
      {11, "EQLabelX11", "20Hz", 0, 310, 36},
      {16, "EQLabelX16", "1KHz", 638 + 40 - 18, 310, 36},
      {20, "EQLabelX20", "20KHz", 1053 + 40 - 18, 310, 36},
  };
  for (const auto& c : cases) {
    const AxisLabel& a = labels[c.index];
    EXPECT_EQ(a.name, c.name);
    EXPECT_EQ(a.text, c.text);
    if (c.index != 11) {
      EXPECT_EQ(a.left, c.left) << c.name;
    }
    EXPECT_EQ(a.top, c.top) << c.name;
    EXPECT_EQ(a.width, c.width);
    EXPECT_EQ(a.height, 13);
    EXPECT_EQ(a.rightAligned, c.index <= 10);
  }
  EXPECT_EQ(labels[11].left, static_cast<int>(RoundHalfEven(kDesign.FreqToX(20))) + 40 - 18);
}

}  // namespace
}  // namespace dsp
