// The traffic view, the visible status line, the background reconnect and
// the port diagnostics of the whole application on the in-process
// processor, with the link's timers ticked by the test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "link/qt_link_timers.h"
#include "logview/traffic_log.h"
#include "logview/traffic_window.h"
#include "mainwindow/application.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

class AppRig : public testing::Test {
 protected:
  void TearDown() override { app.reset(); }

  void Start(QStringList ports = {QStringLiteral("EMU")}) {
    auto owned = std::make_unique<EmulatedPort>(emulator, "EMU");
    port = owned.get();
    port->Refuse("BUSY1", PortFault::Busy);
    port->Refuse("LOCKED1", PortFault::PermissionDenied, "dialout");
    app = std::make_unique<Application>(std::move(owned), ports);
    app->LinkTimers().DriveByHand();
    app->View().SetMessageSink([this](const QString&, const QString& text) { messages << text; });
    app->Start();
    QApplication::processEvents();
  }
  // Runs the running link timers for a while, as the application would.
  void Run(int milliseconds) {
    DeviceLink& link = app->Link();
    for (int t = 20; t <= milliseconds; t += 20) {
      if (app->HoldTimer().isActive()) link.HoldTimerTimer();
      port->Pump();
      if (t % 100 == 0 && app->TransferTimer().isActive()) link.Timer2Timer();
      port->Pump();
      if (t % 1000 == 0 && app->ScanTimer().isActive()) link.Timer1Timer();
      port->Pump();
    }
  }
  template <typename T = QWidget>
  T* W(const char* name) const {
    return app->Window().findChild<T*>(QString::fromLatin1(name));
  }
  QString StatusLine() const {
    return app->Window().findChild<QLabel*>(QStringLiteral("LinkStatusLine"))->accessibleName();
  }

  ProcessorEmulator emulator;
  EmulatedPort* port = nullptr;
  std::unique_ptr<Application> app;
  QStringList messages;
};

using TrafficView = AppRig;

TEST_F(TrafficView, RecordsFramesBothWaysStatusAndParserComplaintsWithTimeStamps) {
  Start();
  Run(8000);
  ASSERT_EQ(app->Link().LinkState, 2);
  // A reply with a wrong checksum, as the line might deliver it.
  Bytes bad = BuildBlockFrame(CmdWrite, 0x0900, Bytes{1, 2});
  bad.back() ^= 0x55;
  app->Link().StoreReply(bad);

  QStringList texts;
  for (const TrafficLog::Entry& e : app->Traffic().Entries()) texts << e.text;
  const QString all = texts.join(QLatin1Char('\n'));
  EXPECT_TRUE(all.contains(QStringLiteral("打开 EMU")));
  EXPECT_TRUE(all.contains(
      QString::fromStdString("发送 " + HexDump(BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello)))));
  EXPECT_TRUE(all.contains(QStringLiteral("接收 FE BB")));
  EXPECT_TRUE(all.contains(QStringLiteral("状态: 设备搜索...")));
  EXPECT_TRUE(all.contains(QStringLiteral("状态: 设备已连接")));
  EXPECT_TRUE(all.contains(QStringLiteral("校验数据匹配不一致")));

  // The window lists the same, one stamped line per entry.
  W<QAbstractButton>("LogViewBtn")->click();
  TrafficWindow& view = app->TrafficView();
  EXPECT_TRUE(view.isVisible());
  auto* text = view.findChild<QPlainTextEdit*>(QStringLiteral("TrafficText"));
  const QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(static_cast<std::size_t>(lines.size()), app->Traffic().Entries().size());
  const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  \\S"));
  for (const QString& line : lines) EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
  // New traffic shows up while it is open.
  Run(1100);
  EXPECT_GT(text->toPlainText().split(QLatin1Char('\n')).size(), lines.size());
  // Closed, it is filled again when it opens, with what came meanwhile.
  view.close();
  Run(1100);
  view.Open();
  EXPECT_EQ(static_cast<std::size_t>(text->toPlainText().split(QLatin1Char('\n')).size()),
            app->Traffic().Entries().size());
  EXPECT_TRUE(text->toPlainText().endsWith(TrafficLog::Format(app->Traffic().Entries().back())));
}

TEST_F(TrafficView, OpensWithCtrlL) {
  Start();
  auto* shortcut = app->Window().findChild<QShortcut*>(QStringLiteral("TrafficShortcut"));
  ASSERT_NE(shortcut, nullptr);
  EXPECT_EQ(shortcut->key(), QKeySequence(QStringLiteral("Ctrl+L")));
  EXPECT_FALSE(app->TrafficView().isVisible());
  emit shortcut->activated();
  EXPECT_TRUE(app->TrafficView().isVisible());
}

TEST_F(TrafficView, SavesTheLogToTheChosenFileAndSaysWhenItCannot) {
  Start();
  Run(3000);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TrafficWindow& view = app->TrafficView();
  QStringList errors;
  view.ShowError = [&](const QString& text) { errors << text; };
  auto* save = view.findChild<QAbstractButton*>(QStringLiteral("SaveTrafficBtn"));
  auto* note = view.findChild<QLabel*>(QStringLiteral("TrafficNoteLabel"));

  const QString path = dir.filePath(QStringLiteral("traffic.txt"));
  view.AskSavePath = [&](const QString& suggestion) {
    EXPECT_TRUE(suggestion.endsWith(QStringLiteral(".txt")));
    return path;
  };
  save->click();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString saved = QString::fromUtf8(file.readAll());
  EXPECT_EQ(saved, app->Traffic().Text());
  EXPECT_TRUE(saved.contains(QStringLiteral("发送 ")));
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_TRUE(note->text().contains(path));

  // A folder that does not exist: the user is told, nothing pretends success.
  view.AskSavePath = [&](const QString&) { return dir.filePath(QStringLiteral("missing/traffic.txt")); };
  save->click();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("无法保存通信记录到 ")));
  EXPECT_EQ(note->text(), QStringLiteral("保存失败"));

  // Cancelling the question writes nothing.
  view.AskSavePath = [](const QString&) { return QString(); };
  save->click();
  EXPECT_EQ(errors.size(), 1);
}

TEST(TrafficLogTest, KeepsTheNewestLinesUpToItsCapacity) {
  TrafficLog log(3);
  const QDateTime t(QDate(2026, 12, 10), QTime(10, 41, 6, 123));
  for (int i = 1; i <= 5; ++i) log.Add(t, QStringLiteral("line %1").arg(i));
  EXPECT_EQ(log.Text(), QStringLiteral("2026-12-10 10:41:06.123  line 3\n"
                                       "2026-12-10 10:41:06.123  line 4\n"
                                       "2026-12-10 10:41:06.123  line 5\n"));
  log.Clear();
  EXPECT_TRUE(log.Entries().empty());
}

using LinkStatusLine = AppRig;

TEST_F(LinkStatusLine, FramesWaitingForTheProcessorAreToldAndTheRepeatsMarkedInTheTrafficView) {
  Start();
  Run(8000);
  ASSERT_EQ(app->Link().LinkState, 2);
  // The processor stops answering for a while: two edits wait for it.
  emulator.faults.silentAfter = emulator.framesReceived;
  app->Link().WriteParam(0x0505, 3);
  app->Link().WriteParam(0x0506, 4);
  Run(900);
  EXPECT_FALSE(StatusLine().contains(QStringLiteral("等待设备确认"))) << "not yet a second";
  Run(200);
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("等待设备确认: 2"))) << StatusLine().toStdString();
  emulator.faults.silentAfter = -1;
  Run(3000);
  EXPECT_FALSE(StatusLine().contains(QStringLiteral("等待设备确认"))) << StatusLine().toStdString();
  EXPECT_TRUE(StatusLine().contains(QStringLiteral("设备已连接")));
  // Each repeat is marked, with why.
  QStringList repeats;
  for (const TrafficLog::Entry& e : app->Traffic().Entries())
    if (e.text.contains(QStringLiteral("未收到确认"))) repeats << e.text;
  EXPECT_EQ(repeats, (QStringList{QStringLiteral("重发(第 1 次): 260 ms 内未收到确认"),
                                  QStringLiteral("重发(第 2 次): 260 ms 内未收到确认"),
                                  QStringLiteral("重发(第 3 次): 260 ms 内未收到确认")}));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LinkStatusLine, UnpluggedProcessorIsFoundAgainWithoutABox) {
  Start();
  Run(8000);
  ASSERT_EQ(app->Link().LinkState, 2);
  EXPECT_EQ(StatusLine(), QStringLiteral("设备已连接"));

  port->Unplug();
  EXPECT_EQ(app->Link().LinkState, 0);
  EXPECT_TRUE(messages.isEmpty()) << "no modal box holds up the reconnect";
  EXPECT_EQ(StatusLine(), QString::fromUtf8(kLostReconnectingText));
  EXPECT_FALSE(app->Dialog().isVisible());
  EXPECT_TRUE(app->ScanTimer().isActive());

  Run(5000);
  EXPECT_FALSE(app->Dialog().isVisible()) << "the background scan leaves the dialog closed";
  port->Replug();
  Run(15000);
  EXPECT_EQ(app->Link().LinkState, 2);
  EXPECT_EQ(StatusLine(), QStringLiteral("设备已连接"));
  EXPECT_TRUE(messages.isEmpty());

  // The user's disconnect stops it for good.
  W<QAbstractButton>("UnLinkBtn")->click();
  port->Unplug();
  Run(3000);
  EXPECT_FALSE(app->ScanTimer().isActive());
}

TEST_F(LinkStatusLine, PortProblemsShowInTheDialogAndTheStatusLine) {
  Start({QStringLiteral("BUSY1"), QStringLiteral("LOCKED1"), QStringLiteral("EMU")});
  // Start-up pressed connect; the first tick tries BUSY1.
  app->Link().Timer1Timer();
  EXPECT_EQ(app->Dialog().PortProblem(), QStringLiteral("端口 BUSY1 正被其他程序占用"));
  EXPECT_TRUE(StatusLine().contains(QStringLiteral("端口 BUSY1 正被其他程序占用")));
  app->Link().Timer1Timer();
  EXPECT_EQ(app->Dialog().PortProblem(),
            QStringLiteral("没有权限打开端口 LOCKED1,请将当前用户加入 dialout 组后重新登录"));
  // The processor's port opens: the problem is no longer shown.
  app->Link().Timer1Timer();
  EXPECT_EQ(app->Dialog().PortProblem(), QString());
  Run(8000);
  EXPECT_EQ(StatusLine(), QStringLiteral("设备已连接"));
}

}  // namespace
}  // namespace dsp
