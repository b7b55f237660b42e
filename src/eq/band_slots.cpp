#include "eq/band_slots.h"

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {

namespace {

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

float Freq(int step) {
  return static_cast<float>(StepValue(StepTable::Freq, step));
}

float QOf(int step) {
  return static_cast<float>(StepValue(StepTable::Q, step));
}

}  // namespace

int PointSize(int point) {
  return point >= kHighPassPoint ? 24 : 14;
}

void BandSlots::LoadFilter(int slot, int point, int type, float freq, float q,
                           const PointControls& controls) {
  BandSlot& s = slots_[static_cast<std::size_t>(slot)];
  s.type = type;
  s.freq = freq;
  s.gain = 0;
  s.q = q;
  s.point = point;
  s.controls = controls;
  pointControls_[static_cast<std::size_t>(point)] = controls;
}

int BandSlots::LoadBands(const ParamStore& store, int band, int channel) {
  if (!HasEqualiser(channel)) return 0;
  auto p = [&store, channel](int slot) { return store.Param(MakeAddress(channel, slot)); };
  const int bands = BandCount[static_cast<std::size_t>(channel)];
  for (int i = 0; i < bands; ++i) {
    if (band != AllBands && band != i) continue;
    BandSlot& s = slots_[static_cast<std::size_t>(i)];
    s.type = p(EqSlot(channel, i, 0));
    s.freq = Freq(p(EqSlot(channel, i, 1)));
    s.gain = static_cast<float>(p(EqSlot(channel, i, 2)) / 5.0 - 24);
    s.q = QOf(p(EqSlot(channel, i, s.type == 0 ? 3 : 4)));
    s.point = i;
    s.controls = {MakeAddress(channel, EqSlot(channel, i, 1)), MakeAddress(channel, EqSlot(channel, i, 2)),
                  MakeAddress(channel, EqSlot(channel, i, 3)), false, FreqScale::BandStep};
    pointControls_[static_cast<std::size_t>(i)] = s.controls;
  }

  // A high-pass of the high-pass scale: value 0 is off, v >= 1 is FreqSteps[v - 1].
  auto highPass = [&](int slot, int valueSlot, int code, float q) {
    const int v = p(valueSlot);
    const PointControls controls{MakeAddress(channel, valueSlot), -1, -1, true, FreqScale::HighPass};
    if (v == 0) {
      LoadFilter(slot, kHighPassPoint, kFilterOffCode, kFilterOffHz, q, controls);
    } else {
      LoadFilter(slot, kHighPassPoint, code, Freq(v - 1), q, controls);
    }
  };
  int filters = 0;
  switch (channel) {
    case 1:
      highPass(15, 0, 102, 0);
      filters = 1;
      break;
    case 3: {
      highPass(3, 4, 102, 0);
      const int v = p(5);
      const PointControls controls{MakeAddress(channel, 5), -1, -1, true, FreqScale::EchoLowPass};
      if (v == kEchoLowPassMax) {
        LoadFilter(4, kLowPassPoint, 200, Freq(361), 0, controls);
      } else {
        LoadFilter(4, kLowPassPoint, 202, Freq(v + 168), 0, controls);
      }
      filters = 2;
      break;
    }
    case 5:
    case 7:
      highPass(5, 16, p(18) != 0 ? 105 : 102, 0);
      filters = 1;
      break;
    case 8:
      highPass(5, 16, 102, 0);
      filters = 1;
      break;
    case 6: {
      highPass(3, 10, 104 + p(8), QOf(p(12)));
      // The low-pass has no off value and no offset: step v is FreqSteps[v].
      const PointControls controls{MakeAddress(channel, 16), -1, -1, true, FreqScale::FilterValue};
      LoadFilter(4, kLowPassPoint, 204 + p(14), Freq(p(16)), QOf(p(18)), controls);
      filters = 2;
      break;
    }
    default:
      break;
  }
  return (bands - 1) + 100 * filters;
}

int BandSlots::SlotOfPoint(int point) const {
  for (int i = 0; i <= lastBandSlot_ && i < kBandSlotCount; ++i) {
    if (slots_[static_cast<std::size_t>(i)].point == point) return i;
  }
  return -1;
}

std::array<float, GridPoints> BandSlots::Total() const {
  std::array<float, GridPoints> total{};
  for (int i = 0; i <= lastBandSlot_ && i < kBandSlotCount; ++i) {
    const BandCurve& c = slots_[static_cast<std::size_t>(i)].curve;
    for (int x = 0; x < GridPoints; ++x) total[static_cast<std::size_t>(x)] += c[static_cast<std::size_t>(x)];
  }
  return total;
}

EqDrawing BandSlots::DrawEq(const ParamStore& store, int band, int channel, const GraphGeometry& geometry,
                            bool dragActive) {
  EqDrawing drawing;
  if (band < 0 || band > AllBands || !HasEqualiser(channel)) return drawing;
  drawing.drawn = true;
  const int r = LoadBands(store, band, channel);
  const int e = r % 100;
  const int k = r / 100;
  if (band == AllBands) {
    std::array<bool, kBandPointCount> visible{};
    for (int i = 0; i <= e && i < kHighPassPoint; ++i) visible[static_cast<std::size_t>(i)] = true;
    visible[kHighPassPoint] = k >= 1;
    visible[kLowPassPoint] = k >= 2;
    drawing.visible = visible;
  }
  lastBandSlot_ = e + k;

  for (int i = 0; i <= lastBandSlot_; ++i) {
    if (band != AllBands && band != i) continue;
    BandSlot& s = slots_[static_cast<std::size_t>(i)];
    ComputeBandCurve(s.curve, static_cast<double>(RoundHalfEven(s.freq)), s.type, s.q, s.gain);
    if (!dragActive) {
      const int h = PointSize(s.point) / 2;
      drawing.moves.push_back({s.point, Px(geometry.FreqToX(s.freq) - h), Px(geometry.DbToY(s.gain) - h)});
    }
  }
  if (band != AllBands && band <= lastBandSlot_)
    drawing.label = ValueLabelOf(slots_[static_cast<std::size_t>(band)]);
  drawing.curve = CurvePoints(Total(), geometry);
  return drawing;
}

std::vector<CurvePoint> CurvePoints(const std::array<float, GridPoints>& total,
                                    const GraphGeometry& geometry) {
  std::vector<CurvePoint> points;
  points.reserve(GridPoints);
  const float scale = static_cast<float>(geometry.Width() / static_cast<double>(GridWidth));
  for (int x = 0; x < GridPoints; ++x) {
    points.push_back({Px(static_cast<double>(static_cast<float>(x) * scale)),
                      Px(geometry.DbToY(total[static_cast<std::size_t>(x)]))});
  }
  return points;
}

ValueLabel ValueLabelOf(const BandSlot& slot) {
  ValueLabel label;
  label.point = slot.point;
  if (slot.type < 100) {
    label.text = FormatFixed(slot.gain, 1) + "dB\rQ:" + FormatFixed(slot.q, 2) + "\r" +
                 FormatFixed(slot.freq, 2) + "Hz";
    label.place = slot.gain >= 0 ? ValueLabel::Place::Below : ValueLabel::Place::Above;
  } else {
    label.text = slot.type == 100 || slot.type == 200 ? "OFF" : FormatFixed(slot.freq, 2) + "Hz";
    label.place = ValueLabel::Place::Filter;
  }
  return label;
}

LabelRect PlaceValueLabel(ValueLabel::Place place, int pointLeft, int pointTop, int pointWidth,
                          int pointHeight, int labelWidth, int labelHeight) {
  LabelRect r{pointLeft + pointWidth / 2 - labelWidth / 2, 0};
  switch (place) {
    case ValueLabel::Place::Below:
      r.top = pointTop + pointHeight;
      break;
    case ValueLabel::Place::Above:
      r.top = pointTop - labelHeight - 1;
      break;
    case ValueLabel::Place::Filter:
      r.top = pointTop + pointHeight - 5;
      break;
  }
  return r;
}

}  // namespace dsp
