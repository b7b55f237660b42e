#include "link/pacing_clock.h"

#include <algorithm>
#include <utility>

#include "link/device_link.h"

namespace dsp {

PacingClock::PacingClock(DeviceLink& link, Now now, Arm arm)
    : link_(link), now_(std::move(now)), arm_(std::move(arm)) {
  link_.PacingEvent = [this] { Update(); };
}

PacingClock::~PacingClock() {
  link_.PacingEvent = nullptr;
}

void PacingClock::SetTickMs(int ms) {
  tickMs_ = std::max(1, ms);
  if (running_) Plan();
}

void PacingClock::SetRunning(bool running) {
  if (running == running_) return;
  running_ = running;
  armedTicks_ = 0;
  if (!running) {
    arm_(-1);
    return;
  }
  // As a periodic timer started now: the first tick one tick from now.
  lastTick_ = now_();
  Plan();
}

void PacingClock::Update() {
  if (!running_) return;
  // The ticks that passed since the last one were slept through because
  // they only counted; the one the timer is armed for is left to it, and so
  // is one falling due this very moment: the change comes first.
  const std::int64_t since = now_() - lastTick_;
  std::int64_t passed = since > 0 ? (since - 1) / tickMs_ : 0;
  if (armedTicks_ > 0) passed = std::min<std::int64_t>(passed, armedTicks_ - 1);
  if (passed > 0) {
    link_.SkipHoldTicks(static_cast<int>(passed));
    lastTick_ += passed * tickMs_;
  }
  Plan();
}

void PacingClock::Wake() {
  if (!running_ || armedTicks_ <= 0) return;
  const int ticks = armedTicks_;
  armedTicks_ = 0;
  link_.SkipHoldTicks(ticks - 1);
  lastTick_ += static_cast<std::int64_t>(ticks) * tickMs_;
  // Woken a whole tick late (a busy or suspended machine): the ticks start
  // again from now, as a periodic timer drops the timeouts it missed.
  const std::int64_t now = now_();
  if (now - lastTick_ >= tickMs_) lastTick_ = now;
  link_.HoldTimerTimer();
  if (running_) Plan();
}

void PacingClock::Plan() {
  const int ticks = link_.HoldTicksUntilDue();
  if (ticks <= 0) {
    armedTicks_ = 0;
    arm_(-1);
    return;
  }
  armedTicks_ = ticks;
  arm_(std::max<std::int64_t>(0, lastTick_ + static_cast<std::int64_t>(ticks) * tickMs_ - now_()));
}

}  // namespace dsp
