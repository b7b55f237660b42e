#pragma once
// Where a command's settings come from: a preset file, an exported settings
// document, or a processor on a port (any name that is not a regular file:
// a device path, tcp://, rfc2217://), which is downloaded and left as it is.
// Every command that reads a whole setting (export, diff, report) goes
// through a SettingsSourceLoader, the one place that opens a port for it.

#include <QObject>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/progress_line.h"
#include "editmodel/settings.h"

namespace dsp {
class Room;
}

namespace dsp::cli {

struct SettingsSource {
  enum class Kind { PresetFile, Document, Port };
  bool ok = false;
  Kind kind = Kind::PresetFile;
  std::string name;         // as given
  Settings settings;        // channels 0..8 (and the system values of a port)
  std::string presetBytes;  // a preset file's content
  std::string error;        // one English line, when not ok
  // Read from a processor only.
  std::string port;
  std::string deviceCode;
  int currentMode = 0;  // 1..15, 0 when unknown
  std::vector<std::string> modeNames;
};

// True when `source` names a regular file; anything else is a port.
bool IsSettingsFile(const std::string& source);

// Reads a source that is a file. A file is told by its content: an
// exported document starts with '{', anything else is read as a preset
// file.
SettingsSource ReadSettingsFile(const std::string& source);

// Loads sources one after another on the application's event loop. A
// processor is reached by a Room of its own (connect and download, nothing
// written to it), which says goodbye when the loader goes.
class SettingsSourceLoader {
 public:
  using Done = std::function<void(const SettingsSource&)>;

  // Progress of a download goes to `progress`.
  SettingsSourceLoader(std::FILE* progress, bool progressIsTerminal);
  ~SettingsSourceLoader();
  SettingsSourceLoader(const SettingsSourceLoader&) = delete;
  SettingsSourceLoader& operator=(const SettingsSourceLoader&) = delete;

  // Loads `source`; `done` runs from the event loop, never inside this
  // call, also for a file.
  void Load(const std::string& source, Done done);

 private:
  ProgressLine progress_;
  std::vector<std::unique_ptr<Room>> rooms_;
  QObject context_;  // owns the deferred calls: none outlives the loader
};

}  // namespace dsp::cli
