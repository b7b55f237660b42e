// The whole device link through Debian's ser2net in front of the
// dsp-emulator program: the application's port (which picks the network
// line by the name), the parser, the link manager and the pacing, with real
// timers, through the raw and the RFC 2217 accepter.

#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../support/cpu_time.h"
#include "../support/run_until.h"
#include "link/device_link.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "ports/qt_any_port.h"
#include "port_rig.h"
#include "posix/emulator_process.h"
#include "posix/ser2net_process.h"
#include "store/param_store.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;
using test::App;
using test::ExpectStoresEqual;
using test::RunUntil;
using test::TimerView;

struct NetSession {
  ParamStore store;
  QtAnyPort port;
  TimerView view{store};
  DeviceLink link{store, port, view};

  explicit NetSession(const std::string& url) {
    view.Attach(link);
    link.SetPortList({url});
  }
  ~NetSession() { view.Detach(); }
  bool Connect(int timeoutMs = 20000) {
    view.messages.clear();
    link.LinkBtnClick(true);
    // LinkState stays 2 while a linked session scans again: wait for the
    // status of a completed download.
    return RunUntil([&] { return view.status == "设备已连接" || !view.messages.empty(); }, timeoutMs) &&
           view.messages.empty();
  }
};

std::vector<std::string> ReadLines(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class NetworkLink : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(fs::exists(posix::EmulatorBinary())) << posix::EmulatorBinary();
    ASSERT_TRUE(fs::exists(posix::Ser2netBinary())) << "scripts/deps.sh installs ser2net";
    dir_ = fs::temp_directory_path() / ("net_link_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Url(const posix::Ser2netProcess& server) const {
    return GetParam() ? server.rfc2217Url() : server.rawUrl();
  }
  fs::path dir_;
};

TEST_P(NetworkLink, DownloadsWritesAndUploadsFramesCarryingFF) {
  const fs::path log = dir_ / "frames.log";
  posix::EmulatorProcess emulator({"--random-image", "--seed", "21", "--log", log.string()});
  ASSERT_FALSE(emulator.path().empty());
  posix::Ser2netProcess server(emulator.path());
  ASSERT_TRUE(server.started()) << server.log();
  ProcessorEmulator expected;
  expected.FillRandom(21);

  NetSession s(Url(server));
  ASSERT_TRUE(s.Connect()) << s.view.status << " " << (s.view.problems.empty() ? "" : s.view.problems.back());
  ExpectStoresEqual(s.store, expected);

  // Values whose bytes are 0xFF, and frames whose checksum is 0xFF.
  std::vector<std::string> sent;
  for (int value : {0x00FF, 0xFFFF, 0xFF00}) {
    s.link.WriteParam(0x0105, value);
    sent.push_back(HexDump(BuildValueFrame(CmdWrite, 0x0105, value)));
    ASSERT_TRUE(RunUntil([&] { return s.link.TxReady == 1 && s.link.valueQueue().count == 0; }, 3000));
  }
  RunUntil([] { return false; }, 300);
  const auto lines = ReadLines(log);
  for (const std::string& frame : sent)
    EXPECT_NE(std::find(lines.begin(), lines.end(), frame), lines.end()) << frame << " did not arrive whole";

  // A whole setting full of 0xFF bytes goes up, and comes back down alike.
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      s.store.DeviceImage[c][i] = (i % 3 == 0) ? 0xFFFF : (i % 3 == 1 ? 0x00FF : 0xFF00 | (i & 0xFF));
  const auto uploaded = s.store.DeviceImage;
  s.link.SetLinkStatus(6);
  ASSERT_TRUE(RunUntil([&] { return s.link.LinkState == 2 || !s.view.messages.empty(); }, 20000));
  ASSERT_TRUE(s.view.messages.empty()) << s.view.messages.front();
  for (auto& row : s.store.DeviceImage) row.fill(0);
  // Connecting again closes and reopens the connection at once.
  ASSERT_TRUE(s.Connect()) << s.view.status << " " << (s.view.problems.empty() ? "" : s.view.problems.back());
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
      ASSERT_EQ(s.store.DeviceImage[c][i], uploaded[c][i]) << c << ":" << i;
}

TEST_P(NetworkLink, AServerKilledMidDownloadLosesTheLinkWithTheReason) {
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  auto server = std::make_unique<posix::Ser2netProcess>(emulator.path());
  ASSERT_TRUE(server->started()) << server->log();
  const std::string url = Url(*server);
  NetSession s(url);
  s.link.LinkBtnClick(true);
  ASSERT_TRUE(RunUntil([&] { return s.link.StepIndex >= 3; }, 10000)) << s.view.status;
  ASSERT_EQ(s.view.status, "连接中...");
  server->Stop(SIGKILL);
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(RunUntil([&] { return !s.view.messages.empty(); }, 3000));
  EXPECT_LT(clock.elapsed(), 1000) << "the loss is noticed at once, not after a time-out";
  EXPECT_EQ(s.view.messages, std::vector<std::string>{"已断开连接!"});
  EXPECT_EQ(s.view.status, "设备未连接");
  ASSERT_FALSE(s.view.problems.empty());
  EXPECT_EQ(s.view.problems.back(), "端口 " + url + " 的连接已被服务器关闭");
  EXPECT_FALSE(s.port.IsOpen());
}

TEST_P(NetworkLink, LostServerIsFoundAgainInTheBackgroundAtLittleCost) {
  posix::EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  auto server = std::make_unique<posix::Ser2netProcess>(emulator.path());
  ASSERT_TRUE(server->started()) << server->log();
  const std::string url = Url(*server);
  NetSession s(url);
  s.link.SetAutoReconnect(true);
  ASSERT_TRUE(s.Connect());
  server->Stop(SIGKILL);
  ASSERT_TRUE(RunUntil([&] { return s.link.Reconnecting(); }, 1000));
  EXPECT_EQ(s.view.status, kLostReconnectingText);
  // Refused once a second while the server is away, at next to no cost.
  const double before = test::CpuSeconds();
  QElapsedTimer idle;
  idle.start();
  RunUntil([] { return false; }, 2500);
  const double share = (test::CpuSeconds() - before) / (static_cast<double>(idle.elapsed()) / 1000.0);
  std::printf("[ measured ] CPU share while reconnecting to a stopped server: %.2f %%\n", share * 100.0);
  EXPECT_LT(share, 0.03);
  ASSERT_FALSE(s.view.problems.empty());
  EXPECT_EQ(s.view.problems.back(), "端口 " + url + " 拒绝连接(服务器未运行或端口号有误)");
  EXPECT_TRUE(s.view.messages.empty());
  EXPECT_TRUE(RunUntil([&] { return !s.port.IsOpen(); }, 500))
      << "no connection is left behind between attempts";
}

INSTANTIATE_TEST_SUITE_P(Accepters, NetworkLink, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Rfc2217" : "RawTcp";
                         });

}  // namespace
}  // namespace dsp
