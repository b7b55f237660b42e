#include "eq/band_slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {
namespace {

const GraphGeometry kGraph(1078, 297);

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

// A store with every band flat (peaking, 0 dB, 1 kHz, Q 1.00) and every filter off.
class BandSlotsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int channel = 0; channel <= 8; ++channel) {
      if (!HasEqualiser(channel)) continue;
      for (int band = 0; band < BandCount[channel]; ++band) SetBand(channel, band, 0, 204, 120, 16);
    }
    store.SetParam(0x0305, kEchoLowPassMax);  // echo low-pass off
  }
  void SetBand(int channel, int band, int type, int freq, int gain, int q) {
    store.SetParam(MakeAddress(channel, EqSlot(channel, band, 0)), type);
    store.SetParam(MakeAddress(channel, EqSlot(channel, band, 1)), freq);
    store.SetParam(MakeAddress(channel, EqSlot(channel, band, 2)), gain);
    store.SetParam(MakeAddress(channel, EqSlot(channel, band, 3)), q);
    store.SetParam(MakeAddress(channel, EqSlot(channel, band, 4)), q);
  }

  ParamStore store;
  BandSlots slots;
};

TEST_F(BandSlotsTest, PointsShownPerChannel) {
  const struct {
    int channel;
    int bands;
    bool highPass, lowPass;
  } cases[] = {{0, 10, false, false}, {1, 15, true, false}, {3, 3, true, true}, {5, 5, true, false},
               {6, 3, true, true},    {7, 5, true, false},  {8, 5, true, false}};
  for (const auto& c : cases) {
    const EqDrawing d = slots.DrawEq(store, AllBands, c.channel, kGraph, false);
    ASSERT_TRUE(d.visible.has_value()) << c.channel;
    for (int i = 0; i < 15; ++i)
      EXPECT_EQ((*d.visible)[i], i < c.bands) << "channel " << c.channel << " EP" << i + 1;
    EXPECT_EQ((*d.visible)[kHighPassPoint], c.highPass) << c.channel;
    EXPECT_EQ((*d.visible)[kLowPassPoint], c.lowPass) << c.channel;
    EXPECT_FALSE(d.label.has_value());
  }
}

TEST_F(BandSlotsTest, NothingDrawnOutsideTheRanges) {
  for (const auto& [band, channel] : {std::pair{21, 0}, {-1, 0}, {0, 4}, {0, 9}, {AllBands, 9}}) {
    EXPECT_FALSE(slots.DrawEq(store, band, channel, kGraph, false).drawn) << band << "," << channel;
  }
  EXPECT_EQ(slots.LoadBands(store, AllBands, 9), 0);
  EXPECT_EQ(slots.LoadBands(store, AllBands, 1), 14 + 100);
  EXPECT_EQ(slots.LoadBands(store, AllBands, 3), 2 + 200);
}

TEST_F(BandSlotsTest, FlatEqualiserDrawsTheStraightZeroDecibelLine) {
  // (The subwoofer's low-pass has no off state, so its page is never flat.)
  for (int channel : {0, 1, 3, 5, 7, 8}) {
    const EqDrawing d = slots.DrawEq(store, AllBands, channel, kGraph, false);
    ASSERT_EQ(d.curve.size(), static_cast<std::size_t>(GridPoints));
    for (const CurvePoint& p : d.curve) ASSERT_EQ(p.y, Px(kGraph.DbToY(0))) << "channel " << channel;
    EXPECT_EQ(d.curve.front().x, 0);
    EXPECT_EQ(d.curve.back().x, 1078);
  }
}

TEST_F(BandSlotsTest, CurveIsTheSumOfTheBandCurves) {
  SetBand(0, 2, 0, 150, 150, 20);  // +6 dB
  SetBand(0, 7, 2, 300, 60, 10);   // high shelf -12 dB
  SetBand(0, 4, 1, 40, 170, 5);    // low shelf +10 dB
  const EqDrawing d = slots.DrawEq(store, AllBands, 0, kGraph, false);
  std::array<float, GridPoints> sum{};
  for (int band = 0; band < 10; ++band) {
    BandCurve c;
    const int type = store.Param(EqSlot(0, band, 0));
    const double q = StepValue(StepTable::Q, store.Param(EqSlot(0, band, type == 0 ? 3 : 4)));
    ComputeBandCurve(c, StepValue(StepTable::Freq, store.Param(EqSlot(0, band, 1))), type, q,
                     GainDb(store.Param(EqSlot(0, band, 2))));
    for (int x = 0; x < GridPoints; ++x) sum[x] += c[x];
  }
  for (int x = 0; x < GridPoints; ++x) ASSERT_NEAR(slots.Total()[x], sum[x], 1e-4) << x;
  EXPECT_EQ(d.curve, CurvePoints(slots.Total(), kGraph));
  for (int x = 0; x < GridPoints; ++x) {
    ASSERT_EQ(d.curve[x].y, Px(kGraph.DbToY(sum[x]))) << x;
    ASSERT_EQ(d.curve[x].x, Px(x * static_cast<float>(1078.0 / 462)));
  }
}

TEST_F(BandSlotsTest, PointsSitOnTheirFrequencyAndGain) {
  SetBand(0, 3, 0, 204, 135, 16);  // 1000 Hz, +3 dB
  const EqDrawing d = slots.DrawEq(store, AllBands, 0, kGraph, false);
  ASSERT_EQ(d.moves.size(), 10u);
  const PointMove& m = d.moves[3];
  EXPECT_EQ(m.point, 3);
  EXPECT_EQ(m.left, Px(kGraph.FreqToX(1000) - 7));
  EXPECT_EQ(m.top, Px(kGraph.DbToY(3) - 7));
  // While a point is held, drawings leave every point where the mouse put it.
  EXPECT_TRUE(slots.DrawEq(store, AllBands, 0, kGraph, true).moves.empty());
}

TEST_F(BandSlotsTest, ValueLabelTextAndPlace) {
  const struct {
    int gainStep, typeStep, qStep, freqStep;
    const char* text;
    ValueLabel::Place place;
  } cases[] = {
      {135, 0, 16, 204, "3.0dB\rQ:1.00\r1000.00Hz", ValueLabel::Place::Below},
      {119, 0, 16, 204, "-0.2dB\rQ:1.00\r1000.00Hz", ValueLabel::Place::Above},
      {104, 0, 16, 204, "-3.2dB\rQ:1.00\r1000.00Hz", ValueLabel::Place::Above},
      {120, 1, 28, 0, "0.0dB\rQ:2.00\r19.70Hz", ValueLabel::Place::Below},
  };
  for (const auto& c : cases) {
    SetBand(0, 1, c.typeStep, c.freqStep, c.gainStep, c.qStep);
    const EqDrawing d = slots.DrawEq(store, 1, 0, kGraph, false);
    ASSERT_TRUE(d.label.has_value());
    EXPECT_EQ(d.label->text, c.text);
    EXPECT_EQ(d.label->place, c.place) << c.text;
    EXPECT_EQ(d.label->point, 1);
  }
  const LabelRect below = PlaceValueLabel(ValueLabel::Place::Below, 100, 50, 14, 14, 80, 45);
  EXPECT_EQ(below.left, 100 + 7 - 40);
  EXPECT_EQ(below.top, 64);
  EXPECT_EQ(PlaceValueLabel(ValueLabel::Place::Above, 100, 50, 14, 14, 80, 45).top, 50 - 45 - 1);
  EXPECT_EQ(PlaceValueLabel(ValueLabel::Place::Filter, 100, 50, 24, 24, 80, 15).top, 50 + 24 - 5);
}

TEST_F(BandSlotsTest, EchoLowPassOffIsFlatAtTheTopAndSaysOff) {
  slots.DrawEq(store, AllBands, 3, kGraph, false);
  const BandSlot& lp = slots.Slot(4);
  EXPECT_EQ(lp.type, 200);
  EXPECT_FLOAT_EQ(lp.freq, 20600.0f);
  EXPECT_EQ(lp.point, kLowPassPoint);
  for (float v : lp.curve) ASSERT_FLOAT_EQ(v, 0.0f);
  const EqDrawing d = slots.DrawEq(store, 4, 3, kGraph, false);
  ASSERT_TRUE(d.label.has_value());
  EXPECT_EQ(d.label->text, "OFF");
  EXPECT_EQ(d.label->place, ValueLabel::Place::Filter);
  EXPECT_EQ(d.label->point, kLowPassPoint);

  store.SetParam(0x0305, 0);  // 500 Hz
  const EqDrawing on = slots.DrawEq(store, 4, 3, kGraph, false);
  EXPECT_EQ(slots.Slot(4).type, 202);
  EXPECT_EQ(on.label->text, "500.00Hz");
}

TEST_F(BandSlotsTest, FilterSlotsPerChannel) {
  store.SetParam(0x0100, 143);  // microphone high-pass: FreqSteps[142] = 303.0
  store.SetParam(0x0510, 47);
  store.SetParam(0x0512, 1);  // main: steep slope
  store.SetParam(0x0810, 47);
  store.SetParam(0x0812, 1);  // surround: always 102
  store.SetParam(0x0608, 2);  // subwoofer high-pass type
  store.SetParam(0x060A, 0);  // ... off
  store.SetParam(0x060E, 3);  // subwoofer low-pass type
  store.SetParam(0x0610, 100);
  store.SetParam(0x0612, 16);
  const struct {
    int channel, slot, type;
    float freq, q;
    int point, address;
    bool echo;
  } cases[] = {
      {1, 15, 102, 303.0f, 0, kHighPassPoint, 0x0100, false},
      {5, 5, 105, 47.7f, 0, kHighPassPoint, 0x0510, false},
      {8, 5, 102, 47.7f, 0, kHighPassPoint, 0x0810, false},
      {6, 3, kFilterOffCode, kFilterOffHz, 0.4f, kHighPassPoint, 0x060A, false},
      // The subwoofer low-pass has no offset: step 100 draws at FreqSteps[100].
      {6, 4, 207, 135.0f, 1.0f, kLowPassPoint, 0x0610, false},
      {3, 3, kFilterOffCode, kFilterOffHz, 0, kHighPassPoint, 0x0304, false},
  };
  for (const auto& c : cases) {
    slots.DrawEq(store, AllBands, c.channel, kGraph, false);
    const BandSlot& s = slots.Slot(c.slot);
    EXPECT_EQ(s.type, c.type) << c.channel;
    EXPECT_FLOAT_EQ(s.freq, c.freq) << c.channel;
    EXPECT_FLOAT_EQ(s.gain, 0) << c.channel;
    if (c.q > 0) {
      EXPECT_FLOAT_EQ(s.q, c.q) << c.channel;
    }
    EXPECT_EQ(s.point, c.point);
    EXPECT_EQ(s.controls.freqAddress, c.address);
    EXPECT_TRUE(s.controls.freqIsPane);
    EXPECT_EQ(s.controls.gainAddress, -1);
    EXPECT_EQ(slots.ControlsOfPoint(c.point).freqAddress, c.address);
  }
}

TEST_F(BandSlotsTest, StepsOutsideTheTablesDrawTheNearestEntry) {
  SetBand(0, 0, 0, 5000, 120, -7);
  store.SetParam(0x0100, 100000);
  store.SetParam(0x0305, 9999);
  slots.DrawEq(store, AllBands, 0, kGraph, false);
  EXPECT_FLOAT_EQ(slots.Slot(0).freq, 20600.0f);
  EXPECT_FLOAT_EQ(slots.Slot(0).q, 0.40f);
  slots.DrawEq(store, AllBands, 1, kGraph, false);
  EXPECT_FLOAT_EQ(slots.Slot(15).freq, 20600.0f);
  slots.DrawEq(store, AllBands, 3, kGraph, false);
  EXPECT_FLOAT_EQ(slots.Slot(4).freq, 20600.0f);
  EXPECT_EQ(slots.Slot(4).type, 202);
}

TEST_F(BandSlotsTest, SingleBandDrawingAfterAChannelChangeSumsOnlyThatChannel) {
  SetBand(1, 12, 0, 204, 180, 16);  // +12 dB on microphone band 13
  slots.DrawEq(store, AllBands, 1, kGraph, false);
  EXPECT_EQ(slots.LastBandSlot(), 15);
  const EqDrawing d = slots.DrawEq(store, 0, 0, kGraph, false);
  EXPECT_EQ(slots.LastBandSlot(), 9);
  for (const CurvePoint& p : d.curve) ASSERT_EQ(p.y, Px(kGraph.DbToY(0)));
}

TEST_F(BandSlotsTest, SingleBandDrawingRecomputesOnlyThatBand) {
  slots.DrawEq(store, AllBands, 0, kGraph, false);
  SetBand(0, 5, 0, 204, 180, 16);
  SetBand(0, 6, 0, 204, 0, 16);
  const EqDrawing d = slots.DrawEq(store, 5, 0, kGraph, false);
  ASSERT_EQ(d.moves.size(), 1u);
  EXPECT_EQ(d.moves[0].point, 5);
  // Band 6 keeps its old flat curve until it is drawn itself.
  const std::array<float, GridPoints> total = slots.Total();
  EXPECT_NEAR(*std::max_element(total.begin(), total.end()), 12.0f, 0.05);
}

}  // namespace
}  // namespace dsp
