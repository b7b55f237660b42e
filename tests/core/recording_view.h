#pragma once
// A LinkView for tests: records what the link does to the screen. With a
// store attached, RefreshFromStore rebuilds ParamTable as the panels do.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/link_view.h"
#include "store/param_store.h"

namespace dsp::test {

class RecordingView : public LinkView {
 public:
  explicit RecordingView(ParamStore* store = nullptr) : store_(store) {}

  std::vector<std::string> statusTexts;
  std::vector<int> percents;
  std::vector<std::string> messages;
  std::vector<std::string> log;
  std::vector<int> refreshes;
  std::vector<Transfer> finished;  // the sequences that completed
  std::vector<bool> linkButtons;
  std::map<LinkTimer, bool> timers{
      {LinkTimer::Scan, false}, {LinkTimer::Transfer, false}, {LinkTimer::Hold, false}};
  bool dialogVisible = false;
  int modeListRebuilds = 0;
  int mainWindowShows = 0;
  std::string deviceId;
  std::vector<int> selectedPorts;  // every selection the port list showed
  std::string dialogText;
  std::vector<std::string> portProblems;  // every problem text shown, "" when cleared
  std::vector<int> backlogs;              // every backlog shown, 0 when cleared
  // The language the link is to speak; null: the source texts.
  const Translator* texts = nullptr;
  // Runs after every SetTimerRunning, for tests that drive the timers.
  std::function<void(LinkTimer, bool)> onTimer;

  const Translator& Texts() const override { return texts != nullptr ? *texts : SourceTexts(); }
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void UpdateStatusDialog(const std::string& text, int percent) override {
    dialogText = text;
    percents.push_back(percent);
  }
  void SetStatusDialogVisible(bool visible) override { dialogVisible = visible; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowLinkButtons(bool connected) override { linkButtons.push_back(connected); }
  void RefreshFromStore(int which) override {
    refreshes.push_back(which);
    if (store_) store_->RebuildParamTable(store_->SceneFlag);
  }
  void RebuildModeList() override { ++modeListRebuilds; }
  void ShowMainWindow() override { ++mainWindowShows; }
  void SetTimerRunning(LinkTimer timer, bool running) override {
    timers[timer] = running;
    if (onTimer) onTimer(timer, running);
  }
  void AppendLog(const std::string& line) override { log.push_back(line); }
  void ClearLog() override { log.clear(); }
  void ShowDeviceId(const std::string& text) override { deviceId = text; }
  void ShowSelectedPort(int index) override { selectedPorts.push_back(index); }
  void ShowPortProblem(const std::string& text) override { portProblems.push_back(text); }
  void ShowBacklog(int waiting) override { backlogs.push_back(waiting); }
  void TransferFinished(Transfer kind) override { finished.push_back(kind); }

  bool Running(LinkTimer timer) const { return timers.at(timer); }
  std::string LastStatus() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }

 private:
  ParamStore* store_;
};

}  // namespace dsp::test
