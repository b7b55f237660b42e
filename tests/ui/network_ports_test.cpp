// Network ports in the window: the list the user adds to is remembered in
// the settings file and scanned with the serial ports; a processor behind
// ser2net is linked through a port added in the "网络端口" window.

#include "mainwindow/network_ports.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>

#include "../support/run_until.h"
#include "link/device_link.h"
#include "logview/traffic_log.h"
#include "mainwindow/application.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "posix/emulator_process.h"
#include "posix/ser2net_process.h"

namespace dsp {
namespace {

using test::RunUntil;

TEST(NetworkPortList, RemembersGoodNamesAndRefusesOthers) {
  QTemporaryDir dir;
  const QString settings = dir.filePath(QStringLiteral("settings.ini"));
  {
    NetworkPortList ports(settings);
    EXPECT_TRUE(ports.Names().isEmpty());
    EXPECT_TRUE(ports.Add(QStringLiteral("  rfc2217://room-3.local:4001 ")));
    EXPECT_TRUE(ports.Add(QStringLiteral("tcp://127.0.0.1:2000")));
    struct Case {
      const char* name;
      const char* why;
    } refused[] = {
        {"tcp://127.0.0.1:2000", "已在列表中"},
        {"/dev/ttyUSB0", "请输入"},
        {"tcp://host", "地址无效"},
        {"rfc2217://host:70000", "地址无效"},
    };
    for (const auto& c : refused) {
      QString why;
      EXPECT_FALSE(ports.Add(QString::fromUtf8(c.name), &why)) << c.name;
      EXPECT_TRUE(why.startsWith(QString::fromUtf8(c.why))) << c.name << ": " << why.toStdString();
    }
  }
  NetworkPortList again(settings);
  EXPECT_EQ(again.Names(), (QStringList{"rfc2217://room-3.local:4001", "tcp://127.0.0.1:2000"}));
  again.Remove(QStringLiteral("rfc2217://room-3.local:4001"));
  EXPECT_EQ(NetworkPortList(settings).Names(), QStringList{"tcp://127.0.0.1:2000"});
}

TEST(NetworkPortsWindow, APortAddedThereIsLinkedAndScannedNextTime) {
  ASSERT_TRUE(std::filesystem::exists(posix::Ser2netBinary())) << "scripts/deps.sh installs ser2net";
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  posix::Ser2netProcess server(emulator.path());
  ASSERT_TRUE(server.started()) << server.log();
  QTemporaryDir dir;
  AppOptions options;
  options.presetDir = dir.filePath(QStringLiteral("presets"));
  options.settingsPath = dir.filePath(QStringLiteral("settings.ini"));
  const QString url = QString::fromStdString(server.rfc2217Url());
  {
    Application app(options);
    QStringList messages;
    app.View().SetMessageSink([&messages](const QString&, const QString& text) { messages << text; });
    app.Start();
    // Nothing to find on the machine's ports (if any): the first scan fails,
    // and the program goes on looking.
    ASSERT_TRUE(RunUntil([&] { return !messages.isEmpty(); }, 30000));
    ASSERT_EQ(messages, QStringList{QStringLiteral("连接失败!")});
    EXPECT_EQ(app.Link().StatusText(), kSearchingText);
    NetworkPortsDialog& window = app.NetworkPortsWindow();
    window.findChild<QLineEdit*>(QStringLiteral("NetworkPortEdit"))->setText(url);
    window.findChild<QPushButton*>(QStringLiteral("AddNetworkPortBtn"))->click();
    EXPECT_EQ(window.findChild<QListWidget*>(QStringLiteral("NetworkPortList"))->count(), 1);
    ASSERT_TRUE(RunUntil([&] { return app.Link().StatusText() == "设备已连接"; }, 30000))
        << app.Link().StatusText() << " " << messages.join(',').toStdString();
    EXPECT_EQ(app.Store().ModeNames[1], "KTV");
    EXPECT_EQ(messages, QStringList{QStringLiteral("连接失败!")});
  }
  Application next(options);
  next.Start();
  const auto listed = [&] {
    const auto& list = next.Link().PortList();
    return std::find(list.begin(), list.end(), url.toStdString()) != list.end();
  };
  EXPECT_TRUE(RunUntil(listed, 3000)) << "the remembered port is scanned";
}

TEST(NetworkPortsWindow, ARefusedConnectionIsToldInTheDialogStatusLineAndTrafficView) {
  QTemporaryDir dir;
  AppOptions options;
  const QString url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(posix::FreeLoopbackPort());
  options.ports = QStringList{url};
  options.presetDir = dir.filePath(QStringLiteral("presets"));
  options.settingsPath = dir.filePath(QStringLiteral("settings.ini"));
  Application app(options);
  app.View().SetMessageSink([](const QString&, const QString&) {});
  app.Start();
  const QString problem =
      QStringLiteral("端口 ") + url + QStringLiteral(" 拒绝连接(服务器未运行或端口号有误)");
  ASSERT_TRUE(RunUntil([&] { return app.Dialog().PortProblem() == problem; }, 5000))
      << app.Dialog().PortProblem().toStdString();
  EXPECT_TRUE(
      app.Window().findChild<QLabel*>(QStringLiteral("LinkStatusLine"))->accessibleName().contains(problem));
  EXPECT_TRUE(app.Traffic().Text().contains(problem)) << app.Traffic().Text().toStdString();
}

}  // namespace
}  // namespace dsp
