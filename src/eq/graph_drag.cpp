#include "eq/graph_drag.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kZeroDbStep = 120;
constexpr int kEchoLowPassOffset = 168;
constexpr int kLastFreqStep = 361;

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

int Step(int kind, double value) {
  return static_cast<int>(RoundHalfEven(TextToStep(kind, value)));
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
  auto pin = [&](double hz) {
    p.left = Px(g.FreqToX(hz) - h);
    dX = 0;
  };
  const int point = dragPoint_;
  // Taken before the page rules: a pin moves the point too.
  const PointRect before = p;
  switch (context.page) {
    case 0:
      if (!context.manual) return result;
      break;
    case 1:
      if (point > 14) {
        dY = 0;
        if (point == kHighPassPoint && t >= 143) pin(309);
      }
      break;
    case 2:
      if (point > 2) {
        dY = 0;
        if (point == kHighPassPoint && t >= 241) pin(2000);
        if (point == kLowPassPoint && t <= 168) pin(500);
      }
      break;
    case 3:
    case 4:
    case 5:
    case 6:
      if (point > (context.page == 5 ? 2 : 4)) {
        dY = 0;
        if (!context.manual) return result;
        if (t >= 143) pin(309);
      }
      break;
    default:
      break;
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

  dragFreqHz_ = static_cast<double>(RoundHalfEven(g.XToFreq(p.left + h)));
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
