#include "eq/graph_drag.h"

#include <gtest/gtest.h>

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {
namespace {

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

DragContext Context(int page, int channel, bool manual = true, int width = 893) {
  DragContext c;
  c.page = page;
  c.channel = channel;
  c.manual = manual;
  c.windowReady = true;
  c.geometry = GraphGeometry(width, 297);
  return c;
}

// A point placed as a drawing places it: its centre on a frequency and a gain.
PointRect PointAt(const GraphGeometry& g, int point, double hz, double db) {
  const int size = PointSize(point);
  return {Px(g.FreqToX(hz) - size / 2), Px(g.DbToY(db) - size / 2), size, size};
}

class GraphDragTest : public testing::Test {
 protected:
  // Presses the point at its centre and moves the mouse by (dx, dy) in one move.
  MoveResult Drag(PointRect& p, int point, const DragContext& c, int dx, int dy, int freq = 204,
                  int gain = 120, MouseButton button = MouseButton::Left) {
    const int h = p.height / 2;
    drag.Press(button, h, h, point, c, freq, gain);
    return drag.Move(h + dx, h + dy, p, c);
  }
  GraphDrag drag;
};

TEST_F(GraphDragTest, FarLeftAndFarRightAreTheFirstAndLastStepAtEveryWidth) {
  for (int width : {893, 1078, 2156}) {
    const DragContext c = Context(0, 0, true, width);
    PointRect p = PointAt(c.geometry, 3, 1000, 0);
    const MoveResult left = Drag(p, 3, c, -5000, 0);
    EXPECT_TRUE(left.applyPending);
    EXPECT_EQ(drag.PendingFreqStep(), 0) << width;
    EXPECT_LE(c.geometry.XToFreq(p.left + 7), 19.5) << width;
    drag.Release(MouseButton::Left, c);

    p = PointAt(c.geometry, 3, 1000, 0);
    Drag(p, 3, c, 5000, 0);
    EXPECT_EQ(drag.PendingFreqStep(), 361) << width;
    EXPECT_EQ(drag.DragFreqHz(), 20600);
    EXPECT_EQ(p.left, Px(c.geometry.FreqToX(20600) - 7));
    drag.Release(MouseButton::Left, c);
  }
}

TEST_F(GraphDragTest, GainStopsAtTheGraphEdges) {
  const DragContext c = Context(1, 1);
  const struct {
    int dy, step, top;
  } cases[] = {{-1000, 180, -7}, {1000, 0, 297 - 7}, {0, 120, Px(c.geometry.DbToY(0) - 7)}};
  for (const auto& k : cases) {
    PointRect p = PointAt(c.geometry, 2, 1000, 0);
    Drag(p, 2, c, 0, k.dy);
    EXPECT_EQ(drag.PendingGainStep(), k.step) << k.dy;
    EXPECT_EQ(p.top, k.top) << k.dy;
    EXPECT_GE(drag.DragGainDb(), -24);
    EXPECT_LE(drag.DragGainDb(), 12);
    drag.Release(MouseButton::Left, c);
  }
}

TEST_F(GraphDragTest, FilterPointsStayOnTheirLineAndInTheirRange) {
  const struct {
    int page, channel, point, dx;
    double pinHz;
    int step;
  } cases[] = {
      {1, 1, kHighPassPoint, 5000, 309, 143}, {3, 5, kHighPassPoint, 5000, 309, 143},
      {5, 6, kLowPassPoint, 5000, 309, 143},  {2, 3, kHighPassPoint, 5000, 2000, 240},
      {2, 3, kLowPassPoint, -5000, 500, 168},
  };
  for (const auto& k : cases) {
    const DragContext c = Context(k.page, k.channel);
    PointRect p = PointAt(c.geometry, k.point, 100, 0);
    const int top = p.top;
    const MoveResult r = Drag(p, k.point, c, k.dx, 80);
    EXPECT_EQ(p.left, Px(c.geometry.FreqToX(k.pinHz) - 12)) << k.page << "/" << k.point;
    EXPECT_TRUE(r.movePoint) << "the pinned point is put at its pin on screen: " << k.page << "/" << k.point;
    EXPECT_EQ(p.top, top) << "filter points never move vertically";
    EXPECT_NEAR(drag.PendingFreqStep(), k.step, 1) << k.page << "/" << k.point;
    drag.Release(MouseButton::Left, c);
  }
  // The microphone high-pass stores exactly the last slider step.
  const DragContext mic = Context(1, 1);
  PointRect p = PointAt(mic.geometry, kHighPassPoint, 100, 0);
  Drag(p, kHighPassPoint, mic, 5000, 0);
  EXPECT_EQ(drag.PendingFreqStep(), 143);
}

TEST_F(GraphDragTest, AutomaticModeLocksTheMusicPageAndTheOutputFilters) {
  const DragContext music = Context(0, 0, false);
  PointRect p = PointAt(music.geometry, 1, 1000, 0);
  const PointRect before = p;
  const PressResult press = drag.Press(MouseButton::Left, 7, 7, 1, music, 204, 120);
  EXPECT_FALSE(press.selectGainField);
  const MoveResult r = drag.Move(300, 80, p, music);
  EXPECT_FALSE(r.applyPending);
  EXPECT_FALSE(r.movePoint);
  EXPECT_EQ(p.left, before.left);
  EXPECT_FALSE(drag.Release(MouseButton::Left, music));

  const DragContext main = Context(3, 5, false);
  p = PointAt(main.geometry, kHighPassPoint, 100, 0);
  EXPECT_FALSE(Drag(p, kHighPassPoint, main, 200, 0).applyPending);
  drag.Release(MouseButton::Left, main);
  // The output page's bands stay editable in automatic mode.
  p = PointAt(main.geometry, 0, 1000, 0);
  EXPECT_TRUE(Drag(p, 0, main, 200, 0).applyPending);
}

TEST_F(GraphDragTest, PressSelectsFieldsAndRedrawsFilterLabels) {
  const struct {
    MouseButton button;
    int page, channel, point;
    bool q, gain;
    int slot;
  } cases[] = {
      {MouseButton::Left, 0, 0, 4, false, true, -1},
      {MouseButton::Right, 0, 0, 4, true, false, -1},
      {MouseButton::Left, 1, 1, kHighPassPoint, false, false, 15},
      {MouseButton::Left, 2, 3, kHighPassPoint, false, false, 3},
      {MouseButton::Left, 2, 3, kLowPassPoint, false, false, 4},
      {MouseButton::Left, 5, 6, kLowPassPoint, false, false, 4},
      {MouseButton::Left, 4, 7, kHighPassPoint, false, false, 5},
      {MouseButton::Right, 1, 1, kHighPassPoint, false, false, -1},
      {MouseButton::Middle, 0, 0, 4, false, false, -1},
  };
  for (const auto& k : cases) {
    const PressResult r = drag.Press(k.button, 3, 3, k.point, Context(k.page, k.channel), 204, 120);
    EXPECT_EQ(r.selectQField, k.q);
    EXPECT_EQ(r.selectGainField, k.gain);
    EXPECT_EQ(r.drawSlot, k.slot);
    if (k.slot >= 0) {
      EXPECT_EQ(r.drawChannel, k.channel);
    }
    EXPECT_EQ(drag.RightDrag(), k.q);
    drag.Release(MouseButton::Left, Context(k.page, k.channel));
  }
  // Before the window's first show a press does nothing more.
  DragContext early = Context(0, 0);
  early.windowReady = false;
  EXPECT_FALSE(drag.Press(MouseButton::Left, 3, 3, 1, early, 204, 120).selectGainField);
}

TEST_F(GraphDragTest, MiddleButtonIsIgnored) {
  const DragContext c = Context(0, 0);
  PointRect p = PointAt(c.geometry, 1, 1000, 0);
  drag.Press(MouseButton::Middle, 7, 7, 1, c, 204, 120);
  EXPECT_FALSE(drag.DragActive());
  EXPECT_FALSE(drag.Move(200, 50, p, c).applyPending);
  EXPECT_FALSE(drag.Release(MouseButton::Middle, c));
}

TEST_F(GraphDragTest, ANewDragStartsFromThePressedBandsSteps) {
  const DragContext c = Context(0, 0);
  // Band 1 is dragged to some step s and released there.
  PointRect p1 = PointAt(c.geometry, 0, 1000, 0);
  Drag(p1, 0, c, 40, 0, 204, 120);
  const int s = drag.PendingFreqStep();
  ASSERT_NE(s, 204);
  drag.TakePending({0x0005, 0x0006, 0x0007, false, FreqScale::BandStep});
  drag.Release(MouseButton::Left, c);
  // Band 2 sits elsewhere (step 150) and is dragged onto step s: sent.
  PointRect p2 = PointAt(c.geometry, 1, StepValue(StepTable::Freq, 150), 0);
  const int h = 7;
  drag.Press(MouseButton::Left, h, h, 1, c, 150, 120);
  EXPECT_EQ(drag.SentFreqStep(), 150);
  const int dx = p1.left - p2.left;
  const MoveResult r = drag.Move(h + dx, h, p2, c);
  EXPECT_EQ(drag.PendingFreqStep(), s);
  EXPECT_TRUE(r.applyPending);
  const std::vector<ApplyCall> calls = drag.TakePending({0x000A, 0x000B, 0x000C, false, FreqScale::BandStep});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].gain);
  EXPECT_FALSE(calls[0].displayOnly);
  EXPECT_EQ(calls[0].value, s);
}

TEST_F(GraphDragTest, PendingStepsBecomeApplyCalls) {
  const PointControls band{0x0005, 0x0006, 0x0007, false, FreqScale::BandStep};
  const PointControls highPass{0x0100, -1, -1, true, FreqScale::HighPass};
  const PointControls echoLow{0x0305, -1, -1, true, FreqScale::EchoLowPass};
  const DragContext c = Context(0, 0);
  struct Case {
    PointControls controls;
    int dx, dy;
    std::vector<std::pair<bool, bool>> calls;  // (gain, displayOnly)
  };
  const Case cases[] = {
      {band, 60, 60, {{false, true}, {true, false}}},  // both: frequency stored, the gain sends both
      {band, 60, 0, {{false, false}}},
      {band, 0, 60, {{true, false}}},
      // A filter has no gain control: its frequency is sent even when both changed.
      {highPass, 60, 60, {{false, false}}},
      {highPass, 0, 60, {}},
  };
  for (const Case& k : cases) {
    PointRect p = PointAt(c.geometry, 2, 1000, 0);
    Drag(p, 2, c, k.dx, k.dy);
    const std::vector<ApplyCall> calls = drag.TakePending(k.controls);
    ASSERT_EQ(calls.size(), k.calls.size()) << k.dx << "," << k.dy;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].gain, k.calls[i].first);
      EXPECT_EQ(calls[i].displayOnly, k.calls[i].second);
    }
    EXPECT_EQ(drag.SentFreqStep(), drag.PendingFreqStep());
    EXPECT_EQ(drag.SentGainStep(), drag.PendingGainStep());
    EXPECT_TRUE(drag.TakePending(k.controls).empty());
    drag.Release(MouseButton::Left, c);
  }
  EXPECT_EQ(FreqControlValue(echoLow, 361), 194);
  EXPECT_EQ(FreqControlValue(echoLow, 168), 0);
  EXPECT_EQ(FreqControlValue(highPass, 143), 143);
}

TEST_F(GraphDragTest, StoredDragSteps) {
  ParamStore store;
  store.SetParam(0x0006, 77);
  store.SetParam(0x0007, 150);
  store.SetParam(0x0305, 194);
  store.SetParam(0x0100, 40);
  const PointControls band{0x0006, 0x0007, 0x0008, false, FreqScale::BandStep};
  EXPECT_EQ(StoredDragSteps(store, band).freq, 77);
  EXPECT_EQ(StoredDragSteps(store, band).gain, 150);
  EXPECT_EQ(StoredDragSteps(store, {0x0305, -1, -1, true, FreqScale::EchoLowPass}).freq, 361);
  store.SetParam(0x0305, 10);
  EXPECT_EQ(StoredDragSteps(store, {0x0305, -1, -1, true, FreqScale::EchoLowPass}).freq, 178);
  // Value 193 is on, at the last step like off: it starts one below, so a
  // drag to the far right still turns the filter off.
  store.SetParam(0x0305, 193);
  EXPECT_EQ(StoredDragSteps(store, {0x0305, -1, -1, true, FreqScale::EchoLowPass}).freq, 360);
  // A high-pass value v is drawn at step v - 1, where its drag starts; off
  // (0) at the first step.
  const DragSteps hp = StoredDragSteps(store, {0x0100, -1, -1, true, FreqScale::HighPass});
  EXPECT_EQ(hp.freq, 39);
  EXPECT_EQ(hp.gain, 120);
  store.SetParam(0x0100, 0);
  EXPECT_EQ(StoredDragSteps(store, {0x0100, -1, -1, true, FreqScale::HighPass}).freq, 0);
  // The subwoofer low-pass is drawn at its own step.
  store.SetParam(0x0610, 40);
  EXPECT_EQ(StoredDragSteps(store, {0x0610, -1, -1, true, FreqScale::FilterValue}).freq, 40);

  // A key starts a high-pass from its value, so that one step changes it by
  // one; every other scale as a drag.
  store.SetParam(0x0100, 40);
  EXPECT_EQ(KeyStartSteps(store, {0x0100, -1, -1, true, FreqScale::HighPass}).freq, 40);
  store.SetParam(0x0100, 0);
  EXPECT_EQ(KeyStartSteps(store, {0x0100, -1, -1, true, FreqScale::HighPass}).freq, 0);
  store.SetParam(0x0305, 193);
  EXPECT_EQ(KeyStartSteps(store, {0x0305, -1, -1, true, FreqScale::EchoLowPass}).freq, 360);
  EXPECT_EQ(KeyStartSteps(store, band).freq, 77);
  EXPECT_EQ(KeyStartSteps(store, band).gain, 150);
}

// A keyboard step: a press, Nudge in place of a move. Returns whether a step is pending.
class GraphKeyStepTest : public GraphDragTest {
 protected:
  bool Key(int point, const DragContext& c, DragSteps from, int freqSteps, int gainSteps) {
    drag.Press(MouseButton::Left, 3, 3, point, c, from.freq, from.gain);
    const bool stepped = drag.Nudge(freqSteps, gainSteps, c, from);
    drag.Release(MouseButton::Left, c);
    return stepped;
  }
};

TEST_F(GraphKeyStepTest, OneStepInsideTheScalesAndNoneBeyondTheirEnds) {
  const DragContext c = Context(0, 0);
  const struct {
    DragSteps from;
    int freqSteps, gainSteps;
    bool stepped;
    DragSteps to;
  } cases[] = {
      {{204, 120}, 1, 0, true, {205, 120}},  {{204, 120}, -1, 0, true, {203, 120}},
      {{204, 120}, 0, 1, true, {204, 121}},  {{204, 120}, 0, -1, true, {204, 119}},
      {{361, 120}, 1, 0, false, {361, 120}}, {{0, 120}, -1, 0, false, {0, 120}},
      {{204, 180}, 0, 1, false, {204, 180}}, {{204, 0}, 0, -1, false, {204, 0}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.from.freq << "/" << k.from.gain << " by " << k.freqSteps << ","
                                    << k.gainSteps);
    EXPECT_EQ(Key(3, c, k.from, k.freqSteps, k.gainSteps), k.stepped);
    EXPECT_EQ(drag.PendingFreqStep(), k.to.freq);
    EXPECT_EQ(drag.PendingGainStep(), k.to.gain);
    // Handed on as the drag hands on a step of its own.
    const std::vector<ApplyCall> calls = drag.TakePending({0x0011, 0x0012, 0x0013, false, FreqScale::BandStep});
    ASSERT_EQ(calls.size(), k.stepped ? 1u : 0u);
    if (k.stepped) {
      EXPECT_EQ(calls[0].gain, k.gainSteps != 0);
      EXPECT_FALSE(calls[0].displayOnly);
      EXPECT_EQ(calls[0].value, k.gainSteps != 0 ? k.to.gain : k.to.freq);
    }
  }
  // Without a press there is no point to step.
  GraphDrag idle;
  EXPECT_FALSE(idle.Nudge(1, 0, c, {204, 120}));
}

TEST_F(GraphKeyStepTest, TheLocksAndTheFilterLinesOfADrag) {
  const struct {
    int page, channel, point;
    bool manual;
    int freqSteps, gainSteps;
    bool stepped;
  } cases[] = {
      {0, 0, 3, false, 1, 0, false},               // automatic mode: the music page is locked
      {3, 5, kHighPassPoint, false, 1, 0, false},  // ... and the output filters
      {3, 5, 1, false, 1, 0, true},                // the output bands are not
      {3, 5, kHighPassPoint, true, 1, 0, true},
      {3, 5, kHighPassPoint, true, 0, 1, false},  // filters move sideways only
      {2, 3, kLowPassPoint, true, 0, -1, false},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(Key(k.point, Context(k.page, k.channel, k.manual), {100, 120}, k.freqSteps, k.gainSteps),
              k.stepped)
        << k.page << "/" << k.point << (k.manual ? " manual" : " automatic");
  }
}

TEST_F(GraphKeyStepTest, FiltersStopWhereTheirDragIsPinned) {
  const struct {
    int page, channel, point, direction;
  } cases[] = {{1, 1, kHighPassPoint, 1}, {3, 5, kHighPassPoint, 1}, {5, 6, kLowPassPoint, 1},
               {2, 3, kHighPassPoint, 1}, {2, 3, kLowPassPoint, -1}};
  for (int width : {893, 1078}) {
    for (const auto& k : cases) {
      SCOPED_TRACE(testing::Message() << "width " << width << ", page " << k.page << ", point " << k.point);
      const DragContext c = Context(k.page, k.channel, true, width);
      // Where a drag far past the pin stops.
      PointRect p = PointAt(c.geometry, k.point, 1000, 0);
      Drag(p, k.point, c, 5000 * k.direction, 0);
      const int pin = drag.PendingFreqStep();
      drag.Release(MouseButton::Left, c);
      // A key from just before the pin reaches it; at the pin it sends nothing.
      EXPECT_TRUE(Key(k.point, c, {pin - k.direction, 120}, k.direction, 0));
      EXPECT_EQ(drag.PendingFreqStep(), pin);
      EXPECT_FALSE(Key(k.point, c, {pin, 120}, k.direction, 0));
      // Beyond the pin (set elsewhere) a key outwards leaves it there rather
      // than pulling it back; a key back towards the range goes to the pin,
      // as any move of its drag does.
      EXPECT_FALSE(Key(k.point, c, {pin + 5 * k.direction, 120}, k.direction, 0));
      EXPECT_TRUE(Key(k.point, c, {pin + 5 * k.direction, 120}, -k.direction, 0));
      EXPECT_EQ(drag.PendingFreqStep(), pin);
    }
  }
}

TEST_F(GraphDragTest, RightButtonStepsTheQ) {
  const DragContext c = Context(0, 0);
  PointRect p = PointAt(c.geometry, 2, 1000, 0);
  drag.Press(MouseButton::Right, 7, 7, 2, c, 204, 120);
  ASSERT_TRUE(drag.RightDrag());
  const struct { int x, direction; } moves[] = {{9, 1}, {12, 1}, {12, 0}, {4, -1}};
  for (const auto& m : moves) {
    const MoveResult r = drag.Move(m.x, 7, p, c);
    EXPECT_TRUE(r.qStep);
    EXPECT_EQ(r.direction, m.direction) << m.x;
    EXPECT_FALSE(r.applyPending);
  }
  EXPECT_EQ(p.left, PointAt(c.geometry, 2, 1000, 0).left);  // the point stays
  EXPECT_TRUE(drag.Release(MouseButton::Right, c));
  EXPECT_FALSE(drag.RightDrag());
  EXPECT_FALSE(drag.DragActive());
}

TEST_F(GraphDragTest, RightButtonOverTheGraphStepsEveryThreePixels) {
  const DragContext c = Context(0, 0);
  drag.Press(MouseButton::Right, 5, 5, 2, c, 204, 120);
  EXPECT_FALSE(drag.ImageMove(true, 7, 5).qStep);
  EXPECT_FALSE(drag.ImageMove(false, 50, 5).qStep);
  const MoveResult up = drag.ImageMove(true, 8, 5);
  EXPECT_TRUE(up.qStep);
  EXPECT_EQ(up.direction, 1);
  EXPECT_FALSE(drag.DragActive());
  EXPECT_EQ(drag.ImageMove(true, 5, 5).direction, -1);
  EXPECT_FALSE(drag.ImageRelease(MouseButton::Left, c));
  EXPECT_TRUE(drag.ImageRelease(MouseButton::Right, c));
  EXPECT_FALSE(drag.RightDrag());
}

TEST_F(GraphDragTest, LabelReleaseEndsTheDrag) {
  const DragContext c = Context(0, 0);
  drag.Press(MouseButton::Right, 5, 5, 2, c, 204, 120);
  drag.LabelRelease();
  EXPECT_FALSE(drag.DragActive());
  EXPECT_FALSE(drag.RightDrag());
  EXPECT_FALSE(drag.Release(MouseButton::Left, c)) << "no field is selected after the label ended the drag";
}

TEST_F(GraphDragTest, ChangesAreSeenOnce) {
  EXPECT_FALSE(drag.TakeChange(0, 0));
  EXPECT_TRUE(drag.TakeChange(0x0006, 40));
  EXPECT_FALSE(drag.TakeChange(0x0006, 40));
  EXPECT_TRUE(drag.TakeChange(0x0006, 41));
}

}  // namespace
}  // namespace dsp
