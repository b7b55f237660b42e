// Write pacing: every change from the panels goes through WriteParam or
// WriteEqBand. The processor takes one frame at a time and acknowledges each,
// so a frame goes out only while TxReady is set; sending clears it until the
// next acknowledgement. HoldTimerTimer (20 ms) drains the queues, runs the
// follow-up of a mode recall or save, sends a heartbeat after a second of
// quiet and declares the link lost when the processor stays silent.

#include <algorithm>
#include <string>

#include "link/device_link.h"
#include "link/frames.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kPeriodTicks = 50;       // one second of HoldTimer ticks
constexpr int kValueQueueCap = 60;     // a 61st waiting write replaces the 60th
constexpr int kEqQueueCap = 48;        // a 49th waiting band replaces the 48th
constexpr int kLostAfterPeriods = 10;  // missed heartbeat periods before loss
constexpr int kPendingLostAfter = 50;  // periods a recall or save may wait
constexpr int kTickMs = 20;            // one HoldTimer tick
constexpr int kSinceCap = 1 << 20;     // tick counts since a send stop rising here

int AddTicks(int count, int ticks) {
  return count >= kSinceCap - ticks ? kSinceCap : count + ticks;
}

}  // namespace

DeviceLink::PacingChange::PacingChange(DeviceLink& link) : link_(link) {
  Notify();
}

DeviceLink::PacingChange::~PacingChange() {
  link_.UpdateBacklog();
  Notify();
}

void DeviceLink::PacingChange::Notify() {
  if (link_.PacingEvent && link_.TimerRunning(LinkTimer::Hold)) link_.PacingEvent();
}

void DeviceLink::WriteParam(int address, int value) {
  const int r = store_.StoreWrite(address, value);
  if (SuppressSend == 1 || LinkState != 2) return;
  const PacingChange change(*this);
  HoldTicks = 0;

  auto& q = valueQueue_;
  if (TxReady == 0 || q.count != 0) {
    const int n = q.count;
    // From the second waiting entry on, a write to the same address as the
    // newest waiting one replaces its value: a slider drag queues its first
    // change and its newest position only.
    if (n >= 2 && q.address[static_cast<std::size_t>(n)] == r) {
      q.value[static_cast<std::size_t>(n)] = value;
      return;
    }
    q.count = n > kValueQueueCap ? kValueQueueCap : n + 1;
    q.address[static_cast<std::size_t>(q.count)] = r;
    q.value[static_cast<std::size_t>(q.count)] = value;
    return;
  }

  q.address[0] = r;
  q.value[0] = value;
  TransferEvent = 0;
  if (r == AddrModeRecall) {
    // The processor switches its whole setting: reload it once acknowledged.
    SetStatus(DSP_TRANSLATE_NOOP("Link", "加载中..."));
    LinkState = 0;
    MissCount = 0;
    PendingAction = 2;
  } else {
    PendingAction = 0;
  }
  SendValueFrame(port_, CmdWrite, r, value);
  TxReady = 0;
  NoteSent(r == AddrModeRecall ? InFlight::Other : InFlight::Value, false);
}

void DeviceLink::WriteEqBand(int address, int value) {
  const int r = store_.StoreWrite(address, value);
  if (SuppressSend == 1 || LinkState != 2) return;
  const PacingChange change(*this);
  TransferEvent = 0;
  HoldTicks = 0;

  const int channel = ChannelOf(r);
  if (channel < 0 || channel > 8 || r < 0) return;  // no equaliser block to send to
  const int block = EqBlockAddress[static_cast<std::size_t>(channel)];
  const int band = EqPosition(r) / 256;

  auto& q = eqQueue_;
  if (TxReady == 0 || q.count != 0) {
    const int n = q.count;
    q.count = n > kEqQueueCap ? kEqQueueCap : n + 1;
    q.block[static_cast<std::size_t>(q.count)] = block;
    q.band[static_cast<std::size_t>(q.count)] = band;
    return;
  }
  q.block[0] = block;
  q.band[0] = band;
  SendBand(block, band);
  TxReady = 0;
  NoteSent(InFlight::Band, false);
}

void DeviceLink::SendBand(int block, int band) {
  // Band number, then its five fields as the stores hold them now, read
  // from the block's own channel in the scene that plays: not from the panel
  // order, which shows microphone group B through group A's row while that
  // group is selected, so a group A band that waited in the queue while the
  // user switched groups would otherwise carry group B's values.
  const int channel = ChannelOf(block);
  Bytes payload;
  AppendU16(payload, band);
  for (int f = 0; f < 5; ++f) {
    const int slot = EqSlot(channel, band, f);
    const bool inRow = slot >= 0 && slot < kPanelSlots;
    AppendU16(payload, inRow ? store_.Device(channel, DeviceIndex(channel, slot, store_.SceneFlag)) : 0);
  }
  try {
    SendBlockFrame(port_, CmdWrite, block, payload);
  } catch (const SerialPortError& e) {
    // Unacknowledged like a frame lost on the line: the pacing repeats or
    // declares the link lost.
    Log(std::string("write failed: ") + e.what());
  }
}

bool DeviceLink::StartModeSave(int slot, const std::string& name) {
  if (LinkState != 2 || slot < 0 || slot >= kModeCount) return false;
  const PacingChange change(*this);
  store_.ModeNames[static_cast<std::size_t>(slot)] = name.substr(0, kModeNameLength);
  try {
    SendTextCommand(port_, AddrModeSave, ModeSaveText(slot, name));
  } catch (const SerialPortError& e) {
    Log(std::string("write failed: ") + e.what());
  }
  PendingAction = 3;
  SetStatus(DSP_TRANSLATE_NOOP("Link", "保存中..."));
  LinkState = 0;
  MissCount = 0;
  return true;
}

void DeviceLink::HoldTimerTimer() {
  // 1. Period counter, and the time since the last frame went out.
  if (HoldTicks > kPeriodTicks)
    HoldTicks = kPeriodTicks;
  else
    ++HoldTicks;
  sinceSend_ = AddTicks(sinceSend_, 1);
  sinceFirstSend_ = AddTicks(sinceFirstSend_, 1);
  if (Backlog() > 0) backlogTicks_ = AddTicks(backlogTicks_, 1);
  sentThisTick_ = false;

  // 2. Follow-up of a mode recall (reload) or save, on its acknowledgement.
  if (TxReady == 1 && PendingAction != 0) {
    const int code = PendingAction;
    PendingAction = 0;
    SetLinkStatus(code);
    MissCount = 0;
    HoldTicks = 0;
  } else if (PendingAction != 0 && HoldTicks == kPeriodTicks) {
    HoldTicks = 0;
    ++MissCount;
    if (MissCount > kPendingLostAfter) {
      MissCount = 0;
      Timer(LinkTimer::Hold, false);
      SetLinkStatus(7);
    }
  }

  // 3. Value queue; the last frame of a drained queue goes out twice.
  auto& q = valueQueue_;
  if (TxReady == 1 && (q.count != 0 || RepeatLast == 1)) {
    TxReady = 0;
    MissCount = 0;
    HoldTicks = 0;
    if (q.count >= 1) {
      for (int i = 0; i < q.count; ++i) {
        q.address[static_cast<std::size_t>(i)] = q.address[static_cast<std::size_t>(i + 1)];
        q.value[static_cast<std::size_t>(i)] = q.value[static_cast<std::size_t>(i + 1)];
      }
      --q.count;
    }
    RepeatLast = (q.count == 0 && RepeatLast == 0) ? 1 : 0;
    SendValueFrame(port_, CmdWrite, q.address[0], q.value[0]);
    NoteSent(InFlight::Value, false);
  }

  // 4. EQ queue.
  auto& e = eqQueue_;
  if (TxReady == 1 && e.count != 0) {
    TxReady = 0;
    MissCount = 0;
    HoldTicks = 0;
    for (int i = 0; i < e.count; ++i) {
      e.block[static_cast<std::size_t>(i)] = e.block[static_cast<std::size_t>(i + 1)];
      e.band[static_cast<std::size_t>(i)] = e.band[static_cast<std::size_t>(i + 1)];
    }
    SendBand(e.block[0], e.band[0]);
    NoteSent(InFlight::Band, false);
    Log("2:" + std::to_string(e.count) + " " + std::to_string(e.band[0]));
    --e.count;
  }

  // 5. Heartbeat after a quiet second; repeats every third missed period.
  if (LinkState == 2 && HoldTicks == kPeriodTicks) {
    HoldTicks = 0;
    ++MissCount;
    if (TxReady == 1) {
      TxReady = 0;
      MissCount = 0;
      SendLinkControl(port_, LinkHeartbeat);
      NoteSent(InFlight::Other, false);
    } else if (MissCount % 3 == 0) {
      // With the fast repair the frame in flight itself goes out again: a
      // band, or a value with nothing behind it, would otherwise never be
      // repeated, and a heartbeat's answer would pass for the lost frame's.
      const bool own = fastRepair_ && (inFlight_ == InFlight::Value || inFlight_ == InFlight::Band);
      if (own && inFlight_ == InFlight::Band)
        SendBand(eqQueue_.block[0], eqQueue_.band[0]);
      else if (own || q.count != 0)
        SendValueFrame(port_, CmdWrite, q.address[0], q.value[0]);
      else
        SendLinkControl(port_, LinkHeartbeat);
      NoteSent(inFlight_, true);
    }
    if (MissCount > kLostAfterPeriods) {
      MissCount = 0;
      Timer(LinkTimer::Hold, false);
      SetLinkStatus(7);
    }
  }

  // 6. A value or band frame unanswered for the repair time-out goes out
  // again, unless a frame went out on this tick already.
  RepairTick();

  // 7. Writes that wait outside the queues get the room the queues have now.
  if (OnPacingTick) OnPacingTick();
  UpdateBacklog();
}

int DeviceLink::Backlog() const {
  const bool inFlight = TxReady == 0 && (inFlight_ == InFlight::Value || inFlight_ == InFlight::Band);
  return (inFlight ? 1 : 0) + valueQueue_.count + eqQueue_.count;
}

void DeviceLink::UpdateBacklog() {
  const int waiting = TimerRunning(LinkTimer::Hold) ? Backlog() : 0;
  if (waiting == 0) backlogTicks_ = 0;
  const int shown = backlogTicks_ > kPeriodTicks ? waiting : 0;
  if (shown == backlogShown_) return;
  backlogShown_ = shown;
  view_.ShowBacklog(shown);
}

int DeviceLink::RepairTimeoutTicks() const {
  const int floor = (kRepairTimeoutMs + kTickMs - 1) / kTickMs;
  return std::max(floor, 2 * slowestAnswer_ + 2);
}

void DeviceLink::NoteSent(InFlight kind, bool repeat) {
  sentThisTick_ = true;
  sinceSend_ = 0;
  if (repeat) {
    ++sends_;
    return;
  }
  inFlight_ = kind;
  sends_ = 1;
  sinceFirstSend_ = 0;
  fastRepeats_ = 0;
}

bool DeviceLink::RepairPending() const {
  return fastRepair_ && LinkState == 2 && TxReady == 0 && (inFlight_ == InFlight::Value || inFlight_ == InFlight::Band) &&
         fastRepeats_ < kFastRepeats;
}

void DeviceLink::RepairTick() {
  if (!RepairPending() || sentThisTick_ || sinceSend_ < RepairTimeoutTicks()) return;
  const int waited = sinceSend_ * kTickMs;
  ++fastRepeats_;
  ++fastRepeatsSent_;
  // Answers owed to the frame before have had two time-outs to come.
  if (fastRepeats_ == 2) strayAcks_ = 0;
  Log(Tr(DSP_TRANSLATE_NOOP("Link", "重发(第 %1 次): %2 ms 内未收到确认"),
         {std::to_string(fastRepeats_), std::to_string(waited)}));
  if (inFlight_ == InFlight::Band) {
    // The repeat carries the band's newest values, so the entries of the
    // same band that waited behind it have nothing left to send: a band
    // dragged while its frame was lost is not sent once per step after it.
    auto& e = eqQueue_;
    int kept = 0;
    for (int i = 1; i <= e.count; ++i) {
      const auto at = static_cast<std::size_t>(i);
      if (e.block[at] == e.block[0] && e.band[at] == e.band[0]) continue;
      ++kept;
      e.block[static_cast<std::size_t>(kept)] = e.block[at];
      e.band[static_cast<std::size_t>(kept)] = e.band[at];
    }
    e.count = kept;
  }
  try {
    if (inFlight_ == InFlight::Value)
      SendValueFrame(port_, CmdWrite, valueQueue_.address[0], valueQueue_.value[0]);
    else
      SendBand(eqQueue_.block[0], eqQueue_.band[0]);
  } catch (const SerialPortError& e) {
    Log(std::string("write failed: ") + e.what());
  }
  NoteSent(inFlight_, true);
}

bool DeviceLink::TakeAcknowledgement() {
  const bool waiting = TxReady == 0 && inFlight_ != InFlight::None;
  // An earlier send of the frame taken as answered before was answered
  // late: the frame in flight now is still unanswered.
  if (waiting && strayAcks_ > 0 && LinkState == 2) {
    --strayAcks_;
    return false;
  }
  // Nothing waits for it: one of the answers still owed came.
  if (!waiting && strayAcks_ > 0) --strayAcks_;
  if (waiting) {
    if (sends_ == 1) {
      slowestAnswer_ = std::max(slowestAnswer_, sinceSend_);
    } else if (sinceSend_ > slowestAnswer_ + 1) {
      // Later after the last send than this line answers: the answer to an
      // earlier one, which was only slow. The later sends may still be
      // answered; those answers must not pass for the next frame's. And
      // the line is slower than it seemed.
      strayAcks_ = sends_ - 1;
      slowestAnswer_ = std::max(slowestAnswer_, std::min(sinceFirstSend_, kPeriodTicks));
    }
  }
  inFlight_ = InFlight::None;
  sends_ = 0;
  fastRepeats_ = 0;
  return true;
}

void DeviceLink::ResetRepair() {
  backlogTicks_ = 0;
  inFlight_ = InFlight::None;
  sinceSend_ = 0;
  sinceFirstSend_ = 0;
  sends_ = 0;
  fastRepeats_ = 0;
  strayAcks_ = 0;
}

int DeviceLink::HoldTicksUntilDue() const {
  // Writes waiting outside the queues go in on the next tick (step 6).
  if (PacingTickWanted && PacingTickWanted()) return 1;
  // With the last frame acknowledged, a follow-up or a waiting frame goes
  // out on the next tick (steps 2 to 4 above).
  const bool work = PendingAction != 0 || valueQueue_.count != 0 || RepeatLast == 1 || eqQueue_.count != 0;
  if (TxReady == 1 && work) return 1;
  // The fast repair of a frame in flight falls due at the end of its
  // time-out (or on the next tick, when a frame went out on the tick it
  // fell due at).
  const int repair = RepairPending() ? std::max(1, RepairTimeoutTicks() - sinceSend_) : 0;
  // Otherwise a tick only counts until the period is full. Then it sends
  // the heartbeat or counts a miss (linked), or counts a period that a
  // follow-up waited for; with neither, nothing ever falls due.
  int period = 0;
  if (LinkState == 2 || PendingAction != 0) {
    if (HoldTicks < kPeriodTicks)
      period = kPeriodTicks - HoldTicks;
    else  // a full count first rises past the period, then falls back to it
      period = HoldTicks == kPeriodTicks ? 2 : 1;
  }
  // The backlog is told on the tick it has waited more than a second.
  const int backlog = Backlog() > 0 && backlogShown_ == 0 ? std::max(1, kPeriodTicks + 1 - backlogTicks_) : 0;
  int due = period;
  for (const int other : {repair, backlog})
    if (other > 0) due = due == 0 ? other : std::min(due, other);
  return due;
}

void DeviceLink::SkipHoldTicks(int ticks) {
  if (ticks <= 0) return;
  sinceSend_ = AddTicks(sinceSend_, ticks);
  sinceFirstSend_ = AddTicks(sinceFirstSend_, ticks);
  if (Backlog() > 0) backlogTicks_ = AddTicks(backlogTicks_, ticks);
  // Each tick raises the count by one up to one past the period; from
  // there it alternates between the period and one past it.
  if (HoldTicks <= kPeriodTicks) {
    const int rise = std::min(ticks, kPeriodTicks + 1 - HoldTicks);
    HoldTicks += rise;
    ticks -= rise;
  }
  if (ticks > 0) HoldTicks = ticks % 2 == 1 ? kPeriodTicks : kPeriodTicks + 1;
}

}  // namespace dsp
