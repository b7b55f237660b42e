#include "cli/commands.h"

#include <QCoreApplication>
#include <QDateTime>
#include <array>
#include <charconv>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "cli/settings_source.h"
#include "i18n/language.h"
#include "json/json.h"
#include "settingsdoc/settings_document.h"
#include "presets/device_modes.h"
#include "presets/preset_file.h"
#include "session/room.h"
#include "store/param_store.h"

namespace dsp::cli {

namespace {

constexpr int kCurrentModeSlot = 2;  // system slot of the current mode (0x0902)
constexpr std::size_t kDifferencesListed = 20;

const char* const kChannelNames[9] = {"music",       "microphone A", "microphone B", "echo", "reverb",
                                      "main output", "subwoofer",    "centre",       "rear"};

// A mode number as the mode list shows it, 1..15; 0 when it is none.
int ModeNumber(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kModeCount) return 0;
  return value;
}

std::filesystem::path LocalPath(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

void JsonString(std::ostringstream& out, const std::string& text) {
  out << '"';
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out << "\\\"";
        break;
      case '\\':
        out << "\\\\";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out << escaped;
        } else {
          out << static_cast<char>(c);
        }
    }
  }
  out << '"';
}

int Failed(std::FILE* err, const std::string& line) {
  std::fprintf(err, "dsp-control: %s\n", line.c_str());
  return kExitFailure;
}

int Info(const Request& request, Room& room, std::FILE* out) {
  const ParamStore& store = room.store();
  const int current = store.Device(9, kCurrentModeSlot);
  const int number = current >= 0 && current < kModeCount ? current + 1 : 0;
  std::vector<std::string> names(store.ModeNames.begin(), store.ModeNames.end());
  if (request.json) {
    std::fputs(InfoJson(room.portName(), room.link().DeviceId, number, names).c_str(), out);
    std::fputc('\n', out);
    return kExitOk;
  }
  std::fprintf(out, "port: %s\n", room.portName().c_str());
  std::fprintf(out, "device: %s\n", room.link().DeviceId.c_str());
  if (number > 0)
    std::fprintf(out, "current mode: %s\n",
                 ModeEntryText(number - 1, names[static_cast<std::size_t>(number - 1)]).c_str());
  else
    std::fprintf(out, "current mode: unknown (%d)\n", current);
  std::fputs("modes:\n", out);
  for (int slot = 0; slot < kModeCount; ++slot)
    std::fprintf(out, "%s\n", ModeEntryText(slot, names[static_cast<std::size_t>(slot)]).c_str());
  return kExitOk;
}

int Backup(const std::string& file, Room& room, std::FILE* out, std::FILE* err) {
  const SaveResult saved = SavePresetFileAs(room.store(), LocalPath(file));
  if (!saved) return Failed(err, file + ": " + saved.english);
  std::fprintf(out, "saved %s from %s\n", file.c_str(), room.portName().c_str());
  return kExitOk;
}

// The values a restore sends and reads back: rows 0..8, as far as a block
// transfer carries them.
std::vector<std::string> Differences(const ParamStore::DeviceRow* expected, const ParamStore& now) {
  std::vector<std::string> lines;
  for (int c = 0; c < 9; ++c) {
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i) {
      const std::int32_t want = expected[c][static_cast<std::size_t>(i)];
      const std::int32_t got = now.Device(c, i);
      if (want == got) continue;
      char line[160];
      std::snprintf(line, sizeof line, "%s (channel %d) entry %d: file %d, processor %d", kChannelNames[c], c,
                    i, want, got);
      lines.emplace_back(line);
    }
  }
  return lines;
}

// A running single-port command: the room and the steps after the
// connection, each started by the one before it from the event loop.
class SingleCommand {
 public:
  SingleCommand(const Request& request, std::string content, std::FILE* out, std::FILE* err, bool errIsTerminal)
      : request_(request),
        content_(std::move(content)),
        out_(out),
        err_(err),
        progress_(err, errIsTerminal),
        room_(std::string(), request.ports) {
    room_.OnProgress = [this](const std::string& phase, int percent) { progress_.Show(phase, percent); };
  }

  // Starts the command; `finished` gets the exit status.
  void Start(std::function<void(int)> finished) {
    finished_ = std::move(finished);
    room_.Connect([this](bool ok) {
      progress_.End();
      if (!ok) return End(Failed(err_, room_.error()));
      const std::string& command = request_.command;
      if (command == "info") return End(Info(request_, room_, out_));
      if (command == "backup") return End(Backup(request_.arguments[0], room_, out_, err_));
      if (command == "restore") return Restore();
      if (command == "recall-mode") return RecallMode();
      SaveMode();
    });
  }

 private:
  void End(int status) {
    progress_.End();
    finished_(status);
  }

  void Restore() {
    const std::string& file = request_.arguments[0];
    // The file's entries over what the processor holds now: entries a file
    // leaves out keep the processor's values.
    NoticeRecorder notices;
    if (LoadPresetContent(room_.store(), content_, notices) != LoadOutcome::Accepted)
      return End(Failed(err_, file + ": " + notices.notice));
    for (int c = 0; c < 9; ++c)
      expected_[static_cast<std::size_t>(c)] = room_.store().DeviceImage[static_cast<std::size_t>(c)];
    room_.Upload([this, file](bool ok) {
      progress_.End();
      if (!ok)
        return End(Failed(err_, room_.error() + "; the processor may now hold part of " + file +
                                    "'s settings: run the restore again"));
      room_.Verify([this, file](bool ok) {
        progress_.End();
        if (!ok) return End(Failed(err_, room_.error() + "; " + file + " was sent but could not be verified"));
        const std::vector<std::string> differences = Differences(expected_.data(), room_.store());
        if (!differences.empty()) {
          std::fprintf(err_, "dsp-control: not verified: the processor holds %zu value(s) other than %s:\n",
                       differences.size(), file.c_str());
          for (std::size_t i = 0; i < differences.size() && i < kDifferencesListed; ++i)
            std::fprintf(err_, "  %s\n", differences[i].c_str());
          if (differences.size() > kDifferencesListed)
            std::fprintf(err_, "  ... and %zu more\n", differences.size() - kDifferencesListed);
          return End(kExitFailure);
        }
        std::fprintf(out_, "verified: %s holds the settings of %s\n", room_.portName().c_str(), file.c_str());
        End(kExitOk);
      });
    });
  }

  void RecallMode() {
    const int slot = ModeNumber(request_.arguments[0]) - 1;
    room_.RecallMode(slot, [this, slot](bool ok) {
      if (!ok) return End(Failed(err_, room_.error()));
      std::fprintf(out_, "recalled %s on %s\n", ModeEntryText(slot, room_.store().ModeNames[slot]).c_str(),
                   room_.portName().c_str());
      End(kExitOk);
    });
  }

  // Stored, then read back.
  void SaveMode() {
    const int slot = ModeNumber(request_.arguments[0]) - 1;
    const std::string name = request_.arguments[1];
    room_.SaveMode(slot, name, [this, slot, name](bool ok) {
      progress_.End();
      if (!ok) return End(Failed(err_, room_.error()));
      room_.Download([this, slot, name](bool ok) {
        if (!ok) return End(Failed(err_, room_.error() + "; the mode was saved but not read back"));
        auto trimmed = [](std::string text) {
          while (!text.empty() && text.back() == ' ') text.pop_back();
          return text;
        };
        const std::string stored = room_.store().ModeNames[static_cast<std::size_t>(slot)];
        if (trimmed(stored) != trimmed(name))
          return End(Failed(err_, "mode " + std::to_string(slot + 1) + " reads back as '" + stored + "', not '" +
                                      name + "'"));
        std::fprintf(out_, "saved %s on %s\n", ModeEntryText(slot, name).c_str(), room_.portName().c_str());
        End(kExitOk);
      });
    });
  }

  const Request& request_;
  const std::string content_;
  std::FILE* out_;
  std::FILE* err_;
  ProgressLine progress_;
  Room room_;
  std::array<ParamStore::DeviceRow, 9> expected_{};
  std::function<void(int)> finished_;
};

// Reads a whole file; false when it cannot be read.
bool ReadFile(const std::string& file, std::string& content) {
  std::ifstream in(LocalPath(file), std::ios::binary);
  if (!in.is_open()) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The names and words of results: the processor's own texts unless --lang
// asked for another language (so that exports do not depend on the desktop).
const Translator& ResultTexts(const Request& request) {
  static const InstalledTranslation installed;
  return request.languageGiven ? static_cast<const Translator&>(installed) : SourceTexts();
}

int Export(const Request& request, const SettingsSource& loaded, std::FILE* out, std::FILE* err) {
  const std::string& source = request.arguments[0];
  if (!loaded.ok) return Failed(err, loaded.error + " (nothing written)");
  const std::string language = request.languageGiven ? request.language : "zh";
  const bool fromFile = loaded.kind == SettingsSource::Kind::PresetFile;
  const std::string doc =
      ExportSettings(loaded.settings, ResultTexts(request), language, fromFile ? &loaded.presetBytes : nullptr);
  if (request.arguments.size() < 2) {
    std::fputs(doc.c_str(), out);
    return kExitOk;
  }
  const std::string& file = request.arguments[1];
  const SaveResult saved = WriteFileAs(doc, LocalPath(file));
  if (!saved) return Failed(err, file + ": cannot be written (" + saved.english + ")");
  std::fprintf(out, "exported %s to %s\n", source.c_str(), file.c_str());
  return kExitOk;
}

int Import(const Request& request, std::FILE* out, std::FILE* err) {
  const std::string& in = request.arguments[0];
  const std::string& file = request.arguments[1];
  std::string content;
  if (!ReadFile(in, content)) return Failed(err, in + ": cannot be read (nothing written)");
  static const InstalledTranslation installed;
  const ImportResult result = ImportSettings(content, installed);
  if (!result.ok) {
    for (const ImportProblem& problem : result.problems)
      std::fprintf(err, "%s:%d: %s\n", in.c_str(), problem.line, problem.message.c_str());
    return Failed(err, in + ": " + std::to_string(result.problems.size()) +
                           " problem(s), nothing written");
  }
  if (!result.note.empty()) std::fprintf(err, "dsp-control: %s: %s\n", in.c_str(), result.note.c_str());
  const SaveResult saved = WriteFileAs(result.file, LocalPath(file));
  if (!saved) return Failed(err, file + ": cannot be written (" + saved.english + ")");
  std::fprintf(out, "imported %s to %s\n", in.c_str(), file.c_str());
  return kExitOk;
}

int DiffCommand(const Request& request, const SettingsSource& a, const SettingsSource& b, std::FILE* out,
                std::FILE* err) {
  if (!a.ok) return Failed(err, a.error);
  if (!b.ok) return Failed(err, b.error);
  const Translator& texts = ResultTexts(request);
  const std::vector<CellChange> changes = Diff(a.settings, b.settings, DiffScope::Setting);
  if (request.json) {
    json::Value doc = json::Value::MakeObject();
    doc.Add("a", a.name).Add("b", b.name).Add("equal", changes.empty());
    doc.Add("count", static_cast<std::int64_t>(changes.size()));
    json::Value& pages = doc.AddChild("pages", json::Value::MakeArray());
    for (const PageCount& page : CountByPage(changes)) {
      json::Value entry = json::Value::MakeObject();
      entry.Add("page", texts.Translate("Catalogue", PageTitle(page.page))).Add("count", page.count);
      json::Value& list = entry.AddChild("changes", json::Value::MakeArray());
      for (const CellChange& change : changes) {
        const ParamCell& cell = ParamCells()[change.cell];
        if (cell.page != page.page) continue;
        // Flat, so that each change is one line.
        list.Push(json::Value::MakeObject()
                      .Add("name", CellName(cell, texts))
                      .Add("a", CellValueText(cell, change.before, texts))
                      .Add("a step", change.before)
                      .Add("b", CellValueText(cell, change.after, texts))
                      .Add("b step", change.after));
      }
      pages.Push(std::move(entry));
    }
    std::fputs(json::Write(doc, json::Style::Pretty).c_str(), out);
    return changes.empty() ? kExitOk : kExitFailure;
  }
  if (changes.empty()) {
    std::fprintf(out, "equal: %s and %s hold the same settings\n", a.name.c_str(), b.name.c_str());
    return kExitOk;
  }
  std::fprintf(out, "%zu difference(s) from %s to %s\n", changes.size(), a.name.c_str(), b.name.c_str());
  for (const PageCount& page : CountByPage(changes)) {
    std::fprintf(out, "%s (%d):\n", texts.Translate("Catalogue", PageTitle(page.page)).c_str(), page.count);
    for (const CellChange& change : changes) {
      if (ParamCells()[change.cell].page == page.page)
        std::fprintf(out, "  %s\n", ChangeLine(change, texts).c_str());
    }
  }
  return kExitFailure;
}

int ReportCommand(const Request& request, const SettingsSource& loaded, std::FILE* out, std::FILE* err,
                  const ReportWriter& report) {
  const std::string& source = request.arguments[0];
  const std::string& file = request.arguments[1];
  if (!loaded.ok) return Failed(err, loaded.error + " (no report written)");
  ReportData data;
  data.title = loaded.kind == SettingsSource::Kind::Port
                   ? loaded.port
                   : std::filesystem::path(LocalPath(source)).filename().string();
  data.created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
  data.deviceCode = loaded.deviceCode;
  data.currentMode = loaded.currentMode;
  data.modeNames = loaded.modeNames;
  data.settings = loaded.settings;
  data.systemValues = loaded.kind == SettingsSource::Kind::Port;
  std::string error;
  if (!report(data, file, error)) return Failed(err, file + ": " + error);
  std::fprintf(out, "wrote the report of %s to %s\n", source.c_str(), file.c_str());
  return kExitOk;
}

// export, diff and report: their sources loaded one after another (a port
// downloaded by a room of its own), then the result.
class SettingsCommand {
 public:
  SettingsCommand(const Request& request, std::FILE* out, std::FILE* err, bool errIsTerminal,
                  const ReportWriter& report)
      : request_(request), out_(out), err_(err), report_(report), loader_(err, errIsTerminal) {}

  // Starts the command; `finished` gets the exit status.
  void Start(std::function<void(int)> finished) {
    finished_ = std::move(finished);
    const std::string& command = request_.command;
    loader_.Load(request_.arguments[0], [this, command](const SettingsSource& first) {
      if (command == "export") return finished_(Export(request_, first, out_, err_));
      if (command == "report") return finished_(ReportCommand(request_, first, out_, err_, report_));
      // diff: B only once A could be read.
      if (!first.ok) return finished_(Failed(err_, first.error));
      first_ = first;
      loader_.Load(request_.arguments[1], [this](const SettingsSource& second) {
        finished_(DiffCommand(request_, first_, second, out_, err_));
      });
    });
  }

 private:
  const Request& request_;
  std::FILE* out_;
  std::FILE* err_;
  const ReportWriter& report_;
  SettingsSourceLoader loader_;
  SettingsSource first_;
  std::function<void(int)> finished_;
};

// Runs a command object on the application's one event loop until it ends;
// it ends the loop with the exit status.
template <typename Command>
int RunToEnd(Command& command) {
  int status = kExitFailure;
  command.Start([&status](int code) {
    status = code;
    QCoreApplication::exit(code);
  });
  QCoreApplication::exec();
  return status;
}

}  // namespace

std::string JsonQuoted(const std::string& text) {
  std::ostringstream out;
  JsonString(out, text);
  return out.str();
}

std::string InfoJson(const std::string& port, const std::string& device, int currentMode,
                     const std::vector<std::string>& modeNames) {
  std::ostringstream out;
  out << "{\"port\":";
  JsonString(out, port);
  out << ",\"device\":";
  JsonString(out, device);
  out << ",\"currentMode\":";
  if (currentMode > 0)
    out << currentMode;
  else
    out << "null";
  out << ",\"modes\":[";
  for (std::size_t i = 0; i < modeNames.size(); ++i) {
    if (i > 0) out << ',';
    out << "{\"number\":" << i + 1 << ",\"name\":";
    JsonString(out, modeNames[i]);
    out << '}';
  }
  out << "]}";
  return out.str();
}

bool Validate(const Request& request, std::string& problem) {
  const std::string& c = request.command;
  const std::size_t n = request.arguments.size();
  auto count = [&](std::size_t wanted, const char* usage) {
    if (n == wanted) return true;
    problem = c + " takes " + usage;
    return false;
  };
  if (request.json && c != "info" && c != "diff") {
    problem = "--json is for info and diff only";
    return false;
  }
  if (c == "info") return count(0, "no arguments");
  if (c == "export") {
    if (n == 1 || n == 2) return true;
    problem = "export takes one or two arguments: SOURCE [OUT.json]";
    return false;
  }
  if (c == "import") return count(2, "two arguments: IN.json OUT.Wfxr");
  if (c == "diff") return count(2, "two arguments: A B");
  if (c == "report") return count(2, "two arguments: SOURCE OUT.pdf");
  if (c == "backup" || c == "restore") {
    if (!count(1, "one argument: FILE")) return false;
    if (request.arguments[0].empty()) {
      problem = c + ": the file name is empty";
      return false;
    }
    return true;
  }
  if (c == "recall-mode" || c == "save-mode") {
    if (!count(c == "recall-mode" ? 1 : 2, c == "recall-mode" ? "one argument: N" : "two arguments: N NAME"))
      return false;
    if (ModeNumber(request.arguments[0]) == 0) {
      problem = c + ": N is a mode number from 1 to 15, not '" + request.arguments[0] + "'";
      return false;
    }
    if (c == "save-mode" && !ModeNameSendable(request.arguments[1])) {
      problem = "save-mode: a mode name has at most 20 characters, printable ASCII only";
      return false;
    }
    return true;
  }
  problem = "unknown command '" + c + "'";
  return false;
}

int Execute(const Request& request, std::FILE* out, std::FILE* err, bool errIsTerminal,
            const ReportWriter& report) {
  // The settings documents open a port only where a source names one.
  if (request.command == "import") return Import(request, out, err);
  if (request.command == "export" || request.command == "diff" || request.command == "report") {
    if (request.command == "report" && !report) return Failed(err, "reports cannot be written by this program");
    SettingsCommand command(request, out, err, errIsTerminal, report);
    return RunToEnd(command);
  }
  // A restore checks its file before anything is opened.
  std::string content;
  if (request.command == "restore") {
    const std::string& file = request.arguments[0];
    std::ifstream in(LocalPath(file), std::ios::binary);
    if (!in.is_open()) return Failed(err, file + ": cannot be read");
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return Failed(err, file + ": cannot be read");
    ParamStore trial;
    NoticeRecorder notices;
    if (LoadPresetContent(trial, content, notices) != LoadOutcome::Accepted)
      return Failed(err, file + ": " + notices.notice + " (nothing was sent)");
  }

  SingleCommand command(request, std::move(content), out, err, errIsTerminal);
  return RunToEnd(command);
}

}  // namespace dsp::cli
