#include "presets/preset_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace dsp {
namespace {

namespace fs = std::filesystem;

class RecordingEvents : public PresetEvents {
 public:
  std::vector<std::pair<std::string, std::string>> notices;
  std::vector<std::string> log;
  int log_clears = 0;
  int uploads = 0;

  void ShowNotice(const std::string& chinese, const std::string& english) override {
    notices.emplace_back(chinese, english);
  }
  void ClearLog() override {
    ++log_clears;
    log.clear();
  }
  void AppendLog(const std::string& line) override { log.push_back(line); }
  void RequestUpload() override { ++uploads; }
};

// A fresh empty folder per test.
class PresetFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    folder_ = fs::temp_directory_path() /
              ("preset_file_test_" + std::to_string(seed()) + "_" + std::to_string(seed()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static void Randomise(ParamStore& store, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(0, 0xFFFF);
    for (auto& row : store.DeviceImage) {
      for (auto& cell : row) cell = value(random);
    }
  }

  std::string ReadRaw(const std::string& name) const {
    std::ifstream in(PresetPath(folder_, name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteRaw(const std::string& name, const std::string& bytes) const {
    std::ofstream out(PresetPath(folder_, name), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  // Scrambles plain lines into a file, each line ended by CR LF.
  void WritePlain(const std::string& name, const std::vector<std::string>& plain) const {
    std::string bytes;
    for (const auto& line : plain) bytes += EncodePresetLine(line) + "\r\n";
    WriteRaw(name, bytes);
  }
  // A well-formed file holding the given (position, value) entries, with a
  // correct total and check value.
  static std::vector<std::string> PlainFile(const std::vector<std::pair<int, int>>& entries) {
    std::vector<std::string> plain{"J3 98", "Torvu 210"};
    std::uint32_t sum = 0;
    for (const auto& [position, value] : entries) {
      const int k = static_cast<int>(plain.size());
      plain.push_back(std::to_string(position ^ k) + " " + std::to_string(value ^ k));
      sum += static_cast<std::uint32_t>(value);
    }
    plain.push_back("Intoal: " + std::to_string(plain.size()));
    plain.push_back("CCCCK: " + std::to_string(PresetCheckValue(sum)));
    return plain;
  }
  static std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
      const auto end = bytes.find("\r\n", start);
      if (end == std::string::npos) break;
      lines.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  fs::path folder_;
};

TEST(PresetLine, ScramblesWithTheKey) {
  // 'J' ^ 5E = 14, '3' ^ C3 = F0, ' ' ^ 17 = 37, '9' ^ A9 = 90, '8' ^ 40 = 78.
  EXPECT_EQ(EncodePresetLine("J3 98"), "14F0379078");
  // The key repeats after eight bytes.
  EXPECT_EQ(EncodePresetLine("AAAAAAAAA"), "1F8256E801932ACE1F");
  EXPECT_EQ(EncodePresetLine(""), "");

  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::string stored = EncodePresetLine(every_byte);
  EXPECT_EQ(stored.size(), 512u);
  EXPECT_TRUE(std::all_of(stored.begin(), stored.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F');
  }));
  EXPECT_EQ(DecodePresetLine(stored), every_byte);
}

TEST(PresetLine, DecodeAcceptsLowerCaseAndIgnoresUnpairedEnd) {
  EXPECT_EQ(DecodePresetLine("14f0379078"), "J3 98");
  EXPECT_EQ(DecodePresetLine("14F0379078A"), "J3 98");
  EXPECT_EQ(DecodePresetLine(""), "");
  EXPECT_FALSE(DecodePresetLine("14G0"));
  EXPECT_FALSE(DecodePresetLine("14 0"));
  EXPECT_FALSE(DecodePresetLine("14F0\r\n"));
}

TEST(PresetCheck, Values) {
  struct Case {
    std::uint32_t sum;
    std::int32_t check;
  } cases[] = {
      {0, 0},
      {1000, 24},
      {256, 0},
      {1, 255},
      {255, 1},
      {65536 + 3, 253},
      // Negative sums keep the sign of the truncated remainder.
      {static_cast<std::uint32_t>(-1), -255},
      // (S XOR 0xFFFF) + 1 wraps past the largest 32-bit number.
      {0x7FFF0000u, 0},
      {0x80000000u, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PresetCheckValue(c.sum), c.check) << c.sum;
}

TEST(PresetName, OnlyNamesInsideTheFolder) {
  for (const std::string name : {"", ".", "..", "a/b", "../x", "a\\b", "..\\x", "/abs"}) {
    EXPECT_FALSE(ValidPresetName(name)) << name;
  }
  EXPECT_FALSE(ValidPresetName(std::string("a\0b", 3)));
  for (const std::string name : {"Mode 1", "...", "a.b", "演唱模式"})
    EXPECT_TRUE(ValidPresetName(name)) << name;
}

TEST_F(PresetFileTest, WrittenFileLayout) {
  ParamStore store;
  Randomise(store, 7);
  ASSERT_TRUE(SavePresetFile(store, folder_, "layout"));
  const std::string raw = ReadRaw("layout");
  ASSERT_GE(raw.size(), 2u);
  EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
  EXPECT_EQ(raw, BuildPresetFile(store));
  const auto stored = SplitCrLf(raw);
  ASSERT_EQ(stored.size(), 517u);

  std::vector<std::string> plain;
  for (const auto& line : stored) {
    EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
      return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F');
    }));
    plain.push_back(DecodePresetLine(line).value());
  }
  EXPECT_EQ(plain[0], "J3 98");
  EXPECT_EQ(plain[1], "Torvu 210");
  EXPECT_EQ(plain[515], "Intoal: 515");

  // Data lines: channels 0..8 in order, entries 0..count-1, both numbers
  // XORed with the line index.
  int k = 2;
  std::uint32_t sum = 0;
  for (int channel = 0; channel < 9; ++channel) {
    for (int index = 0; index < PresetEntryCount[channel]; ++index, ++k) {
      const int value = store.DeviceImage[channel][index];
      EXPECT_EQ(plain[k], std::to_string((channel * 256 + index) ^ k) + " " + std::to_string(value ^ k));
      sum += static_cast<std::uint32_t>(value);
    }
  }
  EXPECT_EQ(k, 515);
  EXPECT_EQ(plain[516], "CCCCK: " + std::to_string(PresetCheckValue(sum)));
}

TEST_F(PresetFileTest, AllZeroImageHasCheckZero) {
  ParamStore store;
  ASSERT_TRUE(SavePresetFile(store, folder_, "zero"));
  const auto lines = SplitCrLf(ReadRaw("zero"));
  ASSERT_EQ(lines.size(), 517u);
  EXPECT_EQ(DecodePresetLine(lines[516]), "CCCCK: 0");
}

TEST_F(PresetFileTest, RoundTripOfRandomImages) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ParamStore source;
    Randomise(source, seed);
    ASSERT_TRUE(SavePresetFile(source, folder_, "trip"));

    ParamStore target;
    Randomise(target, seed + 100);
    const auto before = target.DeviceImage;
    RecordingEvents events;
    EXPECT_EQ(LoadPresetFile(target, folder_, "trip", events), LoadOutcome::Accepted);
    EXPECT_TRUE(events.notices.empty());
    EXPECT_EQ(events.uploads, 1);
    EXPECT_EQ(events.log.size(), 513u);
    for (int channel = 0; channel < kStoreChannels; ++channel) {
      for (int index = 0; index < kDeviceSlots; ++index) {
        const bool in_file = channel < 9 && index < PresetEntryCount[channel];
        EXPECT_EQ(target.DeviceImage[channel][index],
                  in_file ? source.DeviceImage[channel][index] : before[channel][index])
            << channel << "/" << index;
      }
    }
  }
}

TEST_F(PresetFileTest, AcceptedVariants) {
  ParamStore source;
  Randomise(source, 11);
  const std::string written = BuildPresetFile(source);
  std::string lower = written;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });

  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"as written", written},
      {"lower-case digits", lower},
      {"no final CR LF", written.substr(0, written.size() - 2)},
      {"LF line ends",
       [&] {
         std::string s;
         for (const auto& line : SplitCrLf(written)) s += line + "\n";
         return s;
       }()},
  };
  for (const auto& c : cases) {
    WriteRaw("variant", c.bytes);
    ParamStore target;
    RecordingEvents events;
    EXPECT_EQ(LoadPresetFile(target, folder_, "variant", events), LoadOutcome::Accepted) << c.what;
    EXPECT_EQ(events.uploads, 1) << c.what;
    for (int channel = 0; channel < 9; ++channel) {
      for (int index = 0; index < PresetEntryCount[channel]; ++index) {
        ASSERT_EQ(target.DeviceImage[channel][index], source.DeviceImage[channel][index]) << c.what;
      }
    }
  }
}

TEST_F(PresetFileTest, HeadersOnlyFileSendsUnchangedImage) {
  WritePlain("empty", {"J3 98", "Torvu 210", "Intoal: 2", "CCCCK: 0"});
  ParamStore store;
  Randomise(store, 5);
  const auto before = store.DeviceImage;
  RecordingEvents events;
  EXPECT_EQ(LoadPresetFile(store, folder_, "empty", events), LoadOutcome::Accepted);
  EXPECT_EQ(store.DeviceImage, before);
  EXPECT_EQ(events.uploads, 1);
  EXPECT_TRUE(events.notices.empty());
}

// Files from other writers: any header words, any order of entries, any count.
TEST_F(PresetFileTest, ForeignButValidFile) {
  auto plain = PlainFile({{8 * 256 + 112, 65535}, {0, 0}, {5 * 256 + 3, 1234}, {0, 42}});
  plain[0] = "XY 98";
  plain[1] = "anything -17";
  WritePlain("foreign", plain);
  ParamStore store;
  RecordingEvents events;
  EXPECT_EQ(LoadPresetFile(store, folder_, "foreign", events), LoadOutcome::Accepted);
  EXPECT_EQ(store.DeviceImage[8][112], 65535);
  EXPECT_EQ(store.DeviceImage[5][3], 1234);
  EXPECT_EQ(store.DeviceImage[0][0], 42);  // the later line wins
  EXPECT_EQ(events.uploads, 1);
  EXPECT_EQ(events.log, (std::vector<std::string>{"2160 65535", "0 0", "1283 1234", "0 42"}));
}

// Every rejection leaves the device image as it was, shows one notice and
// sends nothing.
TEST_F(PresetFileTest, Rejections) {
  ParamStore source;
  Randomise(source, 21);
  const std::string written = BuildPresetFile(source);
  std::vector<std::string> plain;
  for (const auto& line : SplitCrLf(written)) plain.push_back(*DecodePresetLine(line));
  auto scrambled = [](const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += EncodePresetLine(line) + "\r\n";
    return bytes;
  };
  auto edited = [&](const std::function<void(std::vector<std::string>&)>& edit) {
    auto lines = plain;
    edit(lines);
    return scrambled(lines);
  };
  const std::string malformed = NoticeMalformedLine.chinese;

  struct Case {
    const char* what;
    std::string bytes;  // written unless missing
    bool missing;
    LoadOutcome outcome;
    std::string notice;  // Chinese wording, or its beginning for malformed lines
  } cases[] = {
      {"missing file", "", true, LoadOutcome::Missing, NoticeFileMissing.chinese},
      {"foreign header", edited([](auto& l) { l[0] = "J3 99"; }), false, LoadOutcome::FormatError,
       NoticeFormatError.chinese},
      {"line removed", edited([](auto& l) { l.erase(l.begin() + 10); }), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"line added", edited([](auto& l) { l.insert(l.begin() + 10, l[10]); }), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"wrong check",
       edited([](auto& l) { l[516] = "CCCCK: " + std::to_string(std::stoi(l[516].substr(7)) ^ 1); }), false,
       LoadOutcome::Corrupted, NoticeCorrupted.chinese},
      {"value changed", edited([](auto& l) { l[300] = l[300] + "1"; }), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"trailing empty line", written + "\r\n", false, LoadOutcome::Malformed, malformed},
      {"missing second field", edited([](auto& l) { l[400] = "400"; }), false, LoadOutcome::Malformed,
       malformed},
      {"not a decimal", edited([](auto& l) { l[400] = "400 12x"; }), false, LoadOutcome::Malformed,
       malformed},
      {"bad total number", edited([](auto& l) { l[515] = "Intoal: 5l5"; }), false, LoadOutcome::Malformed,
       malformed},
      {"non-hex pair", written.substr(0, 100) + "ZZ" + written.substr(102), false, LoadOutcome::Malformed,
       malformed},
      {"one line", scrambled({"J3 98"}), false, LoadOutcome::Malformed, malformed},
      {"empty file", "", false, LoadOutcome::Malformed, malformed},
      {"channel 9", scrambled(PlainFile({{0, 1}, {9 * 256, 5}})), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"entry 113", scrambled(PlainFile({{0, 1}, {113, 5}})), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"negative position", scrambled(PlainFile({{-1, 5}})), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"value above 65535", scrambled(PlainFile({{0, 1}, {7, 65536}})), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
      {"negative value", scrambled(PlainFile({{0, 1}, {7, -1}})), false, LoadOutcome::Corrupted,
       NoticeCorrupted.chinese},
  };
  for (const auto& c : cases) {
    std::error_code ignored;
    fs::remove(PresetPath(folder_, "bad"), ignored);
    if (!c.missing) WriteRaw("bad", c.bytes);
    ParamStore store;
    Randomise(store, 99);
    const auto before = store.DeviceImage;
    RecordingEvents events;
    EXPECT_EQ(LoadPresetFile(store, folder_, "bad", events), c.outcome) << c.what;
    EXPECT_EQ(store.DeviceImage, before) << c.what;
    EXPECT_EQ(events.uploads, 0) << c.what;
    ASSERT_EQ(events.notices.size(), 1u) << c.what;
    EXPECT_EQ(events.notices[0].first.rfind(c.notice, 0), 0u) << c.what << ": " << events.notices[0].first;
  }
}

TEST_F(PresetFileTest, MalformedNoticeNamesTheLine) {
  auto plain = PlainFile({{0, 1}, {1, 2}, {2, 3}});
  plain[3] = "7";
  WritePlain("line", plain);
  ParamStore store;
  RecordingEvents events;
  EXPECT_EQ(LoadPresetFile(store, folder_, "line", events), LoadOutcome::Malformed);
  ASSERT_EQ(events.notices.size(), 1u);
  EXPECT_EQ(events.notices[0].first, std::string(NoticeMalformedLine.chinese) + "4");
  EXPECT_EQ(events.notices[0].second, std::string(NoticeMalformedLine.english) + "4");
}

TEST_F(PresetFileTest, NamesLeavingTheFolderAreRefused) {
  const fs::path inner = folder_ / "inner";
  fs::create_directories(inner);
  ParamStore store;
  Randomise(store, 3);
  // A valid preset one level up, which "../up" would reach.
  ASSERT_TRUE(SavePresetFile(store, folder_, "up"));
  const std::string up_before = ReadRaw("up");

  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "../up", "..\\up", "a/b", std::string("up\0x", 4)}) {
    const SaveResult saved = SavePresetFile(store, inner, name);
    EXPECT_FALSE(saved) << name;
    EXPECT_EQ(saved.chinese, NoticeBadName.chinese) << name;

    const auto before = store.DeviceImage;
    RecordingEvents events;
    EXPECT_EQ(LoadPresetFile(store, inner, name, events), LoadOutcome::BadName) << name;
    ASSERT_EQ(events.notices.size(), 1u);
    EXPECT_EQ(events.notices[0].first, NoticeBadName.chinese);
    EXPECT_EQ(events.uploads, 0);
    EXPECT_EQ(store.DeviceImage, before);
  }
  EXPECT_TRUE(fs::is_empty(inner));
  EXPECT_EQ(ReadRaw("up"), up_before);
}

TEST_F(PresetFileTest, NonAsciiNameRoundTrip) {
  ParamStore source;
  Randomise(source, 8);
  ASSERT_TRUE(SavePresetFile(source, folder_, "演唱 模式"));
  EXPECT_TRUE(fs::exists(folder_ / fs::path(u8"演唱 模式.Wfxr")));
  ParamStore target;
  RecordingEvents events;
  EXPECT_EQ(LoadPresetFile(target, folder_, "演唱 模式", events), LoadOutcome::Accepted);
  EXPECT_EQ(target.DeviceImage[3][10], source.DeviceImage[3][10]);
}

TEST_F(PresetFileTest, FailedSaveKeepsTheExistingPreset) {
  ParamStore first;
  Randomise(first, 1);
  ASSERT_TRUE(SavePresetFile(first, folder_, "keep"));
  const std::string kept = ReadRaw("keep");

  // A folder where the scratch file must go makes the write fail.
  fs::create_directories(PresetScratchPath(folder_, "keep"));
  ParamStore second;
  Randomise(second, 2);
  const SaveResult failed = SavePresetFile(second, folder_, "keep");
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.chinese, NoticeSaveFailed.chinese);
  EXPECT_FALSE(failed.english.empty());
  EXPECT_EQ(ReadRaw("keep"), kept);

  // Once the obstacle is gone the save replaces the old file.
  fs::remove(PresetScratchPath(folder_, "keep"));
  ASSERT_TRUE(SavePresetFile(second, folder_, "keep"));
  EXPECT_EQ(ReadRaw("keep"), BuildPresetFile(second));
  EXPECT_FALSE(fs::exists(PresetScratchPath(folder_, "keep")));
}

TEST_F(PresetFileTest, SaveFailuresAreReported) {
  ParamStore store;
  // Target is a folder: the rename fails and the scratch file is removed.
  fs::create_directories(PresetPath(folder_, "dir"));
  EXPECT_FALSE(SavePresetFile(store, folder_, "dir"));
  EXPECT_FALSE(fs::exists(PresetScratchPath(folder_, "dir")));
  EXPECT_TRUE(fs::is_directory(PresetPath(folder_, "dir")));
  // The preset folder does not exist.
  EXPECT_FALSE(SavePresetFile(store, folder_ / "absent", "x"));
  EXPECT_FALSE(fs::exists(folder_ / "absent"));
}

TEST_F(PresetFileTest, AnyPathIsWrittenThroughAScratchFileAndReadBack) {
  ParamStore first;
  Randomise(first, 3);
  const fs::path file = folder_ / "room 12.backup";  // any name: no extension added
  fs::path scratch = file;
  scratch += ".tmp";
  ASSERT_TRUE(SavePresetFileAs(first, file));
  EXPECT_FALSE(fs::exists(scratch));
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            BuildPresetFile(first));

  // Read back from that path, into another image.
  ParamStore loaded;
  RecordingEvents events;
  EXPECT_EQ(LoadPresetFileFrom(loaded, file, events), LoadOutcome::Accepted);
  for (int c = 0; c < PresetChannels; ++c)
    for (int i = 0; i < PresetEntryCount[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(loaded.Device(c, i), first.Device(c, i)) << c << ":" << i;

  // A write that fails leaves the file as it was; a missing file is told.
  fs::create_directories(scratch);
  ParamStore second;
  Randomise(second, 4);
  EXPECT_FALSE(SavePresetFileAs(second, file));
  ParamStore again;
  EXPECT_EQ(LoadPresetFileFrom(again, file, events), LoadOutcome::Accepted);
  EXPECT_EQ(again.DeviceImage, loaded.DeviceImage);
  EXPECT_EQ(LoadPresetFileFrom(again, folder_ / "absent.Wfxr", events), LoadOutcome::Missing);
  EXPECT_FALSE(SavePresetFileAs(second, folder_ / "absent" / "x.Wfxr"));
}

}  // namespace
}  // namespace dsp
