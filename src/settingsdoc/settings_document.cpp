#include "settingsdoc/settings_document.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <system_error>
#include <unordered_map>

#include "catalogue/catalogue.h"
#include "eq/scales.h"
#include "json/json.h"
#include "presets/preset_file.h"

namespace dsp {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 2]);
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

std::optional<std::string> FromBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t n = 0;
    int padding = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      int v = -1;
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        ++padding;
        v = 0;
      } else if (padding == 0) {
        const char* p = std::char_traits<char>::find(kBase64, 64, c);
        if (p != nullptr) v = static_cast<int>(p - kBase64);
      }
      if (v < 0) return std::nullopt;
      n = (n << 6) | static_cast<std::uint32_t>(v);
    }
    out += static_cast<char>((n >> 16) & 0xFF);
    if (padding < 2) out += static_cast<char>((n >> 8) & 0xFF);
    if (padding < 1) out += static_cast<char>(n & 0xFF);
  }
  return out;
}

// The plain (unscrambled) lines of a preset file, split as the reader splits
// them; lines that do not unscramble are left empty.
std::vector<std::string> PlainLines(const std::string& content) {
  std::vector<std::string> lines = SplitPresetLines(content);
  for (std::string& line : lines) line = DecodePresetLine(line).value_or("");
  return lines;
}

std::optional<std::int64_t> SecondNumber(const std::string& line) {
  const auto space = line.find(' ');
  if (space == std::string::npos) return std::nullopt;
  const std::string_view field = std::string_view(line).substr(space + 1, line.find(' ', space + 1) - space - 1);
  std::int64_t n = 0;
  const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), n);
  if (ec != std::errc() || ptr != field.data() + field.size()) return std::nullopt;
  return n;
}

std::string PositionKey(int row, int index) { return std::to_string(row) + ":" + std::to_string(index); }

bool IsNumberBandField(const ParamCell& cell) { return cell.kind == CellKind::BandField && cell.field >= 1; }

std::optional<double> TypedNumber(std::string_view text) {
  // Only the characters a value field lets through count: digits, '-', '.'.
  std::string kept;
  for (const char c : text)
    if (c == '-' || c == '.' || (c >= '0' && c <= '9')) kept += c;
  if (kept.empty()) return std::nullopt;
  double number = 0.0;
  const auto [ptr, ec] = std::from_chars(kept.data(), kept.data() + kept.size(), number);
  if (ec != std::errc() || ptr != kept.data() + kept.size()) return std::nullopt;
  return number;
}

// Every setting cell by its name, in the source texts and in `texts`.
class NameIndex {
 public:
  explicit NameIndex(const Translator& texts) {
    const auto& cells = ParamCells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (!cells[i].inSetting) continue;
      names_.emplace(cells[i].name, static_cast<int>(i));
      names_.emplace(CellName(cells[i], texts), static_cast<int>(i));
    }
  }
  int Find(std::string_view name) const {
    const auto it = names_.find(std::string(name));
    return it == names_.end() ? -1 : it->second;
  }

 private:
  std::unordered_map<std::string, int> names_;
};

json::Value ValueEntry(const ParamCell& cell, std::int32_t value, const Translator& texts) {
  json::Value entry = json::Value::MakeObject();
  entry.Add("text", CellValueText(cell, value, texts));
  entry.Add("step", static_cast<std::int64_t>(value));
  if (value < 0 || value > CellLimit(cell)) entry.Add("beyond range", true);
  return entry;
}

}  // namespace

PresetRead ReadPresetContent(const std::string& content) {
  PresetRead read;
  ParamStore store;
  NoticeRecorder events;
  if (LoadPresetContent(store, content, events) != LoadOutcome::Accepted) {
    read.error = events.notice.empty() ? "the preset file was refused" : events.notice;
    return read;
  }
  read.ok = true;
  read.settings = Capture(store);
  return read;
}

std::string ExportSettings(const Settings& settings, const Translator& texts, std::string_view language,
                           const std::string* original) {
  json::Value doc = json::Value::MakeObject();
  doc.Add("format", kSettingsFormat);
  doc.Add("version", kSettingsVersion);
  doc.Add("language", std::string(language));

  ParamStore store;
  store.DeviceImage = settings.image;
  const std::string written = BuildPresetFile(store);
  const std::string& file = original != nullptr ? *original : written;
  const std::vector<std::string> lines = PlainLines(file);
  json::Value header = json::Value::MakeObject();
  if (lines.size() >= 4) {
    header.Add("model code", SecondNumber(lines[0]).value_or(0) ^ PresetHeaderMask);
    header.Add("second header", SecondNumber(lines[1]).value_or(0) ^ PresetHeaderMask);
    header.Add("data lines", static_cast<std::int64_t>(lines.size() - 4));
    header.Add("check value", SecondNumber(lines.back()).value_or(0));
  }
  header.Add("layout", file == written ? "writer" : "own");
  doc.Add("file", std::move(header));

  // Every parameter under its page, in the order of the device image.
  json::Value& pages = doc.AddChild("pages", json::Value::MakeObject());
  std::map<int, json::Value> byPage;
  for (const ParamCell& cell : ParamCells()) {
    if (!cell.inSetting) continue;
    json::Value& page = byPage[cell.page];
    if (page.IsNull()) page = json::Value::MakeObject();
    page.AddChild(CellName(cell, texts), ValueEntry(cell, settings.Value(cell), texts));
  }
  for (auto& [page, members] : byPage)
    pages.AddChild(texts.Translate("Catalogue", PageTitle(page)), std::move(members));

  // The entries of the file that are no parameter: reserved slots and the
  // padding of the transfer blocks, kept for an exact round trip.
  json::Value& other = doc.AddChild("other entries", json::Value::MakeObject());
  for (int row = 0; row < PresetChannels; ++row) {
    for (int index = 0; index < kDeviceSlots; ++index) {
      if (CellAt(row, index) >= 0) continue;
      const std::int32_t value = settings.image[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
      if (index < PresetEntryCount[static_cast<std::size_t>(row)] || value != 0)
        other.AddChild(PositionKey(row, index), static_cast<std::int64_t>(value));
    }
  }
  if (file != written) doc.Add("original file", Base64(file));
  return json::Write(doc, json::Style::Pretty);
}

std::optional<std::string> ExportPresetFile(const std::string& content, const Translator& texts,
                                            std::string_view language, std::string& error) {
  const PresetRead read = ReadPresetContent(content);
  if (!read.ok) {
    error = read.error;
    return std::nullopt;
  }
  return ExportSettings(read.settings, texts, language, &content);
}

std::optional<std::int32_t> ValueFromText(const ParamCell& cell, std::string_view text, const Translator& texts) {
  const int limit = CellLimit(cell);
  if (IsNumberBandField(cell)) {
    const auto number = TypedNumber(text);
    if (!number) return std::nullopt;
    const int role = cell.field == 1 ? role::BandFreq : (cell.field == 2 ? role::BandGain : role::BandQ);
    const double step = TextToStep(role, *number);
    if (!(step >= 0.0 && step <= limit)) return std::nullopt;
    return static_cast<std::int32_t>(step);
  }
  for (int step = 0; step <= limit; ++step) {
    if (CellValueText(cell, step, SourceTexts()) == text || CellValueText(cell, step, texts) == text) return step;
  }
  // A number without its unit, or written another way ("-3dB" for "-3.0dB").
  const auto number = TypedNumber(text);
  if (number && cell.entry != nullptr && cell.entry->kind == ParamKind::Slider) {
    for (int step = 0; step <= limit; ++step) {
      const auto shown = TypedNumber(CellValueText(cell, step, SourceTexts()));
      if (shown && *shown == *number) return step;
    }
  }
  return std::nullopt;
}

int CellOfName(std::string_view name, const Translator& texts) {
  if (&texts == &SourceTexts()) {
    static const NameIndex source(SourceTexts());
    return source.Find(name);
  }
  return NameIndex(texts).Find(name);
}

namespace {

class Importer {
 public:
  explicit Importer(const Translator& texts) : texts_(texts) {}

  ImportResult Run(std::string_view document) {
    json::ParseError error;
    const auto doc = json::Parse(document, error);
    if (!doc) {
      Problem(error.line, "not valid JSON: " + error.message + " (column " + std::to_string(error.column) + ")");
      return Finish();
    }
    if (!doc->IsObject()) {
      Problem(doc->line(), "the document is not a JSON object");
      return Finish();
    }
    const json::Value* format = doc->Find("format");
    if (format == nullptr || format->AsString() != kSettingsFormat) {
      Problem(format ? format->line() : doc->line(),
              std::string("\"format\" must be \"") + kSettingsFormat + "\"");
    }
    const json::Value* version = doc->Find("version");
    if (version == nullptr || !version->IsInteger() || version->AsInt() != kSettingsVersion) {
      Problem(version ? version->line() : doc->line(),
              "\"version\" must be " + std::to_string(kSettingsVersion));
    }
    names_ = &Names(texts_);
    // Missing names are said in the document's own language.
    const json::Value* language = doc->Find("language");
    if (language == nullptr || language->AsString() == "zh") missingTexts_ = &SourceTexts();
    ReadPages(*doc);
    ReadOther(*doc);
    if (!result_.problems.empty()) return Finish();

    ParamStore store;
    store.DeviceImage = result_.settings.image;
    result_.file = BuildPresetFile(store);
    if (const json::Value* original = doc->Find("original file")) KeepOriginal(*original);
    return Finish();
  }

 private:
  void Problem(int line, std::string message) { result_.problems.push_back({line, std::move(message)}); }

  ImportResult Finish() {
    std::stable_sort(result_.problems.begin(), result_.problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    result_.ok = result_.problems.empty();
    if (!result_.ok) result_.file.clear();
    return std::move(result_);
  }

  void ReadPages(const json::Value& doc) {
    const json::Value* pages = doc.Find("pages");
    if (pages == nullptr || !pages->IsObject()) {
      Problem(pages ? pages->line() : doc.line(), "\"pages\" must be an object of pages");
      return;
    }
    const auto& cells = ParamCells();
    std::vector<int> givenAt(cells.size(), 0);
    for (const auto& [title, page] : pages->Members()) {
      if (!page.IsObject()) {
        Problem(page.line(), "page " + json::Quote(title) + " must be an object of parameters");
        continue;
      }
      for (const auto& [name, value] : page.Members()) {
        const int id = names_->Find(name);
        if (id < 0) {
          Problem(value.line(), "unknown parameter " + json::Quote(name));
          continue;
        }
        if (givenAt[static_cast<std::size_t>(id)] != 0) {
          Problem(value.line(), "parameter " + json::Quote(name) + " is given twice (first on line " +
                                    std::to_string(givenAt[static_cast<std::size_t>(id)]) + ")");
          continue;
        }
        givenAt[static_cast<std::size_t>(id)] = std::max(1, value.line());
        const ParamCell& cell = cells[static_cast<std::size_t>(id)];
        if (const auto v = ReadValue(cell, name, value)) result_.settings.Set(cell, *v);
      }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (cells[i].inSetting && givenAt[i] == 0)
        Problem(pages->line(), "missing parameter " + json::Quote(CellName(cells[i], *missingTexts_)));
    }
  }

  std::optional<std::int32_t> ReadValue(const ParamCell& cell, const std::string& name, const json::Value& value) {
    const int limit = CellLimit(cell);
    const std::string range = " (0.." + std::to_string(limit) + ")";
    const json::Value* text = nullptr;
    const json::Value* step = nullptr;
    bool beyond = false;
    if (value.IsString()) {
      text = &value;
    } else if (value.IsNumber()) {
      step = &value;
    } else if (value.IsObject()) {
      for (const auto& [key, item] : value.Members()) {
        if (key == "text") {
          text = &item;
        } else if (key == "step") {
          step = &item;
        } else if (key == "beyond range") {
          beyond = item.AsBool();
        } else {
          Problem(item.line(), json::Quote(name) + ": unknown key " + json::Quote(key));
          return std::nullopt;
        }
      }
      if (text == nullptr && step == nullptr) {
        Problem(value.line(), json::Quote(name) + ": give its \"text\" or its \"step\"");
        return std::nullopt;
      }
    } else {
      Problem(value.line(), json::Quote(name) + ": a value text, a step or an object was expected");
      return std::nullopt;
    }
    if (text != nullptr && !text->IsString()) {
      Problem(text->line(), json::Quote(name) + ": \"text\" must be a string");
      return std::nullopt;
    }
    if (step != nullptr) {
      if (!step->IsInteger()) {
        Problem(step->line(), json::Quote(name) + ": the step must be a whole number");
        return std::nullopt;
      }
      const std::int64_t n = step->AsInt();
      // A step beyond the field's range is what a processor or file may hold;
      // it is kept only where the export said so.
      const std::int64_t top = beyond ? PresetValueMax : limit;
      if (n < 0 || n > top) {
        Problem(step->line(), json::Quote(name) + ": step " + std::to_string(n) + " is out of range" +
                                  (beyond ? " (0.." + std::to_string(PresetValueMax) + ")" : range));
        return std::nullopt;
      }
      const auto v = static_cast<std::int32_t>(n);
      if (text != nullptr && !beyond && CellValueText(cell, v, SourceTexts()) != text->AsString() &&
          CellValueText(cell, v, texts_) != text->AsString()) {
        Problem(text->line(), json::Quote(name) + ": text " + json::Quote(text->AsString()) +
                                  " does not match step " + std::to_string(v) + " (" +
                                  json::Quote(CellValueText(cell, v, texts_)) + "); give one of them");
        return std::nullopt;
      }
      return v;
    }
    const auto v = ValueFromText(cell, text->AsString(), texts_);
    if (!v) {
      Problem(text->line(), json::Quote(name) + ": value " + json::Quote(text->AsString()) +
                                " does not parse or is out of range" + " (" +
                                json::Quote(CellValueText(cell, 0, texts_)) + ".." +
                                json::Quote(CellValueText(cell, limit, texts_)) + ")");
    }
    return v;
  }

  void ReadOther(const json::Value& doc) {
    const json::Value* other = doc.Find("other entries");
    if (other == nullptr) return;  // reserved entries then read as 0
    if (!other->IsObject()) {
      Problem(other->line(), "\"other entries\" must be an object");
      return;
    }
    for (const auto& [key, value] : other->Members()) {
      int row = -1;
      int index = -1;
      const auto colon = key.find(':');
      if (colon != std::string::npos) {
        const char* end = key.data() + key.size();
        const auto a = std::from_chars(key.data(), key.data() + colon, row);
        const auto b = std::from_chars(key.data() + colon + 1, end, index);
        if (a.ec != std::errc() || a.ptr != key.data() + colon || b.ec != std::errc() || b.ptr != end) row = -1;
      }
      if (row < 0 || row >= PresetChannels || index < 0 || index >= kDeviceSlots || CellAt(row, index) >= 0) {
        Problem(value.line(), "\"other entries\": " + json::Quote(key) + " is no reserved entry (CHANNEL:INDEX)");
        continue;
      }
      if (!value.IsInteger() || value.AsInt() < 0 || value.AsInt() > PresetValueMax) {
        Problem(value.line(), "\"other entries\": " + json::Quote(key) + " must be a step 0.." +
                                  std::to_string(PresetValueMax));
        continue;
      }
      result_.settings.image[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)] =
          static_cast<std::int32_t>(value.AsInt());
    }
  }

  void KeepOriginal(const json::Value& original) {
    const auto bytes = original.IsString() ? FromBase64(original.AsString()) : std::nullopt;
    if (!bytes) {
      Problem(original.line(), "\"original file\" is not base64 text");
      return;
    }
    const PresetRead read = ReadPresetContent(*bytes);
    if (!read.ok) {
      Problem(original.line(), "\"original file\" is not a preset file the reader accepts: " + read.error);
      return;
    }
    if (read.settings == result_.settings) {
      result_.file = *bytes;
      result_.layoutKept = true;
    } else {
      result_.note = "the values differ from the original file's, so the file is written in the program's own layout";
    }
  }

  const Translator& texts_;
  const Translator* missingTexts_ = &texts_;
  const NameIndex* names_ = nullptr;
  std::optional<NameIndex> ownNames_;

  // The index of the source texts is built once; another language's when
  // a document is read in it.
  const NameIndex& Names(const Translator& texts) {
    if (&texts == &SourceTexts()) {
      static const NameIndex source(SourceTexts());
      return source;
    }
    ownNames_.emplace(texts);
    return *ownNames_;
  }
  ImportResult result_;
};

}  // namespace

ImportResult ImportSettings(std::string_view document, const Translator& texts) {
  return Importer(texts).Run(document);
}

}  // namespace dsp
