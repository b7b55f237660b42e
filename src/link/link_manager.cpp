// Link manager: finds the processor on one of the ports (one port per scan
// tick, each gets a second to acknowledge a hello), runs the transfer
// sequences one request per acknowledged step, and turns every link outcome
// into its effect on the screen through SetLinkStatus.

#include <utility>

#include "common/rounding.h"
#include "link/device_link.h"
#include "link/frames.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// Requests of a full download: channel blocks 0..8, mode names (step 9,
// fifteen times), system items 10..27.
constexpr int kDownloadLastStep = 27;
constexpr int kBlockLastStep = 8;
constexpr int kNameStep = 9;
constexpr int kLastModeNumber = kModeCount - 1;
// Timer2 ticks: repeat state after 11 ticks without an answer, failure after
// 100 more.
constexpr int kRepeatTicks = 10;
constexpr int kFailTicks = 100;

}  // namespace

DeviceLink::DeviceLink(ParamStore& store, SerialPort& port, LinkView& view)
    : store_(store), port_(port), view_(view) {
  rxBuffer_.reserve(260);
  port_.SetArrivalHandler([this](std::size_t count) { ComPortRxChar(count); });
  port_.SetGoneHandler([this](const SerialPortError& why) { PortGone(why); });
}

DeviceLink::~DeviceLink() {
  port_.SetArrivalHandler(nullptr);
  port_.SetGoneHandler(nullptr);
}

void DeviceLink::SetPortList(std::vector<std::string> names) {
  portList_ = std::move(names);
  portIndex_ = -1;
}

void DeviceLink::SelectPort(int index) {
  portIndex_ = (index >= 0 && index < static_cast<int>(portList_.size())) ? index : -1;
  view_.ShowSelectedPort(portIndex_);
}

int DeviceLink::ProgressPercent() const {
  if (StepCount == 0) return 0;
  return static_cast<int>(RoundHalfEven(static_cast<double>(StepIndex) / StepCount * 100.0));
}

std::string DeviceLink::Tr(const char* source, std::initializer_list<std::string_view> args) const {
  return FormatText(view_.Texts().Translate("Link", source), args);
}

void DeviceLink::SetStatus(const char* text) {
  statusText_ = text;
  view_.SetStatusText(Tr(text));
}

void DeviceLink::UpdateStatusDialog() {
  view_.UpdateStatusDialog(Tr(statusText_.c_str()), ProgressPercent());
}

void DeviceLink::Timer(LinkTimer timer, bool running) {
  // The pacing starts or stops: nothing of its own is on the line, and a
  // new link learns how fast its line answers anew.
  if (timer == LinkTimer::Hold) {
    ResetRepair();
    if (running) slowestAnswer_ = 0;
  }
  timers_[static_cast<std::size_t>(timer)] = running;
  // Whatever stops the transfer ticks ends a verify read with them.
  if (timer == LinkTimer::Transfer && !running) verifying_ = false;
  if (timer == LinkTimer::Hold) UpdateBacklog();
  view_.SetTimerRunning(timer, running);
}

std::string PortProblemText(const std::string& name, const SerialPortError& error, const Translator& texts) {
  const char* pattern = DSP_TRANSLATE_NOOP("Link", "无法打开端口 %1");
  switch (error.fault()) {
    case PortFault::Missing:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 不存在(设备未连接或已拔出)");
      break;
    case PortFault::Busy:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 正被其他程序占用");
      break;
    case PortFault::PermissionDenied:
      pattern = error.group().empty()
                    ? DSP_TRANSLATE_NOOP("Link", "没有权限打开端口 %1,请将当前用户加入拥有该设备的用户组后重新登录")
                    : DSP_TRANSLATE_NOOP("Link", "没有权限打开端口 %1,请将当前用户加入 %2 组后重新登录");
      break;
    case PortFault::Unresolved:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 的主机名无法解析");
      break;
    case PortFault::Refused:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 拒绝连接(服务器未运行或端口号有误)");
      break;
    case PortFault::NoAnswer:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 无应答(连接超时)");
      break;
    case PortFault::Closed:
      pattern = DSP_TRANSLATE_NOOP("Link", "端口 %1 的连接已被服务器关闭");
      break;
    case PortFault::Other:
      break;
  }
  return FormatText(texts.Translate("Link", pattern), {name, error.group()});
}

void DeviceLink::SendStep(int step, bool upload, int modeNumber) {
  try {
    SendStepRequest(port_, store_, step, upload, modeNumber);
  } catch (const SerialPortError& e) {
    // The step stays unanswered and the sequence times out as usual.
    Log(std::string("write failed: ") + e.what());
  }
}

void DeviceLink::EmptyQueues(bool values, bool bands) {
  if (values) valueQueue_.count = 0;
  if (bands) eqQueue_.count = 0;
}

void DeviceLink::LinkBtnClick(bool connect) {
  // Either button ends a transfer in progress.
  if (TimerRunning(LinkTimer::Transfer)) view_.TransferBroken(transfer_);
  view_.ShowLinkButtons(connect);
  // Nobody answered yet in the background search: the port, if open, was
  // only being tried.
  const bool searching = reconnecting_ && !Connected();
  // Either button is the user taking over: no background reconnect.
  reconnecting_ = false;
  if (connect) {
    view_.ShowPortProblem(std::string());
    DeviceAnswered = 0;
    ScanIndex = 0;
    SuppressSend = 0;
    SelectPort(0);
    Timer(LinkTimer::Scan, true);
    Timer(LinkTimer::Transfer, false);
    Timer(LinkTimer::Hold, false);
    SetStatus(DSP_TRANSLATE_NOOP("Link", "设备搜索..."));
    StepIndex = 0;
    FirstDownloadMarker = 0;
    StepCount = 8;
    UpdateStatusDialog();
    view_.SetStatusDialogVisible(true);
    return;
  }
  LinkState = 0;
  Timer(LinkTimer::Scan, false);
  Timer(LinkTimer::Transfer, false);
  Timer(LinkTimer::Hold, false);
  if (searching) {
    // No goodbye to whatever is on a port being tried, and the port is
    // left free for other programs.
    if (port_.IsOpen()) port_.Close();
  } else {
    SendLinkControl(port_, LinkGoodbye);
  }
  SetStatus(kNotLinkedText);
  StepCount = 8;
  UpdateStatusDialog();
  view_.SetStatusDialogVisible(false);
}

void DeviceLink::OnCloseRequest() {
  if (LinkState == 2) SendLinkControl(port_, LinkGoodbye);
}

void DeviceLink::PortGone(const SerialPortError& why) {
  const std::string name = port_.Name();
  if (port_.IsOpen()) port_.Close();
  const bool linked = Connected();
  Log(Tr(DSP_TRANSLATE_NOOP("Link", "端口 %1 已断开"), {name}));
  // An unplugged device explains itself; a connection that failed or was
  // closed is told why (refused, no answer, closed by the server).
  if (why.fault() != PortFault::Missing) {
    const std::string problem = PortProblemText(name, why, view_.Texts());
    Log(problem);
    view_.ShowPortProblem(problem);
  }
  // While scanning, the port just tried vanished: the scan goes on, and a
  // hello it may have acknowledged no longer counts.
  if (!linked) {
    DeviceAnswered = 0;
    return;
  }
  Timer(LinkTimer::Hold, false);
  MissCount = 0;
  SetLinkStatus(7);
}

void DeviceLink::BeginReconnectScan(const char* status) {
  reconnecting_ = true;
  // Nothing is linked while the search runs (a scan the user started while
  // linked leaves the old state): writes are not sent to ports being tried.
  LinkState = 0;
  view_.ShowLinkButtons(false);
  SetStatus(status);
  UpdateStatusDialog();
  view_.SetStatusDialogVisible(false);
  DeviceAnswered = 0;
  StepIndex = 0;
  StepCount = 8;
  // As after a connect: the first download of the new link counts as the
  // first one (the keyboard-lock prompt comes again).
  FirstDownloadMarker = 0;
  RestartScanRound();
  Timer(LinkTimer::Scan, true);
}

void DeviceLink::RestartScanRound() {
  ScanIndex = 0;
  if (ListPorts) SetPortList(ListPorts());
  SelectPort(0);
}

void DeviceLink::Timer1Timer() {
  // The background reconnect scans without the status dialog in the way.
  if (!reconnecting_) view_.SetStatusDialogVisible(true);
  if (DeviceAnswered == 1) {
    SetLinkStatus(4);
    return;
  }
  // A port still being opened (a network connection under way) keeps its
  // turn until its line is up or it has failed; the port's own connect
  // time bounds the wait.
  if (port_.IsOpen() && port_.Opening()) return;
  if (ScanIndex > LastPortIndex + 1 || portIndex_ < 0) {
    if (!reconnecting_) {
      ScanIndex = 0;
      SetLinkStatus(9);
      return;
    }
    // The next round, at once on its first port; the processor may come
    // back on any port.
    RestartScanRound();
    if (portIndex_ < 0) return;  // no ports at all: look again next tick
  }
  // Past the end of the list the selection goes away and the attempt fails;
  // the next tick then reports the failure.
  std::string name;
  try {
    if (port_.IsOpen()) port_.Close();
    SelectPort(ScanIndex);
    name = portIndex_ >= 0 ? portList_[static_cast<std::size_t>(portIndex_)] : std::string();
    port_.SetName(name);
    LastPortIndex = portIndex_;
    if (name.empty()) throw SerialPortError("no port selected");
    port_.Open();
    // A port that opens in the background reports a failure later; until
    // then the last problem stands.
    if (!port_.Opening()) view_.ShowPortProblem(std::string());
    SendLinkControl(port_, LinkHello);
  } catch (const SerialPortError& e) {
    // Missing, busy or refused: try the next port on the next tick. The
    // user is told why, unless this was only the end of the list.
    if (!name.empty() && !port_.IsOpen()) {
      const std::string problem = PortProblemText(name, e, view_.Texts());
      Log(problem);
      view_.ShowPortProblem(problem);
    }
  }
  ++ScanIndex;
}

void DeviceLink::Timer2Timer() {
  if (StepTicks < kFailTicks) ++StepTicks;
  UpdateStatusDialog();
  // The download of a background reconnect runs without the dialog too,
  // and so does a verify read, which changes nothing on the screen.
  if (!reconnecting_ && !verifying_) view_.SetStatusDialogVisible(true);

  if (TransferEvent == 2 || (TransferEvent == 1 && UploadMode == 1)) {
    if (StepIndex >= StepCount) {
      TransferEvent = 0;
      const bool verify = verifying_;
      Timer(LinkTimer::Transfer, false);
      if (verify) {
        FinishVerify();
      } else {
        SetLinkStatus(1);
      }
    } else {
      int mode = 0;
      if (StepIndex == kNameStep) {
        mode = ModeNameIndex;
        ++ModeNameIndex;
        if (ModeNameIndex > kModeCount) {
          ModeNameIndex = 0;
          ++StepIndex;
        }
      } else if (StepIndex == kBlockLastStep) {
        // The name requests start here. A download that failed while the
        // last name was outstanding leaves the index past the last mode;
        // asking for a mode that does not exist would never be answered.
        if (ModeNameIndex > kLastModeNumber) ModeNameIndex = 0;
        mode = ModeNameIndex;
        ++ModeNameIndex;
        ++StepIndex;
      } else {
        ++StepIndex;
      }
      SendStep(StepIndex, UploadMode == 1, mode);
    }
    TransferEvent = 3;
    StepTicks = 0;
  } else if (TransferEvent == 3 && StepTicks > kRepeatTicks) {
    if (StepIndex == 0) SendStep(0, UploadMode == 1);
    TransferEvent = 4;
    StepTicks = 0;
  } else if (TransferEvent == 4 && StepTicks >= kFailTicks) {
    TransferEvent = 0;
    SetLinkStatus(9);
  } else if ((TransferEvent == 0 || (TransferEvent == 1 && UploadMode == 0)) && StepTicks >= kFailTicks) {
    // A reload or upload started while no request was marked as sent (a
    // band write's acknowledgement still outstanding, or the recall's own
    // acknowledgement): its first request got no answer for 10 s either.
    // Without this the sequence would wait for ever.
    TransferEvent = 0;
    SetLinkStatus(9);
  }
}

// The common start of a transfer sequence: the scan stops, the transfer
// ticks start, the queues empty (the EQ queue survives an upload), pacing
// stops, and the step counters are set.
void DeviceLink::BeginSequence(int lastStep, int uploadMode, bool emptyEqQueue) {
  Timer(LinkTimer::Scan, false);
  Timer(LinkTimer::Transfer, true);
  EmptyQueues(true, emptyEqQueue);
  Timer(LinkTimer::Hold, false);
  StepIndex = 0;
  StepCount = static_cast<decltype(StepCount)>(lastStep);
  UploadMode = uploadMode;
}

bool DeviceLink::StartVerifyRead() {
  // Linked and idle, and every write answered: the blocks then hold what
  // the processor has of the window's setting.
  if (LinkState != 2 || TimerRunning(LinkTimer::Scan) || TimerRunning(LinkTimer::Transfer) || TxReady != 1 ||
      valueQueue_.count != 0 || eqQueue_.count != 0 || PendingAction != 0)
    return false;
  verifyImage_ = store_.DeviceImage;
  BeginSequence(kBlockLastStep, 0, /*emptyEqQueue=*/true);
  verifying_ = true;
  transfer_ = Transfer::Verify;
  view_.TransferStarted(transfer_);
  SetStatus(DSP_TRANSLATE_NOOP("Link", "核对中..."));
  SendStep(0, false);
  // The first request counts as sent, as in the download: unanswered, it
  // is repeated and ends in failure like every other step.
  TransferEvent = 3;
  StepTicks = 0;
  LinkState = 0;
  return true;
}

void DeviceLink::FinishVerify() {
  LinkState = 2;
  EmptyQueues(true, true);
  SetStatus(DSP_TRANSLATE_NOOP("Link", "设备已连接"));
  UpdateStatusDialog();
  Timer(LinkTimer::Hold, true);
  view_.TransferFinished(Transfer::Verify);
}

void DeviceLink::SetLinkStatus(int code) {
  switch (code) {
    case 1:  // sequence complete
      reconnecting_ = false;
      store_.SceneFlag = store_.Device(0, 1);
      if (FirstDownloadMarker == 0) FirstDownloadMarker = 1;
      completing_ = true;
      view_.RefreshFromStore(20);
      completing_ = false;
      LinkState = 2;
      EmptyQueues(true, true);
      view_.ShowLinkButtons(true);
      SetStatus(DSP_TRANSLATE_NOOP("Link", "设备已连接"));
      UpdateStatusDialog();
      view_.SetStatusDialogVisible(false);
      view_.ShowMainWindow();
      Timer(LinkTimer::Hold, true);
      view_.TransferFinished(transfer_);
      break;
    case 2:  // reload the channel blocks after a mode recall
      BeginSequence(kBlockLastStep, 0, /*emptyEqQueue=*/true);
      transfer_ = Transfer::Reload;
      view_.TransferStarted(transfer_);
      SetStatus(DSP_TRANSLATE_NOOP("Link", "加载中..."));
      SendStep(0, false);
      LinkState = 0;
      break;
    case 3:  // mode saved
      view_.RebuildModeList();
      LinkState = 2;
      SetStatus(DSP_TRANSLATE_NOOP("Link", "设备已连接"));
      view_.ShowMessage(Tr(DSP_TRANSLATE_NOOP("Link", "保存成功!")));
      break;
    case 4:  // the processor answered: full download
      BeginSequence(kDownloadLastStep, 0, /*emptyEqQueue=*/true);
      transfer_ = Transfer::Download;
      view_.TransferStarted(transfer_);
      SendStep(0, false);
      // The first request counts as sent, so that an unanswered one is
      // repeated and ends in failure like every other step.
      TransferEvent = 3;
      StepTicks = 0;
      LinkState = 0;
      SetStatus(DSP_TRANSLATE_NOOP("Link", "连接中..."));
      break;
    case 6:  // upload all channel blocks
      if (LinkState != 2) break;
      BeginSequence(kBlockLastStep, 1, /*emptyEqQueue=*/false);
      transfer_ = Transfer::Upload;
      view_.TransferStarted(transfer_);
      SetStatus(DSP_TRANSLATE_NOOP("Link", "下载数据..."));
      LinkState = 0;
      SendStep(0, true);
      break;
    case 7:  // link lost
      if (TimerRunning(LinkTimer::Transfer)) view_.TransferBroken(transfer_);
      Timer(LinkTimer::Transfer, false);
      Timer(LinkTimer::Scan, false);
      SuppressSend = 0;
      LinkState = 0;
      view_.ShowLinkButtons(false);
      Log(Tr(DSP_TRANSLATE_NOOP("Link", "已断开连接!")));
      // A mode save or recall in flight died with the link: the next
      // acknowledgement, from whatever link comes next, is not its answer
      // and must not report it saved or start a reload.
      PendingAction = 0;
      RepeatLast = 0;
      if (autoReconnect_) {
        // No modal box: it would hold up the scan that brings the link back.
        Timer(LinkTimer::Hold, false);
        BeginReconnectScan(kLostReconnectingText);
        break;
      }
      SetStatus(kNotLinkedText);
      UpdateStatusDialog();
      view_.SetStatusDialogVisible(false);
      view_.ShowMessage(Tr(DSP_TRANSLATE_NOOP("Link", "已断开连接!")));
      break;
    case 9:  // connection failed
      if (TimerRunning(LinkTimer::Transfer)) view_.TransferBroken(transfer_);
      Timer(LinkTimer::Transfer, false);
      Timer(LinkTimer::Scan, false);
      SuppressSend = 0;
      if (reconnecting_) {
        // The processor answered but its download broke off: keep looking.
        Log(Tr(DSP_TRANSLATE_NOOP("Link", "连接失败!")));
        BeginReconnectScan(kReconnectingText);
        break;
      }
      SetStatus(kNotLinkedText);
      view_.ShowLinkButtons(false);
      UpdateStatusDialog();
      view_.SetStatusDialogVisible(false);
      // Users switch their equipment on in any order: after the failure
      // the processor is looked for in the background, as after a lost
      // link. The search already runs while the box is up.
      if (autoReconnect_) BeginReconnectScan(kSearchingText);
      view_.ShowMessage(Tr(DSP_TRANSLATE_NOOP("Link", "连接失败!")));
      break;
    default:
      break;
  }
}

}  // namespace dsp
