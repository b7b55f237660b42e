#include "link/qt_link_timers.h"

#include <algorithm>
#include <limits>

#include "link/device_link.h"

namespace dsp {

namespace {

// Long enough never to fire while a test runs.
constexpr int kByHandMs = 24 * 3600 * 1000;

}  // namespace

QtLinkTimers::QtLinkTimers(DeviceLink& link)
    : link_(link),
      pacing_(
          link, [this] { return clock_.elapsed(); },
          [this](std::int64_t delayMs) {
            if (delayMs < 0) {
              hold_.stop();
              return;
            }
            hold_.start(static_cast<int>(std::min<std::int64_t>(delayMs, std::numeric_limits<int>::max())));
          }) {
  clock_.start();
  scan_.setInterval(1000);
  transfer_.setInterval(100);
  // A heartbeat must not leave early: the one-shot pacing timer keeps to
  // the millisecond (a coarse timer may fire a few percent early).
  hold_.setSingleShot(true);
  hold_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&scan_, &QTimer::timeout, [this] { link_.Timer1Timer(); });
  QObject::connect(&transfer_, &QTimer::timeout, [this] { link_.Timer2Timer(); });
  QObject::connect(&hold_, &QTimer::timeout, [this] { pacing_.Wake(); });
}

void QtLinkTimers::SetRunning(LinkTimer timer, bool running) {
  if (timer == LinkTimer::Hold) {
    pacing_.SetRunning(running);
    return;
  }
  QTimer& t = timer == LinkTimer::Scan ? scan_ : transfer_;
  if (!running) {
    t.stop();
  } else if (!t.isActive()) {
    t.start();
  }
}

void QtLinkTimers::ScanAtOnce() {
  if (byHand_ || !scan_.isActive()) return;
  QTimer::singleShot(0, &scan_, [this] {
    if (!scan_.isActive()) return;
    scan_.start();  // the next tick a whole period after this one
    link_.Timer1Timer();
  });
}

void QtLinkTimers::DriveByHand() {
  byHand_ = true;
  scan_.setInterval(kByHandMs);
  transfer_.setInterval(kByHandMs);
  pacing_.SetTickMs(kByHandMs);
}

}  // namespace dsp
