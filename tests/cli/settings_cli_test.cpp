// The settings documents from the command line: export, import and diff as
// a script runs them, on preset files, exported documents and a processor
// on a port (the emulator, directly and behind ser2net).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../core/preset_kit.h"
#include "emulator/emulator.h"
#include "posix/emulator_process.h"
#include "posix/ser2net_process.h"
#include "presets/preset_file.h"
#include "program.h"
#include "store/param_store.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using test::ReadFile;
using test::RunProgram;
using test::WriteFile;

std::string Describe(const ProgramResult& r) {
  return "exit " + std::to_string(r.code()) + "\nstdout:\n" + r.out + "\nstderr:\n" + r.err;
}

// The text of a PDF file as pdftotext reads it.
std::string PdfText(const fs::path& pdf) {
  std::string text;
  if (std::FILE* p = ::popen(("pdftotext -layout '" + pdf.string() + "' -").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
    ::pclose(p);
  }
  return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class SettingsCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(test::ControlBinary())) << test::ControlBinary();
    dir = fs::temp_directory_path() / ("settings_cli_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // A preset file with two known values over the factory-like zero image.
  fs::path Known(const std::string& name, int freqStep = 204) {
    ParamStore store;
    store.DeviceImage[0][15] = freqStep;  // 音乐 EQ3 频率
    store.DeviceImage[5][31] = 100;       // 主输出 EQ1 频率
    const fs::path file = dir / name;
    WriteFile(file, BuildPresetFile(store));
    return file;
  }
  fs::path dir;
};

TEST_F(SettingsCommands, ExportThenImportGivesTheSameBytesForTheWholeKit) {
  int n = 0;
  for (const auto& sample : kit::PresetKit()) {
    SCOPED_TRACE(sample.what);
    const fs::path preset = dir / ("kit" + std::to_string(n) + ".Wfxr");
    const fs::path doc = dir / ("kit" + std::to_string(n) + ".json");
    const fs::path back = dir / ("kit" + std::to_string(n++) + "-back.Wfxr");
    WriteFile(preset, sample.bytes);
    const ProgramResult exported = RunProgram({"export", preset.string(), doc.string()});
    ASSERT_EQ(exported.code(), 0) << Describe(exported);
    const ProgramResult imported = RunProgram({"import", doc.string(), back.string()});
    ASSERT_EQ(imported.code(), 0) << Describe(imported);
    EXPECT_EQ(ReadFile(back), sample.bytes);
    EXPECT_FALSE(fs::exists(back.string() + ".tmp"));
  }
}

TEST_F(SettingsCommands, ExportSpeaksChineseUnlessAskedAndImportReadsBoth) {
  const fs::path preset = Known("room.Wfxr");
  const ProgramResult zh = RunProgram({"export", preset.string()}, 60000, {}, {}, {{"LANGUAGE", "en"}});
  ASSERT_EQ(zh.code(), 0) << Describe(zh);
  EXPECT_NE(zh.out.find("\"音乐 EQ3 频率\": {\"text\": \"1000.0Hz\", \"step\": 204},"), std::string::npos)
      << zh.out.substr(0, 2000);
  const ProgramResult en = RunProgram({"--lang", "en", "export", preset.string()});
  ASSERT_EQ(en.code(), 0) << Describe(en);
  EXPECT_NE(en.out.find("\"Music EQ3 Freq\": {\"text\": \"1000.0Hz\", \"step\": 204},"), std::string::npos)
      << en.out.substr(0, 2000);
  EXPECT_NE(en.out.find("\"language\": \"en\""), std::string::npos);

  // The English document, with a value given by its text, imports.
  const fs::path doc = dir / "room-en.json";
  WriteFile(doc, Replace(en.out, "\"Music EQ3 Freq\": {\"text\": \"1000.0Hz\", \"step\": 204}",
                         "\"Music EQ3 Freq\": \"1020Hz\""));
  const fs::path back = dir / "room-en.Wfxr";
  const ProgramResult imported = RunProgram({"import", doc.string(), back.string()});
  ASSERT_EQ(imported.code(), 0) << Describe(imported);
  const ProgramResult diff = RunProgram({"diff", preset.string(), back.string()});
  EXPECT_EQ(diff.code(), 1) << Describe(diff);
  EXPECT_NE(diff.out.find("  音乐 EQ3 频率: 1000.0Hz → 1020.0Hz\n"), std::string::npos) << diff.out;
}

TEST_F(SettingsCommands, ABadDocumentListsEveryProblemWithItsLineAndWritesNothing) {
  const fs::path preset = Known("room.Wfxr");
  const ProgramResult exported = RunProgram({"export", preset.string()});
  ASSERT_EQ(exported.code(), 0);
  std::string text = Replace(exported.out, "\"音乐 EQ3 频率\": {\"text\": \"1000.0Hz\", \"step\": 204}",
                             "\"音乐 EQ3 频率\": \"loud\"");
  text = Replace(text, "\"音乐 EQ3 增益\": {\"text\": \"-24.0dB\", \"step\": 0}", "\"音乐 EQ99 增益\": 0");
  const fs::path doc = dir / "bad.json";
  WriteFile(doc, text);
  const fs::path out = dir / "out.Wfxr";
  WriteFile(out, "kept");
  const ProgramResult r = RunProgram({"import", doc.string(), out.string()});
  EXPECT_EQ(r.code(), 1) << Describe(r);
  EXPECT_NE(r.err.find(doc.string() + ":"), std::string::npos);
  EXPECT_NE(r.err.find(": \"音乐 EQ3 频率\": value \"loud\" does not parse"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(": unknown parameter \"音乐 EQ99 增益\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(": missing parameter \"音乐 EQ3 增益\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nothing written"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(out), "kept");
  EXPECT_TRUE(r.out.empty());

  // A damaged preset file is refused on export, and nothing is written.
  std::string damaged = ReadFile(preset);
  damaged[damaged.size() / 2] = damaged[damaged.size() / 2] == '0' ? '1' : '0';
  WriteFile(dir / "damaged.Wfxr", damaged);
  const ProgramResult refused = RunProgram({"export", (dir / "damaged.Wfxr").string(), (dir / "d.json").string()});
  EXPECT_EQ(refused.code(), 1) << Describe(refused);
  EXPECT_NE(refused.err.find("Data file is corrupted!"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(dir / "d.json"));
  // So is an output folder that does not exist.
  const ProgramResult nowhere = RunProgram({"export", preset.string(), (dir / "no" / "such.json").string()});
  EXPECT_EQ(nowhere.code(), 1) << Describe(nowhere);
  EXPECT_NE(nowhere.err.find("cannot be written"), std::string::npos) << nowhere.err;
}

TEST_F(SettingsCommands, DiffOfEqualOneValueAndAllDifferentSettings) {
  const fs::path a = Known("a.Wfxr");
  const fs::path same = Known("same.Wfxr");
  const fs::path one = Known("one.Wfxr", 205);
  ParamStore all;
  kit::Randomise(all, 5, 20);
  for (auto& row : all.DeviceImage)
    for (auto& v : row) v = v + 1;  // never 0, never what Known holds... almost: checked below
  all.DeviceImage[0][15] = 17;
  const fs::path many = dir / "many.Wfxr";
  WriteFile(many, BuildPresetFile(all));
  const fs::path doc = dir / "a.json";
  ASSERT_EQ(RunProgram({"export", a.string(), doc.string()}).code(), 0);

  const ProgramResult equal = RunProgram({"diff", a.string(), same.string()});
  EXPECT_EQ(equal.code(), 0) << Describe(equal);
  EXPECT_NE(equal.out.find("equal"), std::string::npos);
  // A document and the file it came from are equal too.
  EXPECT_EQ(RunProgram({"diff", doc.string(), a.string()}).code(), 0);

  const ProgramResult single = RunProgram({"diff", a.string(), one.string()});
  EXPECT_EQ(single.code(), 1) << Describe(single);
  EXPECT_EQ(single.out, "1 difference(s) from " + a.string() + " to " + one.string() +
                            "\n音乐 (1):\n  音乐 EQ3 频率: 1000.0Hz → 1020.0Hz\n");
  const ProgramResult json = RunProgram({"diff", "--json", doc.string(), one.string()});
  EXPECT_EQ(json.code(), 1) << Describe(json);
  EXPECT_NE(json.out.find("\"equal\": false,"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("{\"name\": \"音乐 EQ3 频率\", \"a\": \"1000.0Hz\", \"a step\": 204, "
                          "\"b\": \"1020.0Hz\", \"b step\": 205}"),
            std::string::npos)
      << json.out;

  const ProgramResult lots = RunProgram({"--lang", "en", "diff", a.string(), many.string()});
  EXPECT_EQ(lots.code(), 1) << Describe(lots);
  // Every page is listed, in page order, each parameter once.
  std::size_t last = 0;
  for (const char* page : {"Music (", "Microphone (", "Effect (", "Main output (", "Centre output (",
                           "Subwoofer output (", "Rear output ("}) {
    const auto at = lots.out.find(std::string("\n") + page);
    EXPECT_NE(at, std::string::npos) << page << "\n" << lots.out.substr(0, 400);
    if (at != std::string::npos) {
      EXPECT_GT(at, last) << page;
    }
    last = at;
  }

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"diff", a.string()}, std::vector<std::string>{"diff", "a", "b", "c"},
        std::vector<std::string>{"import", "x.json"}, std::vector<std::string>{"export"},
        std::vector<std::string>{"--json", "export", a.string()}}) {
    const ProgramResult usage = RunProgram(args);
    EXPECT_EQ(usage.code(), 2) << Describe(usage);
  }
  // A source that is neither a file nor a port that answers.
  const ProgramResult missing = RunProgram({"diff", a.string(), (dir / "missing.Wfxr").string()}, 60000);
  EXPECT_EQ(missing.code(), 1) << Describe(missing);
}

TEST_F(SettingsCommands, DiffAndExportReadAProcessorOnAPortWithoutWritingToIt) {
  const fs::path log = dir / "frames.log";
  posix::EmulatorProcess emulator({"--random-image", "--seed", "3", "--log", log.string()});
  ASSERT_FALSE(emulator.path().empty());
  posix::Ser2netProcess server(emulator.path());
  ASSERT_TRUE(server.started());
  ProcessorEmulator expected;
  expected.FillRandom(3);
  ParamStore held;
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i) held.DeviceImage[c][i] = expected.image[c][i];
  const fs::path backup = dir / "held.Wfxr";
  WriteFile(backup, BuildPresetFile(held));

  const ProgramResult same = RunProgram({"diff", backup.string(), server.rawUrl()});
  EXPECT_EQ(same.code(), 0) << Describe(same);
  const fs::path doc = dir / "port.json";
  const ProgramResult exported = RunProgram({"export", emulator.path(), doc.string()});
  ASSERT_EQ(exported.code(), 0) << Describe(exported);
  const ProgramResult imported = RunProgram({"import", doc.string(), (dir / "port.Wfxr").string()});
  ASSERT_EQ(imported.code(), 0) << Describe(imported);
  EXPECT_EQ(ReadFile(dir / "port.Wfxr"), ReadFile(backup));

  // Nothing was written to the processor's settings: no write frame to an
  // address of channels 0..8 (commands live at channel 9's addresses).
  std::istringstream frames(ReadFile(log));
  int lines = 0;
  for (std::string line; std::getline(frames, line); ++lines) {
    // "FC B1 LL CC HH SS ...": command CC, address HH SS.
    if (line.size() >= 14 && line.substr(9, 2) == "A7") {
      EXPECT_GE(line.substr(12, 2), std::string("09")) << line;
    }
  }
  EXPECT_GT(lines, 0) << "the processor's frames were logged";
}

TEST_F(SettingsCommands, ReportOfAFileAndOfAPortThatGoesAwayMidDownload) {
  const fs::path preset = Known("room12.Wfxr");
  const fs::path pdf = dir / "room12.pdf";
  const ProgramResult made = RunProgram({"report", preset.string(), pdf.string()});
  ASSERT_EQ(made.code(), 0) << Describe(made);
  EXPECT_EQ(ReadFile(pdf).rfind("%PDF", 0), 0u);
  EXPECT_FALSE(fs::exists(pdf.string() + ".tmp"));
  // The text is in the window's language: English asked for.
  const fs::path english = dir / "room12-en.pdf";
  ASSERT_EQ(RunProgram({"--lang", "en", "report", preset.string(), english.string()}).code(), 0);
  const std::string zh = PdfText(pdf);
  EXPECT_NE(zh.find("设置报告"), std::string::npos) << zh.substr(0, 500);
  EXPECT_NE(zh.find("room12.Wfxr"), std::string::npos);
  EXPECT_NE(zh.find("1000.0Hz"), std::string::npos);
  const std::string en = PdfText(english);
  EXPECT_NE(en.find("Music"), std::string::npos) << en.substr(0, 500);
  EXPECT_EQ(en.find("设置报告"), std::string::npos);

  const ProgramResult nowhere = RunProgram({"report", preset.string(), (dir / "no" / "r.pdf").string()});
  EXPECT_EQ(nowhere.code(), 1) << Describe(nowhere);
  EXPECT_NE(nowhere.err.find("cannot write"), std::string::npos) << nowhere.err;

  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  posix::Ser2netProcess server(emulator.path());
  ASSERT_TRUE(server.started());
  const fs::path lost = dir / "lost.pdf";
  bool killed = false;
  const ProgramResult r = RunProgram({"report", server.rawUrl(), lost.string()}, 60000, [&](const std::string& err) {
    if (!killed && err.find("downloading: 30%") != std::string::npos) {
      server.Stop(SIGKILL);
      killed = true;
    }
  });
  ASSERT_TRUE(killed) << Describe(r);
  EXPECT_EQ(r.code(), 1) << Describe(r);
  EXPECT_NE(r.err.find("no report written"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(lost));
  EXPECT_FALSE(fs::exists(lost.string() + ".tmp"));
}

}  // namespace
}  // namespace dsp
