// The core's texts in another language: patterns whose parts a translation
// may move, parameter names said piece by piece, and the link and preset
// texts handed to whoever shows them, while the core keeps deciding by its
// source texts.

#include "common/translator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "editmodel/edit_history.h"
#include "editmodel/param_cells.h"
#include "editmodel/settings.h"
#include "link_rig.h"
#include "presets/preset_file.h"

namespace dsp {
namespace {

// A translation held in a table; texts it lacks stay as they are, as with
// an installed translation.
class TableTranslator : public Translator {
 public:
  explicit TableTranslator(std::map<std::pair<std::string, std::string>, std::string> table)
      : table_(std::move(table)) {}
  std::string Translate(const char* context, const char* source) const override {
    const auto it = table_.find({context, source});
    return it != table_.end() ? it->second : std::string(source);
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> table_;
};

const TableTranslator& English() {
  static const TableTranslator english({
      {{"Catalogue", "音乐"}, "Music"},
      {{"Catalogue", "主输出"}, "Main output"},
      {{"Catalogue", "增益"}, "Gain"},
      {{"Catalogue", "音乐音量："}, "Music level:"},
      {{"Catalogue", "舞蹈"}, "Dance"},
      {{"Catalogue", "麦克风"}, "Microphone"},
      {{"Catalogue", "A组"}, "Group A"},
      {{"EditModel", "相位"}, "phase"},
      {{"EditModel", "开"}, "On"},
      {{"EditModel", "%1 等 %2 项参数"}, "%1 and %2 more"},
      {{"EditModel", "撤销"}, "Undo"},
      {{"EditModel", "将改变 %1 项参数 (%2)"}, "Changes %1 parameters (%2)"},
      {{"Link", "设备搜索..."}, "Searching..."},
      {{"Link", "设备未连接"}, "Not connected"},
      {{"Link", "连接失败!"}, "Connection failed!"},
      // A translation that puts the parts the other way round.
      {{"Link", "没有权限打开端口 %1,请将当前用户加入 %2 组后重新登录"}, "Join group %2 to open %1"},
      {{"Presets", "文件内容无法识别，行号: "}, "Unreadable preset file, line: "},
  });
  return english;
}

TEST(Translator, PatternsTakeTheirPartsInTheOrderTheTranslationAsks) {
  struct Case {
    const char* pattern;
    std::initializer_list<std::string_view> args;
    const char* expected;
  };
  const Case cases[] = {
      {"端口 %1 不存在", {"/dev/ttyUSB0"}, "端口 /dev/ttyUSB0 不存在"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"%1 twice %1", {"x"}, "x twice x"},
      {"no part %3, 100%", {"a"}, "no part %3, 100%"},  // nothing given for %3; a lone % stays
      {"%1", {"%2 is a name"}, "%2 is a name"},         // a part is not read again as a pattern
      {"end %", {}, "end %"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatText(c.pattern, c.args), c.expected) << c.pattern;
  EXPECT_EQ(SourceTexts().Translate("Link", "设备已连接"), "设备已连接");
}

TEST(Translator, ParameterNamesAndValuesAreSaidPieceByPiece) {
  // In the source texts a cell's pieces say its name exactly.
  for (const ParamCell& cell : ParamCells()) EXPECT_EQ(CellName(cell, SourceTexts()), cell.name);

  struct Case {
    int row, index;
    const char* name;
    std::int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {0, 16, "Music EQ3 Gain", 105, "-3.0dB"},           // numbers and units stay
      {0, 16 + 52, "Music(Dance) EQ3 Gain", 120, "0.0dB"},  // the dancing copy
      {5, 2, "Main output Music level phase", 1, "+"},      // a caption loses its colon
      {0, 3, "Music EQ pass", 1, "On"},
      {1, 0, "Microphone Group A 麦克风高通", 0, "Off"},  // untranslated pieces stay
  };
  for (const Case& c : cases) {
    const ParamCell& cell = ParamCells()[static_cast<std::size_t>(CellAt(c.row, c.index))];
    EXPECT_EQ(CellName(cell, English()), c.name);
    EXPECT_EQ(CellValueText(cell, c.value, English()), c.text) << c.name;
  }
}

TEST(Translator, HistoryAndDiffTextsSpeakTheLanguageTheyAreGiven) {
  const auto gain = static_cast<std::uint16_t>(CellAt(0, 16));
  const auto freq = static_cast<std::uint16_t>(CellAt(0, 15));
  EditStep step;
  step.changes = {{gain, 105, 120}, {freq, 204, 205}};
  EXPECT_EQ(step.Describe(English()), "Music EQ3 Gain -3.0dB → 0.0dB and 2 more");
  EXPECT_EQ(step.Describe(), "音乐 EQ3 增益 -3.0dB → 0.0dB 等 2 项参数");

  EditHistory history;
  history.Record(step);
  EXPECT_EQ(history.UndoText(English()), "Undo: Music EQ3 Gain -3.0dB → 0.0dB and 2 more");

  const DiffReport report = ReportDiff(step.changes, 1, English());
  EXPECT_EQ(report.summary, "Changes 2 parameters (Music 2)");
  EXPECT_EQ(report.first, std::vector<std::string>{"Music EQ3 Gain: -3.0dB → 0.0dB"});
}

TEST(Translator, TheLinkShowsItsTextsTranslatedButDecidesByTheSource) {
  test::LinkRig r({"P1"}, {"P1"});
  r.view.texts = &English();
  r.link.LinkBtnClick(true);
  EXPECT_EQ(r.view.LastStatus(), "Searching...");
  EXPECT_EQ(r.view.dialogText, "Searching...");
  for (int tick = 0; tick < 5 && r.view.messages.empty(); ++tick) r.Scan();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{"Connection failed!"});
  EXPECT_EQ(r.view.LastStatus(), "Not connected");
  // The link's own state stays in its source text.
  EXPECT_EQ(r.link.StatusText(), kNotLinkedText);

  const SerialPortError denied("denied", PortFault::PermissionDenied, "dialout");
  EXPECT_EQ(PortProblemText("/dev/ttyS0", denied, English()), "Join group dialout to open /dev/ttyS0");
  EXPECT_EQ(PortProblemText("/dev/ttyS0", denied),
            "没有权限打开端口 /dev/ttyS0,请将当前用户加入 dialout 组后重新登录");
}

class NoticeRecorder : public PresetEvents {
 public:
  const Translator& Texts() const override { return English(); }
  void ShowNotice(const std::string& shown, const std::string& english) override {
    notices.emplace_back(shown, english);
  }
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
  void RequestUpload() override {}
  std::vector<std::pair<std::string, std::string>> notices;
};

TEST(Translator, PresetNoticesAreShownInTheReadersLanguage) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dsp-translator-test";
  std::filesystem::create_directories(folder);
  {
    // A file of one line: its header, and nothing after it.
    std::ofstream out(folder / ("short" + std::string(PresetExtension)), std::ios::binary);
    out << EncodePresetLine("J3 98") << "\r\n";
  }
  ParamStore store;
  NoticeRecorder events;
  const LoadOutcome outcome = LoadPresetFile(store, folder, "short", events);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(outcome, LoadOutcome::Malformed);
  ASSERT_EQ(events.notices.size(), 1u);
  // The shown wording is the translation of the Chinese one, the line
  // number after it; the logged English wording is its own.
  EXPECT_EQ(events.notices[0].first.rfind("Unreadable preset file, line: ", 0), 0u) << events.notices[0].first;
  EXPECT_EQ(events.notices[0].first.substr(30), events.notices[0].second.substr(30));
}

}  // namespace
}  // namespace dsp
