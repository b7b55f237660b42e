// Fuzz target for the settings importer: any document either is refused
// with at least one problem (each with a line inside the text) and no file,
// or gives a preset file the preset reader accepts with exactly the
// document's setting, whose own export imports to the same bytes.
//
// The input is taken as a document as it is, and also spliced into a real
// export (replacing one line), so that most inputs reach the value readers.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "presets/preset_file.h"
#include "settingsdoc/settings_document.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::string& Template() {
  static const std::string doc = [] {
    dsp::ParamStore store;
    store.DeviceImage[0][15] = 204;
    return dsp::ExportSettings(dsp::Capture(store), dsp::SourceTexts(), "zh");
  }();
  return doc;
}

void Try(const std::string& text) {
  using namespace dsp;
  const ImportResult result = ImportSettings(text, SourceTexts());
  if (!result.ok) {
    Check(!result.problems.empty());
    Check(result.file.empty());
    int lines = 1;
    for (const char c : text) lines += c == '\n';
    for (const auto& p : result.problems) Check(p.line >= 1 && p.line <= lines && !p.message.empty());
    return;
  }
  const PresetRead read = ReadPresetContent(result.file);
  Check(read.ok);
  Check(read.settings == result.settings);
  std::string error;
  const auto again = ExportPresetFile(result.file, SourceTexts(), "zh", error);
  Check(again.has_value());
  Check(ImportSettings(*again, SourceTexts()).file == result.file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  Try(input);
  if (size < 2) return 0;
  // Splice: the first byte picks one of the template's lines near a value.
  const std::string& doc = Template();
  std::size_t line = 10 + data[0] * 3;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line && start != std::string::npos; ++i) {
    start = doc.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos || start >= doc.size()) return 0;
  const std::size_t end = doc.find('\n', start);
  Try(doc.substr(0, start) + input.substr(1) + doc.substr(end));
  return 0;
}
