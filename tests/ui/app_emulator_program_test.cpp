// The application as a user runs it with the demo script: the dsp-emulator
// program on a pseudo-terminal, the application given its path with
// --port, real timers. Start-up scans, downloads and reports "设备已连接";
// closing the window says goodbye to the processor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <signal.h>
#include <unistd.h>

#include "link/device_link.h"
#include "mainwindow/application.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "posix/emulator_process.h"
#include "../support/run_until.h"

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

}  // namespace
}  // namespace dsp
