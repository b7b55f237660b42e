// The network port against Debian's ser2net serving a pseudo-terminal:
// bytes (0xFF among them) both ways through the raw and the RFC 2217
// accepter, and every fault a connection can meet, with its reason.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../support/run_until.h"
#include "ports/qt_any_port.h"
#include "ports/qt_network_port.h"
#include "port_rig.h"
#include "posix/pty.h"
#include "posix/ser2net_process.h"

namespace dsp {
namespace {

using test::App;
using test::RunUntil;

// A loopback listener that takes connections into its backlog and never
// says a word: a host that answers TCP but no Telnet.
class MuteListener {
 public:
  MuteListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 4);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~MuteListener() { ::close(fd_); }
  std::uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

class NetworkPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(std::filesystem::exists(posix::Ser2netBinary()))
        << posix::Ser2netBinary() << " is missing: scripts/deps.sh installs ser2net";
    pty.holdDevice();
    server = std::make_unique<posix::Ser2netProcess>(pty.devicePath());
    ASSERT_TRUE(server->started()) << server->log();
  }
  // Opens `name` and waits for the line; returns the gone reason, if any.
  void OpenAndWait(SerialPort& port, const std::string& name) {
    port.SetName(name);
    port.SetArrivalHandler([this](std::size_t n) { arrivals.push_back(n); });
    port.SetGoneHandler([this](const SerialPortError& why) { gone.emplace(why); });
    port.Open();
    ASSERT_TRUE(RunUntil([&] { return !port.Opening(); }, 5000));
    ASSERT_FALSE(gone.has_value()) << gone->what();
    ASSERT_TRUE(port.IsOpen());
  }

  posix::PtyPair pty;
  std::unique_ptr<posix::Ser2netProcess> server;
  std::vector<std::size_t> arrivals;
  std::optional<SerialPortError> gone;
};

TEST_F(NetworkPortTest, BytesCrossBothWaysUnchangedThroughEitherAccepter) {
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  all.insert(all.end(), {0xFF, 0xFF, 0xFF, 0xFC, 0xFF, 0xFA, 0xFF, 0xF0, 0xFF});
  for (const std::string& url : {server->rawUrl(), server->rfc2217Url()}) {
    SCOPED_TRACE(url);
    arrivals.clear();
    QtNetworkPort port;
    OpenAndWait(port, url);
    port.Write(all);
    Bytes received;
    for (int i = 0; i < 50 && received.size() < all.size(); ++i) {
      const Bytes piece = pty.read(all.size() - received.size(), 200);
      received.insert(received.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(received, all) << "device side";

    pty.write(all);
    ASSERT_TRUE(RunUntil([&] { return port.BytesAvailable() >= all.size(); }, 3000)) << port.BytesAvailable();
    EXPECT_FALSE(arrivals.empty());
    EXPECT_EQ(port.Read(all.size()), all) << "client side";
    EXPECT_EQ(port.BytesAvailable(), 0u);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    // The server's session ends with the connection; the next one is taken.
    RunUntil([] { return false; }, 200);
  }
}

TEST_F(NetworkPortTest, AReadWaitsForTheBytesAndEndsOnItsTimeout) {
  QtNetworkPort port;
  OpenAndWait(port, server->rfc2217Url());
  pty.write({0xFE});
  QElapsedTimer clock;
  clock.start();
  const Bytes got = port.Read(3);  // one byte arrives, the read waits 1300 ms
  EXPECT_EQ(got, Bytes{0xFE});
  EXPECT_GE(clock.elapsed(), 1200);
  EXPECT_LT(clock.elapsed(), 2500);
}

TEST_F(NetworkPortTest, WritesMadeWhileConnectingGoOutOnceTheLineIsUp) {
  QtNetworkPort port;
  port.SetName(server->rfc2217Url());
  port.Open();
  EXPECT_TRUE(port.Opening());
  port.Write({0x01, 0xFF, 0x02});
  ASSERT_TRUE(RunUntil([&] { return !port.Opening(); }, 5000));
  EXPECT_EQ(pty.read(3, 1000), (Bytes{0x01, 0xFF, 0x02}));
}

TEST_F(NetworkPortTest, FaultsComeBackWithTheirReason) {
  MuteListener mute;
  const std::uint16_t nothing = posix::FreeLoopbackPort();
  struct Case {
    std::string name;
    PortFault fault;
  } cases[] = {
      // Refused by Qt before any lookup: no query leaves the machine.
      {"tcp://bad..name:4000", PortFault::Unresolved},
      {"tcp://127.0.0.1:" + std::to_string(nothing), PortFault::Refused},
      {"rfc2217://127.0.0.1:" + std::to_string(nothing), PortFault::Refused},
      {"rfc2217://127.0.0.1:" + std::to_string(mute.port()), PortFault::NoAnswer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QtNetworkPort port;
    std::optional<SerialPortError> why;
    int notices = 0;
    port.SetGoneHandler([&](const SerialPortError& e) {
      why.emplace(e);
      ++notices;
    });
    port.SetName(c.name);
    QElapsedTimer clock;
    clock.start();
    port.Open();
    EXPECT_LT(clock.elapsed(), 100) << "Open() waited for the network";
    ASSERT_TRUE(RunUntil([&] { return why.has_value(); }, QtNetworkPort::kConnectTimeoutMs + 2000));
    EXPECT_EQ(why->fault(), c.fault) << why->what();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Opening());
    RunUntil([] { return false; }, 50);
    EXPECT_EQ(notices, 1);
  }
}

TEST_F(NetworkPortTest, ANameThatIsNoAddressFailsAtOnce) {
  QtNetworkPort port;
  port.SetName("tcp://host-without-port");
  try {
    port.Open();
    FAIL() << "opened";
  } catch (const SerialPortError& e) {
    EXPECT_NE(std::string(e.what()).find("PORT"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(NetworkPortTest, ASecondClientIsToldTheDeviceIsBusy) {
  QtNetworkPort first;
  OpenAndWait(first, server->rawUrl());
  QtNetworkPort second;
  std::optional<SerialPortError> why;
  second.SetGoneHandler([&](const SerialPortError& e) { why.emplace(e); });
  second.SetName(server->rawUrl());
  second.Open();
  // Tried again for a while (a session that has just ended frees the
  // device within moments), then given up with the reason.
  ASSERT_TRUE(RunUntil([&] { return why.has_value(); }, QtNetworkPort::kConnectTimeoutMs + 1000));
  EXPECT_EQ(why->fault(), PortFault::Busy) << why->what();
  EXPECT_TRUE(first.IsOpen());
}

TEST_F(NetworkPortTest, TheServerGoingAwayClosesThePortOnce) {
  for (bool rfc2217 : {false, true}) {
    SCOPED_TRACE(rfc2217 ? "rfc2217" : "raw");
    if (!server) {
      server = std::make_unique<posix::Ser2netProcess>(pty.devicePath());
      ASSERT_TRUE(server->started()) << server->log();
    }
    QtNetworkPort port;
    gone.reset();
    OpenAndWait(port, rfc2217 ? server->rfc2217Url() : server->rawUrl());
    server->Stop(SIGKILL);
    server.reset();
    ASSERT_TRUE(RunUntil([&] { return gone.has_value(); }, 2000));
    EXPECT_EQ(gone->fault(), PortFault::Closed) << gone->what();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_THROW(port.Write({0x01}), SerialPortError);
    EXPECT_TRUE(port.Read(1).empty());
  }
}

TEST(AnyPort, TheNamePicksTheLine) {
  App();
  posix::PtyPair pty;
  QtAnyPort port;
  port.SetName(pty.devicePath());
  port.Open();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_FALSE(port.Opening());
  port.Write({0x42});
  EXPECT_EQ(pty.read(1, 1000), Bytes{0x42});
  // Another kind of name closes the serial device and opens in the background.
  MuteListener mute;
  port.SetName("tcp://127.0.0.1:" + std::to_string(mute.port()));
  EXPECT_FALSE(port.IsOpen());
  port.Open();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.Name(), "tcp://127.0.0.1:" + std::to_string(mute.port()));
  ASSERT_TRUE(RunUntil([&] { return !port.Opening(); }, 2000));  // raw TCP is up once connected
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace dsp
