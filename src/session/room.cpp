#include "session/room.h"

#include <algorithm>

#include "link/qt_link_timers.h"
#include "ports/qt_any_port.h"
#include "ports/qt_serial_port.h"
#include "session/watched_port.h"

namespace dsp {

namespace {

constexpr int kRecallAddress = 0x0902;
// Bounds on each operation. The link ends a silent step by itself (a scan
// after its last port, a transfer step after 11 s); these only guard
// against an operation that would never end.
constexpr int kOperationMs = 120000;
constexpr int kQuietPollMs = 10;
constexpr int kQuietPolls = 300;  // 3 s
// The link's messages as the view hears them (in the source texts: the
// operations report in their own words).
constexpr const char* kFailedText = DSP_TRANSLATE_NOOP("Link", "连接失败!");
constexpr const char* kLostText = DSP_TRANSLATE_NOOP("Link", "已断开连接!");
constexpr const char* kSavedText = DSP_TRANSLATE_NOOP("Link", "保存成功!");

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

}  // namespace

// The room's LinkView: no window. It runs the link's three timers on Qt
// timers, keeps the store's panel order in step with each completed
// download (as the window's refresh does), records the messages for the
// running operation and hands every event to the room.
class Room::View : public LinkView {
 public:
  View(Room& room) : room_(room) {}
  void Attach(DeviceLink& link) { timers_ = std::make_unique<QtLinkTimers>(link); }
  void Detach() { timers_.reset(); }

  void SetPhase(const std::string& phase) { phase_ = phase; }
  const std::vector<std::string>& messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  int completions() const { return completions_; }

  void SetStatusText(const std::string&) override {
    if (room_.OnStatusChanged) room_.OnStatusChanged();
  }
  void UpdateStatusDialog(const std::string&, int percent) override {
    if (phase_.empty() || !timers_ || !timers_->Transfer().isActive() || !room_.OnProgress) return;
    room_.OnProgress(phase_, std::clamp(percent, 0, 100));
  }
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string& text) override {
    messages_.push_back(text);
    room_.Poke();
  }
  void ShowLinkButtons(bool) override {}
  void RefreshFromStore(int) override {
    // What the window shows comes from the panel order; a room reads it the
    // same way (the processor's rights and current mode).
    room_.store_.RebuildParamTable(room_.store_.SceneFlag);
    ++completions_;
    room_.Poke();
  }
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(LinkTimer timer, bool running) override {
    if (timers_) timers_->SetRunning(timer, running);
  }
  void AppendLog(const std::string&) override {}
  void ClearLog() override {}
  void ShowDeviceId(const std::string&) override {}
  void ShowSelectedPort(int) override {}
  void TransferBroken(Transfer) override { room_.Poke(); }

 private:
  Room& room_;
  std::unique_ptr<QtLinkTimers> timers_;
  std::string phase_;
  std::vector<std::string> messages_;
  int completions_ = 0;  // completed sequences (downloads, reloads, uploads)
};

Room::Room(std::string name, std::vector<std::string> ports) : Room(std::move(name), std::move(ports), nullptr) {}

Room::Room(std::string name, std::vector<std::string> ports, std::unique_ptr<SerialPort> port)
    : name_(std::move(name)), ports_(std::move(ports)), port_(std::move(port)) {
  if (ports_.empty()) ports_ = QtSerialPort::AvailablePortNames();
  if (!port_) port_ = MakePort();
  watched_ = std::make_unique<WatchedPort>(*port_);
  view_ = std::make_unique<View>(*this);
  link_ = std::make_unique<DeviceLink>(store_, *watched_, *view_);
  view_->Attach(*link_);
  deadline_.setSingleShot(true);
  QObject::connect(&deadline_, &QTimer::timeout, &context_, [this] {
    Finish(false, std::string("the ") + op_.what + " did not finish in time");
  });
  quiet_.setSingleShot(true);
  quiet_.setInterval(kQuietPollMs);
  QObject::connect(&quiet_, &QTimer::timeout, &context_, [this] { StartWhenQuiet(); });
}

Room::~Room() {
  op_ = Operation{};
  OnStatusChanged = nullptr;
  OnProgress = nullptr;
  link_->OnCloseRequest();
  view_->Detach();
  link_.reset();
  if (port_->IsOpen()) port_->Close();
}

bool Room::Linked() const {
  return link_->LinkState == 2 && link_->Connected();
}

std::string Room::portName() const {
  return port_->Name();
}

void Room::SetAutoReconnect(bool on) {
  link_->SetAutoReconnect(on);
  link_->ListPorts = on ? std::function<std::vector<std::string>()>([this] { return ports_; }) : nullptr;
}

void Room::FailSoon(std::string error, Done done) {
  QTimer::singleShot(0, &context_, [this, error = std::move(error), done = std::move(done)] {
    // A refusal while another operation runs leaves that one's result alone.
    if (!Busy()) error_ = error;
    if (done) done(false);
  });
}

void Room::Begin(const char* what, std::string phase, std::function<void()> start,
                 std::function<bool(int before)> finished, Done done) {
  if (Busy()) {
    FailSoon("the processor is busy", std::move(done));
    return;
  }
  error_.clear();
  op_ = Operation{};
  op_.what = what;
  op_.phase = std::move(phase);
  op_.start = std::move(start);
  op_.done = std::move(done);
  op_.finished = [this, finished = std::move(finished)] { return finished(op_.before); };
  StartWhenQuiet();
}

void Room::StartWhenQuiet() {
  if (!Busy() || op_.started) return;
  if (link_->TxReady == 0 && link_->LinkState == 2 && op_.quietWaits < kQuietPolls) {
    ++op_.quietWaits;
    quiet_.start();
    return;
  }
  op_.started = true;
  view_->ClearMessages();
  view_->SetPhase(op_.phase);
  op_.before = view_->completions();
  deadline_.start(kOperationMs);
  op_.start();
  Poke();
}

void Room::Poke() {
  if (pokeQueued_ || !Busy()) return;
  pokeQueued_ = true;
  QTimer::singleShot(0, &context_, [this] {
    pokeQueued_ = false;
    Evaluate();
  });
}

void Room::Evaluate() {
  if (!Busy() || !op_.started) return;
  if (!op_.error.empty()) {
    Finish(false, op_.error);
    return;
  }
  if (op_.finished()) {
    Finish(true);
    return;
  }
  if (!view_->messages().empty()) Finish(false, FailureLine(view_->messages().front()));
}

std::string Room::FailureLine(const std::string& message) const {
  const std::string problem = watched_->LastProblem();
  const std::string what = op_.what;
  if (message == kLostText)
    return "the line was lost during the " + what + ": " +
           (problem.empty() ? std::string("the processor stopped answering") : problem);
  if (message == kFailedText) {
    if (view_->completions() == 0 && !problem.empty()) return "cannot reach the processor: " + problem;
    if (view_->completions() == 0 && link_->DeviceAnswered == 0)
      return "no processor answered on " + (ports_.empty() ? std::string("any serial port") : Joined(ports_));
    return "the processor stopped answering during the " + what;
  }
  return "the " + what + " failed: " + message;
}

void Room::Finish(bool ok, std::string error) {
  if (!Busy()) return;
  deadline_.stop();
  quiet_.stop();
  view_->SetPhase(std::string());
  Done done = std::move(op_.done);
  op_ = Operation{};
  error_ = ok ? std::string() : std::move(error);
  done(ok);
}

void Room::Close() {
  if (Busy()) Finish(false, "stopped");
  // The disconnect button: the timers stop and the goodbye goes out, in a
  // transfer too (a processor cut off mid-sequence hears it as well).
  if (port_->IsOpen() && !port_->Opening()) link_->LinkBtnClick(false);
  if (port_->IsOpen()) port_->Close();
}

void Room::Connect(Done done) {
  Begin(
      "download", "downloading",
      [this] {
        watched_->ForgetProblem();
        link_->SetPortList(ports_);
        link_->LinkBtnClick(true);
        // The first port is tried at once rather than after a second.
        link_->Timer1Timer();
      },
      [this](int before) { return view_->completions() > before && link_->LinkState == 2; }, std::move(done));
}

void Room::Download(Done done) {
  if (link_->LinkState != 2 && !Busy()) return FailSoon("the processor is busy", std::move(done));
  Begin(
      "download", "verifying", [this] { link_->SetLinkStatus(4); },
      [this](int before) { return view_->completions() > before && link_->LinkState == 2; }, std::move(done));
}

void Room::Verify(Done done) {
  if (link_->LinkState != 2 && !Busy()) return FailSoon("the processor is busy", std::move(done));
  Begin(
      "download", "verifying",
      [this] {
        for (int c = 0; c < 9; ++c) store_.DeviceImage[static_cast<std::size_t>(c)].fill(-1);
        link_->SetLinkStatus(4);
      },
      [this](int before) { return view_->completions() > before && link_->LinkState == 2; }, std::move(done));
}

void Room::Upload(Done done) {
  if (link_->LinkState != 2 && !Busy()) return FailSoon("the processor is busy", std::move(done));
  Begin(
      "upload", "uploading", [this] { link_->SetLinkStatus(6); },
      [this](int before) { return view_->completions() > before && link_->LinkState == 2; }, std::move(done));
}

void Room::RecallMode(int slot, Done done) {
  if (link_->LinkState != 2 && !Busy()) return FailSoon("the processor is busy", std::move(done));
  Begin(
      "mode recall", "loading",
      [this, slot] {
        if (link_->TxReady == 0) {
          op_.error = "the processor is busy: a frame is still waiting for its answer";
          return;
        }
        // Sent at once: its acknowledgement reloads the processor's setting.
        link_->WriteParam(kRecallAddress, slot);
      },
      [this](int before) { return view_->completions() > before && link_->LinkState == 2; }, std::move(done));
}

void Room::SaveMode(int slot, const std::string& name, Done done) {
  if (link_->LinkState != 2 && !Busy()) return FailSoon("the processor is busy", std::move(done));
  Begin(
      "mode save", std::string(),
      [this, slot, name] {
        if (!link_->StartModeSave(slot, name)) op_.error = "the processor is busy";
      },
      [this](int) {
        const auto& shown = view_->messages();
        return std::find(shown.begin(), shown.end(), kSavedText) != shown.end() && link_->LinkState == 2;
      },
      std::move(done));
}

}  // namespace dsp
