#include "cli/console_view.h"

#include <algorithm>

#include "link/device_link.h"
#include "store/param_store.h"

namespace dsp::cli {

namespace {
constexpr int kBarWidth = 30;
}

ConsoleView::ConsoleView(ParamStore& store, std::FILE* progressOut, bool progressIsTerminal)
    : store_(store), out_(progressOut), terminal_(progressIsTerminal) {}

ConsoleView::~ConsoleView() {
  EndProgress();
}

void ConsoleView::Attach(DeviceLink& link) {
  timers_ = std::make_unique<QtLinkTimers>(link);
}

void ConsoleView::Detach() {
  timers_.reset();
}

void ConsoleView::SetTimerRunning(LinkTimer timer, bool running) {
  if (timers_) timers_->SetRunning(timer, running);
}

void ConsoleView::RefreshFromStore(int which) {
  // What the window shows comes from the panel order; the command line
  // reads it the same way (the processor's rights and current mode).
  (void)which;
  store_.RebuildParamTable(store_.SceneFlag);
  ++completions_;
}

void ConsoleView::SetPhase(const std::string& phase) {
  EndProgress();
  phase_ = phase;
  shown_ = -1;
}

void ConsoleView::EndProgress() {
  if (barOpen_ && out_ != nullptr) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  barOpen_ = false;
}

void ConsoleView::UpdateStatusDialog(const std::string&, int percent) {
  if (phase_.empty() || out_ == nullptr || !timers_ || !timers_->Transfer().isActive()) return;
  percent = std::clamp(percent, 0, 100);
  if (terminal_) {
    if (percent == shown_) return;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(out_, "\r%-12s [%s%s] %3d%%", phase_.c_str(),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), '-').c_str(), percent);
    barOpen_ = true;
  } else {
    // One line per tenth reached: a log stays short.
    const int tenth = percent / 10 * 10;
    if (shown_ >= 0 && tenth <= shown_) return;
    percent = tenth;
    std::fprintf(out_, "%s: %d%%\n", phase_.c_str(), percent);
  }
  shown_ = percent;
  std::fflush(out_);
}

}  // namespace dsp::cli
