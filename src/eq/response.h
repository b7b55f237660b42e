#pragma once
// Response curves of the equaliser graph. Every band is drawn as a biquad
// section (or a pair of them) designed at a quarter of the sampling rate; its
// magnitude is sampled at 463 angles and the resulting shape is then laid onto
// the logarithmic design axis so that the shape's middle falls on the band's
// frequency. The curve is only a picture of what the processor does: the
// processor does the filtering itself.
//
// The design axis has 463 points x = 0..462, from 10 Hz at x = 0 to 24000 Hz
// at x = 462, logarithmically. Everything here is a pure function.

#include <array>

namespace dsp {

constexpr int GridWidth = 462;
constexpr int GridPoints = GridWidth + 1;
// Index of a shape's middle point: the point placed on the band's frequency.
constexpr int GridMiddle = GridWidth / 2;
// log10(24000 / 10): the decades the design axis spans.
constexpr double GridDecades = 3.380211241711606;

// One band's response in decibels, one value per design point.
using BandCurve = std::array<float, GridPoints>;

// Design-axis position of a frequency (frequencies below 1 Hz count as 1 Hz)
// and its inverse.
double GridX(double frequency);
double GridFreq(double x);

// Filter shape families by type code (only the low byte of the type counts):
//   0 peaking, 1 low shelf, 2 high shelf,
//   3 high-pass / 4 low-pass: one second-order section with the band's Q,
//   5..99 flat (a peaking band with its gain forced to 0 dB),
//   100..199 high-pass and 200..255 low-pass, slope d = code mod 10:
//     0 off (flat), 1 second order Q 1/sqrt3, 2 second order Q 1/sqrt2,
//     3 two first-order sections, 4 two Q 1/sqrt3 sections,
//     5 fourth-order Butterworth, 6 two Q 1/sqrt2 sections,
//     7 second order with the band's Q, 8 two sections with the band's Q,
//     9 third-order Butterworth drawn with twice its decibels.
constexpr int BandPeaking = 0;
constexpr int BandLowShelf = 1;
constexpr int BandHighShelf = 2;
constexpr int BandUserHighPass = 3;
constexpr int BandUserLowPass = 4;
constexpr int HighPassFamily = 100;
constexpr int LowPassFamily = 200;

// Fills all 463 points of curve for one band. frequency in Hz, q the band's Q
// (shelf slope for shelves), gain in dB (ignored by high- and low-pass shapes).
// Any input, however far out of range, gives finite values at every point and
// writes nothing outside the curve.
void ComputeBandCurve(BandCurve& curve, double frequency, int type, double q, double gain);

}  // namespace dsp
