#pragma once
// The device link: one object that owns everything the program keeps about
// the processor connection and that the port notification and the three
// link timers share.
//
//  - Receive parser (rx_parser.cpp): turns the port's byte stream into
//    acknowledgements (flags) and block frames (stored into the stores).
//  - Link manager (link_manager.cpp): port scan, transfer sequences
//    (download, reload, upload), link status codes and their screen effects.
//  - Write pacing (pacer.cpp): WriteParam / WriteEqBand, the two write
//    queues, one frame in flight at a time, heartbeat and loss of link.
//
// Everything runs on the UI thread; each handler runs to completion, so the
// shared flags need no locks. Timers are plain tick methods: the
// application runs a timer while SetTimerRunning(timer, true) is in force
// and calls the matching tick; tests call the ticks directly. The pacing
// timer may sleep through the ticks that would only count towards the
// heartbeat period (HoldTicksUntilDue, SkipHoldTicks, PacingEvent; the
// PacingClock does this for an application).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_view.h"
#include "ports/serial_port.h"
#include "store/param_store.h"

namespace dsp {

// Each byte as two upper-case hex digits, separated by single blanks.
std::string HexDump(const Bytes& bytes);

// What the user is told about a port that could not be opened: missing,
// held by another program, or refused (with the group to join).
std::string PortProblemText(const std::string& name, const SerialPortError& error,
                            const Translator& texts = SourceTexts());

// The status text while no processor is linked and nothing is looked for.
inline constexpr const char* kNotLinkedText = DSP_TRANSLATE_NOOP("Link", "设备未连接");
// Status texts of the background search: after a loss of link, after a
// failed download in the background, and after a scan that found nothing.
inline constexpr const char* kLostReconnectingText = DSP_TRANSLATE_NOOP("Link", "已断开连接,正在重新连接...");
inline constexpr const char* kReconnectingText = DSP_TRANSLATE_NOOP("Link", "正在重新连接...");
inline constexpr const char* kSearchingText = DSP_TRANSLATE_NOOP("Link", "未找到设备,正在查找...");

enum class RxState { Hunting, Header, Body };

class DeviceLink {
 public:
  // Installs ComPortRxChar as the port's arrival handler.
  DeviceLink(ParamStore& store, SerialPort& port, LinkView& view);
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // ---- receive parser ----
  // Arrival notification: count bytes are waiting in the port's queue.
  void ComPortRxChar(std::size_t count);
  // Checks one complete block frame (FC .. checksum) and applies it.
  void StoreReply(const Bytes& frame);

  RxState rxState() const { return rxState_; }
  std::uint16_t rxExpected() const { return rxExpected_; }
  std::uint16_t rxHave() const { return rxHave_; }
  const Bytes& rxBuffer() const { return rxBuffer_; }

  // ---- link manager ----
  // The connect (true) and disconnect (false) buttons.
  void LinkBtnClick(bool connect);
  void Timer1Timer();  // port scan, 1000 ms
  void Timer2Timer();  // transfer sequence, 100 ms
  // Link outcomes: 1 sequence complete, 2 reload after a mode recall, 3 mode
  // saved, 4 full download, 6 upload, 7 link lost, 9 connection failed.
  void SetLinkStatus(int code);
  // The main window is closing: say goodbye when linked.
  void OnCloseRequest();

  // The port reported its device gone (unplugged, peer closed, a network
  // connection that failed or was closed by the server), `why` saying
  // which. The port is closed; while linked or transferring this is the
  // loss of link at once, instead of after the heartbeat's 11 s of
  // silence. Any reason but an unplugged device is shown as the port's
  // problem.
  void PortGone(const SerialPortError& why);

  // Automatic reconnect: after a loss of link, and after a failed
  // connection ("连接失败!" still shown once), the ports are scanned in the
  // background, one per second and round after round, without the status
  // dialog or a message box, until the processor answers and the full
  // download completes. The connect button ends it with an ordinary scan;
  // the disconnect button ends it, and while nobody has answered yet it
  // closes the port and sends nothing. Off unless switched on.
  void SetAutoReconnect(bool on) { autoReconnect_ = on; }
  bool AutoReconnect() const { return autoReconnect_; }
  bool Reconnecting() const { return reconnecting_; }
  // A processor is on the line: linked, or in a transfer with it (linked
  // and idle is LinkState 2). A scan is not connected, even one the user
  // started while linked.
  bool Connected() const {
    return (LinkState == 2 && !TimerRunning(LinkTimer::Scan)) || TimerRunning(LinkTimer::Hold) ||
           TimerRunning(LinkTimer::Transfer);
  }
  // True during the refresh that completes a transfer sequence: the
  // setting on screen is the processor's that just arrived (or was sent).
  bool CompletingSequence() const { return completing_; }
  // Lists the machine's ports anew at the start of each background round
  // (a re-plugged adapter may come back); unset: the list stays as it is.
  std::function<std::vector<std::string>()> ListPorts;

  // The port list, walked by index like the hidden combo box of the main
  // window. Selecting an index outside the list leaves no selection (-1).
  void SetPortList(std::vector<std::string> names);
  const std::vector<std::string>& PortList() const { return portList_; }
  int SelectedPortIndex() const { return portIndex_; }
  void SelectPort(int index);

  const std::string& StatusText() const { return statusText_; }
  // Progress of the current sequence in percent, halves to even.
  int ProgressPercent() const;

  // ---- verify read ----
  // Reads channel blocks 0..8 into a scratch copy of the device image
  // (VerifyImage) with the requests and timing of a reload, while the
  // stores and the widgets stay as they are: no refresh, and the sequence
  // ends with TransferFinished(Transfer::Verify). The scratch copy starts
  // as the stores' image, so what the blocks do not carry compares equal.
  // Only while linked and idle with nothing waiting for the processor;
  // returns false (nothing sent) otherwise. The status dialog stays hidden.
  bool StartVerifyRead();
  bool Verifying() const { return verifying_; }
  using Image = std::array<ParamStore::DeviceRow, kStoreChannels>;
  const Image& VerifyImage() const { return verifyImage_; }

  // ---- write pacing ----
  void WriteParam(int address, int value);
  void WriteEqBand(int address, int value);
  void HoldTimerTimer();  // 20 ms
  // Runs at the end of every pacing tick: a sender with more writes than
  // the queues hold (a whole setting's differences) tops them up here.
  std::function<void()> OnPacingTick;
  // True while OnPacingTick would do something on the next tick (writes
  // waiting that the queues have room for): a pacing timer that sleeps
  // between due ticks wakes for it. Unset: it never would.
  std::function<bool()> PacingTickWanted;
  // Most pacing ticks only count towards the heartbeat period, so the
  // pacing timer need not wake for each. The number of ticks from now to
  // the next one that does more (sends, runs a follow-up, counts a missed
  // period or sends the heartbeat), that one included; 0 when no tick will
  // ever do more than count.
  int HoldTicksUntilDue() const;
  // Counts `ticks` pacing ticks that passed without being run. Exact only
  // for ticks that would have done nothing but count: fewer than
  // HoldTicksUntilDue() said before them, with no change in between.
  void SkipHoldTicks(int ticks);
  // Runs right before and right after the pacing's state changes outside
  // its tick (a write, an acknowledgement, a mode save), while the pacing
  // timer runs. A pacing timer that sleeps between due ticks counts the
  // ticks slept through so far on the first call (they came before the
  // change) and plans its next wake-up on the second.
  std::function<void()> PacingEvent;
  // Stores a mode under a name into processor slot 0..14: records the name,
  // sends the save command and waits for its acknowledgement ("保存中...").
  // Only while linked; returns false (nothing sent) otherwise.
  bool StartModeSave(int slot, const std::string& name);

  // ---- fast repair of lost frames ----
  // A value or band frame that the processor has not acknowledged within
  // the repair time-out is sent again on the pacing tick that ends it (the
  // band with its newest values), up to kFastRepeats times; after that the
  // heartbeat period's repeats and the loss of link take over, at the times
  // they have without the repair. A mode recall and a mode save keep their
  // own follow-up and are not repeated here.
  static constexpr int kFastRepeats = 3;
  static constexpr int kRepairTimeoutMs = 250;
  // The time-out in pacing ticks: at least kRepairTimeoutMs, and never
  // shorter than twice the slowest answer this line has given to a frame
  // sent once since the link came up (a slow network port).
  int RepairTimeoutTicks() const;
  // On unless switched off; off, only the heartbeat period repeats a lost
  // frame (for comparison in the benchmarks).
  void SetFastRepair(bool on) { fastRepair_ = on; }
  // Fast repeats sent since the link object was made (for tests and
  // benchmarks).
  long FastRepeatsSent() const { return fastRepeatsSent_; }
  // Frames sent after a lost one by the fast repair, not yet answered.
  int FastRepeatsOfFrameInFlight() const { return fastRepeats_; }
  // Value and band frames not yet acknowledged: the one in flight and the
  // queued ones. The view hears the number once they have waited for more
  // than a second (ShowBacklog), and 0 when they are all answered.
  int Backlog() const;
  int BacklogShown() const { return backlogShown_; }

  // Up to 61 waiting single-value writes (entry 0 is the one in flight).
  struct ValueQueueT {
    std::array<std::int32_t, 98> address{};
    std::array<std::int32_t, 98> value{};
    int count = 0;
  };
  // Up to 49 waiting EQ band writes: block address and band only, the band's
  // values are read when the frame goes out.
  struct EqQueueT {
    std::array<std::int32_t, 97> block{};
    std::array<std::int32_t, 97> band{};
    int count = 0;
  };
  const ValueQueueT& valueQueue() const { return valueQueue_; }
  const EqQueueT& eqQueue() const { return eqQueue_; }

  // ---- state shared by the three parts (read and set by the UI as well) ----
  int DeviceAnswered = 0;       // 1 once any acknowledgement arrived since connect
  std::uint8_t TxReady = 0;     // 1: the last frame sent was acknowledged
  int TransferEvent = 0;        // 0 none, 1 ack, 2 block stored, 3 request sent, 4 repeated
  int LinkState = 0;            // 2 while linked and idle
  int SuppressSend = 0;         // 1: writes update the stores only
  int ModeNameIndex = 0;        // mode number of the next name request
  int FirstDownloadMarker = 0;  // 0 after connect, 1 after the first sequence (refresh sets 2)
  int ScanIndex = 0;
  int LastPortIndex = 0;
  std::uint8_t StepIndex = 0;
  std::uint8_t StepCount = 0;
  int UploadMode = 0;
  std::uint8_t StepTicks = 0;
  std::uint8_t RepeatLast = 0;
  int HoldTicks = 0;
  int MissCount = 0;
  int PendingAction = 0;  // SetLinkStatus code to run on the next acknowledgement
  std::string DeviceId;   // the processor's identification, eight hex digits

 private:
  // Parser helpers.
  void HuntStep(std::size_t count);
  void HeaderStep(std::size_t count);
  void BodyStep(std::size_t count);
  void ResetRx();
  void Log(const std::string& line);

  // Link manager helpers.
  // Keeps the source text (StatusText) and shows it translated.
  void SetStatus(const char* text);
  // A text of the link (marked in the context "Link") in the view's
  // language, its parts (%1, %2 ...) filled in.
  std::string Tr(const char* source, std::initializer_list<std::string_view> args = {}) const;
  void UpdateStatusDialog();
  void Timer(LinkTimer timer, bool running);
  void SendStep(int step, bool upload, int modeNumber = 0);
  void EmptyQueues(bool values, bool bands);
  void BeginSequence(int lastStep, int uploadMode, bool emptyEqQueue);
  // Starts (or restarts) the background scan of the automatic reconnect.
  void BeginReconnectScan(const char* status);
  void RestartScanRound();
  // The verify read's last block arrived: linked and idle again.
  void FinishVerify();
  bool TimerRunning(LinkTimer timer) const { return timers_[static_cast<std::size_t>(timer)]; }

  // Pacing helpers.
  void SendBand(int block, int band);
  // What the pacing frame on the line is, for the fast repair.
  enum class InFlight { None, Value, Band, Other };
  // A pacing frame went out: `repeat` when it is the frame in flight again.
  void NoteSent(InFlight kind, bool repeat);
  // The fast repair's tick: sends the frame in flight again when it is due.
  void RepairTick();
  bool RepairPending() const;
  // An acknowledgement arrived; false when it answers an earlier send of a
  // frame already taken as answered (the pacing then keeps waiting).
  bool TakeAcknowledgement();
  void ResetRepair();
  // Tells the view about the backlog when it changed (after each tick and
  // each change outside it).
  void UpdateBacklog();
  // Runs PacingEvent when made and again when it goes, while the pacing
  // timer runs: around a change to the pacing's state.
  class PacingChange {
   public:
    explicit PacingChange(DeviceLink& link);
    ~PacingChange();
    PacingChange(const PacingChange&) = delete;
    PacingChange& operator=(const PacingChange&) = delete;

   private:
    void Notify();
    DeviceLink& link_;
  };

  ParamStore& store_;
  SerialPort& port_;
  LinkView& view_;

  RxState rxState_ = RxState::Hunting;
  std::uint16_t rxExpected_ = 0;
  std::uint16_t rxHave_ = 0;
  Bytes rxBuffer_;

  std::vector<std::string> portList_;
  int portIndex_ = -1;
  std::string statusText_ = kNotLinkedText;

  ValueQueueT valueQueue_;
  EqQueueT eqQueue_;

  // Fast repair state. sinceSend_ counts pacing ticks since the last
  // pacing frame went out (capped), sinceFirstSend_ since the frame in
  // flight went out the first time; sends_ is how often it went out.
  InFlight inFlight_ = InFlight::None;
  int sinceSend_ = 0;
  int sinceFirstSend_ = 0;
  int sends_ = 0;
  int fastRepeats_ = 0;
  int strayAcks_ = 0;      // answers still owed to earlier sends of an answered frame
  int slowestAnswer_ = 0;  // ticks, of a frame sent once, since the link came up
  bool sentThisTick_ = false;
  bool fastRepair_ = true;
  int backlogTicks_ = 0;  // pacing ticks the backlog has not been empty
  int backlogShown_ = 0;  // what the view shows (0: nothing)
  long fastRepeatsSent_ = 0;

  std::array<bool, 3> timers_{};            // which of the link's timers run
  Transfer transfer_ = Transfer::Download;  // the sequence running or run last
  bool autoReconnect_ = false;
  bool reconnecting_ = false;
  bool completing_ = false;
  bool verifying_ = false;  // block replies go into verifyImage_
  Image verifyImage_{};
};

}  // namespace dsp
