#pragma once
// The device link's view for the command line: no window. It runs the
// link's three timers as the application does (QtLinkTimers), keeps the
// store's panel order in step with each completed download (as the
// window's refresh does), records the status, the messages and the port
// problems for the command to act on, and shows the progress of a transfer
// on standard error: a bar that redraws itself when standard error is a
// terminal, a line per tenth otherwise. Standard output is never written
// here.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/link_view.h"
#include "link/qt_link_timers.h"

namespace dsp {
class DeviceLink;
class ParamStore;
}  // namespace dsp

namespace dsp::cli {

class ConsoleView : public LinkView {
 public:
  ConsoleView(ParamStore& store, std::FILE* progressOut, bool progressIsTerminal);
  ~ConsoleView() override;
  // Runs the link's timers from now on; Detach before the link goes.
  void Attach(DeviceLink& link);
  void Detach();

  // What the progress line calls the running transfer ("downloading", ...);
  // empty: no progress is shown.
  void SetPhase(const std::string& phase);
  // Ends a bar that is still on screen with a line end.
  void EndProgress();

  const std::string& status() const { return status_; }
  const std::vector<std::string>& messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  int completions() const { return completions_; }

  void SetStatusText(const std::string& text) override { status_ = text; }
  void UpdateStatusDialog(const std::string& text, int percent) override;
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string& text) override { messages_.push_back(text); }
  void ShowLinkButtons(bool) override {}
  void RefreshFromStore(int which) override;
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(LinkTimer timer, bool running) override;
  void AppendLog(const std::string&) override {}
  void ClearLog() override {}
  void ShowDeviceId(const std::string&) override {}
  void ShowSelectedPort(int) override {}

 private:
  ParamStore& store_;
  std::FILE* out_;
  bool terminal_;
  std::unique_ptr<QtLinkTimers> timers_;
  std::string status_;
  std::vector<std::string> messages_;
  std::string phase_;
  int shown_ = -1;  // the percent last shown, -1: none yet in this phase
  bool barOpen_ = false;
  int completions_ = 0;  // completed sequences (downloads, reloads, uploads)
};

}  // namespace dsp::cli
