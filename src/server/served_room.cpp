#include "server/served_room.h"

#include <cstdio>

#include "link/device_link.h"
#include "ports/qt_any_port.h"
#include "link/qt_link_timers.h"
#include "presets/preset_file.h"

namespace dsp::server {

namespace {

constexpr int kPollMs = 10;
// A frame in flight is answered within a pacing period; an operation that
// waits longer than this for a quiet line finds the room busy.
constexpr int kQuietWaitPolls = 300;

const char* const kChannelNames[9] = {"music",       "microphone A", "microphone B", "echo", "reverb",
                                      "main output", "subwoofer",    "centre",       "rear"};

// The preset reader's notices are not wanted here: the request was checked
// before, and the upload is started by the restore itself.
class QuietEvents : public PresetEvents {
 public:
  void ShowNotice(const std::string&, const std::string& english) override { notice = english; }
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
  void RequestUpload() override {}
  std::string notice;
};

}  // namespace

const char* StateName(RoomState state) {
  switch (state) {
    case RoomState::Searching:
      return "searching";
    case RoomState::Downloading:
      return "downloading";
    case RoomState::Linked:
      return "linked";
    case RoomState::Busy:
      return "busy";
  }
  return "";
}

bool RoomSnapshot::operator==(const RoomSnapshot& other) const {
  return state == other.state && mode == other.mode && modeName == other.modeName &&
         volumes[0] == other.volumes[0] && volumes[1] == other.volumes[1] && volumes[2] == other.volumes[2] &&
         scene == other.scene;
}

// The room's link view: no screen; it keeps the panel order in step with
// every completed transfer, runs the timers and tells the room.
class ServedRoom::View : public LinkView {
 public:
  explicit View(ServedRoom& room) : room_(room) {}
  void SetStatusText(const std::string&) override { room_.Publish(); }
  void UpdateStatusDialog(const std::string&, int) override {}
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string& text) override {
    if (room_.Log) room_.Log(text);
  }
  void ShowLinkButtons(bool connected) override {
    if (!connected) room_.OnLinkLost();
    room_.Publish();
  }
  void RefreshFromStore(int) override { room_.store_.RebuildParamTable(room_.store_.SceneFlag); }
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(LinkTimer timer, bool running) override {
    if (room_.timers_) room_.timers_->SetRunning(timer, running);
  }
  void AppendLog(const std::string&) override {}
  void ClearLog() override {}
  void ShowDeviceId(const std::string&) override {}
  void ShowSelectedPort(int) override {}
  void TransferStarted(Transfer kind) override {
    transfer = kind;
    running = true;
    room_.Publish();
  }
  void TransferFinished(Transfer kind) override {
    running = false;
    room_.OnTransferFinished(kind);
    room_.Publish();
  }
  void TransferBroken(Transfer) override {
    running = false;
    room_.OnTransferBroken();
    room_.Publish();
  }

  Transfer transfer = Transfer::Download;
  bool running = false;

 private:
  ServedRoom& room_;
};

ServedRoom::ServedRoom(std::string name, std::string port)
    : ServedRoom(std::move(name), port, MakePort()) {}

ServedRoom::ServedRoom(std::string name, std::string portName, std::unique_ptr<SerialPort> port)
    : name_(std::move(name)), portName_(std::move(portName)), port_(std::move(port)) {
  view_ = std::make_unique<View>(*this);
  link_ = std::make_unique<DeviceLink>(store_, *port_, *view_);
  timers_ = std::make_unique<QtLinkTimers>(*link_);
  // After a loss the processor is looked for again, on this room's port
  // only, once a second.
  link_->SetAutoReconnect(true);
  link_->ListPorts = [this] { return std::vector<std::string>{portName_}; };
  link_->OnPacingTick = [this] { FlushVolumes(); };
  link_->PacingTickWanted = [this] {
    const bool pending = pendingVolume_[0] >= 0 || pendingVolume_[1] >= 0 || pendingVolume_[2] >= 0;
    return pending && link_->valueQueue().count <= 1;
  };
  poll_.setInterval(kPollMs);
  QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
  timeout_.setSingleShot(true);
  QObject::connect(&timeout_, &QTimer::timeout, [this] {
    if (!done_) return;
    Done done = std::move(done_);
    done_ = nullptr;
    done({503, "the room did not finish within " + std::to_string(waitLimitMs_ / 1000) +
                   " s; it goes on, and the events tell its end",
          {}});
  });
}

ServedRoom::~ServedRoom() {
  Stop();
  link_->OnPacingTick = nullptr;
  link_->PacingTickWanted = nullptr;
  timers_.reset();
  link_.reset();
}

void ServedRoom::Start() {
  link_->SetPortList({portName_});
  link_->LinkBtnClick(true);
  timers_->ScanAtOnce();
  Publish();
}

void ServedRoom::Stop() {
  if (!link_) return;
  poll_.stop();
  timeout_.stop();
  done_ = nullptr;
  link_->OnCloseRequest();
  for (LinkTimer timer : {LinkTimer::Scan, LinkTimer::Transfer, LinkTimer::Hold}) timers_->SetRunning(timer, false);
  if (port_->IsOpen()) port_->Close();
}

RoomSnapshot ServedRoom::Snapshot() const {
  RoomSnapshot s;
  if (!link_->Connected()) {
    s.state = RoomState::Searching;
  } else if (op_ != Op::None) {
    s.state = RoomState::Busy;
  } else if (link_->LinkState == 2) {
    s.state = RoomState::Linked;
  } else if (view_->running && view_->transfer == Transfer::Download) {
    s.state = RoomState::Downloading;
  } else {
    s.state = RoomState::Busy;
  }
  // What the room holds is known once a download has completed.
  if (link_->FirstDownloadMarker != 0) {
    const int current = store_.Device(9, 2);
    if (current >= 0 && current < kModeCount) {
      s.mode = current + 1;
      s.modeName = store_.ModeNames[static_cast<std::size_t>(current)];
    }
    for (int v = 0; v < 3; ++v) {
      const auto volume = static_cast<desk::Volume>(v);
      s.volumes[v] = pendingVolume_[v] >= 0 ? pendingVolume_[v] : store_.Param(desk::CurrentVolumeAddress(volume));
    }
    s.scene = store_.Param(desk::kSceneAddress) != 0 ? 1 : 0;
  }
  return s;
}

std::string ServedRoom::DeviceId() const {
  return link_->DeviceId;
}

bool ServedRoom::Ready() const {
  return Snapshot().state == RoomState::Linked;
}

Outcome ServedRoom::NotReady() const {
  switch (Snapshot().state) {
    case RoomState::Searching:
      return {409, "room " + name_ + " is not linked (no processor answers on " + portName_ + ")", {}};
    case RoomState::Downloading:
      return {503, "room " + name_ + " is downloading the processor's setting; try again in a few seconds", {}};
    case RoomState::Busy:
      return {409, "room " + name_ + " is busy: a transfer runs", {}};
    case RoomState::Linked:
      break;
  }
  return {};
}

void ServedRoom::Publish() {
  const RoomSnapshot now = Snapshot();
  if (now == published_) return;
  published_ = now;
  if (Changed) Changed(*this);
}

void ServedRoom::Finish(const Outcome& outcome) {
  op_ = Op::None;
  poll_.stop();
  timeout_.stop();
  if (done_) {
    Done done = std::move(done_);
    done_ = nullptr;
    done(outcome);
  }
  Publish();
}

void ServedRoom::RecallMode(int mode, Done done) {
  if (!Ready()) {
    done(NotReady());
    return;
  }
  op_ = Op::Recall;
  recallSlot_ = mode - 1;
  polls_ = 0;
  done_ = std::move(done);
  timeout_.start(waitLimitMs_);
  Publish();
  // Waits for a quiet line; Poll stops the timer when it starts the
  // operation's first step.
  poll_.start();
  Poll();
}

void ServedRoom::Restore(std::string content, Done done) {
  if (!Ready()) {
    done(NotReady());
    return;
  }
  // The file's entries over what the processor holds now: entries the file
  // leaves out keep the processor's values.
  held_ = store_.DeviceImage;
  QuietEvents events;
  if (LoadPresetContent(store_, content, events) != LoadOutcome::Accepted) {
    done({400, "the preset file is refused: " + events.notice, {}});
    return;
  }
  for (int c = 0; c < 9; ++c) expected_[static_cast<std::size_t>(c)] = store_.DeviceImage[static_cast<std::size_t>(c)];
  op_ = Op::Upload;
  polls_ = 0;
  done_ = std::move(done);
  timeout_.start(waitLimitMs_);
  Publish();
  // Waits for a quiet line; Poll stops the timer when it starts the
  // operation's first step.
  poll_.start();
  Poll();
}

void ServedRoom::Poll() {
  // An operation starts on a quiet line: no frame in flight, no write
  // waiting, so that no late acknowledgement runs into its sequence.
  if (!link_->Connected()) {
    GiveUp({409, "room " + name_ + " lost its link", {}});
    return;
  }
  const bool quiet = link_->TxReady != 0 && link_->valueQueue().count == 0 && link_->eqQueue().count == 0 &&
                     link_->LinkState == 2 && pendingVolume_[0] < 0 && pendingVolume_[1] < 0 &&
                     pendingVolume_[2] < 0;
  if (!quiet) {
    if (++polls_ > kQuietWaitPolls) GiveUp({409, "room " + name_ + " is busy: its line does not fall quiet", {}});
    return;
  }
  poll_.stop();
  if (op_ == Op::Recall) {
    // Sent at once on a quiet line: its acknowledgement reloads the
    // processor's setting.
    link_->WriteParam(desk::kCurrentModeAddress, recallSlot_);
  } else if (op_ == Op::Upload) {
    link_->SetLinkStatus(6);
  }
}

void ServedRoom::GiveUp(const Outcome& outcome) {
  // Nothing was sent: a restore's file leaves the stores again, which keep
  // what the processor holds.
  if (op_ == Op::Upload) {
    store_.DeviceImage = held_;
    store_.RebuildParamTable(store_.SceneFlag);
  }
  Finish(outcome);
}

void ServedRoom::OnTransferFinished(Transfer kind) {
  if (op_ == Op::Recall && kind == Transfer::Reload) {
    Finish({});
  } else if (op_ == Op::Upload && kind == Transfer::Upload) {
    op_ = Op::Verify;
    // Nothing stale can pass the check.
    for (int c = 0; c < 9; ++c) store_.DeviceImage[static_cast<std::size_t>(c)].fill(-1);
    link_->SetLinkStatus(4);
  } else if (op_ == Op::Verify && kind == Transfer::Download) {
    Outcome outcome;
    for (int c = 0; c < 9; ++c) {
      for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i) {
        const std::int32_t want = expected_[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
        const std::int32_t got = store_.Device(c, i);
        if (want == got) continue;
        char line[160];
        std::snprintf(line, sizeof line, "%s (channel %d) entry %d: file %d, processor %d", kChannelNames[c], c, i,
                      want, got);
        outcome.differences.emplace_back(line);
      }
    }
    if (!outcome.differences.empty()) {
      outcome.status = 502;
      outcome.message = "not verified: the processor holds " + std::to_string(outcome.differences.size()) +
                        " value(s) other than the file";
    }
    Finish(outcome);
  }
}

void ServedRoom::OnTransferBroken() {
  if (op_ == Op::None) return;
  const bool upload = op_ == Op::Upload;
  Finish({409,
          "room " + name_ + " stopped answering during the " +
              (op_ == Op::Recall ? "mode recall" : upload ? "restore (it may hold part of the file: restore again)"
                                                          : "verification"),
          {}});
}

void ServedRoom::OnLinkLost() {
  pendingVolume_[0] = pendingVolume_[1] = pendingVolume_[2] = -1;
  if (op_ != Op::None) Finish({409, "room " + name_ + " lost its link", {}});
}

int ServedRoom::SetVolume(desk::Volume volume, int value) {
  const int limited = desk::LimitedVolume(value, store_.Param(desk::MaxVolumeAddress(volume)));
  pendingVolume_[static_cast<int>(volume)] = limited;
  FlushVolumes();
  Publish();
  return limited;
}

void ServedRoom::FlushVolumes() {
  // At most one volume write waits behind the frame in flight; newer
  // values replace the one held here, so a flood of requests becomes the
  // newest value per volume, sent as fast as the line acknowledges.
  if (link_->LinkState != 2) return;
  for (int v = 0; v < 3; ++v) {
    if (pendingVolume_[v] < 0 || link_->valueQueue().count > 1) continue;
    const int value = pendingVolume_[v];
    pendingVolume_[v] = -1;
    link_->WriteParam(desk::CurrentVolumeAddress(static_cast<desk::Volume>(v)), value);
  }
}

Outcome ServedRoom::SetScene(int scene) {
  if (store_.Param(desk::kOperatingModeAddress) == 0)
    return {409, "room " + name_ + " is in automatic mode, which holds the scene", {}};
  link_->WriteParam(desk::kSceneAddress, scene);
  store_.SceneFlag = scene;
  store_.RebuildParamTable(scene);
  Publish();
  return {};
}

std::string ServedRoom::Backup() const {
  return BuildPresetFile(store_);
}

}  // namespace dsp::server
