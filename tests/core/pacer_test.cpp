// Write queues and pacing, driven by direct HoldTimer ticks and hand-made
// acknowledgements.

#include <gtest/gtest.h>

#include <cstdio>

#include "link/device_link.h"
#include "link/frames.h"
#include "recording_view.h"
#include "store/param_store.h"
#include "test_port.h"

namespace dsp {
namespace {

// "0105=300" for a value frame, "band 0002:0 [..]" for a band frame.
std::string Describe(const Bytes& f) {
  char head[32];
  std::snprintf(head, sizeof head, "%02X%02X", f[4], f[5]);
  if (f[2] == 6) return std::string(head) + "=" + std::to_string(f[6] + 256 * f[7]);
  std::string s = std::string("band ") + head + ":" + std::to_string(f[6] + 256 * f[7]);
  for (std::size_t i = 8; i + 1 < f.size() - 1; i += 2) s += " " + std::to_string(f[i] + 256 * f[i + 1]);
  return s;
}

struct Rig {
  ParamStore store;
  test::RecordingPort port;
  test::RecordingView view{&store};
  DeviceLink link{store, port, view};
  Rig() {
    port.Open();
    link.LinkState = 2;
    link.TxReady = 1;
  }
  void Ack() { port.Deliver({0xFE, 0xBB}); }
  void Tick() { link.HoldTimerTimer(); }
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    while (!port.written.empty()) out.push_back(Describe(port.TakeFrame()));
    return out;
  }
  // Acknowledge and tick until the line stays quiet (heartbeats excluded).
  std::vector<std::string> Drain() {
    std::vector<std::string> out = Sent();
    for (int i = 0; i < 200; ++i) {
      Ack();
      Tick();
      auto more = Sent();
      if (more.empty()) break;
      out.insert(out.end(), more.begin(), more.end());
    }
    return out;
  }
};

TEST(Pacer, QueuedWritesGoOutInOrderAndTheLastTwice) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> writes;
    std::vector<std::string> frames;
  } cases[] = {
      {"three addresses", {{0x0105, 1}, {0x0106, 2}, {0x0107, 3}}, {"0105=1", "0106=2", "0107=3", "0107=3"}},
      {"four values to one address",
       {{0x0105, 1}, {0x0105, 2}, {0x0105, 3}, {0x0105, 4}},
       {"0105=1", "0105=2", "0105=4", "0105=4"}},
      {"a single write goes out once", {{0x0203, 8}}, {"0203=8"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    for (auto [a, v] : c.writes) r.link.WriteParam(a, v);
    EXPECT_EQ(r.Drain(), c.frames);
  }
}

TEST(Pacer, WritesOnlyStoreWhenSuppressedOrNotLinked) {
  for (int variant = 0; variant < 2; ++variant) {
    Rig r;
    if (variant == 0)
      r.link.SuppressSend = 1;
    else
      r.link.LinkState = 0;
    r.link.WriteParam(0x0105, 33);
    r.link.WriteEqBand(0x0005, 44);
    EXPECT_EQ(r.store.Param(0x0105), 33);
    EXPECT_EQ(r.store.Device(0, 5), 44);
    EXPECT_TRUE(r.port.written.empty());
    EXPECT_EQ(r.link.valueQueue().count, 0);
    EXPECT_EQ(r.link.eqQueue().count, 0);
  }
}

TEST(Pacer, SliderDragKeepsFirstAndNewestOnly) {
  Rig r;
  for (int v = 0; v < 200; ++v) r.link.WriteParam(0x0005 + 256 * 5, v);
  EXPECT_EQ(r.link.valueQueue().count, 2);
  EXPECT_EQ(r.Drain(), (std::vector<std::string>{"0505=0", "0505=1", "0505=199", "0505=199"}));
}

TEST(Pacer, FullQueuesReplaceTheirLastEntry) {
  Rig r;
  r.link.TxReady = 0;
  for (int i = 0; i < 70; ++i) r.link.WriteParam(MakeAddress(i % 2 ? 5 : 7, i % 40), i);
  EXPECT_EQ(r.link.valueQueue().count, 60);
  EXPECT_EQ(r.link.valueQueue().value[59], 58);
  EXPECT_EQ(r.link.valueQueue().value[60], 69);
  for (int i = 0; i < 60; ++i) r.link.WriteEqBand(0x0005 + 5 * (i % 10), i);
  EXPECT_EQ(r.link.eqQueue().count, 48);
}

TEST(Pacer, QueuedBandGoesOutWithItsValuesAtSendTime) {
  Rig r;
  r.link.WriteParam(0x0105, 1);     // in flight
  r.link.WriteEqBand(0x000A, 100);  // band 1, frequency: waits
  r.link.SuppressSend = 1;
  r.link.WriteEqBand(0x000B, 55);  // band 1, gain, changed while waiting
  r.link.SuppressSend = 0;
  EXPECT_EQ(r.Sent(), std::vector<std::string>{"0105=1"});
  r.Ack();
  r.Tick();
  EXPECT_EQ(r.Sent(), std::vector<std::string>{"band 0002:1 0 100 55 0 0"});
  EXPECT_EQ(r.view.log.back(), "2:1 1");
  EXPECT_EQ(r.link.eqQueue().count, 0);
}

TEST(Pacer, BandWrittenWhileReadyGoesOutAtOnce) {
  Rig r;
  r.store.MicGroupB = 1;
  r.link.WriteEqBand(0x0105, 120);  // group B, band 0 frequency
  EXPECT_EQ(r.Sent(), std::vector<std::string>{"band 0202:0 0 120 0 0 0"});
  EXPECT_EQ(r.link.TxReady, 0);
}

TEST(Pacer, ModeRecallSentAtOnceReloadsOnItsAcknowledgement) {
  Rig r;
  r.link.WriteParam(AddrModeRecall, 4);
  EXPECT_EQ(r.view.LastStatus(), "加载中...");
  EXPECT_EQ(r.link.LinkState, 0);
  EXPECT_EQ(r.link.PendingAction, 2);
  EXPECT_EQ(r.Sent(), std::vector<std::string>{"0902=4"});
  r.Tick();
  EXPECT_TRUE(r.port.written.empty()) << "nothing before the acknowledgement";
  r.Ack();
  r.Tick();
  EXPECT_EQ(r.Sent(), std::vector<std::string>{"0910=0"});
  EXPECT_TRUE(r.view.Running(LinkTimer::Transfer));
  EXPECT_EQ(r.link.StepCount, 8);
  EXPECT_EQ(r.link.PendingAction, 0);
}

TEST(Pacer, QueuedModeRecallIsSentWithoutReload) {
  Rig r;
  r.link.WriteParam(0x0105, 1);
  r.link.WriteParam(AddrModeRecall, 4);
  EXPECT_EQ(r.Drain(), (std::vector<std::string>{"0105=1", "0902=4", "0902=4"}));
  EXPECT_EQ(r.link.PendingAction, 0);
  EXPECT_EQ(r.link.LinkState, 2);
  EXPECT_FALSE(r.view.Running(LinkTimer::Transfer));
}

TEST(Pacer, ModeSaveFollowUp) {
  {
    SCOPED_TRACE("ready already: follow-up on the next tick");
    Rig r;
    ASSERT_TRUE(r.link.StartModeSave(2, "Party"));
    EXPECT_EQ(HexDump(r.port.TakeFrame()).substr(0, 26), "FC B1 1A A7 09 01 02 00 30");
    EXPECT_EQ(r.view.LastStatus(), "保存中...");
    EXPECT_EQ(r.link.LinkState, 0);
    EXPECT_EQ(r.store.ModeNames[2], "Party");
    r.Tick();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{"保存成功!"});
    EXPECT_EQ(r.view.modeListRebuilds, 1);
    EXPECT_EQ(r.link.LinkState, 2);
    EXPECT_EQ(r.view.LastStatus(), "设备已连接");
  }
  {
    SCOPED_TRACE("waits for the acknowledgement");
    Rig r;
    r.link.WriteParam(0x0105, 1);
    ASSERT_TRUE(r.link.StartModeSave(0, "A"));
    for (int i = 0; i < 60; ++i) r.Tick();
    EXPECT_TRUE(r.view.messages.empty());
    r.Ack();
    r.Tick();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{"保存成功!"});
  }
  {
    SCOPED_TRACE("not linked: nothing is sent and no success is reported later");
    Rig r;
    r.link.LinkState = 0;
    EXPECT_FALSE(r.link.StartModeSave(0, "A"));
    EXPECT_TRUE(r.port.written.empty());
    r.link.LinkState = 2;
    r.Tick();
    EXPECT_TRUE(r.view.messages.empty());
  }
}

TEST(Pacer, SilentProcessorGetsHeartbeatsThenTheLinkIsLost) {
  Rig r;
  std::vector<int> sentAt;
  int lostAt = -1;
  for (int tick = 1; tick <= 700 && lostAt < 0; ++tick) {
    r.Tick();
    while (!r.port.written.empty()) {
      EXPECT_EQ(Describe(r.port.TakeFrame()), "0930=102");
      sentAt.push_back(tick);
    }
    if (!r.view.messages.empty()) lostAt = tick;
  }
  // First heartbeat a second after the last acknowledgement, repeats 3, 6
  // and 9 s after it, loss 11 s after it.
  ASSERT_EQ(sentAt.size(), 4u);
  EXPECT_EQ(sentAt[0], 50);
  EXPECT_EQ(sentAt[1] - sentAt[0], 150);
  EXPECT_EQ(sentAt[2] - sentAt[0], 300);
  EXPECT_EQ(sentAt[3] - sentAt[0], 450);
  EXPECT_EQ(lostAt - sentAt[0], 550);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"已断开连接!"});
  EXPECT_FALSE(r.view.Running(LinkTimer::Hold));
  EXPECT_EQ(r.link.LinkState, 0);
}

TEST(Pacer, AcknowledgedHeartbeatsKeepTheLinkUp) {
  Rig r;
  int heartbeats = 0;
  for (int tick = 1; tick <= 1000; ++tick) {
    r.Tick();
    if (!r.port.written.empty()) {
      r.port.TakeFrame();
      ++heartbeats;
      r.Ack();
    }
  }
  EXPECT_EQ(heartbeats, 20);
  EXPECT_TRUE(r.view.messages.empty());
}

TEST(Pacer, UnacknowledgedWriteIsRepeatedWhileValuesWait) {
  Rig r;
  r.link.WriteParam(0x0105, 1);
  r.link.WriteParam(0x0106, 2);  // waits behind the lost frame
  r.Sent();
  std::vector<std::string> repeats;
  std::vector<int> ticks;
  for (int tick = 1; tick <= 150; ++tick) {
    r.Tick();
    for (auto& f : r.Sent()) {
      repeats.push_back(f);
      ticks.push_back(tick);
    }
  }
  // The second frame waits; the frame in flight is repeated at the end of
  // each of three time-outs, then the heartbeat period repeats entry 0.
  EXPECT_EQ(repeats, std::vector<std::string>(4, "0105=1"));
  const int t = r.link.RepairTimeoutTicks();
  EXPECT_EQ(ticks, (std::vector<int>{t, 2 * t, 3 * t, 150}));
}

TEST(Pacer, PendingRecallWithoutAcknowledgementLosesTheLinkAfter51Seconds) {
  Rig r;
  r.link.WriteParam(AddrModeRecall, 1);
  int lostAt = -1;
  for (int tick = 1; tick <= 3000 && lostAt < 0; ++tick) {
    r.Tick();
    if (!r.view.messages.empty()) lostAt = tick;
  }
  EXPECT_EQ(lostAt, 51 * 50);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"已断开连接!"});
}

}  // namespace
}  // namespace dsp
