#include "server/served_room.h"

#include <cstdio>

#include "link/device_link.h"
#include "presets/preset_file.h"
#include "session/room.h"

namespace dsp::server {

namespace {

constexpr int kPollMs = 10;
// A frame in flight is answered within a pacing period; an operation that
// waits longer than this for a quiet line finds the room busy.
constexpr int kQuietWaitPolls = 300;

const char* const kChannelNames[9] = {"music",       "microphone A", "microphone B", "echo", "reverb",
                                      "main output", "subwoofer",    "centre",       "rear"};

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

ServedRoom::ServedRoom(std::string name, std::string port) : ServedRoom(std::move(name), port, nullptr) {}

ServedRoom::ServedRoom(std::string name, std::string portName, std::unique_ptr<SerialPort> port)
    : name_(std::move(name)), portName_(std::move(portName)) {
  room_ = std::make_unique<Room>(name_, std::vector<std::string>{portName_}, std::move(port));
  // After a loss (and after a first try that found nobody) the processor is
  // looked for again, on this room's port only, once a second.
  room_->SetAutoReconnect(true);
  room_->OnStatusChanged = [this] {
    if (!Link().Connected()) pendingVolume_[0] = pendingVolume_[1] = pendingVolume_[2] = -1;
    Publish();
  };
  Link().OnPacingTick = [this] { FlushVolumes(); };
  Link().PacingTickWanted = [this] {
    const bool pending = pendingVolume_[0] >= 0 || pendingVolume_[1] >= 0 || pendingVolume_[2] >= 0;
    return pending && Link().valueQueue().count <= 1;
  };
  poll_.setInterval(kPollMs);
  QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
  timeout_.setSingleShot(true);
  QObject::connect(&timeout_, &QTimer::timeout, [this] {
    if (!done_) return;
    Done done = std::move(done_);
    done_ = nullptr;
    done({503,
          "room " + name_ + " did not finish within " + std::to_string(waitLimitMs_ / 1000) +
              " s; it goes on, and the events tell its end",
          {}});
  });
}

ServedRoom::~ServedRoom() {
  Stop();
  Link().OnPacingTick = nullptr;
  Link().PacingTickWanted = nullptr;
  room_->OnStatusChanged = nullptr;
  room_.reset();
}

DeviceLink& ServedRoom::Link() const {
  return room_->link();
}

const ParamStore& ServedRoom::Store() const {
  return room_->store();
}

void ServedRoom::Start() {
  // A first try that finds nobody ends this operation; the background
  // search goes on by itself.
  room_->Connect([this](bool) { Publish(); });
  Publish();
}

void ServedRoom::Stop() {
  poll_.stop();
  timeout_.stop();
  done_ = nullptr;
  op_ = Op::None;
  room_->Close();
}

RoomSnapshot ServedRoom::Snapshot() const {
  RoomSnapshot s;
  const DeviceLink& link = Link();
  if (!link.Connected()) {
    s.state = RoomState::Searching;
  } else if (op_ != Op::None) {
    s.state = RoomState::Busy;
  } else if (link.LinkState == 2 && !room_->Busy()) {
    s.state = RoomState::Linked;
  } else {
    // The first download, or the one after the link came back.
    s.state = RoomState::Downloading;
  }
  // What the room holds is known once a download has completed.
  if (link.FirstDownloadMarker != 0) {
    const ParamStore& store = Store();
    const int current = store.Device(9, 2);
    if (current >= 0 && current < kModeCount) {
      s.mode = current + 1;
      s.modeName = store.ModeNames[static_cast<std::size_t>(current)];
    }
    for (int v = 0; v < 3; ++v) {
      const auto volume = static_cast<desk::Volume>(v);
      s.volumes[v] = pendingVolume_[v] >= 0 ? pendingVolume_[v] : store.Param(desk::CurrentVolumeAddress(volume));
    }
    s.scene = store.Param(desk::kSceneAddress) != 0 ? 1 : 0;
  }
  return s;
}

std::string ServedRoom::DeviceId() const {
  return Link().DeviceId;
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

void ServedRoom::GiveUp(const Outcome& outcome) {
  // Nothing was sent: a restore's file leaves the stores again, which keep
  // what the processor holds.
  if (op_ == Op::Restore) {
    room_->store().DeviceImage = held_;
    room_->store().RebuildParamTable(room_->store().SceneFlag);
  }
  Finish(outcome);
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
  // operation.
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
  ParamStore& store = room_->store();
  held_ = store.DeviceImage;
  NoticeRecorder events;
  if (LoadPresetContent(store, content, events) != LoadOutcome::Accepted) {
    done({400, "the preset file is refused: " + events.notice, {}});
    return;
  }
  for (int c = 0; c < 9; ++c) expected_[static_cast<std::size_t>(c)] = store.DeviceImage[static_cast<std::size_t>(c)];
  op_ = Op::Restore;
  polls_ = 0;
  done_ = std::move(done);
  timeout_.start(waitLimitMs_);
  Publish();
  poll_.start();
  Poll();
}

void ServedRoom::Poll() {
  // An operation starts on a quiet line: no frame in flight, no write
  // waiting here or in the pacing's queues, so that it neither starts
  // under a late acknowledgement nor has its first frame queued.
  const DeviceLink& link = Link();
  if (!link.Connected()) {
    GiveUp({409, "room " + name_ + " lost its link", {}});
    return;
  }
  const bool quiet = link.TxReady != 0 && link.valueQueue().count == 0 && link.eqQueue().count == 0 &&
                     link.LinkState == 2 && !room_->Busy() && pendingVolume_[0] < 0 && pendingVolume_[1] < 0 &&
                     pendingVolume_[2] < 0;
  if (!quiet) {
    if (++polls_ > kQuietWaitPolls) GiveUp({409, "room " + name_ + " is busy: its line does not fall quiet", {}});
    return;
  }
  poll_.stop();
  if (op_ == Op::Recall) {
    room_->RecallMode(recallSlot_, [this](bool ok) {
      if (ok) return Finish({});
      Finish({409, "room " + name_ + ": " + room_->error(), {}});
    });
  } else if (op_ == Op::Restore) {
    room_->Upload([this](bool ok) {
      if (!ok) {
        Finish({409,
                "room " + name_ + ": " + room_->error() +
                    "; the processor may now hold part of the file: restore again",
                {}});
        return;
      }
      room_->Verify([this](bool verified) { Verified(verified); });
    });
  }
}

void ServedRoom::Verified(bool ok) {
  if (!ok) {
    Finish({409, "room " + name_ + ": the file was sent but could not be verified: " + room_->error(), {}});
    return;
  }
  Outcome outcome;
  const ParamStore& store = Store();
  for (int c = 0; c < 9; ++c) {
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i) {
      const std::int32_t want = expected_[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
      const std::int32_t got = store.Device(c, i);
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

int ServedRoom::SetVolume(desk::Volume volume, int value) {
  const int limited = desk::LimitedVolume(value, Store().Param(desk::MaxVolumeAddress(volume)));
  pendingVolume_[static_cast<int>(volume)] = limited;
  FlushVolumes();
  Publish();
  return limited;
}

void ServedRoom::FlushVolumes() {
  // At most one volume write waits behind the frame in flight; newer
  // values replace the one held here, so a flood of requests becomes the
  // newest value per volume, sent as fast as the line acknowledges.
  DeviceLink& link = Link();
  if (link.LinkState != 2) return;
  for (int v = 0; v < 3; ++v) {
    if (pendingVolume_[v] < 0 || link.valueQueue().count > 1) continue;
    const int value = pendingVolume_[v];
    pendingVolume_[v] = -1;
    link.WriteParam(desk::CurrentVolumeAddress(static_cast<desk::Volume>(v)), value);
  }
}

Outcome ServedRoom::SetScene(int scene) {
  ParamStore& store = room_->store();
  if (store.Param(desk::kOperatingModeAddress) == 0)
    return {409, "room " + name_ + " is in automatic mode, which holds the scene", {}};
  Link().WriteParam(desk::kSceneAddress, scene);
  store.SceneFlag = scene;
  store.RebuildParamTable(scene);
  Publish();
  return {};
}

std::string ServedRoom::Backup() const {
  return BuildPresetFile(Store());
}

}  // namespace dsp::server
