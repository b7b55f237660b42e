#include "cli/settings_source.h"

#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "session/room.h"
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

std::filesystem::path PathOf(const std::string& source) {
  return std::filesystem::path(std::u8string(source.begin(), source.end()));
}

}  // namespace

bool IsSettingsFile(const std::string& source) {
  std::error_code ec;
  return std::filesystem::is_regular_file(PathOf(source), ec);
}

SettingsSource ReadSettingsFile(const std::string& source) {
  SettingsSource result;
  result.name = source;
  std::ifstream in(PathOf(source), std::ios::binary);
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

SettingsSourceLoader::SettingsSourceLoader(std::FILE* progress, bool progressIsTerminal)
    : progress_(progress, progressIsTerminal) {}

SettingsSourceLoader::~SettingsSourceLoader() = default;

void SettingsSourceLoader::Load(const std::string& source, Done done) {
  if (IsSettingsFile(source)) {
    QTimer::singleShot(0, &context_, [result = ReadSettingsFile(source), done = std::move(done)] { done(result); });
    return;
  }
  // Not a file: a processor on a port, downloaded and left as it is.
  rooms_.push_back(std::make_unique<Room>(std::string(), std::vector<std::string>{source}));
  Room& room = *rooms_.back();
  room.OnProgress = [this](const std::string& phase, int percent) { progress_.Show(phase, percent); };
  room.Connect([this, &room, source, done = std::move(done)](bool ok) {
    progress_.End();
    SettingsSource result;
    result.name = source;
    result.kind = SettingsSource::Kind::Port;
    if (!ok) {
      result.error = room.error();
      return done(result);
    }
    const ParamStore& store = room.store();
    result.settings = Capture(store);
    result.port = room.portName();
    result.deviceCode = room.link().DeviceId;
    const int current = store.Device(9, kCurrentModeSlot);
    result.currentMode = current >= 0 && current < kModeCount ? current + 1 : 0;
    result.modeNames.assign(store.ModeNames.begin(), store.ModeNames.end());
    result.ok = true;
    done(result);
  });
}

}  // namespace dsp::cli
