#pragma once
// Common ground of the port tests: the Qt application, a link view that
// runs the three link timers on real QTimers and refreshes from the stores
// (everything else the link shows is recorded), and the check that a
// download brought the emulator's whole setting.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "emulator/emulator.h"
#include "link/link_view.h"
#include "link/qt_link_timers.h"
#include "store/param_store.h"

namespace dsp::test {

inline QCoreApplication* App() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "port_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
  return QCoreApplication::instance();
}

// What the main window does for the link: runs the three timers as the
// application does (QtLinkTimers) and refreshes from the stores. Everything
// else is recorded. Detach before the link goes.
class TimerView : public LinkView {
 public:
  TimerView(ParamStore& store) : store_(store) {}
  void Attach(DeviceLink& link) { timers_ = std::make_unique<QtLinkTimers>(link); }
  void Detach() { timers_.reset(); }
  void SetStatusText(const std::string& text) override { status = text; }
  void UpdateStatusDialog(const std::string&, int) override {}
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowLinkButtons(bool) override {}
  void RefreshFromStore(int) override { store_.RebuildParamTable(store_.SceneFlag); }
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(LinkTimer timer, bool running) override {
    if (timers_) timers_->SetRunning(timer, running);
  }
  void AppendLog(const std::string& line) override { log.push_back(line); }
  void ClearLog() override { log.clear(); }
  void ShowDeviceId(const std::string&) override {}
  void ShowSelectedPort(int) override {}
  void ShowPortProblem(const std::string& text) override { problems.push_back(text); }

  std::string status;
  std::vector<std::string> problems;
  std::vector<std::string> messages;
  std::vector<std::string> log;

 private:
  ParamStore& store_;
  std::unique_ptr<QtLinkTimers> timers_;
};

inline void ExpectStoresEqual(const ParamStore& store, const ProcessorEmulator& expected) {
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(store.Device(c, i), expected.image[c][i]) << c << ":" << i;
  for (int slot : {3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 32, 33, 34})
    EXPECT_EQ(store.Device(9, slot), expected.image[9][slot]) << slot;
  EXPECT_EQ(store.ModeNames, expected.modeNames);
  EXPECT_EQ(store.SystemPassword, expected.systemPassword);
  EXPECT_EQ(store.LockPassword, expected.lockPassword);
}

}  // namespace dsp::test
