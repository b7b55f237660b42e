#include "eq/graph_drag.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kZeroDbStep = 120;
constexpr int kTopGainStep = 180;  // +12 dB, the top of the graph
constexpr int kEchoLowPassOffset = 168;
constexpr int kLastFreqStep = 361;

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

int Step(int kind, double value) {
  return static_cast<int>(RoundHalfEven(TextToStep(kind, value)));
}

// The whole-hertz frequency under the centre of a point whose left edge is
// at `left` (h half its size).
double CentreHz(const GraphGeometry& g, int left, int h) {
  return static_cast<double>(RoundHalfEven(g.XToFreq(left + h)));
}

// What the page rules allow a dragged point. A locked point does not move;
// the others move sideways, and up and down only when `vertical`. A pinned
// point stays at pinHz once the frequency step its centre would reach is at
// or beyond pinStep (above it for pinAbove, below it otherwise).
struct PointRule {
  bool locked = false;
  bool vertical = true;
  double pinHz = 0;  // 0: no pin
  int pinStep = 0;
  bool pinAbove = true;

  bool Pins(int step) const { return pinHz > 0 && (pinAbove ? step >= pinStep : step <= pinStep); }
};

// Filter points never move vertically. The high-pass points of the
// microphone and output pages and the subwoofer's low-pass stop at 309 Hz,
// the echo high-pass at 2000 Hz, and the echo low-pass cannot go below
// 500 Hz. Automatic mode locks the music page and the output filters.
PointRule RuleOf(int page, int point, bool manual) {
  PointRule rule;
  switch (page) {
    case 0:
      rule.locked = !manual;
      break;
    case 1:
      if (point > 14) {
        rule.vertical = false;
        if (point == kHighPassPoint) rule = {false, false, 309, 143, true};
      }
      break;
    case 2:
      if (point > 2) {
        rule.vertical = false;
        if (point == kHighPassPoint) rule = {false, false, 2000, 241, true};
        if (point == kLowPassPoint) rule = {false, false, 500, 168, false};
      }
      break;
    case 3:
    case 4:
    case 5:
    case 6:
      if (point > (page == 5 ? 2 : 4)) rule = {!manual, false, 309, 143, true};
      break;
    default:
      break;
  }
  return rule;
}

// Where a pinned point's left edge stays, and the frequency step it stands at.
int PinnedLeft(const GraphGeometry& g, const PointRule& rule, int h) {
  return Px(g.FreqToX(rule.pinHz) - h);
}

int PinnedStep(const GraphGeometry& g, const PointRule& rule, int h) {
  return Step(role::BandFreq, CentreHz(g, PinnedLeft(g, rule, h), h));
}

}  // namespace

DragSteps StoredDragSteps(const ParamStore& store, const PointControls& controls) {
  DragSteps steps;
  const int v = store.Param(controls.freqAddress);
  switch (controls.scale) {
    case FreqScale::BandStep:
    case FreqScale::FilterValue:
      steps.freq = v;
      break;
    case FreqScale::HighPass:
      // Value v sits at table step v - 1 (0, off, at the first step): the
      // drag starts where the point is, so a press with a slight move
      // leaves the filter as it was.
      steps.freq = std::max(v - 1, 0);
      break;
    case FreqScale::EchoLowPass:
      // 193 sits at the last step as 194 (off) does, but is on: it starts
      // one step below, so a move to the far right turns it off.
      steps.freq = v >= kEchoLowPassMax ? kLastFreqStep : std::min(v + kEchoLowPassOffset, kLastFreqStep - 1);
      break;
  }
  steps.gain = controls.gainAddress >= 0 ? store.Param(controls.gainAddress) : kZeroDbStep;
  return steps;
}

DragSteps KeyStartSteps(const ParamStore& store, const PointControls& controls) {
  DragSteps steps = StoredDragSteps(store, controls);
  // A high-pass value v is drawn at step v - 1 and a drag sends the step it
  // reaches as the value: a key starts from v itself, so that one step
  // always changes the value by one.
  if (controls.scale == FreqScale::HighPass) steps.freq = store.Param(controls.freqAddress);
  return steps;
}

int FreqControlValue(const PointControls& controls, int freqStep) {
  if (controls.scale != FreqScale::EchoLowPass) return freqStep;
  return freqStep == kLastFreqStep ? kEchoLowPassMax : freqStep - kEchoLowPassOffset;
}

PressResult GraphDrag::Press(MouseButton button, int x, int y, int point, const DragContext& context,
                             int storedFreq, int storedGain) {
  PressResult result;
  // A middle-button press has no release that would end it: ignored.
  if (button == MouseButton::Middle) return result;
  pressX_ = x;
  pressY_ = y;
  dragActive_ = true;
  dragPoint_ = point;
  // The new drag starts from the pressed point's own values, not from the
  // steps another point was left at: its first step is always applied.
  pendingFreq_ = sentFreq_ = storedFreq;
  pendingGain_ = sentGain_ = storedGain;
  if (!context.windowReady) return result;
  rightDrag_ = false;
  const bool allowed = EditingAllowed(context);
  if (button == MouseButton::Right) {
    if (point >= 0 && point < kHighPassPoint && allowed) {
      result.selectQField = true;
      rightDrag_ = true;  // confirmed by the caller through the field it selects
    }
    return result;
  }
  if (point >= kHighPassPoint) {
    switch (context.channel) {
      case 1:
        result.drawSlot = 15;
        break;
      case 3:
      case 6:
        result.drawSlot = point - 12;
        break;
      case 5:
      case 7:
      case 8:
        result.drawSlot = 5;
        break;
      default:
        break;
    }
    if (result.drawSlot >= 0) result.drawChannel = context.channel;
  } else if (point >= 0 && allowed) {
    result.selectGainField = true;
  }
  return result;
}

MoveResult GraphDrag::Move(int x, int y, PointRect& p, const DragContext& context) {
  MoveResult result;
  if (!dragActive_ || !context.windowReady || dragPoint_ == -1) return result;
  if (rightDrag_) {
    if (dragPoint_ >= kHighPassPoint) return result;
    result.qStep = true;
    result.direction = x > pressX_ ? 1 : (x < pressX_ ? -1 : 0);
    pressX_ = x;
    pressY_ = y;
    dragBand_ = dragPoint_;
    return result;
  }

  const GraphGeometry& g = context.geometry;
  int dX = x - pressX_;
  int dY = y - pressY_;
  const int h = p.height / 2;
  const int t = Step(role::BandFreq, g.XToFreq(p.left + dX + h));
  const PointRule rule = RuleOf(context.page, dragPoint_, context.manual);
  if (rule.locked) return result;
  // Taken before the page rules: a pin moves the point too.
  const PointRect before = p;
  if (!rule.vertical) dY = 0;
  if (rule.Pins(t)) {
    p.left = PinnedLeft(g, rule, h);
    dX = 0;
  }
  p.left += dX;
  p.top += dY;

  // The centre stays on the picture vertically.
  const int highest = context.imageTop - h;
  const int lowest = context.imageTop + g.Height() - h;
  p.top = std::clamp(p.top, highest, lowest);
  // Lowest frequency: the centre at or just below 19.5 Hz, so the far left
  // is the first step at any picture width.
  const double lowX = g.FreqToX(19.5);
  if (p.left < lowX - h) p.left = static_cast<int>(std::floor(lowX)) - h;

  dragFreqHz_ = CentreHz(g, p.left, h);
  dragGainDb_ = g.YToDb(p.top + h - context.imageTop);
  if (dragFreqHz_ > 20600) {
    dragFreqHz_ = 20600;
    p.left = Px(g.FreqToX(20600) - h);
  }
  dragGainDb_ = std::clamp(dragGainDb_, kGraphBottomDb, kGraphTopDb);

  dragBand_ = dragPoint_;
  pendingFreq_ = Step(role::BandFreq, dragFreqHz_);
  pendingGain_ = Step(role::BandGain, dragGainDb_);
  result.movePoint = p.left != before.left || p.top != before.top;
  result.applyPending = pendingFreq_ != sentFreq_ || pendingGain_ != sentGain_;
  return result;
}

bool GraphDrag::Nudge(int freqSteps, int gainSteps, const DragContext& context, DragSteps from) {
  if (!dragActive_ || rightDrag_ || !context.windowReady || dragPoint_ < 0) return false;
  const PointRule rule = RuleOf(context.page, dragPoint_, context.manual);
  if (rule.locked) return false;
  int freq = from.freq;
  if (freqSteps != 0) {
    freq = std::clamp(from.freq + freqSteps, 0, kLastFreqStep);
    if (rule.Pins(freq)) freq = PinnedStep(context.geometry, rule, PointSize(dragPoint_) / 2);
    // A filter set beyond its pin elsewhere stays there: a key never moves
    // against its own direction.
    if ((freq - from.freq) * freqSteps < 0) freq = from.freq;
  }
  const int gain = rule.vertical ? std::clamp(from.gain + gainSteps, 0, kTopGainStep) : from.gain;
  dragBand_ = dragPoint_;
  sentFreq_ = from.freq;
  sentGain_ = from.gain;
  pendingFreq_ = freq;
  pendingGain_ = gain;
  return StepsPending();
}

std::vector<ApplyCall> GraphDrag::TakePending(const PointControls& controls) {
  std::vector<ApplyCall> calls;
  const bool freqChanged = pendingFreq_ != sentFreq_;
  const bool gainChanged = pendingGain_ != sentGain_;
  const int freqValue = FreqControlValue(controls, pendingFreq_);
  const bool hasGain = controls.gainAddress >= 0;
  if (freqChanged && gainChanged && hasGain) {
    // The frequency is stored first; the gain's band message then carries both.
    calls.push_back({false, true, freqValue});
    calls.push_back({true, false, pendingGain_});
  } else if (freqChanged) {
    calls.push_back({false, false, freqValue});
  } else if (gainChanged && hasGain) {
    calls.push_back({true, false, pendingGain_});
  }
  sentFreq_ = pendingFreq_;
  sentGain_ = pendingGain_;
  return calls;
}

bool GraphDrag::Release(MouseButton button, const DragContext& context) {
  if (button == MouseButton::Middle) return false;
  rightDrag_ = false;
  if (!dragActive_) return false;
  dragActive_ = false;
  return dragPoint_ >= 0 && dragPoint_ < kHighPassPoint && EditingAllowed(context);
}

MoveResult GraphDrag::ImageMove(bool rightHeld, int x, int y) {
  MoveResult result;
  if (!rightHeld || !rightDrag_ || dragPoint_ < 0 || dragPoint_ >= kHighPassPoint) return result;
  if (x - pressX_ >= 3) {
    result.direction = 1;
  } else if (pressX_ - x >= 3) {
    result.direction = -1;
  } else {
    return result;
  }
  result.qStep = true;
  dragActive_ = false;
  pressX_ = x;
  pressY_ = y;
  dragBand_ = dragPoint_;
  return result;
}

bool GraphDrag::ImageRelease(MouseButton button, const DragContext& context) {
  if (button != MouseButton::Right || !rightDrag_ || !EditingAllowed(context)) return false;
  dragActive_ = false;
  rightDrag_ = false;
  return dragPoint_ >= 0 && dragPoint_ < kHighPassPoint;
}

void GraphDrag::LabelRelease() {
  rightDrag_ = false;
  dragActive_ = false;
}

bool GraphDrag::TakeChange(int address, int value) {
  if (address == seenAddress_ && value == seenValue_) return false;
  seenAddress_ = address;
  seenValue_ = value;
  return true;
}

}  // namespace dsp
