// Rooms side by side on one event loop, against emulators on
// pseudo-terminals: operations that end by callback, a silent room that
// does not hold up another, and a long-lived room that finds its processor
// again after it vanished.
#include "session/room.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "posix/emulator_process.h"
#include "port_rig.h"
#include "../support/run_until.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;
using test::RunUntil;

struct Outcome {
  bool called = false;
  bool ok = false;
  int order = 0;  // 1 for the first operation to end, 2 for the second, ...
};

Room::Done Record(Outcome& outcome, int& ended) {
  return [&outcome, &ended](bool ok) {
    EXPECT_FALSE(outcome.called) << "done called twice";
    outcome.called = true;
    outcome.ok = ok;
    outcome.order = ++ended;
  };
}

TEST(Room, OperationsEndByCallbackAndASilentRoomHoldsUpNobody) {
  test::App();
  posix::EmulatorProcess good({"--random-image", "--seed", "41"});
  posix::EmulatorProcess silent({"--silent-after", "5"});
  ASSERT_FALSE(good.path().empty());
  ASSERT_FALSE(silent.path().empty());
  Room a("a", {good.path()});
  Room b("b", {silent.path()});
  int ended = 0;
  Outcome connectA, connectB;
  a.Connect(Record(connectA, ended));
  b.Connect(Record(connectB, ended));
  EXPECT_FALSE(connectA.called) << "never from inside the call";
  EXPECT_TRUE(a.Busy());

  // A second operation while one runs is refused, later, by its callback.
  Outcome refused;
  a.Upload(Record(refused, ended));
  EXPECT_FALSE(refused.called);
  ASSERT_TRUE(RunUntil([&] { return connectA.called && connectB.called && refused.called; }, 60000));
  EXPECT_FALSE(refused.ok);

  EXPECT_TRUE(connectA.ok) << a.error();
  EXPECT_FALSE(connectB.ok);
  EXPECT_EQ(b.error(), "the processor stopped answering during the download");
  EXPECT_LT(connectA.order, connectB.order) << "the silent room held up the other";
  ProcessorEmulator expected;
  expected.FillRandom(41);
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(a.store().Device(c, i), expected.image[c][i]) << c << "/" << i;
  EXPECT_TRUE(a.Linked());

  // Upload a change and verify it: the rows are cleared and read back.
  a.store().DeviceImage[5][3] = expected.image[5][3] == 1 ? 2 : 1;
  const std::int32_t sent = a.store().DeviceImage[5][3];
  Outcome upload, verify;
  a.Upload(Record(upload, ended));
  ASSERT_TRUE(RunUntil([&] { return upload.called; }, 60000));
  ASSERT_TRUE(upload.ok) << a.error();
  a.Verify(Record(verify, ended));
  ASSERT_TRUE(RunUntil([&] { return verify.called; }, 60000));
  ASSERT_TRUE(verify.ok) << a.error();
  EXPECT_EQ(a.store().Device(5, 3), sent);

  // Close stops a running operation with "stopped".
  Outcome closed;
  a.Download(Record(closed, ended));
  a.Close();
  EXPECT_TRUE(closed.called);
  EXPECT_FALSE(closed.ok);
  EXPECT_EQ(a.error(), "stopped");
  EXPECT_FALSE(a.Linked());
}

TEST(Room, ALongLivedRoomFindsItsProcessorAgain) {
  test::App();
  const fs::path link = fs::temp_directory_path() / ("room_test_" + std::to_string(::getpid()));
  auto emulator = std::make_unique<posix::EmulatorProcess>(std::vector<std::string>{"--link", link.string()});
  ASSERT_FALSE(emulator->path().empty());
  Room room("lobby", {link.string()});
  room.SetAutoReconnect(true);
  int changes = 0;
  room.OnStatusChanged = [&] { ++changes; };
  int ended = 0;
  Outcome connect;
  room.Connect(Record(connect, ended));
  ASSERT_TRUE(RunUntil([&] { return connect.called; }, 60000));
  ASSERT_TRUE(connect.ok) << room.error();

  // Linked and idle, the heartbeat keeps it linked.
  RunUntil([] { return false; }, 2500);
  EXPECT_TRUE(room.Linked());

  // The processor goes away, and comes back on the same port.
  emulator.reset();
  ASSERT_TRUE(RunUntil([&] { return !room.Linked(); }, 20000));
  EXPECT_EQ(room.link().StatusText(), kLostReconnectingText);
  const int before = changes;
  emulator = std::make_unique<posix::EmulatorProcess>(std::vector<std::string>{"--link", link.string()});
  ASSERT_FALSE(emulator->path().empty());
  ASSERT_TRUE(RunUntil([&] { return room.Linked(); }, 30000)) << room.link().StatusText();
  EXPECT_GT(changes, before) << "the status changes were reported";
  EXPECT_FALSE(room.Busy());
}

}  // namespace
}  // namespace dsp

