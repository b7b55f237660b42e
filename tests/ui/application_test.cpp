// The whole application against the processor emulator on a pseudo-terminal:
// start-up scans the ports, finds the processor, downloads everything and
// reports "设备已连接". The link timers are ticked by the test.

#include "mainwindow/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>

#include "eq/scales.h"
#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "link/qt_link_timers.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "posix/pty.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

TEST(ApplicationTest, DownloadsFromTheEmulatorAndReportsConnected) {
  posix::PtyPair pty;
  pty.holdDevice();
  ProcessorEmulator emulator;
  emulator.FillRandom(7);
  emulator.modeNames[0] = "PARTY";

  QTemporaryDir presets;
  Application app(AppOptions{{QString::fromStdString(pty.devicePath())}, presets.path()});
  // The test ticks the link itself: the real timers never fire on their own.
  app.LinkTimers().DriveByHand();
  QStringList messages;
  app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
  app.Start();

  EXPECT_EQ(app.Window().PortList()->itemText(0), QString::fromStdString(pty.devicePath()));
  EXPECT_TRUE(app.ScanTimer().isActive());
  EXPECT_EQ(app.Link().StatusText(), "设备搜索...");

  DeviceLink& link = app.Link();
  for (int i = 0; i < 3000 && link.StatusText() != "设备已连接"; ++i) {
    if (app.ScanTimer().isActive()) link.Timer1Timer();
    const Bytes received = pty.read(4096, 5, 2);
    if (!received.empty()) {
      emulator.Feed(received);
      while (emulator.HasOutput()) pty.write(emulator.TakePiece());
    }
    QApplication::processEvents();
    if (app.TransferTimer().isActive()) link.Timer2Timer();
  }
  EXPECT_EQ(link.StatusText(), "设备已连接");
  EXPECT_EQ(link.LinkState, 2);
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
  EXPECT_EQ(app.Window().LinkLabel()->text(), QStringLiteral("设备已连接"));
  EXPECT_EQ(app.Dialog().StatusText(), QStringLiteral("设备已连接"));
  EXPECT_FALSE(app.Dialog().isVisible());
  EXPECT_TRUE(app.HoldTimer().isActive());
  EXPECT_FALSE(app.ScanTimer().isActive());
  EXPECT_FALSE(app.TransferTimer().isActive());
  EXPECT_EQ(app.Store().ModeNames[0], "PARTY");
  EXPECT_EQ(app.Store().Device(3, 5), emulator.image[3][5]);
  // The download ends with every widget showing the processor's values.
  auto* echoTime = app.Window().findChild<QSlider*>(QStringLiteral("EchoTimeBar"));
  EXPECT_EQ(echoTime->value(), std::min(app.Store().Param(0x307), 250));
  EXPECT_EQ(app.Window().findChild<QLineEdit*>(QStringLiteral("MainFreEdit2"))->text(),
            QString::fromLatin1(StepText(StepTable::Freq, app.Store().Param(0x524))));
  EXPECT_EQ(app.Window().findChild<QComboBox*>(QStringLiteral("SysModeBox"))->itemText(0),
            QStringLiteral("1-PARTY"));
  QString id;
  for (std::uint8_t byte : emulator.id)
    id += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
  EXPECT_EQ(app.Window().findChild<QLabel*>(QStringLiteral("DeviceIDLabel"))->text(), id);
}

TEST(ApplicationStartup, TheFirstHelloLeavesAsSoonAsTheWindowIsShown) {
  ProcessorEmulator emulator;
  auto owned = std::make_unique<EmulatedPort>(emulator, "EMU");
  EmulatedPort& port = *owned;
  QTemporaryDir presets;
  Application app(std::move(owned), AppOptions{{QStringLiteral("EMU")}, presets.path()});
  QStringList messages;
  app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
  app.Start();
  ASSERT_TRUE(app.ScanTimer().isActive());
  // The first turn of the event loop after the show tries the first port,
  // a whole scan period before the scan timer's first tick.
  QApplication::processEvents();
  const Bytes hello = BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello);
  ASSERT_FALSE(port.written.empty());
  EXPECT_EQ(port.written.front(), std::make_pair(std::string("EMU"), hello));
  EXPECT_EQ(emulator.hellos, 1);
  EXPECT_GT(app.ScanTimer().remainingTime(), 900) << "the next scan tick a whole period later";
  // The processor's answer is taken on that next tick.
  port.Pump();
  app.Link().Timer1Timer();
  EXPECT_TRUE(app.TransferTimer().isActive());
  EXPECT_EQ(app.Link().StatusText(), "连接中...");
  EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
}  // namespace dsp
