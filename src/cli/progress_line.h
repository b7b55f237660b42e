#pragma once
// The progress of one processor's transfer on standard error: a bar that
// redraws itself when standard error is a terminal, a line per tenth
// otherwise. Standard output is never written here.

#include <cstdio>
#include <string>

namespace dsp::cli {

class ProgressLine {
 public:
  ProgressLine(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  ~ProgressLine() { End(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // `phase` names the transfer ("downloading", ...); a new phase starts
  // its own bar or lines.
  void Show(const std::string& phase, int percent);
  // Ends a bar that is still on screen with a line end.
  void End();

 private:
  std::FILE* out_;
  bool terminal_;
  std::string phase_;
  int shown_ = -1;  // the percent last shown, -1: none yet in this phase
  bool barOpen_ = false;
};

}  // namespace dsp::cli
