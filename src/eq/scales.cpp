#include "eq/scales.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/rounding.h"

namespace dsp {

namespace {

template <std::size_t N>
const char* Entry(const std::array<const char*, N>& table, int step) {
  if (step < 0) step = 0;
  if (step >= static_cast<int>(N)) step = static_cast<int>(N) - 1;
  return table[static_cast<std::size_t>(step)];
}

// Numeric values of the frequency and Q tables, parsed once; the lookups
// compare against them many times per drag step.
template <std::size_t N>
std::array<double, N> Parse(const std::array<const char*, N>& table) {
  std::array<double, N> values{};
  for (std::size_t i = 0; i < N; ++i) values[i] = std::strtod(table[i], nullptr);
  return values;
}

const std::array<double, 362>& FreqValues() {
  static const auto values = Parse(FreqSteps);
  return values;
}

const std::array<double, 101>& QValues() {
  static const auto values = Parse(QSteps);
  return values;
}

}  // namespace

int StepCount(StepTable table) {
  switch (table) {
    case StepTable::Freq: return static_cast<int>(FreqSteps.size());
    case StepTable::Q: return static_cast<int>(QSteps.size());
    case StepTable::Ratio: return static_cast<int>(RatioSteps.size());
    case StepTable::Release: return static_cast<int>(ReleaseSteps.size());
    case StepTable::Attack: return static_cast<int>(AttackSteps.size());
  }
  return 0;
}

const char* StepText(StepTable table, int step) {
  switch (table) {
    case StepTable::Freq: return Entry(FreqSteps, step);
    case StepTable::Q: return Entry(QSteps, step);
    case StepTable::Ratio: return Entry(RatioSteps, step);
    case StepTable::Release: return Entry(ReleaseSteps, step);
    case StepTable::Attack: return Entry(AttackSteps, step);
  }
  return "";
}

double StepValue(StepTable table, int step) {
  if (table == StepTable::Freq) return FreqValues()[static_cast<std::size_t>(ClampStep(step, 361))];
  if (table == StepTable::Q) return QValues()[static_cast<std::size_t>(ClampStep(step, 100))];
  return std::strtod(StepText(table, step), nullptr);
}

double GainDb(int step) { return step / 5.0 - 24.0; }

namespace {

// Typed values are decimals; binary doubles of two decimals can tie only
// approximately (21.1 - 20.9 > 21.3 - 21.1 in binary). Comparisons happen in
// thousandths, exactly, so a decimal tie is a tie.
constexpr double kMilli = 1000.0;
constexpr double kMilliLimit = 1e12;  // far above any table value

long long Milli(double value) { return std::llround(value * kMilli); }

// A value that lies on a half within rounding noise is taken as the half,
// so that (value + 24) * 5 = 0.5 rounds to even like the decimal it stands for.
double SnapHalf(double x) {
  const double half = std::round(x * 2.0) / 2.0;
  return std::fabs(x - half) < 1e-9 * std::max(1.0, std::fabs(x)) ? half : x;
}

}  // namespace

double TextToStep(int kind, double value) {
  switch (kind) {
    case 2: {
      if (std::isnan(value) || value > kMilliLimit) return 361;
      if (value < -kMilliLimit) return 0;
      const auto& f = FreqValues();
      const long long v = Milli(value);
      for (int i = 0; i < 362; ++i) {
        const long long hi = Milli(f[static_cast<std::size_t>(i)]);
        if (v <= hi) {
          if (i == 0) return 0;
          if (i == 361) return 361;
          const long long lo = Milli(f[static_cast<std::size_t>(i - 1)]);
          return (v - lo <= hi - v) ? i - 1 : i;
        }
      }
      return 361;
    }
    case 3:
      return static_cast<double>(RoundHalfEven(SnapHalf((value + 24.0) * 5.0)));
    case 4: {
      const auto& q = QValues();
      for (int i = 0; i < 101; ++i)
        if (value <= q[static_cast<std::size_t>(i)]) return i;
      return 101;
    }
    default:
      return value;
  }
}

std::string HighPassText(int value) {
  if (value <= 0) return "Off";
  return std::string(StepText(StepTable::Freq, value - 1)) + "Hz";
}

std::string EchoLowPassText(int value) {
  if (value >= kEchoLowPassMax) return "Off";
  return std::string(StepText(StepTable::Freq, (value < 0 ? 0 : value) + 168)) + "Hz";
}

int RoleLimit(int role, bool shelf) {
  switch (role) {
    case role::BandType: return 2;
    case role::BandFreq: return 361;
    case role::BandGain: return 180;
    case role::BandQ: return shelf ? 28 : 100;
    case role::HighPass:
    case role::EffectHighPass: return kHighPassMax;
    case role::EchoLowPass: return kEchoLowPassMax;
    case role::EffectLevel: return 100;
    case role::OutputLevel: return 200;
    case role::EchoRightDelay: return 100;
    case role::EffectDelay: return 250;
    case role::ReverbTime: return 80;
    case role::LimiterThreshold: return 34;
    case role::Ratio: return 40;
    case role::Release: return 7;
    case role::Attack: return 15;
    case role::OutputDelay: return 500;
    case role::UserQ: return 23;
    default: return -1;
  }
}

std::string RoleText(int role, int step) {
  switch (role) {
    case role::BandType: return BandTypeItems[static_cast<std::size_t>(ClampStep(step, 2))];
    case role::BandFreq: return StepText(StepTable::Freq, step);
    case role::BandGain: return FormatFixed(GainDb(step), 1);
    case role::BandQ: return StepText(StepTable::Q, step);
    case role::HighPass:
    case role::EffectHighPass: return HighPassText(step);
    case role::EchoLowPass: return EchoLowPassText(step);
    case role::EffectLevel: return FormatFixed(step, 0);
    case role::OutputLevel: return FormatFixed(2.0 * step, 0);
    case role::EchoRightDelay: return FormatFixed(step - 50, 0);
    case role::EffectDelay: return FormatFixed(2.0 * step, 0);
    case role::ReverbTime: return FormatFixed(62.5 * step, 0);
    case role::LimiterThreshold: return FormatFixed(step - 20, 0);
    case role::Ratio: return StepText(StepTable::Ratio, step);
    case role::Release: return StepText(StepTable::Release, step);
    case role::Attack: return StepText(StepTable::Attack, step);
    case role::OutputDelay: return FormatFixed(step / 10.0, 1);
    case role::UserQ: return StepText(StepTable::Q, ClampStep(step, 23));
    default: return {};
  }
}

}  // namespace dsp
