// A device that vanishes under the open port, the background search after
// a loss of link or a failed connection, and what the scan says about ports
// it cannot open; driven tick by tick against the in-memory processor.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "link/device_link.h"
#include "link_rig.h"

namespace dsp {
namespace {

// P1 opens but never answers; the processor is on EMU.
struct Rig : test::LinkRig {
  explicit Rig(std::vector<std::string> ports = {"P1", "EMU"}, std::vector<std::string> silent = {"P1"},
               std::string emulatorPort = "EMU")
      : LinkRig(std::move(ports), std::move(silent), std::move(emulatorPort)) {}
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

int Downloads(const test::RecordingView& view) {
  return static_cast<int>(std::count(view.refreshes.begin(), view.refreshes.end(), 20));
}

TEST(Search, AFailedFirstConnectionSaysSoOnceThenFindsTheProcessorSwitchedOnLater) {
  // How the processor is missing at first, and how it comes.
  struct Case {
    const char* name;
    std::function<void(Rig&)> before;
    std::function<void(Rig&)> switchOn;
  };
  const Case cases[] = {
      {"its port is not there yet", [](Rig& r) { r.port.Unplug(); }, [](Rig& r) { r.port.Replug(); }},
      {"its port is there, it is switched off", [](Rig& r) { r.emulator.faults.silentAfter = 0; },
       [](Rig& r) { r.emulator.faults.silentAfter = -1; }},
      {"it answers, then its download breaks off", [](Rig& r) { r.emulator.faults.silentAfter = 3; },
       [](Rig& r) { r.emulator.faults.silentAfter = -1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r({"EMU"});
    r.link.SetAutoReconnect(true);
    c.before(r);
    r.link.LinkBtnClick(true);
    r.RunFor(15000);
    ASSERT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
    // From the failure on it looks on by itself, out of the way.
    EXPECT_TRUE(r.link.Reconnecting());
    EXPECT_EQ(r.link.StatusText(), kSearchingText);
    EXPECT_TRUE(r.view.Running(LinkTimer::Scan));
    EXPECT_FALSE(r.view.Running(LinkTimer::Transfer)) << "only the scan's tick while it looks";
    EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
    EXPECT_FALSE(r.view.dialogVisible);
    EXPECT_EQ(r.link.LinkState, 0);

    r.emulator.framesReceived = 0;
    c.switchOn(r);
    int shownAt = -1;
    r.RunFor(15000, [&](int t) {
      if (r.view.dialogVisible && shownAt < 0) shownAt = t;
    });
    EXPECT_EQ(shownAt, -1) << "status dialog shown " << shownAt << " ms after switching on";
    EXPECT_EQ(r.link.LinkState, 2) << r.link.StatusText();
    EXPECT_EQ(r.link.StatusText(), "设备已连接");
    EXPECT_FALSE(r.link.Reconnecting());
    EXPECT_EQ(Downloads(r.view), 1) << "one full download";
    EXPECT_EQ(r.link.FirstDownloadMarker, 1) << "a first download: the keyboard lock prompt comes where due";
    EXPECT_EQ(r.store.ModeNames[0], r.emulator.modeNames[0]);
    EXPECT_TRUE(r.view.Running(LinkTimer::Hold));
    EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"}) << "the box came once";
  }
}

TEST(Search, EachRoundReadsThePortListAgainAndTakesPortNamesAsTheyAre) {
  // Nothing at start; then the adapter is plugged in, under any kind of name.
  for (const std::string name : {"/dev/ttyUSB0", "tcp://192.168.1.20:4001", "rfc2217://dsp.local:2217"}) {
    SCOPED_TRACE(name);
    Rig r({}, {}, name);
    bool pluggedIn = false;
    r.link.ListPorts = [&] {
      return pluggedIn ? std::vector<std::string>{name} : std::vector<std::string>{};
    };
    r.link.SetAutoReconnect(true);
    r.link.LinkBtnClick(true);
    r.RunFor(5000);
    ASSERT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
    ASSERT_TRUE(r.link.Reconnecting());
    pluggedIn = true;
    r.RunFor(10000);
    EXPECT_EQ(r.link.LinkState, 2) << r.link.StatusText();
    EXPECT_EQ(r.port.Name(), name);
    EXPECT_EQ(r.view.messages.size(), 1u);
  }
}

TEST(Search, NoPortStaysOpenFromOneTryToTheNext) {
  // Two ports that open but where nobody answers.
  Rig r({"P1", "P2"}, {"P1", "P2"});
  r.link.SetAutoReconnect(true);
  r.link.LinkBtnClick(true);
  r.RunFor(5000);
  ASSERT_TRUE(r.link.Reconnecting());
  std::vector<std::string> openAfterTick;  // the open port after each scan tick, "" when none
  r.RunFor(12000, [&](int t) {
    if (t % 1000 == 0) openAfterTick.push_back(r.port.IsOpen() ? r.port.Name() : std::string());
  });
  int closedTicks = 0;
  for (std::size_t i = 0; i < openAfterTick.size(); ++i) {
    if (openAfterTick[i].empty()) ++closedTicks;
    if (i > 0 && !openAfterTick[i].empty()) {
      EXPECT_NE(openAfterTick[i], openAfterTick[i - 1]) << "a port held over a second tick, at tick " << i;
    }
  }
  EXPECT_GE(closedTicks, 3) << "every round ends with the ports closed";
  EXPECT_EQ(r.view.messages.size(), 1u);
}

TEST(Search, DisconnectEndsItAndNothingMoreReachesThePort) {
  Rig r({"P1"});
  r.link.SetAutoReconnect(true);
  r.link.LinkBtnClick(true);
  r.RunFor(4000);
  ASSERT_TRUE(r.link.Reconnecting());
  // Press "断开" while a hello waits on the open port.
  for (int i = 0; i < 3 && !r.port.IsOpen(); ++i) r.RunFor(1000);
  ASSERT_TRUE(r.port.IsOpen());
  const std::size_t written = r.port.written.size();
  r.link.LinkBtnClick(false);
  EXPECT_FALSE(r.port.IsOpen()) << "the port is left free for other programs";
  EXPECT_FALSE(r.link.Reconnecting());
  EXPECT_FALSE(r.view.Running(LinkTimer::Scan));
  EXPECT_EQ(r.link.StatusText(), "设备未连接");
  r.RunFor(10000);
  EXPECT_EQ(r.port.written.size(), written) << "nothing after the press, not even a goodbye";
  EXPECT_EQ(r.view.messages.size(), 1u);
}

TEST(Search, ConnectDuringItStartsAnOrdinaryScan) {
  Rig r({"P1"});
  r.link.SetAutoReconnect(true);
  r.link.LinkBtnClick(true);
  r.RunFor(4000);
  ASSERT_TRUE(r.link.Reconnecting());
  ASSERT_FALSE(r.view.dialogVisible);
  r.link.LinkBtnClick(true);
  EXPECT_FALSE(r.link.Reconnecting());
  EXPECT_TRUE(r.view.dialogVisible) << "the status dialog shows the user's scan";
  EXPECT_EQ(r.link.StatusText(), "设备搜索...");
  r.RunFor(4000);
  EXPECT_EQ(r.view.messages, (std::vector<std::string>{"连接失败!", "连接失败!"}))
      << "its failure is reported";
  EXPECT_TRUE(r.link.Reconnecting()) << "and the search goes on after it";
}

TEST(Search, AFailedScanStartedWhileLinkedSendsNoWritesToThePortsItTries) {
  Rig r({"EMU", "P1"});
  r.link.SetAutoReconnect(true);
  r.Connect();
  r.emulator.faults.silentAfter = r.emulator.framesReceived;  // the processor falls silent
  r.link.LinkBtnClick(true);                                  // the user scans again while linked
  r.RunFor(5000);
  ASSERT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  ASSERT_TRUE(r.link.Reconnecting());
  EXPECT_EQ(r.link.LinkState, 0);
  r.RunFor(1000);
  const std::size_t written = r.port.written.size();
  r.link.WriteParam(0x0105, 7);
  EXPECT_EQ(r.port.written.size(), written) << "a write only updates the stores while nothing is linked";
  EXPECT_EQ(r.store.Param(0x0105), 7);
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
