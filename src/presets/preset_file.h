#pragma once
// Preset files: the whole device image of channels 0..8 kept on the computer
// as a scrambled text file, one entry per line.
//
// Plain lines (before scrambling), k counting lines from 0:
//   0        "J3 "    + (PresetModelCode XOR PresetHeaderMask)
//   1        "Torvu " + (1 XOR PresetHeaderMask)
//   2..D+1   (A XOR k) + " " + (V XOR k): entry A = channel * 256 + index, value V
//   D+2      "Intoal: " + (D + 2), the line's own index
//   D+3      "CCCCK: " + check value of the sum of all V
// Every stored line is the upper-case hexadecimal of the plain line's bytes,
// each XORed with PresetLineKey (restarting at the first key byte on every
// line); lines end with CR LF.
//
// Loading never touches the device image unless the whole file passes every
// check: it is parsed into a scratch copy first. Messages, the diagnostic log
// and the request to upload the image go through PresetEvents, so this layer
// knows no dialogs and no link.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/translator.h"
#include "store/param_store.h"

namespace dsp {

inline constexpr int PresetModelCode = 0xB1;
inline constexpr int PresetHeaderMask = 0xD3;
inline constexpr int PresetSecondHeader = 1;
inline constexpr std::array<std::uint8_t, 8> PresetLineKey{0x5E, 0xC3, 0x17, 0xA9, 0x40, 0xD2, 0x6B, 0x8F};
// Entries written per channel 0..8: one more than a block transfer carries.
inline constexpr std::array<int, 9> PresetEntryCount{107, 80, 80, 29, 9, 56, 44, 54, 54};
inline constexpr int PresetChannels = 9;
inline constexpr const char* PresetExtension = ".Wfxr";
// Values a data line may carry: the processor holds 16-bit values.
inline constexpr std::int32_t PresetValueMax = 0xFFFF;

// The texts the reader shows: the Chinese wording is shown (in the user's
// language: it is the source text of its translation), the English one goes
// to the log.
struct NoticeText {
  const char* chinese;
  const char* english;
};
inline constexpr NoticeText NoticeFileMissing{DSP_TRANSLATE_NOOP("Presets", "文件不存在"), "File not find!"};
inline constexpr NoticeText NoticeFormatError{DSP_TRANSLATE_NOOP("Presets", "文件格式错误!"), "File format error!"};
inline constexpr NoticeText NoticeCorrupted{DSP_TRANSLATE_NOOP("Presets", "数据文件损坏!"),
                                            "Data file is corrupted!"};
inline constexpr NoticeText NoticeBadName{DSP_TRANSLATE_NOOP("Presets",
                                                             "预设名称无效，不能包含 / 或 \\，也不能为空、. 或 ..!"),
                                          "Invalid preset name: it may not be empty, \".\" or \"..\", "
                                          "nor contain \"/\" or \"\\\"!"};
inline constexpr NoticeText NoticeSaveFailed{DSP_TRANSLATE_NOOP("Presets", "预设文件保存失败!"),
                                             "Could not save the preset file!"};
// A line of the file cannot be read; the line number (counting from 1) is
// appended to both wordings.
inline constexpr NoticeText NoticeMalformedLine{DSP_TRANSLATE_NOOP("Presets", "文件内容无法识别，行号: "),
                                                "Unreadable preset file, line: "};

// What the file layer needs from the application.
class PresetEvents {
 public:
  virtual ~PresetEvents() = default;
  // The language of the notices shown (the source texts unless said).
  virtual const Translator& Texts() const { return SourceTexts(); }
  // A modal information box; the first wording (the Chinese one, in the
  // language of Texts()) is the one shown.
  virtual void ShowNotice(const std::string& shown, const std::string& english) = 0;
  // The diagnostic log that lists the entries of a loaded file.
  virtual void ClearLog() = 0;
  virtual void AppendLog(const std::string& line) = 0;
  // Send the whole device image to the processor (link status 6).
  virtual void RequestUpload() = 0;
};

// Events of a reader without a window (the command line, the server, the
// settings documents): the notice is kept, in English, for an error line;
// the log and the upload request are dropped (a caller that uploads does so
// itself).
class NoticeRecorder : public PresetEvents {
 public:
  void ShowNotice(const std::string&, const std::string& english) override { notice = english; }
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
  void RequestUpload() override {}
  std::string notice;
};

// Scrambling of one line and its inverse. Decoding accepts upper- and
// lower-case digits and ignores a last unpaired character; a pair that is not
// hexadecimal gives no result.
std::string EncodePresetLine(std::string_view plain);
std::optional<std::string> DecodePresetLine(std::string_view stored);

// A preset file split into lines as the reader splits it: at LF, with the
// CR of CR LF removed; a final line without its line end counts like one
// with it.
std::vector<std::string> SplitPresetLines(const std::string& content);

// The check value of a sum of values: T mod 256 with T = (S XOR 0xFFFF) + 1,
// in wrapping 32-bit arithmetic, the remainder truncated toward zero (so a
// negative sum can give a negative check value).
std::int32_t PresetCheckValue(std::uint32_t sum);

// True when name stays inside the preset folder: not empty, not "." or "..",
// and without "/", "\" or a NUL character.
bool ValidPresetName(std::string_view name);
// folder / (name + ".Wfxr"), and the scratch file a save writes first.
std::filesystem::path PresetPath(const std::filesystem::path& folder, std::string_view name);
std::filesystem::path PresetScratchPath(const std::filesystem::path& folder, std::string_view name);

// The complete file content (stored lines with CR LF) for a device image.
std::string BuildPresetFile(const ParamStore& store);

struct SaveResult {
  bool ok = false;
  std::string chinese;  // empty when ok
  std::string english;
  explicit operator bool() const { return ok; }
};

// Writes the device image rows 0..8 to folder/name.Wfxr, replacing a file of
// that name (or the listed file FindPresetFile finds for it). The content
// goes to a scratch file in the same folder first and is renamed over the
// target, so a failed save leaves an existing preset as it was. A refused
// name or a failed write is returned, never thrown.
SaveResult SavePresetFile(const ParamStore& store, const std::filesystem::path& folder,
                          std::string_view name);

// The same content written to exactly `file` (any name, no extension
// added), through the scratch file `file` + ".tmp" beside it: a failure
// never leaves a partial or damaged `file`.
SaveResult SavePresetFileAs(const ParamStore& store, const std::filesystem::path& file);

// Any content written to exactly `file` through the scratch file `file` +
// ".tmp", as SavePresetFileAs does (an imported file keeps its own bytes).
SaveResult WriteFileAs(const std::string& content, const std::filesystem::path& file);

enum class LoadOutcome { Accepted, BadName, Missing, Malformed, FormatError, Corrupted };

// Reads folder/name.Wfxr (or the listed file FindPresetFile finds for it) and,
// when every check passes, copies its entries into
// the device image and requests the upload. Otherwise the device image is
// untouched, nothing is sent and the matching notice is shown. Checks, in
// order: the name, the file's presence, every line's hexadecimal, the header
// number (line 0), the total line holding its own index, each data line
// (decimal fields, a position in rows 0..8 below 113, a value in 0..65535),
// and the check value.
LoadOutcome LoadPresetFile(ParamStore& store, const std::filesystem::path& folder, std::string_view name,
                           PresetEvents& events);
// The same for the file at exactly `path`, with the same checks from the
// file's presence on.
LoadOutcome LoadPresetFileFrom(ParamStore& store, const std::filesystem::path& path, PresetEvents& events);
// The checks and the copy into the device image, for a file's content read
// already (every check after the file's presence).
LoadOutcome LoadPresetContent(ParamStore& store, const std::string& content, PresetEvents& events);

}  // namespace dsp
