// The pacing timer that sleeps between due ticks, against the one that ticks
// every 20 ms: two links on two in-memory processors run the same script on
// one millisecond clock, and every frame must reach the line at the same
// millisecond on both, through heartbeats, queued writes, repeats, loss of
// link, mode saves and reloads.

#include "link/pacing_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editmodel/param_cells.h"
#include "editmodel/settings.h"
#include "editmodel/write_plan.h"
#include "link/device_link.h"
#include "link/frames.h"
#include "link_rig.h"

namespace dsp {
namespace {

constexpr int kTickMs = PacingClock::kTickMs;

// The link on the in-memory processor, with a sender of whole changes
// hooked to the pacing as the editing session hooks it.
struct Rig : test::LinkRig {
  Rig() : LinkRig({"EMU"}) {
    link.OnPacingTick = [this] { sender.Pump(); };
    link.PacingTickWanted = [this] { return sender.WouldFeed(); };
  }
  PlanSender sender{store, link};
};

// One link with its three timers run on the shared clock: the scan and the
// transfer as periodic timers, the pacing either periodic too (the way it
// ran before) or by a PacingClock.
class Lane {
 public:
  explicit Lane(bool sleeping) {
    rig.view.onTimer = [this](LinkTimer timer, bool running) { OnTimer(timer, running); };
    if (sleeping) {
      clock = std::make_unique<PacingClock>(
          rig.link, [this] { return now; },
          [this](std::int64_t delay) { wakeAt = delay < 0 ? -1 : now + delay; });
    }
  }

  // One millisecond: the answers to what was sent before it arrive (a slow
  // processor's only every `replyEveryMs`, once linked), the script acts,
  // then the timers that fall due tick. A tick falling due in the same
  // millisecond as a change runs after it.
  void Step(std::int64_t ms, const std::vector<std::function<void(Rig&)>>& actions = {}) {
    now = ms;
    if (ms < kSlowFromMs || ms % replyEveryMs == 0) rig.port.Pump();
    Record();
    for (const auto& action : actions) {
      action(rig);
      Record();
    }
    for (LinkTimer timer : {LinkTimer::Scan, LinkTimer::Transfer, LinkTimer::Hold}) {
      auto it = startedAt.find(timer);
      if (it == startedAt.end()) continue;
      if (timer == LinkTimer::Hold && clock) continue;
      const int period = timer == LinkTimer::Scan ? 1000 : timer == LinkTimer::Transfer ? 100 : kTickMs;
      if (ms > it->second && (ms - it->second) % period == 0) Tick(timer);
    }
    if (clock && wakeAt >= 0 && ms >= wakeAt) {
      wakeAt = -1;
      ++wakes;
      clock->Wake();
    }
    Record();
  }
  // Frames written from `fromMs` on.
  std::vector<std::pair<std::int64_t, std::string>> FramesFrom(std::int64_t fromMs) const {
    std::vector<std::pair<std::int64_t, std::string>> out;
    for (const auto& f : frames)
      if (f.first >= fromMs) out.push_back(f);
    return out;
  }
  void Do(const std::function<void(Rig&)>& action) {
    action(rig);
    Record();
  }

  static constexpr std::int64_t kSlowFromMs = 9000;
  Rig rig;
  std::int64_t replyEveryMs = 1;
  std::unique_ptr<PacingClock> clock;
  std::int64_t now = 0;
  std::int64_t wakeAt = -1;
  int wakes = 0;
  int holdTicks = 0;  // pacing ticks run (periodic lane)
  // Every frame written, with the millisecond it was written at.
  std::vector<std::pair<std::int64_t, std::string>> frames;
  // Every status text and message box, with its millisecond.
  std::vector<std::pair<std::int64_t, std::string>> events;

 private:
  void OnTimer(LinkTimer timer, bool running) {
    // As the application does: a running timer is not restarted.
    if (running && !startedAt.count(timer)) startedAt[timer] = now;
    if (!running) startedAt.erase(timer);
    if (timer == LinkTimer::Hold && clock) clock->SetRunning(running);
  }
  void Tick(LinkTimer timer) {
    switch (timer) {
      case LinkTimer::Scan:
        rig.link.Timer1Timer();
        break;
      case LinkTimer::Transfer:
        rig.link.Timer2Timer();
        break;
      case LinkTimer::Hold:
        ++holdTicks;
        rig.link.HoldTimerTimer();
        break;
    }
  }
  void Record() {
    for (; seenFrames < rig.port.written.size(); ++seenFrames)
      frames.emplace_back(now, HexDump(rig.port.written[seenFrames].second));
    for (; seenStatus < rig.view.statusTexts.size(); ++seenStatus)
      events.emplace_back(now, rig.view.statusTexts[seenStatus]);
    for (; seenMessages < rig.view.messages.size(); ++seenMessages)
      events.emplace_back(now, "box: " + rig.view.messages[seenMessages]);
    for (; seenBacklogs < rig.view.backlogs.size(); ++seenBacklogs)
      events.emplace_back(now, "backlog: " + std::to_string(rig.view.backlogs[seenBacklogs]));
  }

  std::map<LinkTimer, std::int64_t> startedAt;
  std::size_t seenFrames = 0;
  std::size_t seenStatus = 0;
  std::size_t seenMessages = 0;
  std::size_t seenBacklogs = 0;
};

// A script: actions at given milliseconds.
using Script = std::multimap<std::int64_t, std::function<void(Rig&)>>;

// Runs both lanes through the script, from the connect at 0 ms.
struct Pair {
  Lane ticking{false};
  Lane sleeping{true};

  void Run(std::int64_t untilMs, const Script& script, std::int64_t replyEveryMs = 1) {
    for (Lane* lane : {&ticking, &sleeping}) {
      lane->replyEveryMs = replyEveryMs;
      lane->Do([](Rig& r) { r.link.LinkBtnClick(true); });
    }
    for (std::int64_t ms = 1; ms <= untilMs; ++ms) {
      std::vector<std::function<void(Rig&)>> actions;
      const auto [from, to] = script.equal_range(ms);
      for (auto it = from; it != to; ++it) actions.push_back(it->second);
      for (Lane* lane : {&ticking, &sleeping}) lane->Step(ms, actions);
    }
  }
  std::vector<std::pair<std::int64_t, std::string>> FramesFrom(std::int64_t fromMs) const {
    return ticking.FramesFrom(fromMs);
  }
};

// The processor stops answering, from the next frame on, and starts again.
void Silence(Rig& r) {
  r.emulator.faults.silentAfter = r.emulator.framesReceived;
}
void Revive(Rig& r) {
  r.emulator.faults.silentAfter = -1;
}

const std::string kHeartbeat = HexDump(BuildValueFrame(CmdWrite, AddrLinkControl, LinkHeartbeat));

TEST(PacingClock, EveryFrameLeavesAtTheSameMillisecondAsWithATickEvery20Ms) {
  // The link is up after the scan and the download, about 6.5 s after the
  // connect; the scripts start at 10 s.
  struct Case {
    const char* name;
    std::int64_t until;
    Script script;
  };
  auto write = [](int address, int value) { return [=](Rig& r) { r.link.WriteParam(address, value); }; };
  auto band = [](int address, int value) { return [=](Rig& r) { r.link.WriteEqBand(address, value); }; };
  std::vector<Case> cases;
  cases.push_back({"idle: a heartbeat a second", 20000, {}});
  {
    Script s;
    // A slider drag within one tick, then writes to several addresses at
    // odd moments between ticks, and band writes behind them.
    for (int v = 0; v < 30; ++v) s.emplace(10003, write(0x0505, v));
    for (int i = 0; i < 8; ++i) s.emplace(10500 + 37 * i, write(0x0700 + i, i + 1));
    for (int i = 0; i < 6; ++i) s.emplace(10511 + 13 * i, band(0x0005 + 5 * i, 40 + i));
    s.emplace(13333, write(0x0203, 9));
    cases.push_back({"queued writes and bands", 20000, std::move(s)});
  }
  {
    Script s;
    s.emplace(10007, Silence);
    s.emplace(10009, write(0x0105, 1));  // never acknowledged: repeats, then the loss
    cases.push_back({"silent after a write: repeats at 3, 6, 9 s and the loss at 11 s", 25000, std::move(s)});
  }
  {
    Script s;
    s.emplace(10007, Silence);
    s.emplace(10009, write(0x0105, 1));
    s.emplace(10011, write(0x0106, 2));  // waits behind it: the repeats resend the first
    cases.push_back({"silent with values waiting", 25000, std::move(s)});
  }
  {
    Script s;
    s.emplace(10990, Silence);  // the heartbeat after 11 s goes unanswered
    s.emplace(15000, Revive);   // and a later repeat is answered
    cases.push_back({"heartbeats missed, then answered again", 30000, std::move(s)});
  }
  {
    Script s;
    s.emplace(10015, [](Rig& r) { r.link.StartModeSave(3, "SAVED"); });
    s.emplace(12000, Silence);
    s.emplace(12001, write(0x0105, 1));                                 // in flight when the save goes out
    s.emplace(12002, [](Rig& r) { r.link.StartModeSave(4, "LOST"); });  // never acknowledged
    cases.push_back({"a mode save answered, one never answered (lost after 51 s)", 70000, std::move(s)});
  }
  {
    Script s;
    s.emplace(10004, write(AddrModeRecall, 2));  // reload, then linked again
    s.emplace(18000, write(0x0105, 5));
    cases.push_back({"a mode recall reloads", 25000, std::move(s)});
  }
  {
    // A whole setting's differences, fed to the queues as they make room,
    // once while linked and once while a reload keeps the link busy.
    auto change = [](int row, int first) {
      return [=](Rig& r) {
        const Settings from = Capture(r.store);
        Settings to = from;
        for (int i = 0; i < 40; ++i) to.image[row][first + i] = (to.image[row][first + i] + 7) % 100;
        const auto changes = Diff(from, to, DiffScope::Everything);
        WriteChanges(r.store, changes, true);
        r.sender.Queue(PlanWrites(changes, r.store.Scene()));
      };
    };
    Script s;
    s.emplace(10013, change(5, 0));
    s.emplace(16004, write(AddrModeRecall, 1));
    s.emplace(16050, change(7, 0));  // waits for the reload, then goes out
    cases.push_back({"whole changes sent through the queues", 30000, std::move(s)});
  }
  {
    // Lossy lines: frames lost, and acknowledgements lost, so that the
    // fast repair sends frames again after its time-out.
    for (const bool acks : {false, true}) {
      Script s;
      s.emplace(10001, [acks](Rig& r) { (acks ? r.emulator.faults.loseAckEvery : r.emulator.faults.loseEvery) = 3; });
      for (int i = 0; i < 12; ++i) s.emplace(10011 + 97 * i, write(0x0700 + i % 4, i + 1));
      for (int i = 0; i < 9; ++i) s.emplace(10023 + 151 * i, band(0x0005 + 5 * (i % 3), 40 + i));
      for (int v = 0; v < 15; ++v) s.emplace(12000 + 7 * v, write(0x0505, v));  // a drag
      cases.push_back({acks ? "every third acknowledgement lost" : "every third frame lost", 20000, std::move(s)});
    }
  }
  {
    // Whatever comes at random: writes, bands, silences and revivals.
    Script s;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
      seed ^= seed << 13;
      seed ^= seed >> 17;
      seed ^= seed << 5;
      return seed;
    };
    for (std::int64_t t = 10000; t < 40000; t += 1 + next() % 700) {
      const std::uint32_t kind = next() % 10;
      if (kind < 5) {
        s.emplace(t, write(0x0500 + static_cast<int>(next() % 8), static_cast<int>(next() % 100)));
      } else if (kind < 8) {
        s.emplace(t, band(0x0005 + 5 * static_cast<int>(next() % 10), static_cast<int>(next() % 180)));
      } else if (kind == 8) {
        s.emplace(t, Silence);
      } else {
        s.emplace(t, Revive);
      }
    }
    cases.push_back({"random writes and silences", 45000, std::move(s)});
  }

  // A processor that answers at once, and slow ones whose answers come in
  // at any point of a period.
  for (const std::int64_t replyEveryMs : {1, 230, 370}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", answers every " + std::to_string(replyEveryMs) + " ms");
      Pair p;
      p.Run(c.until, c.script, replyEveryMs);
      ASSERT_FALSE(p.FramesFrom(10000).empty());
      if (std::string(c.name).find("every third") != std::string::npos) {
        EXPECT_GT(p.ticking.rig.link.FastRepeatsSent(), 3) << "lost frames were repeated";
      }
      EXPECT_EQ(p.sleeping.frames, p.ticking.frames);
      EXPECT_EQ(p.sleeping.events, p.ticking.events);
      // The counts agree as well, once the ticks slept through up to the
      // last one are counted.
      for (Lane* lane : {&p.ticking, &p.sleeping}) lane->Step(c.until + 1);
      p.sleeping.clock->Update();
      EXPECT_EQ(p.sleeping.rig.link.HoldTicks, p.ticking.rig.link.HoldTicks);
      EXPECT_EQ(p.sleeping.rig.link.MissCount, p.ticking.rig.link.MissCount);
      EXPECT_LT(p.sleeping.wakes * 5, p.ticking.holdTicks) << "the sleeping timer woke far less often";
    }
  }
}

TEST(PacingClock, AnUnansweredWriteIsRepeatedAt3And6And9SecondsAndLostAt11) {
  Pair p;
  constexpr std::int64_t kWrite = 10009;
  Script s;
  s.emplace(kWrite - 2, Silence);
  s.emplace(kWrite, [](Rig& r) { r.link.WriteParam(0x0105, 1); });
  p.Run(25000, s);
  const std::string frame = HexDump(BuildValueFrame(CmdWrite, 0x0105, 1));
  std::vector<std::int64_t> after;  // when each frame went out, after the write
  for (const auto& [ms, hex] : p.sleeping.FramesFrom(kWrite)) after.push_back(ms - kWrite);
  // The write, its three fast repeats, then the period's three: each the
  // frame itself, though nothing waits behind it.
  ASSERT_EQ(after.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(p.sleeping.FramesFrom(kWrite)[i].second, frame) << "the frame itself, " << i;
  // Each fast repeat on the tick that ends the time-out after the one before.
  const std::int64_t timeoutMs = DeviceLink::kRepairTimeoutMs;
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_GE(after[i] - after[i - 1], timeoutMs - kTickMs) << i;
    EXPECT_LE(after[i] - after[i - 1], timeoutMs + kTickMs) << i;
  }
  // Each within the tick that ends the period.
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_GT(after[i + 3], 3000 * static_cast<std::int64_t>(i) - kTickMs) << i;
    EXPECT_LE(after[i + 3], 3000 * static_cast<std::int64_t>(i)) << i;
  }
  std::int64_t lostAt = -1;
  for (const auto& [ms, text] : p.sleeping.events)
    if (text == "box: 已断开连接!") lostAt = ms - kWrite;
  EXPECT_GT(lostAt, 11000 - kTickMs);
  EXPECT_LE(lostAt, 11000);
  EXPECT_EQ(p.sleeping.frames, p.ticking.frames);
  EXPECT_EQ(p.sleeping.events, p.ticking.events);
}

TEST(PacingClock, AnIdleLinkWakesOnlyForItsHeartbeat) {
  Pair p;
  p.Run(10000, {});
  ASSERT_EQ(p.sleeping.rig.link.LinkState, 2);
  const int wakesBefore = p.sleeping.wakes;
  const int ticksBefore = p.ticking.holdTicks;
  const std::size_t framesBefore = p.ticking.frames.size();
  // Ten more seconds of nothing to do.
  for (std::int64_t ms = 10001; ms <= 20000; ++ms) {
    p.ticking.Step(ms);
    p.sleeping.Step(ms);
  }
  const auto frames = std::vector(p.ticking.frames.begin() + static_cast<std::ptrdiff_t>(framesBefore),
                                  p.ticking.frames.end());
  ASSERT_EQ(frames.size(), 10u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].second, kHeartbeat);
    if (i > 0) {
      EXPECT_EQ(frames[i].first - frames[i - 1].first, 1000) << i;
    }
  }
  EXPECT_EQ(p.ticking.holdTicks - ticksBefore, 500);
  EXPECT_EQ(p.sleeping.wakes - wakesBefore, 10) << "one wake-up per heartbeat";
  EXPECT_EQ(p.sleeping.frames, p.ticking.frames);
}

TEST(PacingClock, TheTimerStopsWithThePacingAndTheLinkForgetsTheClock) {
  Pair p;
  p.Run(10000, {});
  ASSERT_GE(p.sleeping.wakeAt, 0);
  p.sleeping.Do([](Rig& r) { r.link.LinkBtnClick(false); });
  EXPECT_EQ(p.sleeping.wakeAt, -1) << "disarmed";
  EXPECT_FALSE(p.sleeping.clock->Running());
  p.sleeping.clock.reset();
  EXPECT_FALSE(p.sleeping.rig.link.PacingEvent);
}

TEST(PacingTicks, TheNextDueTickFollowsThePacingRules) {
  struct Case {
    const char* name;
    int holdTicks, txReady, linkState, pendingAction, values, bands, repeatLast;
    int due;
  } cases[] = {
      {"linked, idle, period just begun", 0, 1, 2, 0, 0, 0, 0, 50},
      {"linked, idle, one tick before the heartbeat", 49, 1, 2, 0, 0, 0, 0, 1},
      {"linked, count at the period: rises past it first", 50, 1, 2, 0, 0, 0, 0, 2},
      {"linked, count past the period", 51, 1, 2, 0, 0, 0, 0, 1},
      {"a value waits and the last frame was acknowledged", 7, 1, 2, 0, 1, 0, 0, 1},
      {"a band waits", 7, 1, 2, 0, 0, 1, 0, 1},
      {"the last value goes out twice", 7, 1, 2, 0, 0, 0, 1, 1},
      {"a frame in flight, values waiting: the period decides", 7, 0, 2, 0, 3, 0, 0, 43},
      {"a follow-up acknowledged", 30, 1, 0, 2, 0, 0, 0, 1},
      {"a follow-up waiting for its acknowledgement", 30, 0, 0, 3, 0, 0, 0, 20},
      {"neither linked nor waiting: never", 10, 1, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::LinkRig r({"EMU"});
    // Queue the waiting entries through the write paths while a frame is
    // in flight, then set the state to look at.
    r.link.LinkState = 2;
    r.link.TxReady = 0;
    for (int i = 0; i < c.values; ++i) r.link.WriteParam(0x0105 + i, i);
    for (int i = 0; i < c.bands; ++i) r.link.WriteEqBand(0x0005, i);
    ASSERT_EQ(r.link.valueQueue().count, c.values);
    ASSERT_EQ(r.link.eqQueue().count, c.bands);
    r.link.HoldTicks = c.holdTicks;
    r.link.TxReady = static_cast<std::uint8_t>(c.txReady);
    r.link.LinkState = c.linkState;
    r.link.PendingAction = c.pendingAction;
    r.link.RepeatLast = static_cast<std::uint8_t>(c.repeatLast);
    EXPECT_EQ(r.link.HoldTicksUntilDue(), c.due);
  }
}

TEST(PacingTicks, SkippedTicksCountAsTicksThatOnlyCount) {
  // Against ticks run one by one, with nothing to send and nothing linked,
  // so that every tick only counts.
  for (int start : {0, 1, 37, 49, 50, 51}) {
    for (int ticks : {0, 1, 2, 3, 13, 50, 51, 52, 53, 1000, 1001}) {
      test::LinkRig skipped({"EMU"});
      test::LinkRig ran({"EMU"});
      for (test::LinkRig* r : {&skipped, &ran}) {
        r->link.HoldTicks = start;
        r->link.LinkState = 0;
      }
      skipped.link.SkipHoldTicks(ticks);
      for (int i = 0; i < ticks; ++i) ran.link.HoldTimerTimer();
      EXPECT_EQ(skipped.link.HoldTicks, ran.link.HoldTicks) << start << " + " << ticks;
      EXPECT_TRUE(ran.port.written.empty());
    }
  }
}

}  // namespace
}  // namespace dsp
