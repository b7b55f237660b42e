#include "settingsdoc/settings_document.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "eq/scales.h"
#include "presets/preset_file.h"
#include "preset_kit.h"

namespace dsp {
namespace {

int Id(int row, int index) { return CellAt(row, index); }
const ParamCell& Cell(int row, int index) { return ParamCells()[static_cast<std::size_t>(Id(row, index))]; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The line (from 1) of the first line of `doc` that contains `part`.
int LineOf(const std::string& doc, const std::string& part) {
  const auto lines = Lines(doc);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(part) != std::string::npos) return static_cast<int>(i) + 1;
  return 0;
}

// `doc` with the first line containing `part` replaced by `line` (which
// loses its trailing comma where the line replaced had none).
std::string Edit(const std::string& doc, const std::string& part, std::string line) {
  std::string out;
  bool done = false;
  for (const auto& l : Lines(doc)) {
    if (!done && l.find(part) != std::string::npos) {
      done = true;
      if (!line.empty() && line.back() == ',' && (l.empty() || l.back() != ',')) line.pop_back();
      out += line;
    } else {
      out += l;
    }
    out += '\n';
  }
  return out;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// `doc` with line `number` (from 1) replaced.
std::string EditLine(const std::string& doc, int number, const std::string& line) {
  const auto lines = Lines(doc);
  return Edit(doc, lines[static_cast<std::size_t>(number - 1)], line);
}

std::string KnownFile() {
  ParamStore store;
  store.DeviceImage[0][15] = 204;  // 音乐 EQ3 频率 1000.0Hz
  store.DeviceImage[0][16] = 105;  // 音乐 EQ3 增益 -3.0dB
  store.DeviceImage[0][0] = 1;     // manual
  return BuildPresetFile(store);
}

TEST(SettingsDocument, EveryAcceptedFileRoundTripsByteForByte) {
  for (const auto& sample : kit::PresetKit()) {
    ASSERT_TRUE(ReadPresetContent(sample.bytes).ok) << sample.what;
    std::string error;
    const auto doc = ExportPresetFile(sample.bytes, SourceTexts(), "zh", error);
    ASSERT_TRUE(doc) << sample.what << ": " << error;
    const ImportResult back = ImportSettings(*doc, SourceTexts());
    ASSERT_TRUE(back.ok) << sample.what << ": line " << back.problems.front().line << " "
                         << back.problems.front().message;
    EXPECT_EQ(back.file, sample.bytes) << sample.what;
    // Only a file in the writer's layout is described by its values alone.
    const bool own = sample.bytes == BuildPresetFile([&] {
                       ParamStore s;
                       s.DeviceImage = ReadPresetContent(sample.bytes).settings.image;
                       return s;
                     }());
    EXPECT_EQ(doc->find("\"original file\"") == std::string::npos, own) << sample.what;
    EXPECT_EQ(back.layoutKept, !own) << sample.what;
  }
}

TEST(SettingsDocument, ExportsReadableNamesOneParameterPerLineInAStableOrder) {
  std::string error;
  const auto doc = ExportPresetFile(KnownFile(), SourceTexts(), "zh", error);
  ASSERT_TRUE(doc) << error;
  EXPECT_NE(doc->find("    \"音乐 EQ3 频率\": {\"text\": \"1000.0Hz\", \"step\": 204},\n"), std::string::npos);
  EXPECT_NE(doc->find("    \"音乐 EQ3 增益\": {\"text\": \"-3.0dB\", \"step\": 105},\n"), std::string::npos);
  EXPECT_NE(doc->find("    \"音乐 自动/手动\": {\"text\": \"手动\", \"step\": 1},\n"), std::string::npos);
  EXPECT_NE(doc->find("\"file\": {\"model code\": 177, \"second header\": 1, \"data lines\": 513, "),
            std::string::npos);
  EXPECT_LT(LineOf(*doc, "\"音乐\": {"), LineOf(*doc, "\"麦克风\": {"));
  EXPECT_LT(LineOf(*doc, "音乐 EQ3 频率"), LineOf(*doc, "音乐 EQ3 增益"));
  std::string again;
  EXPECT_EQ(*ExportPresetFile(KnownFile(), SourceTexts(), "zh", again), *doc);
  // Names are unique, so a name finds its parameter.
  std::set<std::string> names;
  for (const ParamCell& cell : ParamCells()) {
    if (!cell.inSetting) continue;
    EXPECT_TRUE(names.insert(cell.name).second) << cell.name;
    EXPECT_EQ(CellOfName(cell.name), Id(cell.row, cell.index)) << cell.name;
  }
}

TEST(SettingsDocument, ValuesByTextFollowTheFieldRules) {
  struct Case {
    int row, index;
    const char* text;
    int step;  // -1: refused
  } cases[] = {
      {0, 15, "1000.0Hz", 204}, {0, 15, "1000", 204},   {0, 15, "1 000 Hz", 204},
      {0, 15, "30000Hz", 361},  {0, 15, "abc", -1},     {0, 15, "1.0.0", -1},
      {0, 16, "-3.0dB", 105},   {0, 16, "-3dB", 105},   {0, 16, "12.0dB", 180},
      {0, 16, "12.2dB", -1},    {0, 16, "-30dB", -1},   {0, 17, "1.00", 16},
      {0, 4, "LSEQ", 1},        {0, 4, "XEQ", -1},      {0, 0, "手动", 1},
      {0, 1, "舞蹈", 1},        {0, 3, "开", 1},        {0, 3, "maybe", -1},
  };
  for (const auto& c : cases) {
    const auto v = ValueFromText(Cell(c.row, c.index), c.text);
    if (c.step < 0) {
      EXPECT_FALSE(v) << c.text;
    } else {
      ASSERT_TRUE(v) << c.text;
      EXPECT_EQ(*v, c.step) << c.text;
    }
  }
  // A gain typed between steps goes where the field puts it.
  EXPECT_EQ(ValueFromText(Cell(0, 16), "-2.9dB"), static_cast<int>(TextToStep(role::BandGain, -2.9)));
}

TEST(SettingsDocument, EditedValuesImportByTextOrStep) {
  std::string error;
  const std::string doc = *ExportPresetFile(KnownFile(), SourceTexts(), "zh", error);
  std::string edited = Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 频率\": \"1020Hz\",");
  edited = Edit(edited, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": 120,");
  const ImportResult back = ImportSettings(edited, SourceTexts());
  ASSERT_TRUE(back.ok) << back.problems.front().message;
  EXPECT_EQ(back.settings.Value(Cell(0, 15)), static_cast<int>(TextToStep(role::BandFreq, 1020)));
  EXPECT_EQ(back.settings.Value(Cell(0, 16)), 120);
  ParamStore expected;
  expected.DeviceImage = back.settings.image;
  EXPECT_EQ(back.file, BuildPresetFile(expected));

  // A file in another layout whose values were edited is written in the
  // writer's layout, and says so.
  const auto sample = kit::PresetKit()[4];  // lower-case digits
  const std::string foreign = *ExportPresetFile(sample.bytes, SourceTexts(), "zh", error);
  const ImportResult relaid = ImportSettings(Edit(foreign, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": 0,"),
                                             SourceTexts());
  ASSERT_TRUE(relaid.ok);
  EXPECT_FALSE(relaid.layoutKept);
  EXPECT_FALSE(relaid.note.empty());
  EXPECT_NE(relaid.file, sample.bytes);
  EXPECT_EQ(relaid.settings.Value(Cell(0, 16)), 0);
}

TEST(SettingsDocument, ImportRefusesBadDocumentsWithTheirLines) {
  std::string error;
  const std::string doc = *ExportPresetFile(KnownFile(), SourceTexts(), "zh", error);
  const int freq = LineOf(doc, "\"音乐 EQ3 频率\"");
  const int gain = LineOf(doc, "\"音乐 EQ3 增益\"");
  const int pages = LineOf(doc, "\"pages\"");
  const int mic = LineOf(doc, "\"麦克风\": {");
  struct Case {
    const char* what;
    std::string text;
    int line;
    const char* message;  // a part of the problem's message
  } cases[] = {
      {"unknown name", Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ33 频率\": \"1000.0Hz\","), freq,
       "unknown parameter \"音乐 EQ33 频率\""},
      {"step out of range", Edit(doc, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": 181,"), gain,
       "step 181 is out of range (0..180)"},
      {"negative step", Edit(doc, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": {\"step\": -1},"), gain,
       "out of range"},
      {"text out of range", Edit(doc, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": \"20dB\","), gain,
       "\"20dB\" does not parse or is out of range"},
      {"text that does not parse", Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 频率\": \"loud\","), freq,
       "\"loud\" does not parse"},
      {"text and step disagree",
       Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 频率\": {\"text\": \"1020.0Hz\", \"step\": 204},"), freq,
       "does not match step 204"},
      {"fractional step", Edit(doc, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": 100.5,"), gain, "whole number"},
      {"missing parameter", Edit(doc, "\"音乐 EQ3 频率\"", ""), pages, "missing parameter \"音乐 EQ3 频率\""},
      {"twice on one page", Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 增益\": 120,"), gain,
       "duplicate member name \"音乐 EQ3 增益\""},
      {"twice on two pages", EditLine(doc, mic + 1, "    \"音乐 EQ3 增益\": 120,"), mic + 1,
       "given twice (first on line"},
      {"not JSON", Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 频率\": 204,,"), freq, "not valid JSON"},
      {"wrong format", Edit(doc, "\"format\"", "  \"format\": \"something else\","), 2, "\"format\" must be"},
      {"bad reserved entry", Replace(doc, "\"0:2\": 0", "\"0:15\": 0"), LineOf(doc, "\"0:2\""),
       "\"0:15\" is no reserved entry"},
      {"reserved entry out of range", Replace(doc, "\"0:54\": 0", "\"0:54\": 65536"), LineOf(doc, "\"0:54\""),
       "must be a step 0..65535"},
      {"bad original", Edit(doc, "\"version\"", "  \"version\": 1, \"original file\": \"@@@@\","), 3,
       "not base64"},
  };
  for (const auto& c : cases) {
    const ImportResult result = ImportSettings(c.text, SourceTexts());
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_TRUE(result.file.empty()) << c.what;
    ASSERT_FALSE(result.problems.empty()) << c.what;
    bool found = false;
    for (const auto& p : result.problems)
      found = found || (p.line == c.line && p.message.find(c.message) != std::string::npos);
    EXPECT_TRUE(found) << c.what << ": first problem line " << result.problems.front().line << ": "
                       << result.problems.front().message;
  }
  // Every problem is reported, not only the first.
  std::string two = Edit(doc, "\"音乐 EQ3 频率\"", "    \"音乐 EQ3 频率\": \"loud\",");
  two = Edit(two, "\"音乐 EQ3 增益\"", "    \"音乐 EQ3 增益\": 999,");
  EXPECT_EQ(ImportSettings(two, SourceTexts()).problems.size(), 2u);
}

}  // namespace
}  // namespace dsp
