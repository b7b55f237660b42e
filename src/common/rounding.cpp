#include "common/rounding.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace dsp {

std::int64_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = 9.0e18;
  if (value >= kMax) return static_cast<std::int64_t>(kMax);
  if (value <= -kMax) return -static_cast<std::int64_t>(kMax);
  double floor = std::floor(value);
  double diff = value - floor;
  std::int64_t base = static_cast<std::int64_t>(floor);
  if (diff > 0.5) return base + 1;
  if (diff < 0.5) return base;
  return (base % 2 == 0) ? base : base + 1;
}

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  // Scale first and round the scaled value, so 62.5 -> "62" and 1.25 -> "1.2".
  // A tiny relative nudge keeps values such as 0.1 * 3 (0.30000000000000004)
  // from being treated as above or below a half they are meant to equal.
  double scaled = value * scale;
  double nearest = std::round(scaled * 2.0) / 2.0;
  if (std::fabs(scaled - nearest) < 1e-9 * std::max(1.0, std::fabs(scaled))) scaled = nearest;
  std::int64_t units = RoundHalfEven(scaled);
  bool negative = units < 0;
  std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-units) : static_cast<std::uint64_t>(units);
  std::uint64_t divisor = static_cast<std::uint64_t>(scale);
  std::string text = std::to_string(magnitude / divisor);
  if (decimals > 0) {
    const std::string frac = std::to_string(magnitude % divisor);
    text.push_back('.');
    text.append(static_cast<std::size_t>(decimals) - frac.size(), '0');
    text.append(frac);
  }
  return negative ? "-" + text : text;
}

}  // namespace dsp
