// The Qt serial adapter against a real pseudo-terminal pair: the adapter
// opens the terminal side like any serial device, the test plays the
// processor on the controlling side.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "link/qt_serial_port.h"
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

}  // namespace
}  // namespace dsp
