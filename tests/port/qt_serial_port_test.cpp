// The Qt serial adapter against a real pseudo-terminal pair: the adapter
// opens the terminal side like any serial device, the test plays the
// processor on the controlling side.

#include "ports/qt_serial_port.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "../support/cpu_time.h"
#include "../support/run_until.h"
#include "posix/emulator_process.h"
#include "posix/pty.h"

namespace dsp {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "port_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// Runs the event loop until the predicate holds or the time is up.
template <typename Pred>
bool PumpUntil(Pred pred, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!pred() && timer.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return pred();
}

class QtSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    port.SetName(pty.devicePath());
    port.Open();
    port.SetArrivalHandler([this](std::size_t n) { notifications.push_back(n); });
  }
  posix::PtyPair pty;
  QtSerialPort port;
  std::vector<std::size_t> notifications;
};

TEST_F(QtSerialPortTest, WrittenBytesArriveOnTheOtherSide) {
  ASSERT_TRUE(port.IsOpen());
  const Bytes frame{0xFC, 0xB1, 0x06, 0xA7, 0x09, 0x30, 0x11, 0x00, 0x5C};
  port.Write(frame);
  EXPECT_EQ(pty.read(frame.size(), 2000), frame);
}

// Counts the serial port's socket notifications of one kind (read or
// write) delivered anywhere in the program while it exists.
class NotifierCounter : public QObject {
 public:
  explicit NotifierCounter(QSocketNotifier::Type type) : type_(type) { App().installEventFilter(this); }
  ~NotifierCounter() override { App().removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* notifier = qobject_cast<QSocketNotifier*>(watched);
    if (event->type() == QEvent::SockAct && notifier != nullptr && notifier->type() == type_) ++count;
    return false;
  }
  int count = 0;

 private:
  QSocketNotifier::Type type_;
};

TEST_F(QtSerialPortTest, AWriteIsFinishedBeforeItReturnsAndWakesNothingAfterwards) {
  const Bytes frame{0xFC, 0xB1, 0x06, 0xA7, 0x09, 0x30, 0x66, 0x00, 0x1B};
  for (int i = 0; i < 3; ++i) {
    NotifierCounter writes(QSocketNotifier::Write);
    port.Write(frame);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(writes.count, 0) << "write " << i;
    EXPECT_EQ(pty.read(frame.size(), 2000), frame);
  }
}

TEST_F(QtSerialPortTest, BytesArrivingDuringAWriteAreNotifiedAfterIt) {
  pty.write({0xFE, 0xBB});
  ::usleep(50 * 1000);  // waiting on the line before the write starts
  bool insideWrite = false;
  bool notifiedInside = false;
  port.SetArrivalHandler([&](std::size_t n) {
    notifiedInside = notifiedInside || insideWrite;
    notifications.push_back(n);
  });
  insideWrite = true;
  port.Write({0xFC, 0xB1, 0x06, 0xA7, 0x09, 0x30, 0x66, 0x00, 0x1B});
  insideWrite = false;
  ASSERT_TRUE(PumpUntil([&] { return !notifications.empty(); }, 3000));
  EXPECT_FALSE(notifiedInside);
  EXPECT_EQ(port.BytesAvailable(), 2u);
}

TEST_F(QtSerialPortTest, ArrivalNotifiesWithTheWaitingCountAndLeavesBytesQueued) {
  pty.write({0xFE, 0xBB, 0xFC, 0xB1});
  ASSERT_TRUE(PumpUntil([&] { return !notifications.empty() && port.BytesAvailable() == 4; }, 3000));
  EXPECT_EQ(notifications.back(), port.BytesAvailable());

  // Consuming only two bytes leaves the rest queued; no new notification
  // comes until further bytes arrive.
  EXPECT_EQ(port.Read(2), (Bytes{0xFE, 0xBB}));
  const std::size_t seen = notifications.size();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(notifications.size(), seen);
  EXPECT_EQ(port.BytesAvailable(), 2u);

  pty.write({0x04});
  ASSERT_TRUE(PumpUntil([&] { return notifications.size() > seen; }, 3000));
  EXPECT_EQ(notifications.back(), 3u);
}

TEST_F(QtSerialPortTest, ShortReadReturnsWhatCameAfterTheTimeout) {
  pty.write({0x42});
  QElapsedTimer timer;
  timer.start();
  Bytes got = port.Read(3);
  const qint64 elapsed = timer.elapsed();
  EXPECT_EQ(got, (Bytes{0x42}));
  // A read of 3 bytes waits up to 1000 + 3 * 100 ms before giving up.
  EXPECT_GE(elapsed, 1200);
}

TEST(QtSerialPortOpen, MissingOrEmptyNameRaises) {
  App();
  QtSerialPort port;
  port.SetName("/dev/no-such-serial-port-here");
  EXPECT_THROW(port.Open(), SerialPortError);
  EXPECT_FALSE(port.IsOpen());
  port.SetName("");
  EXPECT_THROW(port.Open(), SerialPortError);
  EXPECT_THROW(port.Write({1}), SerialPortError);
  EXPECT_TRUE(port.Read(2).empty());
}

TEST(QtSerialPortOpen, MissingPortIsReportedAsMissing) {
  App();
  QtSerialPort port;
  port.SetName("/dev/no-such-serial-port-here");
  try {
    port.Open();
    FAIL() << "opened a missing port";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.fault(), PortFault::Missing) << e.what();
  }
}

TEST(QtSerialPortOpen, PortHeldByAnotherOpenIsReportedAsBusy) {
  App();
  posix::PtyPair pty;
  QtSerialPort first;
  first.SetName(pty.devicePath());
  first.Open();
  QtSerialPort second;
  second.SetName(pty.devicePath());
  try {
    second.Open();
    FAIL() << "a second open of an exclusively held port succeeded";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.fault(), PortFault::Busy) << e.what();
  }
  EXPECT_TRUE(first.IsOpen());
}

// A device file this user may not open. As root every file may be opened,
// so the open is tried in a child that has given up its privileges; the
// child reports the fault and group through its exit status and a file.
TEST(QtSerialPortOpen, RefusedPortIsReportedAsPermissionDeniedWithItsGroup) {
  App();
  posix::PtyPair pty;
  const std::string device = pty.devicePath();
  ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  const std::filesystem::path report =
      std::filesystem::temp_directory_path() / ("port_group_" + std::to_string(getpid()));
  const uid_t nobody = 65534;
  if (geteuid() == 0) {
    // The terminal must belong to someone else's group for "nobody".
    ASSERT_EQ(::chown(device.c_str(), 0, 0), 0);
  } else if (info.st_uid == geteuid()) {
    ASSERT_EQ(::chmod(device.c_str(), 0060), 0);  // owner refused, group still allowed
  }
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
      _exit(10);
    if (access(device.c_str(), R_OK | W_OK) == 0) _exit(11);  // cannot be refused here
    QtSerialPort port;
    port.SetName(device);
    try {
      port.Open();
      _exit(12);
    } catch (const SerialPortError& e) {
      std::ofstream(report) << e.group();
      _exit(e.fault() == PortFault::PermissionDenied ? 0 : 13);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 10 || WEXITSTATUS(status) == 11) {
    GTEST_SKIP() << "no unprivileged user to refuse the device to";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string group;
  std::getline(std::ifstream(report), group);
  std::filesystem::remove(report);
  EXPECT_FALSE(group.empty()) << "the group that owns the device is named";
}

TEST(QtSerialPortGone, PeerClosedClosesThePortNotifiesOnceAndStaysIdle) {
  App();
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  QtSerialPort port;
  port.SetName(emulator.path());
  port.Open();
  int gone = 0;
  port.SetGoneHandler([&](const SerialPortError&) { ++gone; });
  emulator.Stop(SIGKILL);
  ASSERT_TRUE(test::RunUntil([&] { return gone > 0; }, 1000)) << "no gone notification within a second";
  EXPECT_FALSE(port.IsOpen());

  // From here on nothing is left to do: the event loop must sleep.
  const double before = test::CpuSeconds();
  QElapsedTimer idle;
  idle.start();
  // The wait sleeps in the event loop, so whatever CPU time passes is the
  // port's.
  test::RunUntil([] { return false; }, 2000);
  const double share = (test::CpuSeconds() - before) / (static_cast<double>(idle.elapsed()) / 1000.0);
  std::printf("[ measured ] CPU share while idle after the loss: %.2f %%\n", share * 100.0);
  EXPECT_LT(share, 0.03) << "CPU share while idle after the loss";
  EXPECT_EQ(gone, 1);
}

}  // namespace
}  // namespace dsp
