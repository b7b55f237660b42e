#pragma once
// Where a command's settings come from: a preset file, an exported settings
// document, or a processor on a port (any name that is not a regular file:
// a device path, tcp://, rfc2217://), which is downloaded and left as it is.
// Every command that reads a whole setting (export, diff, report) goes
// through LoadSettingsSource, the one place that opens a port for it.

#include <cstdio>
#include <string>
#include <vector>

#include "editmodel/settings.h"

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

// Loads the settings of `source`; progress of a download goes to
// `progress`. A file is told by its content: an exported document starts
// with '{', anything else is read as a preset file.
SettingsSource LoadSettingsSource(const std::string& source, std::FILE* progress, bool progressIsTerminal);

}  // namespace dsp::cli
