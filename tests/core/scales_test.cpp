#include <gtest/gtest.h>

#include <cmath>

#include "common/rounding.h"
#include "eq/scales.h"

namespace dsp {
namespace {

TEST(Rounding, HalvesGoToEven) {
  const std::pair<double, long> cases[] = {{12.5, 12}, {37.5, 38}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2},
                                           {2.5001, 3}, {0.0, 0}, {-2.6, -3}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(FormatFixed(62.5, 0), "62");
  EXPECT_EQ(FormatFixed(187.5, 0), "188");
  EXPECT_EQ(FormatFixed(-24.0, 1), "-24.0");
  EXPECT_EQ(FormatFixed(0.1 * 3, 1), "0.3");
  EXPECT_EQ(FormatFixed(-0.04, 1), "0.0") << "no negative zero";
  EXPECT_EQ(FormatFixed(1000, 2), "1000.00");
}

TEST(Scales, TablesHaveTheirEnds) {
  EXPECT_STREQ(FreqSteps.front(), "19.7");
  EXPECT_STREQ(FreqSteps[204], "1000.0");
  EXPECT_STREQ(FreqSteps.back(), "20600.0");
  EXPECT_STREQ(QSteps[16], "1.00");
  EXPECT_STREQ(QSteps.back(), "128.00");
  EXPECT_STREQ(RatioSteps.back(), "100");
  EXPECT_STREQ(ReleaseSteps.back(), "32");
  EXPECT_STREQ(AttackSteps.front(), "0.5");
  // Strictly rising numeric values: the lookups depend on it.
  for (int i = 1; i < 362; ++i) EXPECT_LT(StepValue(StepTable::Freq, i - 1), StepValue(StepTable::Freq, i)) << i;
  for (int i = 1; i < 101; ++i) EXPECT_LT(StepValue(StepTable::Q, i - 1), StepValue(StepTable::Q, i)) << i;
  // Out-of-table steps show the nearest entry.
  EXPECT_STREQ(StepText(StepTable::Freq, 400), "20600.0");
  EXPECT_STREQ(StepText(StepTable::Q, -3), "0.40");
}

TEST(TextToStep, FrequencyGainAndQLookups) {
  struct Case {
    int kind;
    double value, expected;
  } cases[] = {
      {2, 19.0, 0},    {2, 0, 0},       {2, -5, 0},      {2, 1000, 204},  {2, 1010, 204}, {2, 1011, 205},
      {2, 1015, 205},  {2, 20201, 361}, {2, 20300, 361}, {2, 30000, 361}, {2, 20199, 360},
      {3, -24, 0},     {3, 12, 180},    {3, 0, 120},     {3, 0.2, 121},   {3, 20, 220},   {3, 13, 185},
      {3, -30, -30},   {3, 0.1, 120},   {3, 0.3, 122},   {3, -23.9, 0},   {3, -22.1, 10},  {3, -16.1, 40},
      // Decimal ties between two table entries go down, also where the binary
      // doubles of the three decimals do not tie exactly.
      {2, 21.1, 3},    {2, 24.1, 10},   {2, 28.1, 18},   {2, 33.45, 27},  {2, 21.11, 4},
      {4, 0.3, 0},     {4, 1.0, 16},    {4, 1.01, 17},   {4, 1.1, 18},    {4, 128, 100},  {4, 200, 101},
      {8, 37.5, 37.5}, {0, -4, -4},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextToStep(c.kind, c.value), c.expected) << "kind " << c.kind << " value " << c.value;
}

TEST(RoleText, DisplaysAtBothEndsOfEachRange) {
  struct Case {
    int role, step;
    const char* text;
  } cases[] = {
      {1, 0, "PEQ"},        {1, 2, "HSEQ"},        {1, 7, "HSEQ"},
      {2, 0, "19.7"},       {2, 361, "20600.0"},   {2, 500, "20600.0"},
      {3, 0, "-24.0"},      {3, 120, "0.0"},       {3, 180, "12.0"},        {3, 1, "-23.8"},
      {4, 0, "0.40"},       {4, 100, "128.00"},    {4, 28, "2.00"},
      {6, 0, "Off"},        {6, 1, "19.7Hz"},      {6, 143, "303.0Hz"},     {6, 241, "2000.0Hz"},
      {13, 0, "Off"},       {13, 241, "2000.0Hz"},
      {7, 0, "500.0Hz"},    {7, 192, "20200.0Hz"}, {7, 193, "20600.0Hz"},   {7, 194, "Off"},
      {8, 0, "0"},          {8, 100, "100"},
      {9, 0, "0"},          {9, 200, "400"},
      {10, 0, "-50"},       {10, 100, "50"},
      {11, 0, "0"},         {11, 250, "500"},
      {12, 0, "0"},         {12, 80, "5000"},      {12, 1, "62"},
      {14, 0, "-20"},       {14, 34, "14"},
      {15, 0, "1.0"},       {15, 40, "100"},
      {16, 0, "2"},         {16, 7, "32"},
      {17, 0, "0.5"},       {17, 15, "90"},
      {18, 0, "0.0"},       {18, 500, "50.0"},
      {19, 0, "0.40"},      {19, 23, "1.50"},      {19, 60, "1.50"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoleText(c.role, c.step), c.text) << "role " << c.role << " step " << c.step;
  EXPECT_EQ(RoleText(0, 5), "");
}

TEST(RoleLimit, ClampingLimits) {
  const std::pair<int, int> limits[] = {{2, 361}, {3, 180}, {6, 241}, {13, 241}, {7, 194}, {8, 100}, {9, 200},
                                        {10, 100}, {11, 250}, {12, 80}, {14, 34}, {15, 40}, {16, 7}, {17, 15},
                                        {18, 500}, {19, 23}};
  for (auto [role, limit] : limits) EXPECT_EQ(RoleLimit(role), limit) << role;
  EXPECT_EQ(RoleLimit(4, false), 100);
  EXPECT_EQ(RoleLimit(4, true), 28);
  EXPECT_EQ(RoleLimit(0), -1);
  EXPECT_EQ(RoleLimit(5), -1);
  EXPECT_EQ(ClampStep(-3, 10), 0);
  EXPECT_EQ(ClampStep(13, 10), 10);
}

}  // namespace
}  // namespace dsp
