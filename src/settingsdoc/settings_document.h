#pragma once
// Settings as documents: a preset file's whole setting as readable JSON
// (every parameter by page with its readable name, its value text and its
// step, the file's header data), and such a document read back into the
// preset file it came from.
//
// The round trip is exact: exporting an accepted preset file and importing
// the result gives the identical bytes. A file in the writer's own layout is
// described by its values alone; any other file the reader accepts (lines in
// another order, lower-case digits, other header words, a missing last line
// end, ...) also carries its bytes ("original file", base64), which are
// written back as long as the values are the ones they hold.
//
// Importing reads a value by its step or by its text with the rules of
// typing into the field (a band's frequency, gain and Q through
// TextToStep; any other value by the texts its control shows), and refuses
// the whole document, each problem with its JSON line, on unknown names,
// missing parameters, values out of range or texts that do not parse.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/translator.h"
#include "editmodel/settings.h"

namespace dsp {

inline constexpr const char* kSettingsFormat = "dsp-control settings";
inline constexpr int kSettingsVersion = 1;

// A preset file's content read as the preset reader reads it (every check),
// on a zeroed device image: entries a file lacks read as 0.
struct PresetRead {
  bool ok = false;
  Settings settings;
  std::string error;  // English, when not ok: the reader's notice
};
PresetRead ReadPresetContent(const std::string& content);

// The document of a setting. `texts` says the names and value words
// (source texts: Chinese); `language` is recorded in the document ("zh",
// "en"). `original`, when given, is the preset file the setting was read
// from: its header data goes into the document, and its bytes too unless
// the writer would write exactly them.
std::string ExportSettings(const Settings& settings, const Translator& texts, std::string_view language,
                           const std::string* original = nullptr);

// The document of a preset file's content; nullopt with `error` when the
// reader refuses the file.
std::optional<std::string> ExportPresetFile(const std::string& content, const Translator& texts,
                                            std::string_view language, std::string& error);

struct ImportProblem {
  int line = 0;  // JSON line, from 1
  std::string message;  // English
};

struct ImportResult {
  bool ok = false;
  Settings settings;                   // the setting the document holds
  std::string file;                    // the preset file's content
  bool layoutKept = false;             // the original bytes were written back
  std::string note;                    // why the original layout was not kept, if it was given
  std::vector<ImportProblem> problems; // when not ok, in line order
};

// Reads a document. Names and value words are accepted in the source texts
// and in the language of `texts`.
ImportResult ImportSettings(std::string_view document, const Translator& texts);

// The value of a cell read from a text with the rules of typing into its
// field, or nullopt when the text does not parse or lands outside the
// cell's range. Words ("开", "PEQ", "唱歌") in the source texts or the
// language of `texts`.
std::optional<std::int32_t> ValueFromText(const ParamCell& cell, std::string_view text,
                                          const Translator& texts = SourceTexts());

// The cell of a readable name (source texts or the language of `texts`), or
// -1. Only cells of a whole setting (channels 0..8).
int CellOfName(std::string_view name, const Translator& texts = SourceTexts());

}  // namespace dsp
