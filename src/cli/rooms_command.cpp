#include "cli/rooms_command.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <array>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "editmodel/settings.h"
#include "i18n/language.h"
#include "presets/device_modes.h"
#include "presets/preset_file.h"
#include "session/room.h"
#include "venue/rooms_file.h"

namespace dsp::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kCurrentModeSlot = 2;
constexpr std::size_t kLinesShown = 5;  // readable differences per room on standard output

fs::path LocalPath(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

// The result of one room.
struct RoomOutcome {
  bool finished = false;
  bool ok = false;
  std::string error;
  // info
  std::string device;
  int currentMode = 0;  // 1..15, 0: unknown
  std::vector<std::string> modes;
  // backup
  std::string file;
  // check, restore
  bool compared = false;
  std::size_t differences = 0;
  std::vector<std::string> lines;  // every readable difference
  bool partial = false;            // a restore cut off during its upload
};

// A signal only writes a byte into this pipe; the event loop reads it.
int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int number) {
  g_signal = number;
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

class SignalWatch {
 public:
  explicit SignalWatch(std::function<void(int)> handler) : handler_(std::move(handler)) {
    if (::pipe(g_signalPipe) != 0) return;
    ::fcntl(g_signalPipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
      char buffer[16];
      while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
      }
      handler_(g_signal);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~SignalWatch() {
    if (!notifier_) return;
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    notifier_.reset();
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
  }

 private:
  std::function<void(int)> handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// Progress of every room on standard error: on a pipe one line per room
// per tenth, on a terminal a table of the rooms being served, redrawn
// below the result lines.
class FleetProgress {
 public:
  FleetProgress(std::FILE* err, bool terminal, std::FILE* out) : err_(err), terminal_(terminal), out_(out) {}

  void Show(const std::string& room, const std::string& phase, int percent) {
    auto& row = rows_[room];
    if (terminal_) {
      row.phase = phase;
      row.percent = percent;
      Redraw();
      return;
    }
    const int tenth = percent / 10 * 10;
    if (row.phase == phase && row.percent >= 0 && tenth <= row.percent) return;
    row.phase = phase;
    row.percent = tenth;
    std::fprintf(err_, "%s: %s %d%%\n", room.c_str(), phase.c_str(), tenth);
    std::fflush(err_);
  }
  void Started(const std::string& room) {
    rows_[room] = Row{};
    order_.push_back(room);
    if (terminal_) Redraw();
  }
  void Finished(const std::string& room) {
    rows_.erase(room);
    order_.erase(std::remove(order_.begin(), order_.end(), room), order_.end());
    if (terminal_) Redraw();
  }
  // Prints a result line on standard output, above the table.
  void Print(const std::string& text) {
    Erase();
    std::fputs(text.c_str(), out_);
    std::fflush(out_);
    if (terminal_) Redraw();
  }
  void Close() { Erase(); }

 private:
  struct Row {
    std::string phase = "connecting";
    int percent = -1;
  };
  void Erase() {
    if (!terminal_ || drawn_ == 0) return;
    std::fprintf(err_, "\x1b[%dA\r\x1b[J", drawn_);
    drawn_ = 0;
    std::fflush(err_);
  }
  void Redraw() {
    Erase();
    for (const std::string& room : order_) {
      const Row& row = rows_[room];
      const int percent = std::max(row.percent, 0);
      const int filled = percent * 20 / 100;
      std::fprintf(err_, "%-20s %-12s [%s%s] %3d%%\n", room.c_str(), row.phase.c_str(),
                   std::string(static_cast<std::size_t>(filled), '#').c_str(),
                   std::string(static_cast<std::size_t>(20 - filled), '-').c_str(), percent);
      ++drawn_;
    }
    std::fflush(err_);
  }

  std::FILE* err_;
  bool terminal_;
  std::FILE* out_;
  std::map<std::string, Row> rows_;
  std::vector<std::string> order_;
  int drawn_ = 0;
};

class FleetRun {
 public:
  FleetRun(const RoomsRequest& request, std::vector<RoomEntry> rooms, std::string preset, std::FILE* out,
           std::FILE* err, bool errIsTerminal)
      : request_(request),
        entries_(std::move(rooms)),
        preset_(std::move(preset)),
        out_(out),
        err_(err),
        progress_(err, errIsTerminal, out),
        outcomes_(entries_.size()),
        live_(entries_.size()) {
    jobs_ = request.jobs > 0 ? std::min(request.jobs, kMaxJobs) : kMaxJobs;
  }

  void Start(std::function<void()> finished) {
    finished_ = std::move(finished);
    StartMore();
    if (running_ == 0) QTimer::singleShot(0, [this] { Finish(); });
  }

  // SIGINT or SIGTERM: every room is stopped (goodbye sent, port closed),
  // rooms not started yet are not started.
  void Stop(int signal) {
    if (stopping_) return;
    stopping_ = true;
    stopSignal_ = signal;
    for (std::size_t i = 0; i < live_.size(); ++i) {
      if (!live_[i]) continue;
      if (uploading_.count(i) != 0) outcomes_[i].partial = true;
      live_[i]->Close();  // fails the running operation: its room ends as stopped
    }
    for (std::size_t i = next_; i < entries_.size(); ++i) {
      outcomes_[i].finished = true;
      outcomes_[i].error = "not started: stopped";
    }
    next_ = entries_.size();
    if (running_ == 0) QTimer::singleShot(0, [this] { Finish(); });
  }

  int Report() {
    progress_.Close();
    std::size_t ok = 0, differs = 0, failed = 0;
    for (const RoomOutcome& outcome : outcomes_) {
      if (!outcome.ok)
        ++failed;
      else if (outcome.compared && outcome.differences > 0)
        ++differs;
      else
        ++ok;
    }
    if (request_.json) {
      std::string json = "[";
      for (std::size_t i = 0; i < entries_.size(); ++i) json += (i ? "," : "") + Json(i);
      json += "]\n";
      std::fputs(json.c_str(), out_);
    }
    std::string summary = std::to_string(entries_.size()) + (entries_.size() == 1 ? " room: " : " rooms: ") +
                          std::to_string(ok) + " ok, " + std::to_string(differs) + " differ" +
                          (differs == 1 ? "s" : "") + ", " + std::to_string(failed) + " failed\n";
    if (request_.json)
      std::fprintf(err_, "dsp-control: %s", summary.c_str());
    else
      std::fputs(summary.c_str(), out_);
    if (stopping_) {
      std::vector<std::string> partial;
      for (std::size_t i = 0; i < entries_.size(); ++i)
        if (outcomes_[i].partial) partial.push_back(entries_[i].name);
      std::fprintf(err_, "dsp-control: stopped by %s", stopSignal_ == SIGTERM ? "SIGTERM" : "SIGINT");
      if (!partial.empty()) {
        std::string names;
        for (const std::string& name : partial) names += (names.empty() ? "" : ", ") + name;
        std::fprintf(err_, "; %s may now hold part of %s's settings: run the restore again", names.c_str(),
                     request_.argument.c_str());
      }
      std::fputc('\n', err_);
    }
    std::fflush(out_);
    std::fflush(err_);
    return failed == 0 && differs == 0 && !stopping_ ? kExitOk : kExitFailure;
  }

 private:
  bool Comparing() const { return request_.command == "check" || (request_.command == "restore" && request_.dryRun); }

  void StartMore() {
    while (!stopping_ && running_ < jobs_ && next_ < entries_.size()) {
      const std::size_t index = next_++;
      ++running_;
      const RoomEntry& entry = entries_[index];
      live_[index] = std::make_unique<Room>(entry.name, std::vector<std::string>{entry.port});
      Room& room = *live_[index];
      room.OnProgress = [this, name = entry.name](const std::string& phase, int percent) {
        progress_.Show(name, phase, percent);
      };
      progress_.Started(entry.name);
      room.Connect([this, index](bool ok) {
        if (!ok) return Done(index, false, live_[index]->error());
        Continue(index);
      });
    }
  }

  void Continue(std::size_t index) {
    Room& room = *live_[index];
    RoomOutcome& outcome = outcomes_[index];
    const std::string& command = request_.command;
    if (command == "info") {
      const ParamStore& store = room.store();
      const int current = store.Device(9, kCurrentModeSlot);
      outcome.currentMode = current >= 0 && current < kModeCount ? current + 1 : 0;
      outcome.device = room.link().DeviceId;
      outcome.modes.assign(store.ModeNames.begin(), store.ModeNames.end());
      return Done(index, true, {});
    }
    if (command == "backup") {
      const fs::path file = LocalPath(request_.argument) / LocalPath(entries_[index].name + ".Wfxr");
      outcome.file = request_.argument + "/" + entries_[index].name + ".Wfxr";
      const SaveResult saved = SavePresetFileAs(room.store(), file);
      if (!saved) return Done(index, false, outcome.file + ": " + saved.english);
      return Done(index, true, {});
    }
    // check, restore: the preset's entries over what the room holds now
    // (entries a file leaves out keep the processor's values).
    ParamStore wanted = room.store();
    NoticeRecorder events;
    if (LoadPresetContent(wanted, preset_, events) != LoadOutcome::Accepted)
      return Done(index, false, request_.argument + ": " + events.notice);
    const Settings target = Capture(wanted);
    if (Comparing()) {
      Compare(outcome, Capture(room.store()), target);
      return Done(index, true, {});
    }
    room.store().DeviceImage = wanted.DeviceImage;
    uploading_.insert(index);
    room.Upload([this, index, target](bool ok) {
      uploading_.erase(index);
      if (!ok) {
        outcomes_[index].partial = true;
        return Done(index, false, live_[index]->error() + "; the processor may now hold part of " +
                                      request_.argument + "'s settings");
      }
      live_[index]->Verify([this, index, target](bool ok) {
        if (!ok)
          return Done(index, false, live_[index]->error() + "; " + request_.argument +
                                        " was sent but could not be verified");
        // What a block transfer carries is compared; the rest of each row
        // keeps the file's values.
        Settings now = target;
        const ParamStore& store = live_[index]->store();
        for (int c = 0; c < 9; ++c)
          for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
            now.image[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = store.Device(c, i);
        RoomOutcome& outcome = outcomes_[index];
        Compare(outcome, now, target);
        if (now.image != target.image && outcome.differences == 0) outcome.differences = 1;
        if (outcome.differences > 0)
          return Done(index, false,
                      "not verified: the processor holds " + std::to_string(outcome.differences) +
                          " value(s) other than " + request_.argument);
        Done(index, true, {});
      });
    });
  }

  void Compare(RoomOutcome& outcome, const Settings& processor, const Settings& file) {
    outcome.compared = true;
    const std::vector<CellChange> changes = Diff(processor, file, DiffScope::Setting);
    outcome.differences = changes.size();
    outcome.lines.clear();
    for (const CellChange& change : changes) outcome.lines.push_back(ChangeLine(change, texts_));
  }

  void Done(std::size_t index, bool ok, const std::string& error) {
    RoomOutcome& outcome = outcomes_[index];
    outcome.finished = true;
    outcome.ok = ok;
    outcome.error = stopping_ && !ok ? (outcome.partial ? "stopped during the upload" : "stopped") : error;
    if (!ok) outcome.compared = outcome.compared && !stopping_;
    progress_.Finished(entries_[index].name);
    if (!request_.json) progress_.Print(Line(index));
    // The room goes once its own handler has returned.
    QTimer::singleShot(0, [this, index] {
      live_[index].reset();
      --running_;
      StartMore();
      if (running_ == 0 && (next_ >= entries_.size() || stopping_)) Finish();
    });
  }

  void Finish() {
    if (done_) return;
    done_ = true;
    finished_();
  }

  std::string Line(std::size_t index) const {
    const RoomOutcome& outcome = outcomes_[index];
    const std::string& name = entries_[index].name;
    if (!outcome.ok) {
      std::string text = name + ": FAILED: " + outcome.error + "\n";
      for (std::size_t i = 0; i < outcome.lines.size() && i < kLinesShown; ++i)
        text += "  " + outcome.lines[i] + "\n";
      return text;
    }
    if (outcome.compared && outcome.differences > 0) {
      std::string text = name + ": differs (" + std::to_string(outcome.differences) + ")\n";
      for (std::size_t i = 0; i < outcome.lines.size() && i < kLinesShown; ++i)
        text += "  " + outcome.lines[i] + "\n";
      if (outcome.lines.size() > kLinesShown)
        text += "  ... and " + std::to_string(outcome.lines.size() - kLinesShown) + " more\n";
      return text;
    }
    if (request_.command == "info") {
      std::string text = name + ": ok: device " + outcome.device + ", current mode ";
      text += outcome.currentMode > 0
                  ? ModeEntryText(outcome.currentMode - 1,
                                  outcome.modes[static_cast<std::size_t>(outcome.currentMode - 1)])
                  : std::string("unknown");
      text += "\n  modes:";
      for (std::size_t slot = 0; slot < outcome.modes.size(); ++slot)
        text += (slot ? ", " : " ") + ModeEntryText(static_cast<int>(slot), outcome.modes[slot]);
      return text + "\n";
    }
    if (request_.command == "backup") return name + ": ok: saved " + outcome.file + "\n";
    if (Comparing()) return name + ": ok: matches\n";
    return name + ": ok: verified\n";
  }

  std::string Json(std::size_t index) const {
    const RoomOutcome& outcome = outcomes_[index];
    std::string json = "{\"room\":" + JsonQuoted(entries_[index].name) +
                       ",\"port\":" + JsonQuoted(entries_[index].port) +
                       ",\"ok\":" + (outcome.ok ? "true" : "false") +
                       ",\"error\":" + (outcome.ok ? std::string("null") : JsonQuoted(outcome.error));
    if (request_.command == "info" && outcome.ok) {
      json += ",\"device\":" + JsonQuoted(outcome.device) + ",\"currentMode\":" +
              (outcome.currentMode > 0 ? std::to_string(outcome.currentMode) : std::string("null")) +
              ",\"modes\":[";
      for (std::size_t i = 0; i < outcome.modes.size(); ++i)
        json += (i ? "," : "") + std::string("{\"number\":") + std::to_string(i + 1) +
                ",\"name\":" + JsonQuoted(outcome.modes[i]) + "}";
      json += "]";
    }
    if (request_.command == "backup") json += ",\"file\":" + (outcome.ok ? JsonQuoted(outcome.file) : "null");
    if (request_.command == "check" || request_.command == "restore") {
      if (outcome.compared) {
        json += ",\"matches\":" + std::string(outcome.differences == 0 ? "true" : "false") +
                ",\"differences\":" + std::to_string(outcome.differences) + ",\"changes\":[";
        for (std::size_t i = 0; i < outcome.lines.size(); ++i) json += (i ? "," : "") + JsonQuoted(outcome.lines[i]);
        json += "]";
      } else {
        json += ",\"matches\":null,\"differences\":null,\"changes\":[]";
      }
      if (request_.command == "restore" && !request_.dryRun)
        json += ",\"partial\":" + std::string(outcome.partial ? "true" : "false");
    }
    return json + "}";
  }

  const RoomsRequest& request_;
  std::vector<RoomEntry> entries_;
  std::string preset_;
  std::FILE* out_;
  std::FILE* err_;
  FleetProgress progress_;
  InstalledTranslation texts_;
  std::vector<RoomOutcome> outcomes_;
  std::vector<std::unique_ptr<Room>> live_;
  std::set<std::size_t> uploading_;
  std::size_t next_ = 0;
  int running_ = 0;
  int jobs_ = kMaxJobs;
  bool stopping_ = false;
  int stopSignal_ = 0;
  bool done_ = false;
  std::function<void()> finished_;
};

int Usage(std::FILE* err, const std::string& line) {
  std::fprintf(err, "dsp-control: %s\n", line.c_str());
  return kExitUsage;
}

}  // namespace

bool ValidateRooms(const RoomsRequest& request, std::string& problem) {
  const std::string& c = request.command;
  if (request.file.empty()) {
    problem = "rooms takes FILE COMMAND [ARGUMENT]: the rooms file is missing";
    return false;
  }
  if (c.empty()) {
    problem = "rooms takes FILE COMMAND [ARGUMENT]: the command (info, backup, check or restore) is missing";
    return false;
  }
  if (c != "info" && c != "backup" && c != "check" && c != "restore") {
    problem = "rooms: unknown command '" + c + "' (info, backup DIR, check PRESET, restore PRESET)";
    return false;
  }
  if (c == "info" && !request.argument.empty()) {
    problem = "rooms info takes no argument";
    return false;
  }
  if (c != "info" && request.argument.empty()) {
    problem = "rooms " + c + " takes one argument: " + (c == "backup" ? "DIR" : "PRESET");
    return false;
  }
  if (request.dryRun && c != "restore") {
    problem = "--dry-run is for rooms restore only";
    return false;
  }
  if (request.jobs < 0 || request.jobs > kMaxJobs) {
    problem = "--jobs takes a number from 1 to " + std::to_string(kMaxJobs);
    return false;
  }
  for (const std::string& name : request.only) {
    if (!IsRoomName(name)) {
      problem = "--only: '" + name + "' is not a room name";
      return false;
    }
  }
  return true;
}

int ExecuteRooms(const RoomsRequest& request, std::FILE* out, std::FILE* err, bool errIsTerminal) {
  // The whole rooms file is checked before anything is sent.
  RoomsParse parse = ReadRoomsFile(LocalPath(request.file));
  if (!parse.ok()) return Usage(err, RoomsErrorLine(request.file, parse));
  std::vector<RoomEntry> rooms;
  if (request.only.empty()) {
    rooms = std::move(parse.rooms);
  } else {
    std::set<std::string> wanted(request.only.begin(), request.only.end());
    for (const std::string& name : request.only) {
      const bool known = std::any_of(parse.rooms.begin(), parse.rooms.end(),
                                     [&](const RoomEntry& entry) { return entry.name == name; });
      if (!known) return Usage(err, request.file + ": no room named " + name);
    }
    for (RoomEntry& entry : parse.rooms)
      if (wanted.count(entry.name) != 0) rooms.push_back(std::move(entry));
  }

  // The preset is checked before any room is reached; a backup folder is
  // made when it is missing.
  std::string preset;
  if (request.command == "check" || request.command == "restore") {
    std::ifstream in(LocalPath(request.argument), std::ios::binary);
    if (!in.is_open()) return (std::fprintf(err, "dsp-control: %s: cannot be read\n", request.argument.c_str()), kExitFailure);
    preset.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ParamStore trial;
    NoticeRecorder notices;
    if (in.bad() || LoadPresetContent(trial, preset, notices) != LoadOutcome::Accepted) {
      std::fprintf(err, "dsp-control: %s: %s (nothing was sent)\n", request.argument.c_str(),
                   in.bad() ? "cannot be read" : notices.notice.c_str());
      return kExitFailure;
    }
  }
  if (request.command == "backup") {
    std::error_code ec;
    fs::create_directories(LocalPath(request.argument), ec);
    if (!fs::is_directory(LocalPath(request.argument), ec)) {
      std::fprintf(err, "dsp-control: %s: not a folder that can be written\n", request.argument.c_str());
      return kExitFailure;
    }
  }

  FleetRun run(request, std::move(rooms), std::move(preset), out, err, errIsTerminal);
  SignalWatch watch([&run](int signal) { run.Stop(signal); });
  run.Start([] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
  return run.Report();
}

}  // namespace dsp::cli
