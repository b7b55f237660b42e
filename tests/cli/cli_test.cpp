// The headless commands as a script runs them: dsp-control started as a
// process without a display, against the dsp-emulator program on a
// pseudo-terminal and behind Debian's ser2net (raw TCP and RFC 2217).

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "emulator/emulator.h"
#include "posix/emulator_process.h"
#include "posix/pty.h"
#include "posix/ser2net_process.h"
#include "presets/device_modes.h"
#include "presets/preset_file.h"
#include "program.h"
#include "store/param_store.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;
using test::Environment;
using test::ProgramResult;
using test::ReadFile;
using test::RunProgram;
using test::WriteFile;

std::string Id(const ProcessorEmulator& e) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", e.id[0], e.id[1], e.id[2], e.id[3]);
  return text;
}

// The preset file a backup of this processor writes: what block transfers
// carry of rows 0..8, nothing beyond.
std::string BackupOf(const ProcessorEmulator& e) {
  ParamStore store;
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      store.DeviceImage[c][i] = e.image[c][i];
  return BuildPresetFile(store);
}

std::string Describe(const ProgramResult& r) {
  return "exit " + std::to_string(r.code()) + "\nstdout:\n" + r.out + "\nstderr:\n" + r.err;
}

// The emulator on a pseudo-terminal with ser2net in front of it.
struct Room {
  explicit Room(std::vector<std::string> emulatorArgs) : emulator(std::move(emulatorArgs)) {
    if (!emulator.path().empty()) server = std::make_unique<posix::Ser2netProcess>(emulator.path());
  }
  bool up() const { return server && server->started(); }
  posix::EmulatorProcess emulator;
  std::unique_ptr<posix::Ser2netProcess> server;
};

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(test::ControlBinary())) << test::ControlBinary();
    ASSERT_TRUE(fs::exists(posix::EmulatorBinary())) << posix::EmulatorBinary();
    ASSERT_TRUE(fs::exists(posix::Ser2netBinary())) << "scripts/deps.sh installs ser2net";
    dir = fs::temp_directory_path() / ("cli_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
};

TEST_F(CommandLine, WrongCommandsAndArgumentsExitTwoWithTheUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {"frob"},
      {"--port", "/dev/null", "info", "extra"},
      {"backup"},
      {"restore", "a", "b"},
      {"backup", ""},
      {"recall-mode", "0"},
      {"recall-mode", "16"},
      {"recall-mode", "two"},
      {"recall-mode", "3x"},
      {"save-mode", "3"},
      {"save-mode", "3", "Caf\xC3\xA9"},
      {"save-mode", "3", "123456789012345678901"},
      {"--json", "backup", "f"},
      {"--presets", "/tmp", "info"},
      {"info", "--no-such-option"},
  };
  for (const auto& args : cases) {
    const ProgramResult r = RunProgram(args, 10000);
    SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
    EXPECT_EQ(r.code(), 2) << Describe(r);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("recall-mode N"), std::string::npos) << "the usage lists the commands";
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST_F(CommandLine, TheHelpSpeaksTheChosenLanguage) {
  const Environment c{{"LANGUAGE", ""}, {"LANG", ""}, {"LC_ALL", "C"}};
  const Environment english{{"LANGUAGE", ""}, {"LANG", ""}, {"LC_ALL", "en_US.UTF-8"}};
  const char* chinese = "命令(不打开窗口";
  const char* inEnglish = "Commands (no window";
  struct Case {
    std::vector<std::string> args;
    Environment env;
    int code;
    const char* expected;  // on standard output for --help, else on standard error
  };
  const Case cases[] = {
      {{"--help"}, c, 0, chinese},  // the C locale: the processor's own language
      {{"--help"}, english, 0, inEnglish},
      {{"--help", "--lang", "en"}, c, 0, inEnglish},
      {{"--lang=zh", "-h"}, english, 0, chinese},
      {{"--lang", "en", "frob"}, c, 2, inEnglish},  // a usage error speaks it too
      {{"--lang", "fr", "--help"}, c, 2, "unknown language: fr"},
  };
  for (const Case& k : cases) {
    const ProgramResult r = RunProgram(k.args, 10000, {}, {}, k.env);
    SCOPED_TRACE(k.args.front() + " " + k.args.back());
    EXPECT_EQ(r.code(), k.code) << Describe(r);
    const std::string& shown = k.code == 0 ? r.out : r.err;
    EXPECT_NE(shown.find(k.expected), std::string::npos) << shown;
    // The options are described in the same language as the commands.
    if (k.code == 0)
      EXPECT_NE(shown.find(k.expected == chinese ? "显示本帮助并退出" : "Show this help and exit."),
                std::string::npos);
  }
}

TEST_F(CommandLine, InfoOverEveryKindOfPort) {
  Room room({"--random-image", "--seed", "7"});
  ASSERT_TRUE(room.up());
  ProcessorEmulator expected;
  expected.FillRandom(7);
  const int mode = expected.image[9][2];
  const std::vector<std::string> names(expected.modeNames.begin(), expected.modeNames.end());
  for (const std::string& port : {room.emulator.path(), room.server->rawUrl(), room.server->rfc2217Url()}) {
    SCOPED_TRACE(port);
    const ProgramResult json = RunProgram({"--port", port, "info", "--json"});
    ASSERT_EQ(json.code(), 0) << Describe(json);
    EXPECT_EQ(json.out, cli::InfoJson(port, Id(expected), mode + 1, names) + "\n");

    const ProgramResult text = RunProgram({"info", "--port", port});
    ASSERT_EQ(text.code(), 0) << Describe(text);
    std::string lines = "port: " + port + "\ndevice: " + Id(expected) +
                        "\ncurrent mode: " + ModeEntryText(mode, names[static_cast<std::size_t>(mode)]) +
                        "\nmodes:\n";
    for (int slot = 0; slot < kModeCount; ++slot)
      lines += ModeEntryText(slot, names[static_cast<std::size_t>(slot)]) + "\n";
    EXPECT_EQ(text.out, lines);
    // Progress went to standard error, as lines (not a terminal).
    EXPECT_NE(text.err.find("downloading: 100%"), std::string::npos) << text.err;
  }
}

TEST_F(CommandLine, BackupThenRestoreOfSettingsFullOfFFBytesIsVerified) {
  Room room({"--random-image", "--seed", "11"});
  ASSERT_TRUE(room.up());
  ProcessorEmulator expected;
  expected.FillRandom(11);

  const fs::path backup = dir / "room-1.Wfxr";
  const ProgramResult saved = RunProgram({"--port", room.server->rawUrl(), "backup", backup.string()});
  ASSERT_EQ(saved.code(), 0) << Describe(saved);
  EXPECT_EQ(ReadFile(backup), BackupOf(expected));
  EXPECT_FALSE(fs::exists(backup.string() + ".tmp"));

  // A setting whose bytes are 0xFF all over goes up and is read back.
  ParamStore fancy;
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      fancy.DeviceImage[c][i] = (i % 3 == 0) ? 0xFFFF : (i % 3 == 1 ? 0x00FF : 0xFF00 | i);
  const fs::path file = dir / "fancy.Wfxr";
  WriteFile(file, BuildPresetFile(fancy));
  const ProgramResult restored = RunProgram({"--port", room.server->rfc2217Url(), "restore", file.string()});
  ASSERT_EQ(restored.code(), 0) << Describe(restored);
  EXPECT_NE(restored.out.find("verified"), std::string::npos) << restored.out;
  EXPECT_NE(restored.err.find("uploading"), std::string::npos) << restored.err;

  // What the processor holds now, over the pseudo-terminal: the file.
  const fs::path again = dir / "again.Wfxr";
  const ProgramResult check = RunProgram({"--port", room.emulator.path(), "backup", again.string()});
  ASSERT_EQ(check.code(), 0) << Describe(check);
  EXPECT_EQ(ReadFile(again), ReadFile(file));
}

TEST_F(CommandLine, ADamagedFileIsRefusedBeforeAnythingIsSent) {
  const fs::path log = dir / "frames.log";
  Room room({"--log", log.string()});
  ASSERT_TRUE(room.up());
  ParamStore store;
  std::string content = BuildPresetFile(store);
  content[content.size() / 2] = content[content.size() / 2] == '0' ? '1' : '0';
  const fs::path file = dir / "damaged.Wfxr";
  WriteFile(file, content);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--port", room.server->rfc2217Url(), "restore", file.string()},
        std::vector<std::string>{"--port", room.server->rawUrl(), "restore",
                                 (dir / "missing.Wfxr").string()}}) {
    const ProgramResult r = RunProgram(args);
    EXPECT_EQ(r.code(), 1) << Describe(r);
    EXPECT_NE(r.err.find("dsp-control: "), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
  }
  EXPECT_FALSE(fs::exists(log) && !ReadFile(log).empty()) << "the processor was not even greeted";
}

TEST_F(CommandLine, ARestoreThatDoesNotStickNamesTheDifferences) {
  Room room({"--ignore-uploads"});
  ASSERT_TRUE(room.up());
  ProcessorEmulator held;
  held.LoadFactorySetting();
  ParamStore store;
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      store.DeviceImage[c][i] = held.image[c][i];
  store.DeviceImage[1][5] = held.image[1][5] + 1;
  store.DeviceImage[6][40] = 0xFFFF;
  const fs::path file = dir / "changed.Wfxr";
  WriteFile(file, BuildPresetFile(store));
  const ProgramResult r = RunProgram({"--port", room.server->rawUrl(), "restore", file.string()});
  EXPECT_EQ(r.code(), 1) << Describe(r);
  EXPECT_NE(r.err.find("not verified: the processor holds 2 value(s)"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("microphone A (channel 1) entry 5: file " + std::to_string(held.image[1][5] + 1)),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("subwoofer (channel 6) entry 40: file 65535"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

TEST_F(CommandLine, AServerKilledMidTransferFailsCleanly) {
  // Backup: the file that was there stays as it was, and no scratch file is left.
  {
    Room room({});
    ASSERT_TRUE(room.up());
    const fs::path file = dir / "kept.Wfxr";
    WriteFile(file, "old content");
    bool killed = false;
    const ProgramResult r = RunProgram({"--port", room.server->rfc2217Url(), "backup", file.string()}, 60000,
                                       [&](const std::string& err) {
                                         if (!killed && err.find("downloading: 30%") != std::string::npos) {
                                           room.server->Stop(SIGKILL);
                                           killed = true;
                                         }
                                       });
    ASSERT_TRUE(killed) << Describe(r);
    ASSERT_TRUE(r.exited()) << "killed by a signal";
    EXPECT_EQ(r.code(), 1) << Describe(r);
    EXPECT_NE(r.err.find("the line was lost during the download: " + room.server->rfc2217Url() +
                         ": the server closed the connection"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(file), "old content");
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
  }
  // Restore: the user is told the processor may hold part of the file.
  {
    Room room({});
    ASSERT_TRUE(room.up());
    ParamStore store;
    const fs::path file = dir / "zeros.Wfxr";
    WriteFile(file, BuildPresetFile(store));
    bool killed = false;
    const ProgramResult r = RunProgram({"--port", room.server->rawUrl(), "restore", file.string()}, 60000,
                                       [&](const std::string& err) {
                                         if (!killed && err.find("uploading: 30%") != std::string::npos) {
                                           room.server->Stop(SIGKILL);
                                           killed = true;
                                         }
                                       });
    ASSERT_TRUE(killed) << Describe(r);
    ASSERT_TRUE(r.exited()) << "killed by a signal";
    EXPECT_EQ(r.code(), 1) << Describe(r);
    EXPECT_NE(r.err.find("the line was lost during the upload"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("may now hold part of"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST_F(CommandLine, ModesAreRecalledAndSaved) {
  Room room({});
  ASSERT_TRUE(room.up());
  const std::string port = room.server->rfc2217Url();
  const ProgramResult recall = RunProgram({"--port", port, "recall-mode", "5"});
  ASSERT_EQ(recall.code(), 0) << Describe(recall);
  EXPECT_EQ(recall.out, "recalled 5-Music on " + port + "\n");
  const ProgramResult save = RunProgram({"--port", port, "save-mode", "9", "Hall B"});
  ASSERT_EQ(save.code(), 0) << Describe(save);
  EXPECT_EQ(save.out, "saved 9-Hall B on " + port + "\n");
  const ProgramResult info = RunProgram({"--port", room.server->rawUrl(), "info"});
  ASSERT_EQ(info.code(), 0) << Describe(info);
  EXPECT_NE(info.out.find("current mode: 5-Music\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\n9-Hall B\n"), std::string::npos) << info.out;
}

TEST_F(CommandLine, NoProcessorIsOneClearLineAndExitOne) {
  posix::EmulatorProcess silent({"--silent-after", "0"});
  ASSERT_FALSE(silent.path().empty());
  const std::string nothing = "tcp://127.0.0.1:" + std::to_string(posix::FreeLoopbackPort());
  struct Case {
    std::string port;
    std::string line;
  } cases[] = {
      {nothing, "dsp-control: cannot reach the processor: " + nothing + ": connection refused"},
      {(dir / "ttyNone").string(),
       "dsp-control: cannot reach the processor: " + (dir / "ttyNone").string() + ": no such device"},
      {silent.path(), "dsp-control: no processor answered on " + silent.path()},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram({"--port", c.port, "info"});
    EXPECT_EQ(r.code(), 1) << Describe(r);
    EXPECT_EQ(r.err.rfind(c.line, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST_F(CommandLine, ProgressIsABarOnATerminal) {
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  posix::PtyPair terminal;
  std::string shown;
  const ProgramResult r = RunProgram({"--port", emulator.path(), "info"}, 60000, {}, terminal.devicePath());
  ASSERT_EQ(r.code(), 0) << Describe(r);
  for (int i = 0; i < 20; ++i) {
    const Bytes piece = terminal.read(65536, 100);
    if (piece.empty()) break;
    shown.append(piece.begin(), piece.end());
  }
  EXPECT_NE(shown.find("\rdownloading  [##############################] 100%\n"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("downloading: "), std::string::npos) << "no plain lines on a terminal";
  EXPECT_NE(r.out.find("device: "), std::string::npos) << "results stay on standard output";
}

}  // namespace
}  // namespace dsp
