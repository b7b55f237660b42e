#include "cli/device_session.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "link/frames.h"
#include "ports/qt_any_port.h"
#include "ports/qt_serial_port.h"

namespace dsp::cli {

namespace {

constexpr int kRecallAddress = 0x0902;
// Bounds on each step. The link ends a silent step by itself (a scan after
// its last port, a transfer step after 11 s); these only guard against a
// step that would never end.
constexpr int kConnectMs = 120000;
constexpr int kSequenceMs = 120000;
constexpr int kQuietMs = 3000;
// The link's messages, as the console view hears them (in the source texts:
// the commands report in their own words).
constexpr const char* kFailedText = DSP_TRANSLATE_NOOP("Link", "连接失败!");
constexpr const char* kLostText = DSP_TRANSLATE_NOOP("Link", "已断开连接!");
constexpr const char* kSavedText = DSP_TRANSLATE_NOOP("Link", "保存成功!");

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

}  // namespace

DeviceSession::DeviceSession(std::vector<std::string> ports, std::FILE* progress, bool progressIsTerminal)
    : ports_(std::move(ports)) {
  if (ports_.empty()) ports_ = QtSerialPort::AvailablePortNames();
  port_ = MakePort();
  watched_ = std::make_unique<WatchedPort>(*port_);
  view_ = std::make_unique<ConsoleView>(store_, progress, progressIsTerminal);
  link_ = std::make_unique<DeviceLink>(store_, *watched_, *view_);
  view_->Attach(*link_);
}

DeviceSession::~DeviceSession() {
  view_->EndProgress();
  link_->OnCloseRequest();
  view_->Detach();
  link_.reset();
  if (port_->IsOpen()) port_->Close();
}

bool DeviceSession::Fail(const std::string& line) {
  error_ = line;
  view_->EndProgress();
  return false;
}

bool DeviceSession::RunStep(const char* what, int timeoutMs, const std::function<bool()>& done) {
  view_->ClearMessages();
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done() || !view_->messages().empty() || clock.elapsed() > timeoutMs) loop.quit();
  });
  poll.start();
  if (!done()) loop.exec();
  view_->EndProgress();
  if (done()) return true;
  const std::string problem = watched_->LastProblem();
  const std::string message = view_->messages().empty() ? std::string() : view_->messages().front();
  if (message == kLostText) {
    return Fail(std::string("the line was lost during the ") + what + ": " +
                (problem.empty() ? "the processor stopped answering" : problem));
  }
  if (message == kFailedText) {
    if (view_->completions() == 0 && !problem.empty()) return Fail("cannot reach the processor: " + problem);
    if (view_->completions() == 0 && link_->DeviceAnswered == 0)
      return Fail("no processor answered on " +
                  (ports_.empty() ? std::string("any serial port") : Joined(ports_)));
    return Fail(std::string("the processor stopped answering during the ") + what);
  }
  if (!message.empty()) return Fail(std::string("the ") + what + " failed: " + message);
  return Fail(std::string("the ") + what + " did not finish in time");
}

void DeviceSession::WaitQuiet() {
  QElapsedTimer clock;
  clock.start();
  while (link_->TxReady == 0 && link_->LinkState == 2 && clock.elapsed() < kQuietMs) {
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

bool DeviceSession::Connect() {
  watched_->ForgetProblem();
  link_->SetPortList(ports_);
  view_->SetPhase("downloading");
  const int before = view_->completions();
  link_->LinkBtnClick(true);
  // The first port is tried at once rather than after a second.
  link_->Timer1Timer();
  return RunStep("download", kConnectMs,
                 [&] { return view_->completions() > before && link_->LinkState == 2; });
}

bool DeviceSession::DownloadAgain() {
  if (link_->LinkState != 2) return Fail("the processor is busy");
  WaitQuiet();
  view_->SetPhase("verifying");
  const int before = view_->completions();
  link_->SetLinkStatus(4);
  return RunStep("download", kSequenceMs,
                 [&] { return view_->completions() > before && link_->LinkState == 2; });
}

bool DeviceSession::Upload() {
  if (link_->LinkState != 2) return Fail("the processor is busy");
  WaitQuiet();
  view_->SetPhase("uploading");
  const int before = view_->completions();
  link_->SetLinkStatus(6);
  return RunStep("upload", kSequenceMs,
                 [&] { return view_->completions() > before && link_->LinkState == 2; });
}

bool DeviceSession::RecallMode(int slot) {
  if (link_->LinkState != 2) return Fail("the processor is busy");
  WaitQuiet();
  if (link_->TxReady == 0) return Fail("the processor is busy: a frame is still waiting for its answer");
  view_->SetPhase("loading");
  const int before = view_->completions();
  // Sent at once: its acknowledgement reloads the processor's setting.
  link_->WriteParam(kRecallAddress, slot);
  return RunStep("mode recall", kSequenceMs,
                 [&] { return view_->completions() > before && link_->LinkState == 2; });
}

bool DeviceSession::SaveMode(int slot, const std::string& name) {
  if (link_->LinkState != 2) return Fail("the processor is busy");
  WaitQuiet();
  view_->SetPhase(std::string());
  if (!link_->StartModeSave(slot, name)) return Fail("the processor is busy");
  return RunStep("mode save", kSequenceMs, [&] {
    const auto& shown = view_->messages();
    return std::find(shown.begin(), shown.end(), kSavedText) != shown.end() && link_->LinkState == 2;
  });
}

}  // namespace dsp::cli
