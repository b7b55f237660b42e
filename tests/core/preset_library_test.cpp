#include "presets/preset_library.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "presets/preset_file.h"
#include "store/param_store.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
class PresetFolder : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("dsp-presets-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  void Touch(const std::string& name, const std::string& content = "x") const {
    std::ofstream(dir / fs::path(std::u8string(name.begin(), name.end())), std::ios::binary) << content;
  }

  fs::path dir;
};

class NoEvents : public PresetEvents {
 public:
  void ShowNotice(const std::string& chinese, const std::string&) override { notices.push_back(chinese); }
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
  void RequestUpload() override { ++uploads; }
  std::vector<std::string> notices;
  int uploads = 0;
};

TEST(PresetDisplayName, CutsAtTheDotFollowedByFourCharacters) {
  const struct {
    const char* file;
    const char* shown;
  } cases[] = {
      {"Live.Wfxr", "Live"},
      {"a.bcde.Wfxr", "a.bcde"},
      {"a.bcde", "a"},
      {"x.Wfxrold", "x.Wfxrold"},
      {"plain", "plain"},
      {"ab.cd", "ab.cd"},
      {"abc", "abc"},
      {".Wfxr", ""},
      {"Live.wFXR", "Live"},
      // Characters, not bytes: four Chinese characters after the dot.
      {"演唱.数据名称", "演唱"},
      {"演唱会.Wfxr", "演唱会"},
  };
  for (const auto& c : cases) EXPECT_EQ(PresetDisplayName(c.file), c.shown) << c.file;
}

TEST(PresetFileName, OnlyTheExtensionInAnyLetterCaseAfterALoadableName) {
  const struct {
    const char* file;
    bool listed;
  } cases[] = {
      {"A.Wfxr", true},     {"A.WFXR", true},  {"a.wfxr", true},     {"a.bcde.Wfxr", true},
      {"x.Wfxrold", false}, {".Wfxr", false},  {"Wfxr", false},      {"a.Wfxr.tmp", false},
      {"a.Wfx", false},     {"..Wfxr", false}, {"a\\b.Wfxr", false}, {"演唱.Wfxr", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPresetFileName(c.file), c.listed) << c.file;
}

TEST_F(PresetFolder, ListsPresetFilesInNameOrderIgnoringCase) {
  for (const char* name : {"b.Wfxr", "A.Wfxr", "x.Wfxrold", "C.WFXR", "a.bcde.Wfxr", "notes.txt", "a.Wfxr"})
    Touch(name);
  fs::create_directory(dir / "folder.Wfxr");
  EXPECT_EQ(ListPresetNames(dir), (std::vector<std::string>{"a.bcde", "A", "a", "b", "C"}));
}

TEST_F(PresetFolder, AnEmptyOrMissingFolderListsNothing) {
  EXPECT_TRUE(ListPresetNames(dir).empty());
  EXPECT_TRUE(ListPresetNames(dir / "missing").empty());
}

TEST_F(PresetFolder, TheListGrowsBeyondTwoHundredAndOneFiles) {
  for (int i = 0; i < 230; ++i) Touch("p" + std::to_string(1000 + i) + ".Wfxr");
  const auto names = ListPresetNames(dir);
  ASSERT_EQ(names.size(), 230u);
  EXPECT_EQ(names.front(), "p1000");
  EXPECT_EQ(names.back(), "p1229");
}

TEST_F(PresetFolder, AListedNameFindsItsFileWhateverTheExtensionCase) {
  Touch("Upper.WFXR");
  Touch("Both.Wfxr");
  Touch("Both.wfxr");
  EXPECT_EQ(FindPresetFile(dir, "Upper"), dir / "Upper.WFXR");
  EXPECT_EQ(FindPresetFile(dir, "Both"), dir / "Both.Wfxr");
  EXPECT_EQ(FindPresetFile(dir, "New"), dir / "New.Wfxr");
  // The stem must match exactly.
  EXPECT_EQ(FindPresetFile(dir, "upper"), dir / "upper.Wfxr");
}

TEST_F(PresetFolder, AListedUpperCaseFileLoadsAndIsReplacedInPlace) {
  ParamStore original;
  for (int c = 0; c < PresetChannels; ++c)
    for (int i = 0; i < PresetEntryCount[c]; ++i) original.SetDevice(c, i, (c * 37 + i * 11) % 181);
  Touch("Club.WFXR", BuildPresetFile(original));

  ParamStore loaded;
  NoEvents events;
  ASSERT_EQ(LoadPresetFile(loaded, dir, "Club", events), LoadOutcome::Accepted);
  EXPECT_EQ(events.uploads, 1);
  EXPECT_EQ(loaded.DeviceImage[5], original.DeviceImage[5]);

  loaded.SetDevice(3, 2, 99);
  ASSERT_TRUE(SavePresetFile(loaded, dir, "Club"));
  EXPECT_EQ(ListPresetNames(dir), std::vector<std::string>{"Club"});
  std::ifstream in(dir / "Club.WFXR", std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, BuildPresetFile(loaded));
}

TEST(PresetFolderChoice, OptionThenPortableFolderThenApplicationData) {
  const fs::path exe = "/opt/dsp";
  const fs::path data = "/home/u/.local/share/dsp";
  EXPECT_EQ(ChoosePresetFolder("/tmp/mine", exe, true, data), fs::path("/tmp/mine"));
  EXPECT_EQ(ChoosePresetFolder("", exe, true, data), exe / "Mode" / "J4100Mode");
  EXPECT_EQ(ChoosePresetFolder("", exe, false, data), data / "presets");
}

TEST(PresetFolderChoice, InstalledProgramKeepsItsPresetsOutOfTheBinFolder) {
  // Run as root, or from a user prefix, the bin folder is writable; the
  // presets still go to the user's data folder, not next to the programs.
  const fs::path data = "/home/u/.local/share/dsp";
  for (const fs::path exe : {fs::path("/usr/bin"), fs::path("/usr/local/bin/"), fs::path("/home/u/.local/bin")})
    EXPECT_EQ(ChoosePresetFolder("", exe, true, data), data / "presets") << exe;
  EXPECT_EQ(ChoosePresetFolder("/srv/presets", "/usr/bin", true, data), fs::path("/srv/presets"));
  // A portable copy whose name merely contains "bin" is still portable.
  EXPECT_EQ(ChoosePresetFolder("", "/opt/binaries", true, data), fs::path("/opt/binaries/Mode/J4100Mode"));
}

TEST_F(PresetFolder, PreparingMakesMissingFoldersAndKeepsExistingOnes) {
  const fs::path nested = dir / "Mode" / "J4100Mode";
  ASSERT_TRUE(PreparePresetFolder(nested));
  EXPECT_TRUE(fs::is_directory(nested));
  Touch("Mode/J4100Mode/keep.Wfxr");
  ASSERT_TRUE(PreparePresetFolder(nested));
  EXPECT_EQ(ListPresetNames(nested), std::vector<std::string>{"keep"});

  Touch("blocked");
  std::string reason;
  EXPECT_FALSE(PreparePresetFolder(dir / "blocked" / "presets", &reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace dsp
