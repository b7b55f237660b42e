#include "cli/settings_source.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/device_session.h"
#include "settingsdoc/settings_document.h"

namespace dsp::cli {
namespace {

constexpr int kCurrentModeSlot = 2;  // system slot of the current mode (0x0902)

bool LooksLikeDocument(const std::string& content) {
  std::size_t i = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (i < content.size() && (content[i] == ' ' || content[i] == '\t' || content[i] == '\r' || content[i] == '\n'))
    ++i;
  return i < content.size() && content[i] == '{';
}

}  // namespace

SettingsSource LoadSettingsSource(const std::string& source, std::FILE* progress, bool progressIsTerminal) {
  SettingsSource result;
  result.name = source;
  const std::filesystem::path path(std::u8string(source.begin(), source.end()));
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
      result.error = source + ": cannot be read";
      return result;
    }
    if (LooksLikeDocument(content)) {
      result.kind = SettingsSource::Kind::Document;
      const ImportResult imported = ImportSettings(content, SourceTexts());
      if (!imported.ok) {
        const ImportProblem& first = imported.problems.front();
        result.error = source + ":" + std::to_string(first.line) + ": " + first.message;
        if (imported.problems.size() > 1)
          result.error += " (and " + std::to_string(imported.problems.size() - 1) + " more problem(s))";
        return result;
      }
      result.settings = imported.settings;
      result.presetBytes = imported.file;
    } else {
      const PresetRead read = ReadPresetContent(content);
      if (!read.ok) {
        result.error = source + ": " + read.error;
        return result;
      }
      result.settings = read.settings;
      result.presetBytes = content;
    }
    result.ok = true;
    return result;
  }

  // Not a file: a processor on a port, downloaded and left as it is.
  result.kind = SettingsSource::Kind::Port;
  DeviceSession session({source}, progress, progressIsTerminal);
  if (!session.Connect()) {
    result.error = session.error();
    return result;
  }
  const ParamStore& store = session.store();
  result.settings = Capture(store);
  result.port = session.portName();
  result.deviceCode = session.link().DeviceId;
  const int current = store.Device(9, kCurrentModeSlot);
  result.currentMode = current >= 0 && current < kModeCount ? current + 1 : 0;
  result.modeNames.assign(store.ModeNames.begin(), store.ModeNames.end());
  result.ok = true;
  return result;
}

}  // namespace dsp::cli
