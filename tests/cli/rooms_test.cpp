// `dsp-control rooms` against a small venue: processors on pseudo-terminals
// and behind one ser2net with an accepter per room, one processor that falls
// silent in the middle of its download and one port that does not exist.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "posix/emulator_process.h"
#include "posix/pty.h"
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

std::string BackupOf(const ProcessorEmulator& e) {
  ParamStore store;
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i) store.DeviceImage[c][i] = e.image[c][i];
  return BuildPresetFile(store);
}

std::string Describe(const ProgramResult& r) {
  return "exit " + std::to_string(r.code()) + "\nstdout:\n" + r.out + "\nstderr:\n" + r.err;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The venue: rooms a and b behind one ser2net (an accepter each), c on its
// own pseudo-terminal, "silent" answering its first 20 frames only, and
// "gone" naming a device that does not exist.
class Venue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    a = new posix::EmulatorProcess({"--random-image", "--seed", "31"});
    b = new posix::EmulatorProcess({"--random-image", "--seed", "32"});
    c = new posix::EmulatorProcess({"--random-image", "--seed", "33"});
    silent = new posix::EmulatorProcess({"--silent-after", "20"});
    server = new posix::Ser2netProcess(std::vector<std::string>{a->path(), b->path()});
  }
  static void TearDownTestSuite() {
    delete server;
    delete a;
    delete b;
    delete c;
    delete silent;
  }
  void SetUp() override {
    ASSERT_TRUE(fs::exists(test::ControlBinary()));
    ASSERT_FALSE(c->path().empty());
    ASSERT_TRUE(server->started()) << server->log();
    dir = fs::temp_directory_path() / ("rooms_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    rooms = dir / "venue.rooms";
    WriteFile(rooms, "# the venue\n"
                     "a " + server->rawUrl(0) + "\n"
                     "b " + server->rawUrl(1) + "   # second room, same server\n"
                     "\n"
                     "c " + c->path() + "\n"
                     "silent " + silent->path() + "\n"
                     "gone /dev/no-such-room-device\n");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  static ProcessorEmulator Expected(int seed) {
    ProcessorEmulator e;
    e.FillRandom(static_cast<std::uint32_t>(seed));
    return e;
  }

  static posix::EmulatorProcess* a;
  static posix::EmulatorProcess* b;
  static posix::EmulatorProcess* c;
  static posix::EmulatorProcess* silent;
  static posix::Ser2netProcess* server;
  fs::path dir;
  fs::path rooms;
};

posix::EmulatorProcess* Venue::a = nullptr;
posix::EmulatorProcess* Venue::b = nullptr;
posix::EmulatorProcess* Venue::c = nullptr;
posix::EmulatorProcess* Venue::silent = nullptr;
posix::Ser2netProcess* Venue::server = nullptr;

TEST_F(Venue, BackupCheckAndRestoreEveryRoomAtOnce) {
  // Backup: a file per room that answered, none for the others.
  const fs::path out = dir / "backup";
  const ProgramResult backup = RunProgram({"rooms", rooms.string(), "backup", out.string()}, 120000);
  EXPECT_EQ(backup.code(), 1) << Describe(backup);
  for (const char* room : {"a", "b", "c"})
    EXPECT_TRUE(Has(backup.out, std::string(room) + ": ok: saved ")) << Describe(backup);
  EXPECT_TRUE(Has(backup.out, "silent: FAILED: the processor stopped answering during the download")) << backup.out;
  EXPECT_TRUE(Has(backup.out, "gone: FAILED: cannot reach the processor: /dev/no-such-room-device: no such device"))
      << backup.out;
  EXPECT_TRUE(Has(backup.out, "5 rooms: 3 ok, 0 differ, 2 failed\n")) << backup.out;
  EXPECT_EQ(ReadFile(out / "a.Wfxr"), BackupOf(Expected(31)));
  EXPECT_EQ(ReadFile(out / "b.Wfxr"), BackupOf(Expected(32)));
  EXPECT_EQ(ReadFile(out / "c.Wfxr"), BackupOf(Expected(33)));
  EXPECT_FALSE(fs::exists(out / "silent.Wfxr"));
  EXPECT_FALSE(fs::exists(out / "gone.Wfxr"));
  for (const auto& entry : fs::directory_iterator(out)) EXPECT_EQ(entry.path().extension(), ".Wfxr") << entry.path();
  // Progress went to standard error, one line per room per tenth.
  EXPECT_TRUE(Has(backup.err, "a: downloading 100%")) << backup.err;
  EXPECT_TRUE(Has(backup.err, "c: downloading 50%")) << backup.err;

  // Check against room a's backup, as JSON: a matches, b and c differ, and
  // the differences read as the load question says them.
  const std::string preset = (out / "a.Wfxr").string();
  const ProgramResult check =
      RunProgram({"--lang", "en", "rooms", rooms.string(), "check", preset, "--only", "a,b,c", "--json"}, 120000);
  EXPECT_EQ(check.code(), 1) << Describe(check);
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(check.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << check.out;
  const QJsonArray array = doc.array();
  ASSERT_EQ(array.size(), 3);
  EXPECT_EQ(array[0].toObject()["room"].toString(), "a");
  EXPECT_EQ(array[0].toObject()["port"].toString().toStdString(), server->rawUrl(0));
  EXPECT_TRUE(array[0].toObject()["ok"].toBool());
  EXPECT_TRUE(array[0].toObject()["error"].isNull());
  EXPECT_EQ(array[0].toObject()["differences"].toInt(), 0);
  EXPECT_TRUE(array[0].toObject()["matches"].toBool());
  const QJsonObject roomB = array[1].toObject();
  EXPECT_EQ(roomB["room"].toString(), "b");
  EXPECT_TRUE(roomB["ok"].toBool());
  EXPECT_FALSE(roomB["matches"].toBool());
  const int differencesB = roomB["differences"].toInt();
  EXPECT_GT(differencesB, 0);
  ASSERT_EQ(roomB["changes"].toArray().size(), differencesB);
  const std::string first = roomB["changes"].toArray()[0].toString().toStdString();
  EXPECT_TRUE(Has(first, ": ") && Has(first, " → ")) << first;
  EXPECT_TRUE(Has(first, "Music")) << "English with --lang en: " << first;
  EXPECT_TRUE(Has(check.err, "3 rooms: 1 ok, 2 differ, 0 failed")) << check.err;

  // A dry run says what a restore would change and writes nothing.
  const ProgramResult dry =
      RunProgram({"--lang", "zh", "rooms", rooms.string(), "restore", preset, "--dry-run", "--only", "b"}, 120000);
  EXPECT_EQ(dry.code(), 1) << Describe(dry);
  EXPECT_TRUE(Has(dry.out, "b: differs (" + std::to_string(differencesB) + ")\n  音乐 ")) << dry.out;

  // The restore on b and c, verified; a check then finds both matching.
  const ProgramResult restore =
      RunProgram({"rooms", rooms.string(), "restore", preset, "--only", "b,c", "--jobs", "1"}, 120000);
  EXPECT_EQ(restore.code(), 0) << Describe(restore);
  EXPECT_TRUE(Has(restore.out, "b: ok: verified\n")) << restore.out;
  EXPECT_TRUE(Has(restore.out, "c: ok: verified\n")) << restore.out;
  EXPECT_TRUE(Has(restore.out, "2 rooms: 2 ok, 0 differ, 0 failed\n")) << restore.out;
  const ProgramResult again = RunProgram({"rooms", rooms.string(), "check", preset, "--only", "c,b"}, 120000);
  EXPECT_EQ(again.code(), 0) << Describe(again);
  EXPECT_TRUE(Has(again.out, "b: ok: matches\n") && Has(again.out, "c: ok: matches\n")) << again.out;

  // Info, as JSON: device codes and modes of every room that answers.
  const ProgramResult info = RunProgram({"rooms", rooms.string(), "info", "--json", "--only", "c,gone"}, 60000);
  EXPECT_EQ(info.code(), 1) << Describe(info);
  const QJsonArray infos = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).array();
  ASSERT_EQ(infos.size(), 2) << info.out;
  EXPECT_EQ(infos[0].toObject()["modes"].toArray().size(), 15);
  EXPECT_EQ(infos[0].toObject()["device"].toString().size(), 8);
  EXPECT_FALSE(infos[1].toObject()["ok"].toBool());
  EXPECT_TRUE(Has(infos[1].toObject()["error"].toString().toStdString(), "no such device"));
}

TEST_F(Venue, RefusedRoomsFilesAndArgumentsSendNothing) {
  struct Case {
    std::optional<std::string> content;  // of the rooms file; none: venue.rooms as it is
    std::vector<std::string> arguments;  // after "rooms FILE"
    std::string says;
  };
  const std::vector<Case> cases = {
      {"a tcp://127.0.0.1:9\nb\n", {"info"}, ":2: a room is two words"},
      {"a /dev/x\na /dev/y\n", {"info"}, ":2: room a is already named on line 1"},
      {"a /dev/x\nb /dev/x\n", {"info"}, ":2: room b: port /dev/x is already used on line 1"},
      {"", {"info"}, ": names no room"},
      {std::string("\x7f" "ELF\x02\x01", 6), {"info"}, ":1: not a text file"},
      {std::nullopt, {"info", "--only", "a,nobody"}, "no room named nobody"},
      {std::nullopt, {"frob"}, "unknown command 'frob'"},
      {std::nullopt, {"backup"}, "takes one argument: DIR"},
      {std::nullopt, {"check", "x", "y"}, "too many arguments"},
      {std::nullopt, {"check", "x", "--dry-run"}, "--dry-run is for rooms restore only"},
      {std::nullopt, {"info", "--jobs", "65"}, "--jobs takes a number from 1 to 64"},
      {std::nullopt, {"info", "--port", "/dev/x"}, "not from --port"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.says);
    fs::path file = rooms;
    if (k.content) {
      file = dir / "case.rooms";
      WriteFile(file, *k.content);
    }
    std::vector<std::string> args{"rooms", file.string()};
    args.insert(args.end(), k.arguments.begin(), k.arguments.end());
    const ProgramResult r = RunProgram(args, 10000);
    EXPECT_EQ(r.code(), 2) << Describe(r);
    EXPECT_TRUE(Has(r.err, k.says)) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST_F(Venue, ABusyAccepterIsReportedBusyAndTheOtherRoomOnTheServerRuns) {
  // Another client holds room a's accepter.
  const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(server->rawUrl(0).substr(server->rawUrl(0).rfind(':') + 1))));
  ASSERT_EQ(::connect(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const ProgramResult r = RunProgram({"rooms", rooms.string(), "info", "--only", "a,b"}, 60000);
  ::close(holder);
  EXPECT_EQ(r.code(), 1) << Describe(r);
  EXPECT_TRUE(Has(r.out, "a: FAILED: cannot reach the processor: " + server->rawUrl(0) +
                             ": in use by another program or client"))
      << r.out;
  EXPECT_TRUE(Has(r.out, "b: ok: device ")) << r.out;
}

TEST_F(Venue, ProgressIsALiveTableOnATerminal) {
  posix::PtyPair terminal;
  std::string shown;
  const ProgramResult r =
      RunProgram({"rooms", rooms.string(), "info", "--only", "a,c"}, 60000, {}, terminal.devicePath());
  EXPECT_EQ(r.code(), 0) << Describe(r);
  for (int i = 0; i < 50; ++i) {
    const Bytes piece = terminal.read(65536, 100);
    if (piece.empty()) break;
    shown.append(piece.begin(), piece.end());
  }
  // A row per room being served, redrawn in place (cursor up, clear below).
  EXPECT_TRUE(Has(shown, "\x1b[2A\r\x1b[J")) << shown.substr(0, 400);
  EXPECT_TRUE(Has(shown, "a                    downloading  [")) << shown.substr(0, 400);
  EXPECT_TRUE(Has(shown, "c                    downloading  [")) << shown.substr(0, 400);
  EXPECT_FALSE(Has(shown, "a: downloading")) << "no plain lines on a terminal";
  EXPECT_TRUE(Has(r.out, "a: ok: device ") && Has(r.out, "c: ok: device ")) << "results stay on standard output";
}

TEST_F(Venue, InterruptedRestoreNamesTheRoomsThatMayHoldPartOfIt) {
  ParamStore zeros;
  const fs::path preset = dir / "zeros.Wfxr";
  WriteFile(preset, BuildPresetFile(zeros));
  pid_t child = -1;
  bool interrupted = false;
  const ProgramResult r = RunProgram(
      {"rooms", rooms.string(), "restore", preset.string(), "--only", "a,gone"}, 120000,
      [&](const std::string& err) {
        if (!interrupted && child > 0 && Has(err, "a: uploading 30%")) {
          ::kill(child, SIGINT);
          interrupted = true;
        }
      },
      {}, {}, &child);
  ASSERT_TRUE(interrupted) << Describe(r);
  ASSERT_TRUE(r.exited()) << "ended by the signal instead of stopping cleanly";
  EXPECT_EQ(r.code(), 1) << Describe(r);
  EXPECT_TRUE(Has(r.out, "a: FAILED: stopped during the upload")) << r.out;
  EXPECT_TRUE(Has(r.err, "stopped by SIGINT; a may now hold part of " + preset.string())) << r.err;

  // The room was left with its goodbye and answers the next command.
  const ProgramResult restore = RunProgram({"rooms", rooms.string(), "restore", preset.string(), "--only", "a"});
  EXPECT_EQ(restore.code(), 0) << Describe(restore);
  // Room a back to its own setting for the other tests.
  const fs::path own = dir / "own.Wfxr";
  WriteFile(own, BackupOf(Expected(31)));
  EXPECT_EQ(RunProgram({"rooms", rooms.string(), "restore", own.string(), "--only", "a"}).code(), 0);
}

}  // namespace
}  // namespace dsp
