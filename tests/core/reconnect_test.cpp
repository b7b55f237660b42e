// A device that vanishes under the open port, the background reconnect
// after a loss of link, and what the scan says about ports it cannot open;
// driven tick by tick against the in-memory processor.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "link/device_link.h"
#include "link_rig.h"

namespace dsp {
namespace {

// P1 opens but never answers; the processor is on EMU.
struct Rig : test::LinkRig {
  explicit Rig(std::vector<std::string> ports = {"P1", "EMU"}) : LinkRig(std::move(ports), {"P1"}) {}
  // Runs whichever link timers are running, as the application does: the
  // scan once a second, the transfer every 100 ms, pacing every 20 ms.
  // `afterTick` runs after every 20 ms tick, for checks along the way.
  void RunFor(int milliseconds, const std::function<void(int t)>& afterTick = {}) {
    for (int t = 20; t <= milliseconds; t += 20) {
      if (view.Running(LinkTimer::Hold)) Hold();
      if (t % 100 == 0 && view.Running(LinkTimer::Transfer)) Step();
      if (t % 1000 == 0 && view.Running(LinkTimer::Scan)) Scan();
      if (afterTick) afterTick(t);
    }
  }
  void Connect() {
    link.LinkBtnClick(true);
    RunFor(10000);
    ASSERT_EQ(link.LinkState, 2) << view.LastStatus();
  }
};

TEST(PortGone, WhileLinkedLosesTheLinkAtOnceAndClosesThePort) {
  Rig r;
  r.Connect();
  r.port.Unplug();
  EXPECT_FALSE(r.port.IsOpen());
  EXPECT_EQ(r.link.LinkState, 0);
  EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
  EXPECT_EQ(r.view.LastStatus(), "设备未连接");
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"已断开连接!"});
  EXPECT_EQ(r.view.linkButtons.back(), false);
  // Without the automatic reconnect nothing scans afterwards.
  EXPECT_FALSE(r.view.Running(LinkTimer::Scan));
}

TEST(PortGone, DuringTheDownloadLosesTheLink) {
  Rig r;
  r.emulator.faults.silentAfter = 3;  // the download stalls after two blocks
  r.link.LinkBtnClick(true);
  r.RunFor(3000);
  ASSERT_TRUE(r.view.Running(LinkTimer::Transfer));
  r.port.Unplug();
  EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"已断开连接!"});
}

TEST(PortGone, WhileScanningOnlySkipsThatPort) {
  Rig r({"EMU", "P1"});
  r.emulator.faults.silentAfter = 0;  // opens, never answers
  r.link.LinkBtnClick(true);
  r.Scan();
  ASSERT_TRUE(r.port.IsOpen());
  r.port.Unplug();
  EXPECT_TRUE(r.view.Running(LinkTimer::Scan));
  EXPECT_TRUE(r.view.messages.empty());
  r.Scan();
  EXPECT_EQ(r.port.Name(), "P1");
  EXPECT_TRUE(r.port.IsOpen());
}

TEST(Reconnect, LossStartsAQuietBackgroundScanThatLinksAgain) {
  Rig r;
  r.link.SetAutoReconnect(true);
  r.Connect();
  const int downloadsBefore =
      static_cast<int>(std::count(r.view.refreshes.begin(), r.view.refreshes.end(), 20));
  r.port.Unplug();

  EXPECT_TRUE(r.view.messages.empty()) << "no modal box in the way of the scan";
  EXPECT_EQ(r.view.LastStatus(), kLostReconnectingText);
  EXPECT_TRUE(r.link.Reconnecting());
  EXPECT_TRUE(r.view.Running(LinkTimer::Scan));
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_EQ(r.view.linkButtons.back(), false);

  // Rounds go on while the processor is away, quietly: no box, no dialog.
  r.RunFor(10000);
  EXPECT_TRUE(r.view.messages.empty());
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_EQ(r.link.LinkState, 0);
  EXPECT_TRUE(r.view.Running(LinkTimer::Scan));

  r.port.Replug();
  r.RunFor(10000);
  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_FALSE(r.link.Reconnecting());
  EXPECT_EQ(r.view.LastStatus(), "设备已连接");
  EXPECT_EQ(r.view.linkButtons.back(), true);
  EXPECT_FALSE(r.view.Running(LinkTimer::Scan));
  EXPECT_TRUE(r.view.Running(LinkTimer::Hold));
  EXPECT_EQ(std::count(r.view.refreshes.begin(), r.view.refreshes.end(), 20), downloadsBefore + 1);
  EXPECT_EQ(r.link.FirstDownloadMarker, 1) << "counts as a first download, as after connect";
  EXPECT_TRUE(r.view.messages.empty());
}

TEST(Reconnect, AProcessorBackOnTheOnlyPortIsFoundWithinThreeScanTicks) {
  // Whatever point of its round the scan is at when the processor returns.
  for (int phase = 0; phase < 4; ++phase) {
    Rig r({"EMU"});
    r.link.SetAutoReconnect(true);
    r.Connect();
    r.port.Unplug();
    for (int i = 0; i < phase; ++i) r.Scan();
    r.port.Replug();
    int ticks = 0;
    while (!r.view.Running(LinkTimer::Transfer) && ticks < 10) {
      r.Scan();
      ++ticks;
    }
    EXPECT_LE(ticks, 3) << "phase " << phase;
  }
}

TEST(Reconnect, SilenceAlsoEndsInTheBackgroundScan) {
  Rig r;
  r.link.SetAutoReconnect(true);
  r.Connect();
  r.emulator.faults.silentAfter = 0;
  r.RunFor(13000);
  EXPECT_TRUE(r.link.Reconnecting());
  EXPECT_TRUE(r.view.messages.empty());
  r.emulator.faults.silentAfter = -1;
  r.RunFor(12000);
  EXPECT_EQ(r.link.LinkState, 2);
}

TEST(Reconnect, DownloadFailureKeepsScanningWithoutABox) {
  Rig r;
  r.link.SetAutoReconnect(true);
  r.Connect();
  r.port.Unplug();
  r.port.Replug();
  // The processor acknowledges the hello, then falls silent in the download.
  r.emulator.framesReceived = 0;
  r.emulator.faults.silentAfter = 3;
  // Round after round the download starts and breaks off; the status
  // dialog stays out of the way throughout.
  int shownAt = -1;
  r.RunFor(20000, [&](int t) {
    if (r.view.dialogVisible && shownAt < 0) shownAt = t;
  });
  EXPECT_EQ(shownAt, -1) << "status dialog shown after " << shownAt << " ms";
  EXPECT_TRUE(r.view.messages.empty());
  EXPECT_TRUE(r.link.Reconnecting());
  EXPECT_EQ(r.view.LastStatus(), kReconnectingText);
  EXPECT_TRUE(r.view.Running(LinkTimer::Scan));
}

TEST(Reconnect, AModeSaveCutOffByTheLossIsNeverReportedSaved) {
  Rig r;
  r.link.SetAutoReconnect(true);
  r.Connect();
  r.emulator.faults.silentAfter = r.emulator.framesReceived;  // the save is never acknowledged
  ASSERT_TRUE(r.link.StartModeSave(2, "Gone"));
  r.port.Unplug();
  EXPECT_EQ(r.link.PendingAction, 0);
  r.emulator.faults.silentAfter = -1;
  r.port.Replug();
  r.RunFor(10000);
  ASSERT_EQ(r.link.LinkState, 2);
  r.RunFor(2000);  // acknowledgements of the new link, heartbeats included
  EXPECT_TRUE(r.view.messages.empty()) << r.view.messages.front();
}

TEST(Reconnect, EitherButtonEndsTheBackgroundScan) {
  for (const bool connect : {false, true}) {
    Rig r({"P1"});
    r.link.SetAutoReconnect(true);
    r.link.LinkBtnClick(true);
    r.Scan();
    r.link.SetLinkStatus(7);
    ASSERT_TRUE(r.link.Reconnecting());
    r.link.LinkBtnClick(connect);
    EXPECT_FALSE(r.link.Reconnecting()) << connect;
    EXPECT_EQ(r.view.Running(LinkTimer::Scan), connect);
    // A user's connect is the ordinary scan again: the failure is reported.
    r.RunFor(5000);
    EXPECT_EQ(r.view.messages, connect ? std::vector<std::string>{"连接失败!"} : std::vector<std::string>{});
  }
}

TEST(Reconnect, EachRoundListsThePortsAgain) {
  Rig r({"P1"});
  int listings = 0;
  r.link.ListPorts = [&] {
    ++listings;
    return listings < 3 ? std::vector<std::string>{"P1"} : std::vector<std::string>{"P1", "EMU"};
  };
  r.link.SetAutoReconnect(true);
  r.link.LinkBtnClick(true);
  r.Scan();
  r.link.SetLinkStatus(7);
  r.RunFor(20000);
  EXPECT_GE(listings, 3);
  EXPECT_EQ(r.link.LinkState, 2) << "found on the port that appeared";
}

TEST(PortDiagnostics, TheScanSaysWhyEachPortWouldNotOpen) {
  struct Case {
    PortFault fault;
    std::string group;
    std::string text;
  };
  const Case cases[] = {
      {PortFault::Missing, "", "端口 P1 不存在(设备未连接或已拔出)"},
      {PortFault::Busy, "", "端口 P1 正被其他程序占用"},
      {PortFault::PermissionDenied, "dialout", "没有权限打开端口 P1,请将当前用户加入 dialout 组后重新登录"},
      {PortFault::PermissionDenied, "", "没有权限打开端口 P1,请将当前用户加入拥有该设备的用户组后重新登录"},
      {PortFault::Other, "", "无法打开端口 P1"},
  };
  for (const Case& c : cases) {
    Rig r({"P1", "EMU"});
    r.port.Refuse("P1", c.fault, c.group);
    r.link.LinkBtnClick(true);
    r.Scan();
    ASSERT_FALSE(r.view.portProblems.empty());
    EXPECT_EQ(r.view.portProblems.back(), c.text);
    EXPECT_EQ(r.view.log.back(), c.text);
    // The next port opens: the problem is cleared from the dialog.
    r.Scan();
    EXPECT_EQ(r.view.portProblems.back(), "");
  }
}

TEST(PortDiagnostics, TheEndOfTheListIsNoProblem) {
  Rig r({"P1"});
  r.link.LinkBtnClick(true);
  r.RunFor(3000);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  for (const std::string& text : r.view.portProblems) EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace dsp
