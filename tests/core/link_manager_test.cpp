// The link manager driven tick by tick against the in-memory processor.

#include <gtest/gtest.h>

#include <algorithm>

#include "link/device_link.h"
#include "link/frames.h"
#include "link_rig.h"

namespace dsp {
namespace {

int FrameAddress(const Bytes& f) {
  return f.size() >= 6 ? f[4] * 256 + f[5] : -1;
}
int FrameValue(const Bytes& f) {
  return f.size() >= 8 ? f[6] + 256 * f[7] : -1;
}

struct Rig : test::LinkRig {
  explicit Rig(std::vector<std::string> ports, std::vector<std::string> silentPorts = {})
      : LinkRig(std::move(ports), std::move(silentPorts)) {}
  // Connects on the emulator's port and runs the download to its end.
  void ConnectAndDownload() {
    link.LinkBtnClick(true);
    for (int i = 0; i < 10 && !view.Running(LinkTimer::Transfer); ++i) Scan();
    ASSERT_TRUE(view.Running(LinkTimer::Transfer));
    RunTransfer();
  }
  // Ticks Timer2 until it stops (at most 400 ticks).
  int RunTransfer() {
    int ticks = 0;
    while (view.Running(LinkTimer::Transfer) && ticks < 400) {
      Step();
      ++ticks;
    }
    return ticks;
  }
  // Mode numbers of the name requests written since `from`.
  std::vector<int> NameRequests(std::size_t from = 0) const {
    std::vector<int> modes;
    for (std::size_t i = from; i < port.written.size(); ++i)
      if (FrameAddress(port.written[i].second) == AddrModeName)
        modes.push_back(FrameValue(port.written[i].second));
    return modes;
  }
};

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

TEST(LinkManager, ThreeSilentPortsFailOnTheFifthTick) {
  Rig r({"P1", "P2", "P3"}, {"P1", "P2", "P3"});
  r.link.LinkBtnClick(true);
  EXPECT_EQ(r.view.LastStatus(), "设备搜索...");
  EXPECT_TRUE(r.view.dialogVisible);
  EXPECT_TRUE(r.view.Running(LinkTimer::Scan));
  for (int tick = 1; tick <= 4; ++tick) {
    r.Scan();
    EXPECT_TRUE(r.view.messages.empty()) << "tick " << tick;
  }
  // One hello on each of the three ports, none on the empty selection.
  ASSERT_EQ(r.port.written.size(), 3u);
  EXPECT_EQ(r.port.written[2].first, "P3");
  EXPECT_EQ(r.link.SelectedPortIndex(), -1);
  // The shown list walked the ports and ran past its end.
  EXPECT_EQ(r.view.selectedPorts, (std::vector<int>{0, 0, 1, 2, -1}));
  r.Scan();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  EXPECT_EQ(r.view.LastStatus(), "设备未连接");
  EXPECT_FALSE(r.view.Running(LinkTimer::Scan));
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_EQ(r.link.ScanIndex, 0);
}

TEST(LinkManager, EmptyPortListFailsOnTheFirstTick) {
  Rig r({});
  r.link.LinkBtnClick(true);
  r.Scan();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  EXPECT_TRUE(r.port.written.empty());
}

TEST(LinkManager, AnswerOnSecondPortStartsTheDownloadOnTheThirdTick) {
  Rig r({"P1", "EMU", "P3"}, {"P1", "P3"});
  r.link.LinkBtnClick(true);
  r.Scan();
  r.Scan();
  EXPECT_EQ(r.link.DeviceAnswered, 1);
  EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
  r.Scan();
  EXPECT_TRUE(r.view.Running(LinkTimer::Transfer));
  EXPECT_FALSE(r.view.Running(LinkTimer::Scan));
  EXPECT_EQ(r.view.LastStatus(), "连接中...");
  EXPECT_EQ(r.link.SelectedPortIndex(), 1);
  EXPECT_EQ(r.view.selectedPorts.back(), 1) << "the answering port stays selected";
  EXPECT_EQ(r.port.Name(), "EMU");
  EXPECT_TRUE(r.port.IsOpen());
  EXPECT_EQ(HexDump(r.port.written.back().second), "FC B1 06 A0 09 10 00 00 04");
  EXPECT_EQ(r.link.StepCount, 27);
}

TEST(LinkManager, FullDownloadFillsTheStoresFromTheProcessor) {
  Rig r({"EMU"});
  r.emulator.FillRandom(7);
  r.ConnectAndDownload();

  // 42 requests after the hello, names of modes 0..14 in order.
  EXPECT_EQ(r.port.written.size(), 43u);
  EXPECT_EQ(r.NameRequests(), Range(0, 14));
  EXPECT_EQ(r.link.ModeNameIndex, 0);
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(r.store.Device(c, i), r.emulator.image[c][i]) << c << ":" << i;
  for (int slot : {3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 32, 33, 34})
    EXPECT_EQ(r.store.Device(9, slot), r.emulator.image[9][slot]);
  EXPECT_EQ(r.store.ModeNames, r.emulator.modeNames);
  EXPECT_EQ(r.store.SystemPassword, r.emulator.systemPassword);
  EXPECT_EQ(r.store.LockPassword, r.emulator.lockPassword);
  std::string id = HexDump(Bytes(r.emulator.id.begin(), r.emulator.id.end()));
  id.erase(std::remove(id.begin(), id.end(), ' '), id.end());
  EXPECT_EQ(r.view.deviceId, id);

  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_EQ(r.store.SceneFlag, r.emulator.image[0][1]);
  EXPECT_EQ(r.link.FirstDownloadMarker, 1);
  EXPECT_EQ(r.view.refreshes, std::vector<int>{20});
  EXPECT_EQ(r.view.LastStatus(), "设备已连接");
  EXPECT_EQ(r.view.percents.back(), 100);
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_EQ(r.view.mainWindowShows, 1);
  EXPECT_TRUE(r.view.Running(LinkTimer::Hold));
  EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
  EXPECT_EQ(r.view.linkButtons.back(), true);
}

TEST(LinkManager, ProgressHalvesGoToEven) {
  Rig r({"EMU"});
  r.ConnectAndDownload();
  r.link.SetLinkStatus(6);  // upload: eight steps
  EXPECT_EQ(r.view.LastStatus(), "下载数据...");
  r.port.Pump();
  r.Step();
  EXPECT_EQ(r.link.StepIndex, 1);
  EXPECT_EQ(r.link.ProgressPercent(), 12);
  r.Step();
  r.Step();
  EXPECT_EQ(r.link.ProgressPercent(), 38);
  EXPECT_EQ(r.view.percents.back(), 25) << "the dialog is updated before the tick advances";
  r.RunTransfer();
  EXPECT_EQ(r.emulator.uploads, 9);
  EXPECT_EQ(r.link.LinkState, 2);
}

TEST(LinkManager, FailedDownloadResumesNameRequestsAtTheNextMode) {
  Rig r({"EMU"});
  // Frames: hello, nine block requests, then names; the request for mode 5
  // (frame 16) goes unanswered.
  r.emulator.faults.silentAfter = 15;
  r.ConnectAndDownload();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  EXPECT_EQ(r.NameRequests(), Range(0, 5));
  EXPECT_EQ(r.link.ModeNameIndex, 6);

  r.emulator.faults.silentAfter = -1;
  const std::size_t before = r.port.written.size();
  r.ConnectAndDownload();
  EXPECT_EQ(r.NameRequests(before), Range(6, 14));
  EXPECT_EQ(r.link.LinkState, 2);
}

TEST(LinkManager, NameRequestsNeverGoPastTheLastMode) {
  Rig r({"EMU"});
  r.emulator.faults.silentAfter = 24;  // the request for mode 14 goes unanswered
  r.ConnectAndDownload();
  EXPECT_EQ(r.NameRequests(), Range(0, 14));
  EXPECT_EQ(r.link.ModeNameIndex, 15);

  r.emulator.faults.silentAfter = -1;
  const std::size_t before = r.port.written.size();
  r.ConnectAndDownload();
  EXPECT_EQ(r.NameRequests(before), Range(0, 14));
  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_EQ(r.view.messages.size(), 1u) << "only the first download failed";
}

TEST(LinkManager, UnansweredStepFailsAfterElevenPlusHundredTicks) {
  Rig r({"EMU"});
  r.emulator.faults.silentAfter = 1;  // answers the hello only
  r.link.LinkBtnClick(true);
  r.Scan();
  r.Scan();
  ASSERT_TRUE(r.view.Running(LinkTimer::Transfer));
  for (int tick = 1; tick <= 110; ++tick) r.Step();
  EXPECT_TRUE(r.view.messages.empty());
  // The first request was repeated once, on the 11th tick.
  EXPECT_EQ(r.emulator.framesReceived, 3);
  r.Step();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
}

TEST(LinkManager, UploadOnAStaleAcknowledgementSendsTheSecondBlockAtOnce) {
  Rig r({"EMU"});
  r.ConnectAndDownload();
  r.link.WriteParam(0x0105, 9);
  r.port.Pump();
  ASSERT_EQ(r.link.TransferEvent, 1);
  r.link.SetLinkStatus(6);  // block 0 goes out; its acknowledgement is not delivered yet
  r.link.Timer2Timer();
  ASSERT_GE(r.port.written.size(), 2u);
  const Bytes& last = r.port.written.back().second;
  EXPECT_EQ(FrameAddress(last), AddrBlockUpload);
  EXPECT_EQ(FrameValue(last), 1) << "block 1 must follow without waiting";
}

TEST(LinkManager, SequenceStartedOnAStaleRequestMarkRepeatsAfterElevenTicks) {
  Rig r({"EMU"});
  r.ConnectAndDownload();
  ASSERT_EQ(r.link.TransferEvent, 3);
  r.emulator.faults.silentAfter = r.emulator.framesReceived;
  r.link.SetLinkStatus(2);  // reload
  EXPECT_EQ(r.view.LastStatus(), "加载中...");
  const std::size_t sent = r.port.written.size();
  for (int tick = 1; tick <= 10; ++tick) r.Step();
  EXPECT_EQ(r.port.written.size(), sent);
  r.Step();
  ASSERT_EQ(r.port.written.size(), sent + 1);
  EXPECT_EQ(HexDump(r.port.written.back().second), "FC B1 06 A0 09 10 00 00 04");
}

TEST(LinkManager, ReloadWithoutARequestMarkFailsWhenTheProcessorStaysSilent) {
  // A band write was sent (TransferEvent 0) and the processor went silent:
  // the reload's first request is never answered nor repeated, and the
  // sequence ends in failure 10 s later instead of waiting for ever.
  for (int stale : {0, 1}) {
    SCOPED_TRACE(stale);
    Rig r({"EMU"});
    r.ConnectAndDownload();
    r.emulator.faults.silentAfter = r.emulator.framesReceived;
    r.link.TransferEvent = stale;
    r.link.SetLinkStatus(2);
    for (int tick = 1; tick < 100; ++tick) r.Step();
    EXPECT_TRUE(r.view.messages.empty());
    r.Step();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
    EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
  }
}

TEST(LinkManager, VerifyReadFillsTheScratchCopyAndLeavesTheStoresAlone) {
  // The processor's memory changes behind the window's back; the verify
  // read finds it in the scratch copy, with the reload's requests, and the
  // stores, the widgets and the status dialog see nothing of it.
  Rig r({"EMU"});
  r.emulator.FillRandom(7);
  r.ConnectAndDownload();
  r.emulator.image[0][2] ^= 1;
  r.emulator.image[5][30] = 77;
  r.emulator.image[8][52] = 3;
  const auto stores = r.store.DeviceImage;
  const auto table = r.store.ParamTable;
  const std::size_t from = r.port.written.size();
  const std::size_t refreshes = r.view.refreshes.size();
  r.view.finished.clear();

  ASSERT_TRUE(r.link.StartVerifyRead());
  EXPECT_TRUE(r.link.Verifying());
  EXPECT_EQ(r.view.LastStatus(), "核对中...");
  EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
  r.RunTransfer();

  std::vector<int> blocks;
  for (std::size_t i = from; i < r.port.written.size(); ++i) {
    ASSERT_EQ(FrameAddress(r.port.written[i].second), AddrBlockRequest);
    blocks.push_back(FrameValue(r.port.written[i].second));
  }
  EXPECT_EQ(blocks, Range(0, 8));
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(r.link.VerifyImage()[c][i], r.emulator.image[c][i]) << c << ":" << i;
  EXPECT_EQ(r.link.VerifyImage()[9], stores[9]);
  EXPECT_EQ(r.store.DeviceImage, stores);
  EXPECT_EQ(r.store.ParamTable, table);
  EXPECT_EQ(r.view.refreshes.size(), refreshes);
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_EQ(r.view.finished, std::vector<Transfer>{Transfer::Verify});
  EXPECT_FALSE(r.link.Verifying());
  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_TRUE(r.view.Running(LinkTimer::Hold));
  EXPECT_EQ(r.view.LastStatus(), "设备已连接");

  // The next reload stores its blocks again.
  r.link.SetLinkStatus(2);
  r.RunTransfer();
  EXPECT_EQ(r.store.Device(5, 30), 77);
}

TEST(LinkManager, VerifyReadOnlyStartsLinkedWithNothingWaiting) {
  Rig r({"EMU"});
  EXPECT_FALSE(r.link.StartVerifyRead());  // not linked
  r.ConnectAndDownload();
  r.link.WriteParam(0x0105, 3);            // in flight, not yet answered
  const std::size_t written = r.port.written.size();
  EXPECT_FALSE(r.link.StartVerifyRead());
  EXPECT_EQ(r.port.written.size(), written);
  r.port.Pump();
  EXPECT_TRUE(r.link.StartVerifyRead());
  EXPECT_FALSE(r.link.StartVerifyRead());  // one at a time
  // A processor that stops answering ends the read like any other sequence,
  // and the stores keep their values.
  r.emulator.faults.silentAfter = r.emulator.framesReceived;
  const auto stores = r.store.DeviceImage;
  for (int tick = 0; tick < 120 && r.view.Running(LinkTimer::Transfer); ++tick) r.Step();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"连接失败!"});
  EXPECT_FALSE(r.link.Verifying());
  EXPECT_EQ(r.store.DeviceImage, stores);
}

TEST(LinkManager, ConnectWhileLinkedKeepsLinkState) {
  Rig r({"EMU"});
  r.ConnectAndDownload();
  r.link.LinkBtnClick(true);
  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_EQ(r.link.FirstDownloadMarker, 0);
  EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
  r.Scan();
  EXPECT_EQ(r.link.LinkState, 2);
}

TEST(LinkManager, DisconnectAndCloseSayGoodbye) {
  Rig r({"EMU"});
  r.ConnectAndDownload();
  r.link.OnCloseRequest();
  EXPECT_EQ(r.emulator.goodbyes, 1);
  r.link.LinkBtnClick(false);
  EXPECT_EQ(r.emulator.goodbyes, 2);
  EXPECT_EQ(r.link.LinkState, 0);
  EXPECT_EQ(r.view.LastStatus(), "设备未连接");
  EXPECT_FALSE(r.view.dialogVisible);
  EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
  EXPECT_TRUE(r.port.IsOpen()) << "the port stays open";
  r.link.OnCloseRequest();
  EXPECT_EQ(r.emulator.goodbyes, 2) << "no goodbye when not linked";
}

TEST(LinkManager, PortListSelectionOutsideTheListIsNone) {
  Rig r({"A", "B"});
  EXPECT_EQ(r.link.SelectedPortIndex(), -1);
  r.link.SelectPort(1);
  EXPECT_EQ(r.link.SelectedPortIndex(), 1);
  r.link.SelectPort(2);
  EXPECT_EQ(r.link.SelectedPortIndex(), -1);
}

}  // namespace
}  // namespace dsp
