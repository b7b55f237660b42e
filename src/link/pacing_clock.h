#pragma once
// Runs the 20 ms pacing tick of the device link from a one-shot timer that
// wakes only for the ticks with something to do. Most ticks only count
// towards the heartbeat period: they are slept through and counted when the
// timer wakes, or as soon as the link reports a change (PacingEvent), so an
// idle link wakes once a second for its heartbeat instead of fifty times,
// and every frame still goes out on the very tick it would with a timer
// ticking every 20 ms.
//
// The owner supplies a steady clock in milliseconds and a one-shot timer:
// the clock calls `arm` with the delay to (re)arm it for, or with -1 to
// disarm it, and the owner calls Wake() when it fires. The clock hooks
// itself into the link's PacingEvent for its lifetime.

#include <cstdint>
#include <functional>

namespace dsp {

class DeviceLink;

class PacingClock {
 public:
  using Now = std::function<std::int64_t()>;
  using Arm = std::function<void(std::int64_t delayMs)>;

  static constexpr int kTickMs = 20;

  PacingClock(DeviceLink& link, Now now, Arm arm);
  ~PacingClock();
  PacingClock(const PacingClock&) = delete;
  PacingClock& operator=(const PacingClock&) = delete;

  // The length of a tick; a longer one slows the pacing down (tests that
  // tick the link themselves make it so long that it never fires).
  void SetTickMs(int ms);
  int TickMs() const { return tickMs_; }

  // The link started (true) or stopped (false) its pacing timer.
  void SetRunning(bool running);
  bool Running() const { return running_; }
  // The one-shot timer fired: counts the ticks slept through and runs the
  // tick that fell due.
  void Wake();
  // Counts the ticks slept through so far and plans the next wake-up again.
  // Runs on every PacingEvent of the link (its state is about to change, or
  // just changed); HoldTicks is up to date after it.
  void Update();

 private:
  // Arms the timer for the next due tick, or disarms it.
  void Plan();

  DeviceLink& link_;
  Now now_;
  Arm arm_;
  int tickMs_ = kTickMs;
  bool running_ = false;
  std::int64_t lastTick_ = 0;  // when the last tick ran or was counted
  int armedTicks_ = 0;         // ticks after lastTick_ the timer fires at; 0: not armed
};

}  // namespace dsp
