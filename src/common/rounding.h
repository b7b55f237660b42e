#pragma once
// Rounding used everywhere the program turns a real number into a whole one:
// to the nearest integer, exact halves to the even neighbour (so 12.5 -> 12,
// 37.5 -> 38). Progress percentages, default frequencies, gain steps and
// graph pixels all go through here so they agree with the processor's tools.

#include <cmath>
#include <cstdint>
#include <string>

namespace dsp {

// Nearest integer, halves to even. Values outside the 64-bit range saturate;
// NaN gives 0, so a broken computation can never index out of a table.
std::int64_t RoundHalfEven(double value);

// Text of a real number with a fixed count of decimals, "." as the decimal
// point and no plus sign, rounding halves to even ("#0", "#0.0", "#0.00").
std::string FormatFixed(double value, int decimals);

}  // namespace dsp
