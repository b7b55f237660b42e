#include "cli/progress_line.h"

#include <algorithm>

namespace dsp::cli {

namespace {
constexpr int kBarWidth = 30;
}

void ProgressLine::End() {
  if (barOpen_ && out_ != nullptr) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  barOpen_ = false;
  phase_.clear();
  shown_ = -1;
}

void ProgressLine::Show(const std::string& phase, int percent) {
  if (out_ == nullptr) return;
  if (phase != phase_) {
    End();
    phase_ = phase;
  }
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
