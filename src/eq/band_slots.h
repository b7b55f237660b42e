#pragma once
// The bands of the EQ graph: the 17 band slots read from the panel store
// (the equaliser bands of a channel first, then its filters), their response
// curves, the summed curve and what one drawing of the graph changes (which
// band points are shown and where, the value label, the curve's points).
// Pure computation: the graph widget applies the result.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "eq/graph_geometry.h"
#include "eq/response.h"

namespace dsp {

class ParamStore;

constexpr int kBandSlotCount = 17;
// The band argument of DrawEq that reloads and recomputes every slot; bands
// above it draw nothing.
constexpr int AllBands = 20;
// Band points: 0..14 the equaliser bands, then the high-pass and low-pass.
constexpr int kBandPointCount = 17;
constexpr int kHighPassPoint = 15;
constexpr int kLowPassPoint = 16;
// Band points are 14 x 14 pixels, the filter points 24 x 24.
int PointSize(int point);

// How a drag's frequency step becomes the value of the slot's frequency
// control: the band's own step, the filter pane's value (the same number;
// a high-pass value v is drawn at step v - 1), or the echo low-pass value
// (step - 168, 194 for off).
enum class FreqScale { BandStep, FilterValue, HighPass, EchoLowPass };

// The panel addresses of the values a band point edits, -1 where it edits
// none. Equaliser bands edit their frequency, gain and Q fields; a filter
// edits its frequency slot only, through the slot's value pane.
struct PointControls {
  int freqAddress = -1;
  int gainAddress = -1;
  int qAddress = -1;
  bool freqIsPane = false;
  FreqScale scale = FreqScale::BandStep;
};

struct BandSlot {
  int type = 0;  // BandTypeCode
  float gain = 0;
  float freq = 0;
  float q = 0;
  BandCurve curve{};
  int point = 0;  // the band point that shows the slot
  PointControls controls;
};

// The filter state drawn for an off filter: flat, at 19.0 Hz.
constexpr int kFilterOffCode = 100;
constexpr float kFilterOffHz = 19.0f;

struct PointMove {
  int point;
  int left;
  int top;
};

// The value label of the band being worked on: its text ("\r" between
// lines) and where it goes relative to its point.
struct ValueLabel {
  enum class Place { Below, Above, Filter };
  std::string text;
  int point = 0;
  Place place = Place::Below;
};

struct CurvePoint {
  int x;
  int y;
  friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

// What one DrawEq call changes on the graph.
struct EqDrawing {
  bool drawn = false;
  std::optional<std::array<bool, kBandPointCount>> visible;  // set for AllBands only
  std::vector<PointMove> moves;                              // none while a point is dragged
  std::optional<ValueLabel> label;                           // none for AllBands
  std::vector<CurvePoint> curve;                             // GridPoints points
};

class BandSlots {
 public:
  // Reads slot `band` (or every slot for AllBands) of `channel` from the
  // panel store; the channel's filters are always reloaded. Returns
  // (equaliser bands - 1) + 100 * filters; channels without an equaliser
  // give 0 and load nothing. Steps outside their tables read the nearest
  // entry.
  int LoadBands(const ParamStore& store, int band, int channel);

  // Loads, recomputes the requested slots and sums the curve. Nothing is
  // drawn for a band outside 0..20 or a channel without an equaliser.
  EqDrawing DrawEq(const ParamStore& store, int band, int channel, const GraphGeometry& geometry,
                   bool dragActive);

  const BandSlot& Slot(int i) const { return slots_[static_cast<std::size_t>(Clamp(i))]; }
  // The controls a band point edits (filters also sit at index 15 and 16).
  const PointControls& ControlsOfPoint(int point) const {
    return pointControls_[static_cast<std::size_t>(Clamp(point))];
  }
  int LastBandSlot() const { return lastBandSlot_; }
  // The slot a band point shows in the last drawing, -1 for none.
  int SlotOfPoint(int point) const;

  // The sum of the curves of slots 0..LastBandSlot, in slot order.
  std::array<float, GridPoints> Total() const;

 private:
  static int Clamp(int i) { return i < 0 ? 0 : (i >= kBandSlotCount ? kBandSlotCount - 1 : i); }
  void LoadFilter(int slot, int point, int type, float freq, float q, const PointControls& controls);

  std::array<BandSlot, kBandSlotCount> slots_{};
  std::array<PointControls, kBandPointCount> pointControls_{};
  int lastBandSlot_ = 0;
};

// The curve's points in pixels: (round(x * W / 462), round(DbToY(total[x]))).
std::vector<CurvePoint> CurvePoints(const std::array<float, GridPoints>& total,
                                    const GraphGeometry& geometry);

// The value label for a slot: gain, Q and frequency for an equaliser band
// ("-3.2dB\rQ:1.00\r1000.00Hz"), "OFF" for an off filter, else the filter's
// frequency.
ValueLabel ValueLabelOf(const BandSlot& slot);

// Where the value label goes: centred on its point, below it for a gain of
// 0 dB or more, above it for a negative gain, overlapping a filter point's
// bottom by 5 pixels.
struct LabelRect {
  int left, top;
};
LabelRect PlaceValueLabel(ValueLabel::Place place, int pointLeft, int pointTop, int pointWidth,
                          int pointHeight, int labelWidth, int labelHeight);

}  // namespace dsp
