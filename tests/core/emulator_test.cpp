// The processor emulator on its own, and the whole link (parser, link
// manager, pacing) against it through the in-memory port, with faults.

#include "emulator/emulator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "link/frames.h"
#include "recording_view.h"
#include "store/param_store.h"

namespace dsp {
namespace {

Bytes Drain(ProcessorEmulator& e) {
  Bytes all;
  while (e.HasOutput()) {
    Bytes p = e.TakePiece();
    all.insert(all.end(), p.begin(), p.end());
  }
  return all;
}

Bytes BandPayload(int band, std::initializer_list<int> values) {
  Bytes p;
  AppendU16(p, band);
  for (int v : values) AppendU16(p, v);
  return p;
}

TEST(Emulator, AnswersWritesWithAcknowledgementsAndRequestsWithBlocks) {
  ProcessorEmulator e;
  e.Feed(BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello));
  EXPECT_EQ(Drain(e), (Bytes{0xFE, 0xBB}));
  e.faults.ackAA = true;
  e.Feed(BuildValueFrame(CmdWrite, 0x0105, 3));
  EXPECT_EQ(Drain(e), (Bytes{0xFE, 0xAA}));

  e.Feed(BuildBlockFrame(CmdRequest, AddrDeviceId, {}));
  EXPECT_EQ(HexDump(Drain(e)), HexDump(BuildBlockFrame(CmdWrite, AddrDeviceId, {0x12, 0x34, 0xAB, 0xCD})));
  e.Feed(BuildValueFrame(CmdRequest, AddrBlockRequest, 4));
  const Bytes block = Drain(e);
  ASSERT_EQ(block.size(), 7u + 2 * 8);
  EXPECT_EQ(block[4], 4);
  EXPECT_EQ(block[5], 0);
  EXPECT_EQ(block[6] + 256 * block[7], e.image[4][0]);
  e.Feed(BuildBlockFrame(CmdRequest, AddrLockPassword, {}));
  EXPECT_EQ(HexDump(Drain(e)), HexDump(BuildBlockFrame(CmdWrite, AddrLockPassword, {1, 2, 3, 4})));
  EXPECT_EQ(e.hellos, 1);
}

TEST(Emulator, AppliesWritesInTheCurrentScene) {
  ProcessorEmulator e;
  e.Feed(BuildValueFrame(CmdWrite, 0x0001, 1));  // dance scene
  e.Feed(BuildValueFrame(CmdWrite, 0x0005, 140));
  EXPECT_EQ(e.image[0][57], 140);
  e.Feed(BuildValueFrame(CmdWrite, 0x0512, 9));  // main output slot 18, scene copy 19
  EXPECT_EQ(e.image[5][19], 9);
  e.Feed(BuildBlockFrame(CmdWrite, 0x0002, BandPayload(2, {1, 2, 3, 4, 5})));
  for (int f = 0; f < 5; ++f) EXPECT_EQ(e.image[0][14 + f + 52], f + 1);
  e.Feed(BuildBlockFrame(CmdWrite, AddrSystemPassword, {6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(e.systemPassword, "654321");
}

TEST(Emulator, ModeSaveAndRecall) {
  ProcessorEmulator e;
  e.Feed(BuildValueFrame(CmdWrite, 0x0303, 77));
  e.Feed(BuildBlockFrame(CmdWrite, AddrModeSave, TextCommandPayload(AddrModeSave, ModeSaveText(6, "Club"))));
  EXPECT_EQ(e.modeNames[6], "Club");
  e.Feed(BuildValueFrame(CmdWrite, 0x0303, 1));
  e.Feed(BuildValueFrame(CmdWrite, AddrModeRecall, 6));
  EXPECT_EQ(e.image[3][3], 77);
  EXPECT_EQ(e.image[9][2], 6);
  e.DropOutput();
  e.Feed(BuildValueFrame(CmdRequest, AddrModeName, 6));
  EXPECT_EQ(HexDump(Drain(e)), HexDump(BuildBlockFrame(CmdWrite, AddrModeName, {0x23, 0x4C, 0x55, 0x42})));
}

TEST(Emulator, AnyChunkingAndLineNoiseGiveTheSameResult) {
  Bytes stream;
  for (int i = 0; i < 20; ++i) {
    const Bytes f = BuildValueFrame(CmdWrite, 0x0100 + i, i * 3);
    stream.push_back(0x55);  // noise between frames
    stream.insert(stream.end(), f.begin(), f.end());
  }
  for (std::size_t chunk : {1u, 2u, 7u, 1000u}) {
    SCOPED_TRACE(chunk);
    ProcessorEmulator e;
    for (std::size_t at = 0; at < stream.size(); at += chunk)
      e.Feed(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                   stream.begin() + static_cast<std::ptrdiff_t>(std::min(stream.size(), at + chunk))));
    EXPECT_EQ(e.framesReceived, 20);
    EXPECT_EQ(e.image[1][19], 57);
  }
}

TEST(Emulator, FaultsShapeTheReplies) {
  EmulatorFaults f;
  f.chunk = 3;
  f.badChecksum = true;
  f.silentAfter = 2;
  ProcessorEmulator e(f);
  const Bytes request = BuildBlockFrame(CmdRequest, AddrDeviceId, {});
  e.Feed(request);
  std::vector<Bytes> pieces;
  while (e.HasOutput()) pieces.push_back(e.TakePiece());
  ASSERT_EQ(pieces.size(), 4u);  // 11 bytes in pieces of 3
  EXPECT_EQ(pieces[3].size(), 2u);
  const Bytes good = BuildBlockFrame(CmdWrite, AddrDeviceId, {0x12, 0x34, 0xAB, 0xCD});
  EXPECT_NE(pieces[3].back(), good.back());
  e.Feed(request);
  EXPECT_TRUE(e.HasOutput());
  e.DropOutput();
  e.Feed(request);
  EXPECT_FALSE(e.HasOutput()) << "silent after two frames";

  EmulatorFaults g;
  g.garbage = true;
  ProcessorEmulator noisy(g);
  noisy.Feed(BuildValueFrame(CmdWrite, 0x0105, 1));
  const Bytes line = Drain(noisy);
  ASSERT_GT(line.size(), 2u);
  EXPECT_EQ(Bytes(line.end() - 2, line.end()), (Bytes{0xFE, 0xBB}));
  for (std::size_t i = 0; i + 2 < line.size(); ++i) EXPECT_TRUE(line[i] != 0xFC && line[i] != 0xFE);
}

TEST(Emulator, ALossyLineLosesEveryNthParameterOrBandFrameOrItsAcknowledgement) {
  const Bytes heartbeat = BuildValueFrame(CmdWrite, AddrLinkControl, LinkHeartbeat);
  const Bytes request = BuildBlockFrame(CmdRequest, AddrDeviceId, {});
  for (const bool acks : {false, true}) {
    SCOPED_TRACE(acks ? "--lose-ack-every 2" : "--lose-every 2");
    EmulatorFaults f;
    (acks ? f.loseAckEvery : f.loseEvery) = 2;
    ProcessorEmulator e(f);
    // Heartbeats and requests never count and are always answered.
    e.Feed(heartbeat);
    e.Feed(request);
    EXPECT_EQ(Drain(e).size(), 2u + BuildBlockFrame(CmdWrite, AddrDeviceId, Bytes(4)).size());
    const int scene = e.Scene();
    e.Feed(BuildValueFrame(CmdWrite, 0x0105, 7));  // first: through
    EXPECT_EQ(Drain(e), (Bytes{0xFE, 0xBB}));
    auto& frequency = e.image[0][static_cast<std::size_t>(DeviceIndex(0, EqSlot(0, 2, 1), scene))];
    const int before = frequency;
    e.Feed(BuildBlockFrame(CmdWrite, EqBlockAddress[0], BandPayload(2, {3, 177, 90, 40, 0})));  // second
    EXPECT_TRUE(Drain(e).empty()) << "not acknowledged";
    EXPECT_EQ(frequency, acks ? 177 : before) << "applied only when the answer is lost";
    e.Feed(BuildValueFrame(CmdWrite, 0x0106, 8));  // third: through
    EXPECT_EQ(Drain(e), (Bytes{0xFE, 0xBB}));
    e.Feed(BuildValueFrame(CmdWrite, 0x0107, 9));  // fourth
    EXPECT_TRUE(Drain(e).empty());
    EXPECT_EQ(e.image[1][DeviceIndex(1, 7, scene)] == 9, acks) << "applied only when the answer is lost";
    EXPECT_EQ(e.image[1][DeviceIndex(1, 5, scene)], 7);
    EXPECT_EQ(e.parameterFrames, 4);
    EXPECT_EQ(acks ? e.acksLost : e.framesLost, 2);
    EXPECT_EQ(acks ? e.framesLost : e.acksLost, 0);
  }
}

// ---- the whole link against the emulator, single-threaded ----

struct Rig {
  ParamStore store;
  ProcessorEmulator emulator;
  EmulatedPort port{emulator};
  test::RecordingView view{&store};
  DeviceLink link{store, port, view};

  explicit Rig(EmulatorFaults faults = {}) {
    emulator.faults = faults;
    emulator.FillRandom(11);
    link.SetPortList({"EMU"});
  }
  bool Connect() {
    link.LinkBtnClick(true);
    for (int i = 0; i < 5 && !view.Running(LinkTimer::Transfer); ++i) {
      link.Timer1Timer();
      port.Pump();
    }
    for (int i = 0; i < 400 && view.Running(LinkTimer::Transfer); ++i) {
      link.Timer2Timer();
      port.Pump();
    }
    return link.LinkState == 2;
  }
  void Hold(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      link.HoldTimerTimer();
      port.Pump();
    }
  }
  void ExpectStoresMatchEmulator() {
    for (int c = 0; c < 9; ++c)
      for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
        ASSERT_EQ(store.Device(c, i), emulator.image[c][i]) << c << ":" << i;
    for (int slot : {3, 6, 11, 14, 32, 34}) EXPECT_EQ(store.Device(9, slot), emulator.image[9][slot]);
    EXPECT_EQ(store.ModeNames, emulator.modeNames);
    EXPECT_EQ(store.SystemPassword, emulator.systemPassword);
    EXPECT_EQ(store.LockPassword, emulator.lockPassword);
  }
};

TEST(LinkWithEmulator, DownloadCompletesUnderEveryFault) {
  struct Case {
    const char* name;
    EmulatorFaults faults;
  };
  std::vector<Case> cases;
  cases.push_back({"clean", {}});
  EmulatorFaults f;
  f.garbage = true;
  cases.push_back({"line noise", f});
  f = {};
  f.chunk = 3;
  cases.push_back({"pieces of 3", f});
  f.chunk = 1;
  f.garbage = true;
  f.seed = 99;
  cases.push_back({"byte by byte with noise", f});
  f = {};
  f.ackAA = true;
  cases.push_back({"FE AA", f});
  f = {};
  f.badChecksum = true;
  cases.push_back({"bad checksums", f});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r(c.faults);
    ASSERT_TRUE(r.Connect());
    r.ExpectStoresMatchEmulator();
    if (c.faults.badChecksum) {
      EXPECT_EQ(std::count(r.view.log.begin(), r.view.log.end(), "0********************"), 1);
    }
    // A slider drag, then writes to many addresses, all acknowledged.
    for (int v = 0; v < 200; ++v) r.link.WriteParam(0x0505, v);
    r.Hold(10);
    for (int i = 0; i < 30; ++i) r.link.WriteParam(0x0700 + i, i + 1);
    r.Hold(40);
    std::vector<std::pair<int, int>> expected{{0x0505, 0}, {0x0505, 1}, {0x0505, 199}, {0x0505, 199}};
    for (int i = 0; i < 30; ++i) expected.emplace_back(0x0700 + i, i + 1);
    expected.emplace_back(0x071D, 30);
    EXPECT_EQ(r.emulator.valueWrites, expected);
    EXPECT_EQ(r.link.valueQueue().count, 0);
    EXPECT_TRUE(r.view.messages.empty());
  }
}

TEST(LinkWithEmulator, UploadSendsTheStoresToTheProcessor) {
  Rig r;
  ASSERT_TRUE(r.Connect());
  for (int i = 0; i < TransferLength[0]; ++i) r.store.SetDevice(0, i, (i * 5) % 181);
  r.link.SetLinkStatus(6);
  r.port.Pump();
  for (int i = 0; i < 100 && r.view.Running(LinkTimer::Transfer); ++i) {
    r.link.Timer2Timer();
    r.port.Pump();
  }
  EXPECT_EQ(r.link.LinkState, 2);
  for (int i = 0; i < TransferLength[0]; ++i) ASSERT_EQ(r.emulator.image[0][i], (i * 5) % 181);
  EXPECT_EQ(r.emulator.uploads, 9);
}

TEST(LinkWithEmulator, ModeRecallReloadsTheRecalledSetting) {
  Rig r;
  ASSERT_TRUE(r.Connect());
  r.link.WriteParam(AddrModeRecall, 3);
  r.port.Pump();
  r.Hold(1);
  ASSERT_TRUE(r.view.Running(LinkTimer::Transfer));
  for (int i = 0; i < 100 && r.view.Running(LinkTimer::Transfer); ++i) {
    r.link.Timer2Timer();
    r.port.Pump();
  }
  EXPECT_EQ(r.link.LinkState, 2);
  for (int c = 0; c < 9; ++c) EXPECT_EQ(r.store.Device(c, 7), r.emulator.modeSlots[3][c][7]);
  EXPECT_EQ(r.view.refreshes.size(), 2u);
}

TEST(LinkWithEmulator, ModeSaveStoresNameAndSetting) {
  Rig r;
  ASSERT_TRUE(r.Connect());
  r.link.WriteParam(0x0303, 66);
  r.Hold(3);
  ASSERT_TRUE(r.link.StartModeSave(9, "Party Time"));
  r.port.Pump();
  r.Hold(1);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"保存成功!"});
  EXPECT_EQ(r.emulator.modeNames[9], "Party Time");
  EXPECT_EQ(r.emulator.modeSlots[9][3][3], 66);
}

TEST(LinkWithEmulator, ProcessorFallingSilentLosesTheLink) {
  Rig r;
  ASSERT_TRUE(r.Connect());
  r.Hold(120);
  EXPECT_GE(r.emulator.heartbeats, 2);
  r.emulator.faults.silentAfter = r.emulator.framesReceived;
  r.Hold(50 * 13);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"已断开连接!"});
  EXPECT_EQ(r.link.LinkState, 0);
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST(EmulatorFactorySetting, EqualisersAreFlatDefaultsAndFiltersOff) {
  ProcessorEmulator emulator;
  emulator.LoadFactorySetting();
  for (int c = 0; c <= 8; ++c) {
    if (!HasEqualiser(c)) continue;
    for (int scene = 0; scene < 2; ++scene)
      for (int b = 0; b < BandCount[static_cast<std::size_t>(c)]; ++b) {
        const int base = DeviceIndex(c, EqSlot(c, b, 0), scene);
        EXPECT_EQ(emulator.image[c][base], 0) << c;
        EXPECT_EQ(emulator.image[c][base + 2], 120) << "flat gain, channel " << c;
        EXPECT_LE(emulator.image[c][base + 1], 361);
      }
  }
  EXPECT_EQ(emulator.image[0][1], 0) << "sing scene";
  EXPECT_EQ(emulator.image[3][5], 194) << "echo low-pass off";
  EXPECT_EQ(emulator.image[9][13], 0) << "keyboard lock off";
  EXPECT_EQ(emulator.modeNames[1], "KTV");
}

}  // namespace
}  // namespace dsp
