// The application as a user runs it with the demo script: the dsp-emulator
// program on a pseudo-terminal, the application given its path with
// --port, real timers. Start-up scans, downloads and reports "设备已连接";
// closing the window says goodbye to the processor. Linked and left alone
// it hardly ever wakes; a processor switched on after the program is found
// by itself.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "../support/cpu_time.h"
#include "../support/run_until.h"
#include "link/device_link.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "logview/traffic_log.h"
#include "mainwindow/application.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "posix/emulator_process.h"
#include "posix/pty.h"

namespace dsp {
namespace {

using test::RunUntil;

TEST(ApplicationWithEmulatorProgram, ConnectsDownloadsAndSaysGoodbye) {
  ASSERT_TRUE(std::filesystem::exists(posix::EmulatorBinary())) << posix::EmulatorBinary();
  const auto log = std::filesystem::temp_directory_path() / ("dsp-app-e2e-" + std::to_string(::getpid()));
  std::filesystem::remove(log);
  posix::EmulatorProcess emulator({"--log", log.string()});
  ASSERT_FALSE(emulator.path().empty());

  QStringList messages;
  {
    QTemporaryDir presets;
    Application app(AppOptions{{QString::fromStdString(emulator.path())}, presets.path()});
    app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
    app.Start();
    ASSERT_TRUE(RunUntil([&] { return app.Link().LinkState == 2 || !messages.isEmpty(); }, 20000))
        << app.Link().StatusText();
    EXPECT_EQ(app.Link().StatusText(), "设备已连接");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
    EXPECT_FALSE(app.Dialog().isVisible()) << "the status dialog closes when the download completes";
    // The factory setting of the emulator: mode 2 is called "KTV".
    EXPECT_EQ(app.Store().ModeNames[1], "KTV");

    // Closing the main window sends the goodbye frame while linked.
    app.Window().close();
    QApplication::processEvents();
  }
  emulator.Stop(SIGTERM);
  std::ifstream in(log);
  std::string line;
  bool goodbye = false;
  while (std::getline(in, line))
    if (line.find("FC B1 06 A7 09 30 AA 00 37") != std::string::npos) goodbye = true;
  std::filesystem::remove(log);
  EXPECT_TRUE(goodbye) << "no goodbye frame in the emulator's log";
}

// Counts, while it exists, the timer events delivered anywhere in the
// program and the times the event loop woke up from waiting.
class WakeCounter : public QObject {
 public:
  WakeCounter() {
    qApp->installEventFilter(this);
    awake_ = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this,
                     [this] { ++wakeUps; });
  }
  ~WakeCounter() override {
    disconnect(awake_);
    qApp->removeEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Timer) ++timerEvents;
    return false;
  }
  int timerEvents = 0;
  int wakeUps = 0;

 private:
  QMetaObject::Connection awake_;
};

// Runs the event loop for `ms` with a single timer of its own.
void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

std::vector<std::string> LogLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ApplicationWithEmulatorProgram, ALinkedWindowLeftAloneWakesFewerThanFiveTimesASecond) {
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  QTemporaryDir presets;
  QElapsedTimer sinceStart;
  sinceStart.start();
  Application app(AppOptions{{QString::fromStdString(emulator.path())}, presets.path()});
  // When the first hello leaves, from the traffic log.
  const QString hello =
      QString::fromStdString("发送 " + HexDump(BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello)));
  qint64 helloAt = -1;
  QObject::connect(&app.Traffic(), &TrafficLog::added, [&](const TrafficLog::Entry& entry) {
    if (helloAt < 0 && entry.text.contains(hello)) helloAt = sinceStart.elapsed();
  });
  QStringList messages;
  app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
  app.TransferTimer().setInterval(10);  // a quick download; it plays no part in what is measured
  app.Start();
  ASSERT_TRUE(RunUntil([&] { return app.Link().LinkState == 2 || !messages.isEmpty(); }, 20000))
      << app.Link().StatusText();
  ASSERT_EQ(app.Link().StatusText(), "设备已连接");
  std::printf("[ measured ] first hello %lld ms after the application was made\n",
              static_cast<long long>(helloAt));
  RunFor(300);  // whatever the download left to draw

  constexpr int kMs = 3000;
  WakeCounter counter;
  const double cpuBefore = test::CpuSeconds();
  RunFor(kMs);
  const double cpu = test::CpuSeconds() - cpuBefore;
  // Both counts include the run's own timer and its wake-up.
  const int timerEvents = counter.timerEvents;
  std::printf("[ measured ] idle linked window, %d ms: %d timer events, %d wake-ups, CPU %.2f %%\n", kMs,
              timerEvents, counter.wakeUps, cpu / (kMs / 1000.0) * 100.0);
  EXPECT_LT(timerEvents, 5 * kMs / 1000);
  EXPECT_LT(counter.wakeUps, 5 * kMs / 1000);
  EXPECT_FALSE(app.Window().GraphTimer()->isActive());
  // Still linked: the heartbeats went out and were answered.
  EXPECT_EQ(app.Link().LinkState, 2);
  EXPECT_EQ(app.Link().MissCount, 0);
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
}

TEST(ApplicationWithEmulatorProgram, AProcessorSwitchedOnAfterTheProgramIsFoundWithoutTheUser) {
  const auto dir = std::filesystem::temp_directory_path() / ("dsp-later-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto path = dir / "ttyDSP";  // named by --port, not there at start
  const auto log = dir / "frames.log";
  QStringList messages;
  {
    QTemporaryDir presets;
    Application app(AppOptions{{QString::fromStdString(path.string())}, presets.path()});
    app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
    app.Start();
    ASSERT_TRUE(RunUntil([&] { return !messages.isEmpty(); }, 60000));
    EXPECT_EQ(messages, QStringList{QStringLiteral("连接失败!")});
    // It goes on looking, out of the way.
    EXPECT_EQ(app.Link().StatusText(), kSearchingText);
    EXPECT_FALSE(app.Dialog().isVisible());
    EXPECT_EQ(app.Window().PortList()->itemText(0), QString::fromStdString(path.string()));

    // Looking costs no more than an idle link.
    {
      constexpr int kMs = 3000;
      WakeCounter counter;
      const double cpuBefore = test::CpuSeconds();
      RunFor(kMs);
      std::printf(
          "[ measured ] looking for the processor, %d ms: %d timer events, %d wake-ups, CPU %.2f %%\n", kMs,
          counter.timerEvents, counter.wakeUps, (test::CpuSeconds() - cpuBefore) / (kMs / 1000.0) * 100.0);
      EXPECT_LT(counter.timerEvents, 5 * kMs / 1000);
      EXPECT_LT(counter.wakeUps, 5 * kMs / 1000);
      EXPECT_TRUE(app.Link().Reconnecting());
    }
    // The processor is switched on a while later.
    posix::EmulatorProcess emulator({"--link", path.string(), "--log", log.string()});
    ASSERT_FALSE(emulator.path().empty());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(RunUntil([&] { return app.Link().LinkState == 2; }, 60000)) << app.Link().StatusText();
    std::printf("[ measured ] linked %lld ms after the processor was switched on\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(app.Link().StatusText(), "设备已连接");
    EXPECT_EQ(app.Store().ModeNames[1], "KTV") << "the full download";
    EXPECT_FALSE(app.Dialog().isVisible());
    // And the link holds: heartbeats, answered.
    RunFor(2500);
    EXPECT_EQ(app.Link().LinkState, 2);
    EXPECT_EQ(app.Link().MissCount, 0);
    const std::string heartbeat = HexDump(BuildValueFrame(CmdWrite, AddrLinkControl, LinkHeartbeat));
    int heartbeats = 0;
    for (const std::string& line : LogLines(log))
      if (line.find(heartbeat) != std::string::npos) ++heartbeats;
    EXPECT_GE(heartbeats, 2);
    EXPECT_EQ(messages, QStringList{QStringLiteral("连接失败!")})
        << "nothing asked of the user but the first box";
    app.Window().close();
    QApplication::processEvents();
  }
  std::filesystem::remove_all(dir);
}

TEST(ApplicationWithEmulatorProgram, DisconnectWhileLookingLeavesThePortAlone) {
  // A port where nobody answers: the hellos of the search are all it gets.
  posix::PtyPair pty;
  pty.holdDevice();
  QTemporaryDir presets;
  Application app(AppOptions{{QString::fromStdString(pty.devicePath())}, presets.path()});
  QStringList messages;
  app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
  app.Start();
  ASSERT_TRUE(RunUntil([&] { return !messages.isEmpty(); }, 60000));
  ASSERT_TRUE(app.Link().Reconnecting());
  // Wait for a round's hello: the port is open for its answer now.
  const Bytes hello = BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello);
  pty.read(4096, 50);
  Bytes got;
  for (int i = 0; i < 50 && got.empty(); ++i) {
    RunFor(100);
    got = pty.read(4096, 10);
  }
  ASSERT_EQ(got, hello) << "the search says hello on its port";
  app.Window().findChild<QAbstractButton*>(QStringLiteral("UnLinkBtn"))->click();
  EXPECT_FALSE(app.ScanTimer().isActive());
  RunFor(3000);
  EXPECT_TRUE(pty.read(4096, 50).empty()) << "nothing after 断开, not even a goodbye";
  EXPECT_EQ(app.Link().StatusText(), "设备未连接");
  EXPECT_EQ(messages, QStringList{QStringLiteral("连接失败!")});
}

}  // namespace
}  // namespace dsp
