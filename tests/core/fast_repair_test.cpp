// Lost frames and lost or late acknowledgements on the line, through the
// processor emulator's faults: the pacing repeats the frame in flight after
// a short time-out, keeps one frame in flight, and the processor ends up
// with every edit.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "link/frames.h"
#include "link_rig.h"

namespace dsp {
namespace {

// Which frame a frame is, whatever values it carries: its address, and
// for a band frame the band.
std::string FrameKey(const Bytes& f) {
  if (f.size() < 8) return HexDump(f);
  std::string key = HexDump(Bytes(f.begin() + 4, f.begin() + 6));
  if (f[2] != 6) key += " band " + std::to_string(f[6] + 256 * f[7]);
  return key;
}

// The link on the emulator, linked, with a line that delivers the
// processor's answers `answerDelay` pacing ticks after they were given.
struct LossyRig : test::LinkRig {
  LossyRig() : LinkRig({"EMU"}) {
    link.LinkBtnClick(true);
    for (int i = 0; i < 5 && !view.Running(LinkTimer::Transfer); ++i) Scan();
    for (int i = 0; i < 400 && view.Running(LinkTimer::Transfer); ++i) Step();
    seen = port.written.size();
  }

  // Anything the link did (a write, a tick) goes on the line, and its
  // answer comes back when due.
  void After() {
    if (emulator.parameterFrames >= loseUntil) emulator.faults.loseEvery = 0;
    if (emulator.parameterFrames >= loseAckUntil) emulator.faults.loseAckEvery = 0;
    for (; seen < port.written.size(); ++seen) lastFrame = port.written[seen].second;
    while (emulator.HasOutput()) line.push_back({tick + answerDelay, emulator.TakePiece(), FrameKey(lastFrame)});
    Deliver();
  }
  void Deliver() {
    while (!line.empty() && line.front().due <= tick) {
      const Held held = line.front();
      line.pop_front();
      const bool waiting = link.TxReady == 0;
      const std::string inFlight = FrameKey(lastFrame);
      port.Deliver(held.bytes);
      // The pacing takes this as the answer to the frame in flight: it
      // must be that frame's (or an earlier send of it).
      if (waiting && link.TxReady == 1 && held.answers != inFlight)
        wrongAnswers.push_back(held.answers + " taken for " + inFlight);
    }
  }
  void Tick() {
    ++tick;
    link.HoldTimerTimer();
    After();
  }
  void Do(const std::function<void(LossyRig&)>& action) {
    action(*this);
    After();
  }
  // The processor holds what the stores hold, in every channel block.
  bool Holds() const {
    for (int c = 0; c < 9; ++c)
      for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
        if (store.Device(c, i) != emulator.image[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)])
          return false;
    return true;
  }

  struct Held {
    int due;
    Bytes bytes;
    std::string answers;  // the key of the frame it answers
  };
  int tick = 0;
  int answerDelay = 0;
  long loseUntil = 0;     // parameter frames up to this one are lost (with loseEvery 1)
  long loseAckUntil = 0;  // the acknowledgement of this one is lost
  std::deque<Held> line;
  std::size_t seen = 0;
  Bytes lastFrame;
  std::vector<std::string> wrongAnswers;
};

using Action = std::function<void(LossyRig&)>;

Action Value(int address, int value) {
  return [=](LossyRig& r) { r.link.WriteParam(address, value); };
}
Action Band(int address, int value) {
  return [=](LossyRig& r) { r.link.WriteEqBand(address, value); };
}
// The next `n` parameter or band frames are lost on the line (or their
// acknowledgements), the later ones get through.
Action LoseNext(int n = 1) {
  return [=](LossyRig& r) {
    r.loseUntil = r.emulator.parameterFrames + n;
    r.emulator.faults.loseEvery = 1;
  };
}
Action LoseAckNext() {
  return [=](LossyRig& r) {
    r.loseAckUntil = r.emulator.parameterFrames + 1;
    r.emulator.faults.loseAckEvery = r.loseAckUntil;
  };
}
Action AnswerLate(int ticks) {
  return [=](LossyRig& r) { r.answerDelay = ticks; };
}

TEST(FastRepair, EveryEditReachesTheProcessorSoonAfterALoss) {
  // Band addresses of the music equaliser (field f of band b is
  // 0x0005 + 5 b + f), single values of the main output.
  struct Case {
    const char* name;
    std::multimap<int, Action> script;  // actions at pacing ticks
    int lostFrames;                     // frames or answers the line loses
    int fastRepeats;                    // frames sent again after the time-out
    int ticksToHold;                    // most ticks after the last edit until the processor holds it all
  };
  std::vector<Case> cases;
  cases.push_back({"a band frame lost with nothing waiting", {{5, LoseNext()}, {5, Band(0x0007, 90)}}, 1, 1, 15});
  cases.push_back({"a value frame lost with values waiting",
                   {{5, LoseNext()}, {5, Value(0x0505, 10)}, {5, Value(0x0506, 11)}, {6, Value(0x0507, 12)}},
                   1,
                   1,
                   18});
  cases.push_back({"an acknowledgement lost", {{5, LoseAckNext()}, {5, Value(0x0505, 10)}, {5, Value(0x0506, 11)}},
                   1,
                   1,
                   18});
  cases.push_back({"two losses in a row: the frame and its first repeat",
                   {{5, LoseNext(2)}, {5, Band(0x0007, 90)}, {5, Value(0x0506, 11)}},
                   2,
                   2,
                   30});
  cases.push_back({"a band frame and its three fast repeats lost: the period's repeat sends the band again",
                   {{5, LoseNext(4)}, {5, Band(0x0007, 90)}},
                   4,
                   3,
                   151});
  {
    // A gain dragged through a band, one step a tick, and a slider with it;
    // a frame in the middle of it lost.
    std::multimap<int, Action> drag;
    for (int i = 0; i < 20; ++i) {
      drag.emplace(5 + i, Band(0x000C, 60 + i));
      drag.emplace(5 + i, Value(0x0504, 30 + i));
    }
    drag.emplace(14, LoseNext());
    cases.push_back({"a loss in the middle of a drag", std::move(drag), 1, 1, 20});
  }
  cases.push_back({"a late acknowledgement: the frame goes out twice, harmlessly",
                   {{5, AnswerLate(20)}, {5, Value(0x0505, 10)}, {5, Value(0x0506, 11)}, {6, Band(0x0007, 90)}},
                   0,
                   1,
                   4 * 21});
  {
    std::multimap<int, Action> lossy;
    lossy.emplace(1, [](LossyRig& r) {
      r.loseUntil = 1L << 30;
      r.emulator.faults.loseEvery = 3;
    });
    for (int i = 0; i < 30; ++i)
      lossy.emplace(5 + 8 * i, i % 2 ? Band(0x0005 + 5 * (i % 10), 20 + i) : Value(0x0500 + i % 16, i));
    cases.push_back({"every third frame lost, thirty edits", std::move(lossy), -1, -1, 40});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LossyRig r;
    ASSERT_EQ(r.link.LinkState, 2);
    ASSERT_TRUE(r.Holds());
    const long lostBefore = r.emulator.framesLost + r.emulator.acksLost;
    const long repeatsBefore = r.link.FastRepeatsSent();
    int lastEdit = 0;
    for (const auto& [at, action] : c.script) lastEdit = std::max(lastEdit, at);
    int heldAt = -1;
    while (r.tick < 400) {
      const auto [from, to] = c.script.equal_range(r.tick);
      for (auto it = from; it != to; ++it) r.Do(it->second);
      r.Tick();
      if (r.tick > lastEdit && heldAt < 0 && r.Holds()) heldAt = r.tick;
    }
    EXPECT_TRUE(r.Holds()) << "every edit reached the processor";
    EXPECT_EQ(r.link.LinkState, 2);
    EXPECT_TRUE(r.view.messages.empty()) << "the link stays up";
    EXPECT_TRUE(r.wrongAnswers.empty()) << r.wrongAnswers.front();
    const long lost = r.emulator.framesLost + r.emulator.acksLost - lostBefore;
    const long repeats = r.link.FastRepeatsSent() - repeatsBefore;
    if (c.lostFrames >= 0) {
      EXPECT_EQ(lost, c.lostFrames);
      EXPECT_EQ(repeats, c.fastRepeats);
    } else {
      EXPECT_GT(lost, 5);
      EXPECT_GE(repeats, lost) << "each loss repaired by a repeat";
    }
    // Each loss costs the time-out (13 ticks, 260 ms) and the repeat.
    ASSERT_GE(heldAt, 0);
    EXPECT_LE(heldAt - lastEdit, c.ticksToHold);
  }
}

TEST(FastRepair, TheBacklogIsToldAfterASecondAndClearedWhenTheLineCaughtUp) {
  LossyRig r;
  // A frame lost with values behind it, on a line that answers nothing for
  // a while: the backlog shows after a second, not before.
  r.Do([](LossyRig& rig) { rig.emulator.faults.silentAfter = rig.emulator.framesReceived; });
  r.Do(Value(0x0505, 1));
  r.Do(Value(0x0506, 2));
  r.Do(Band(0x0007, 90));
  for (int i = 0; i < 50; ++i) r.Tick();
  EXPECT_TRUE(r.view.backlogs.empty()) << "a second is not yet a backlog";
  r.Tick();
  EXPECT_EQ(r.view.backlogs, std::vector<int>{3}) << "the frame in flight and two behind it";
  EXPECT_EQ(r.link.BacklogShown(), 3);
  r.Do([](LossyRig& rig) { rig.emulator.faults.silentAfter = -1; });
  for (int i = 0; i < 200 && r.link.BacklogShown() != 0; ++i) r.Tick();
  ASSERT_FALSE(r.view.backlogs.empty());
  EXPECT_EQ(r.view.backlogs.back(), 0) << "cleared once all are answered";
  EXPECT_TRUE(r.Holds());
  // The quick answers of a clean line never show one.
  const std::size_t shown = r.view.backlogs.size();
  for (int i = 0; i < 40; ++i) r.Do(Value(0x0500 + i % 8, i));
  for (int i = 0; i < 200; ++i) r.Tick();
  EXPECT_EQ(r.view.backlogs.size(), shown);
  // A repeat says why in the traffic record.
  bool said = false;
  for (const std::string& line : r.view.log)
    said = said || line.find("ms 内未收到确认") != std::string::npos;
  EXPECT_TRUE(said);
}

}  // namespace
}  // namespace dsp
