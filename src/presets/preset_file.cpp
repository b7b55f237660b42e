#include "presets/preset_file.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "presets/preset_library.h"

namespace dsp {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A whole field as a decimal 32-bit integer: an optional "-" and digits only.
std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// Field number index (from 0) of a line split at single spaces.
std::string_view Field(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    const auto space = line.find(' ');
    if (space == std::string_view::npos) return {};
    line.remove_prefix(space + 1);
  }
  return line.substr(0, line.find(' '));
}

std::optional<std::int32_t> SecondField(std::string_view line) {
  return ParseDecimal(Field(line, 1));
}

// Bytes of a UTF-8 name as a path, so names outside ASCII mean the same on
// every platform.
std::filesystem::path Utf8Path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

class LoadFailure {
 public:
  static LoadOutcome Notice(PresetEvents& events, LoadOutcome outcome, const NoticeText& text) {
    events.ShowNotice(events.Texts().Translate("Presets", text.chinese), text.english);
    return outcome;
  }
  static LoadOutcome Malformed(PresetEvents& events, std::size_t line_index) {
    const std::string number = std::to_string(line_index + 1);
    events.ShowNotice(events.Texts().Translate("Presets", NoticeMalformedLine.chinese) + number,
                      NoticeMalformedLine.english + number);
    return LoadOutcome::Malformed;
  }
};

}  // namespace

std::vector<std::string> SplitPresetLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    auto end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::size_t stop = end;
    if (stop > start && content[stop - 1] == '\r') --stop;
    lines.emplace_back(content, start, stop - start);
    start = end + 1;
  }
  return lines;
}

std::string EncodePresetLine(std::string_view plain) {
  std::string out;
  out.reserve(plain.size() * 2);
  for (std::size_t j = 0; j < plain.size(); ++j) {
    const auto byte = static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain[j]) ^
                                                PresetLineKey[j % PresetLineKey.size()]);
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
  }
  return out;
}

std::optional<std::string> DecodePresetLine(std::string_view stored) {
  std::string out;
  out.reserve(stored.size() / 2);
  for (std::size_t j = 0; j < stored.size() / 2; ++j) {
    const int high = HexValue(stored[2 * j]);
    const int low = HexValue(stored[2 * j + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>((high * 16 + low) ^ PresetLineKey[j % PresetLineKey.size()]);
  }
  return out;
}

std::int32_t PresetCheckValue(std::uint32_t sum) {
  // Unsigned arithmetic wraps without undefined behaviour; the conversion back
  // to a signed number is modular.
  const auto t = static_cast<std::int32_t>((sum ^ 0xFFFFu) + 1u);
  return t % 256;
}

bool ValidPresetName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::filesystem::path PresetPath(const std::filesystem::path& folder, std::string_view name) {
  return folder / Utf8Path(std::string(name) + PresetExtension);
}

std::filesystem::path PresetScratchPath(const std::filesystem::path& folder, std::string_view name) {
  return folder / Utf8Path(std::string(name) + PresetExtension + ".tmp");
}

std::string BuildPresetFile(const ParamStore& store) {
  std::string file;
  auto append = [&file](const std::string& plain) {
    file += EncodePresetLine(plain);
    file += "\r\n";
  };
  append("J3 " + std::to_string(PresetModelCode ^ PresetHeaderMask));
  append("Torvu " + std::to_string(PresetSecondHeader ^ PresetHeaderMask));
  std::int32_t k = 1;
  std::uint32_t sum = 0;
  for (int channel = 0; channel < PresetChannels; ++channel) {
    for (int index = 0; index < PresetEntryCount[channel]; ++index) {
      ++k;
      const std::int32_t value = store.Device(channel, index);
      append(std::to_string(MakeAddress(channel, index) ^ k) + " " + std::to_string(value ^ k));
      sum += static_cast<std::uint32_t>(value);
    }
  }
  ++k;
  append("Intoal: " + std::to_string(k));
  append("CCCCK: " + std::to_string(PresetCheckValue(sum)));
  return file;
}

namespace {

// Writes `content` to `scratch`, then renames it over `target`: a failed
// write leaves an existing target as it was, and no half-written target.
SaveResult WriteThroughScratch(const std::string& content, const std::filesystem::path& scratch,
                               const std::filesystem::path& target) {
  auto fail = [&](const std::string& reason) {
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    return SaveResult{false, NoticeSaveFailed.chinese,
                      std::string(NoticeSaveFailed.english) + " (" + reason + ")"};
  };
  {
    std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return fail("cannot create " + scratch.string());
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (out.fail()) return fail("cannot write " + scratch.string());
  }
  std::error_code ec;
  std::filesystem::rename(scratch, target, ec);
  if (ec) return fail("cannot replace " + target.string() + ": " + ec.message());
  return {true, {}, {}};
}

}  // namespace

SaveResult SavePresetFile(const ParamStore& store, const std::filesystem::path& folder,
                          std::string_view name) {
  if (!ValidPresetName(name)) return {false, NoticeBadName.chinese, NoticeBadName.english};
  // A listed preset whose extension has another letter case is replaced in
  // place rather than joined by a second file of the same listed name.
  return WriteThroughScratch(BuildPresetFile(store), PresetScratchPath(folder, name),
                             FindPresetFile(folder, name));
}

SaveResult SavePresetFileAs(const ParamStore& store, const std::filesystem::path& file) {
  return WriteFileAs(BuildPresetFile(store), file);
}

SaveResult WriteFileAs(const std::string& content, const std::filesystem::path& file) {
  if (file.filename().empty()) return {false, NoticeBadName.chinese, NoticeBadName.english};
  std::filesystem::path scratch = file;
  scratch += ".tmp";
  return WriteThroughScratch(content, scratch, file);
}

LoadOutcome LoadPresetFile(ParamStore& store, const std::filesystem::path& folder, std::string_view name,
                           PresetEvents& events) {
  if (!ValidPresetName(name)) return LoadFailure::Notice(events, LoadOutcome::BadName, NoticeBadName);
  return LoadPresetFileFrom(store, FindPresetFile(folder, name), events);
}

LoadOutcome LoadPresetFileFrom(ParamStore& store, const std::filesystem::path& path, PresetEvents& events) {
  std::string content;
  {
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) return LoadFailure::Notice(events, LoadOutcome::Missing, NoticeFileMissing);
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return LoadFailure::Notice(events, LoadOutcome::Missing, NoticeFileMissing);
  }

  return LoadPresetContent(store, content, events);
}

LoadOutcome LoadPresetContent(ParamStore& store, const std::string& content, PresetEvents& events) {
  // The whole file is unscrambled before any line is interpreted.
  std::vector<std::string> lines = SplitPresetLines(content);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    auto plain = DecodePresetLine(lines[k]);
    if (!plain) return LoadFailure::Malformed(events, k);
    lines[k] = std::move(*plain);
  }
  if (lines.size() < 2) return LoadFailure::Malformed(events, lines.size());

  const auto header = SecondField(lines[0]);
  if (!header) return LoadFailure::Malformed(events, 0);
  if (!SecondField(lines[1])) return LoadFailure::Malformed(events, 1);
  if ((*header ^ PresetHeaderMask) != PresetModelCode) {
    return LoadFailure::Notice(events, LoadOutcome::FormatError, NoticeFormatError);
  }

  const std::size_t last = lines.size() - 1;
  const auto total = SecondField(lines[last - 1]);
  if (!total) return LoadFailure::Malformed(events, last - 1);
  const auto check = SecondField(lines[last]);
  if (!check) return LoadFailure::Malformed(events, last);
  events.ClearLog();
  if (static_cast<std::int64_t>(last) - 1 != *total) {
    return LoadFailure::Notice(events, LoadOutcome::Corrupted, NoticeCorrupted);
  }

  // Entries go into a scratch copy; the device image changes only when the
  // whole file has been accepted.
  auto scratch = store.DeviceImage;
  std::uint32_t sum = 0;
  for (std::size_t k = 2; k + 2 <= last; ++k) {
    const auto position = ParseDecimal(Field(lines[k], 0));
    const auto value = SecondField(lines[k]);
    if (!position || !value) return LoadFailure::Malformed(events, k);
    const auto key = static_cast<std::int32_t>(k);
    const std::int32_t a = *position ^ key;
    const std::int32_t v = *value ^ key;
    const int channel = a / 256;
    const int index = a % 256;
    if (a < 0 || channel >= PresetChannels || index >= kDeviceSlots || v < 0 || v > PresetValueMax) {
      return LoadFailure::Notice(events, LoadOutcome::Corrupted, NoticeCorrupted);
    }
    scratch[channel][index] = v;
    sum += static_cast<std::uint32_t>(v);
    events.AppendLog(std::to_string(a) + " " + std::to_string(v));
  }
  if (PresetCheckValue(sum) != *check) {
    return LoadFailure::Notice(events, LoadOutcome::Corrupted, NoticeCorrupted);
  }
  store.DeviceImage = scratch;
  events.RequestUpload();
  return LoadOutcome::Accepted;
}

}  // namespace dsp
