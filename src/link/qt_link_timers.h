#pragma once
// The three timers of the device link on Qt timers, for the application
// and the end-to-end tests: the port scan (1000 ms) and the transfer
// (100 ms) as periodic timers while they run, and the write pacing (20 ms
// ticks) as a one-shot timer that wakes only for the ticks with work
// (PacingClock). An idle link thus wakes once a second, for its heartbeat.

#include <QElapsedTimer>
#include <QTimer>

#include "link/link_view.h"
#include "link/pacing_clock.h"

namespace dsp {

class DeviceLink;

class QtLinkTimers {
 public:
  explicit QtLinkTimers(DeviceLink& link);
  QtLinkTimers(const QtLinkTimers&) = delete;
  QtLinkTimers& operator=(const QtLinkTimers&) = delete;

  // What LinkView::SetTimerRunning asks for: starts a timer that is not
  // running (a running one keeps its rhythm) or stops it.
  void SetRunning(LinkTimer timer, bool running);
  // The scan's next tick comes at once, from the event loop, and the
  // following ones a period after it: a processor already there answers a
  // period sooner. Nothing happens unless the scan runs.
  void ScanAtOnce();
  // For tests that tick the link themselves: the timers still run while
  // the link wants them (isActive) but never fire, and ScanAtOnce does
  // nothing.
  void DriveByHand();

  QTimer& Scan() { return scan_; }
  QTimer& Transfer() { return transfer_; }
  // Active while the pacing runs, armed for its next due tick.
  QTimer& Hold() { return hold_; }

 private:
  DeviceLink& link_;
  QTimer scan_;
  QTimer transfer_;
  QTimer hold_;
  QElapsedTimer clock_;
  PacingClock pacing_;
  bool byHand_ = false;
};

}  // namespace dsp
