// The whole device link over a real pseudo-terminal: the Qt serial adapter,
// the parser, the link manager and the pacing, run by real QTimers against
// the dsp-emulator program started as a child process.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../support/cpu_time.h"
#include "../support/run_until.h"
#include "link/device_link.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "ports/qt_serial_port.h"
#include "port_rig.h"
#include "posix/emulator_process.h"
#include "posix/pty.h"
#include "store/param_store.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;

using test::App;
using test::ExpectStoresEqual;
using test::RunUntil;
using test::TimerView;

using posix::EmulatorBinary;
using posix::EmulatorProcess;

struct Session {
  ParamStore store;
  QtSerialPort port;
  TimerView view{store};
  DeviceLink link{store, port, view};

  explicit Session(const std::string& emulatorPath) {
    view.Attach(link);
    // Extra names first: the system does not list pseudo-terminals.
    std::vector<std::string> ports{emulatorPath};
    for (auto& name : QtSerialPort::AvailablePortNames()) ports.push_back(name);
    link.SetPortList(ports);
  }
  ~Session() { view.Detach(); }
  bool Connect() {
    link.LinkBtnClick(true);
    return RunUntil([&] { return link.LinkState == 2 || !view.messages.empty(); }, 20000) &&
           link.LinkState == 2;
  }
};

std::vector<std::string> ReadLines(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class LinkE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(fs::exists(EmulatorBinary()))
        << EmulatorBinary() << " is missing: build the dsp-emulator target (or set DSP_EMULATOR)";
    dir_ = fs::temp_directory_path() / ("link_e2e_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(LinkE2E, DownloadThenPacedWritesReachTheProcessor) {
  const fs::path log = dir_ / "frames.log";
  const fs::path link = dir_ / "ttyDSP";
  EmulatorProcess emulator({"--random-image", "--seed", "5", "--log", log.string(), "--link", link.string()});
  ASSERT_FALSE(emulator.path().empty());
  ASSERT_TRUE(fs::is_symlink(link));
  ProcessorEmulator expected;
  expected.FillRandom(5);

  Session s(link.string());
  ASSERT_TRUE(s.Connect()) << s.view.status;
  ExpectStoresEqual(s.store, expected);
  char id[9];
  std::snprintf(id, sizeof id, "%02X%02X%02X%02X", expected.id[0], expected.id[1], expected.id[2],
                expected.id[3]);
  EXPECT_EQ(s.link.DeviceId, id);

  const std::size_t before = ReadLines(log).size();
  auto written = [&] {
    std::vector<std::string> out;
    auto lines = ReadLines(log);
    for (std::size_t i = before; i < lines.size(); ++i)
      if (lines[i].rfind("FC B1 06 A7 09 30", 0) != 0) out.push_back(lines[i]);  // heartbeats aside
    return out;
  };
  auto frame = [](int address, int value) { return HexDump(BuildValueFrame(CmdWrite, address, value)); };
  std::vector<std::string> expectedFrames;

  // A slider drag: 200 writes to one address within one event-loop turn.
  for (int v = 0; v < 200; ++v) s.link.WriteParam(0x0505, v);
  for (int v : {0, 1, 199, 199}) expectedFrames.push_back(frame(0x0505, v));
  EXPECT_TRUE(RunUntil([&] { return written().size() >= expectedFrames.size(); }, 5000));
  RunUntil([] { return false; }, 200);  // nothing more may follow
  EXPECT_EQ(written(), expectedFrames);

  // Writes to many addresses arrive in order, the last one twice.
  for (int i = 0; i < 30; ++i) s.link.WriteParam(0x0700 + i, i + 1);
  for (int i = 0; i < 30; ++i) expectedFrames.push_back(frame(0x0700 + i, i + 1));
  expectedFrames.push_back(frame(0x071D, 30));
  EXPECT_TRUE(RunUntil([&] { return written().size() >= expectedFrames.size(); }, 10000));
  RunUntil([] { return false; }, 200);
  EXPECT_EQ(written(), expectedFrames);
  EXPECT_TRUE(s.view.messages.empty());
  EXPECT_EQ(emulator.Stop(SIGTERM), 0);
  EXPECT_FALSE(fs::exists(link)) << "the symlink is removed on exit";
}

TEST_F(LinkE2E, DownloadCompletesWithLineNoiseAndSplitReplies) {
  EmulatorProcess emulator({"--random-image", "--seed", "9", "--garbage", "--chunk", "5"});
  ASSERT_FALSE(emulator.path().empty());
  ProcessorEmulator expected;
  expected.FillRandom(9);
  Session s(emulator.path());
  ASSERT_TRUE(s.Connect()) << s.view.status;
  ExpectStoresEqual(s.store, expected);
}

TEST_F(LinkE2E, KilledProcessorLosesTheLink) {
  EmulatorProcess emulator({});
  ASSERT_FALSE(emulator.path().empty());
  Session s(emulator.path());
  ASSERT_TRUE(s.Connect());
  // Heartbeats are answered while the processor lives.
  RunUntil([] { return false; }, 2200);
  EXPECT_TRUE(s.view.messages.empty());
  EXPECT_EQ(s.link.MissCount, 0);
  emulator.Stop(SIGKILL);
  s.view.SetTimerRunning(LinkTimer::Hold, false);  // the pacing is ticked by hand from here
  for (int tick = 0; tick < 700 && s.view.messages.empty(); ++tick) {
    s.link.HoldTimerTimer();
    if (tick % 50 == 0) RunUntil([] { return false; }, 5);
  }
  EXPECT_EQ(s.view.messages, std::vector<std::string>{"已断开连接!"});
  EXPECT_EQ(s.link.LinkState, 0);
  EXPECT_EQ(s.view.status, "设备未连接");
}

TEST_F(LinkE2E, TheScanSaysWhyARealPortWouldNotOpen) {
  posix::PtyPair pty;
  QtSerialPort holder;  // another program holding the port
  holder.SetName(pty.devicePath());
  holder.Open();
  const std::string missing = (dir_ / "ttyNone").string();
  ParamStore store;
  QtSerialPort port;
  TimerView view{store};
  DeviceLink link{store, port, view};
  link.SetPortList({missing, pty.devicePath()});
  link.LinkBtnClick(true);  // the scan is ticked by hand here
  link.Timer1Timer();
  link.Timer1Timer();
  ASSERT_EQ(view.problems.size(), 3u);  // cleared by the connect, then one per port
  EXPECT_EQ(view.problems[1], "端口 " + missing + " 不存在(设备未连接或已拔出)");
  EXPECT_EQ(view.problems[2], "端口 " + pty.devicePath() + " 正被其他程序占用");
}

TEST_F(LinkE2E, UnpluggedProcessorIsLostAtOnceAndFoundAgainOnTheSamePath) {
  const fs::path link = dir_ / "ttyDSP";
  auto emulator = std::make_unique<EmulatorProcess>(std::vector<std::string>{"--link", link.string()});
  ASSERT_FALSE(emulator->path().empty());
  Session s(link.string());
  s.link.SetAutoReconnect(true);
  ASSERT_TRUE(s.Connect()) << s.view.status;

  // The cable is pulled: the device vanishes under the open port.
  emulator->Stop(SIGKILL);
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(RunUntil([&] { return s.link.LinkState != 2; }, 1000)) << "the loss took more than a second";
  std::printf("[ measured ] loss of link noticed after %lld ms\n", static_cast<long long>(clock.elapsed()));
  EXPECT_FALSE(s.port.IsOpen()) << "the vanished device is closed";
  EXPECT_TRUE(s.link.Reconnecting());
  EXPECT_EQ(s.view.status, kLostReconnectingText);

  // Scanning in the background for a few seconds costs next to nothing.
  const double before = test::CpuSeconds();
  QElapsedTimer idle;
  idle.start();
  RunUntil([] { return false; }, 3000);
  const double share = (test::CpuSeconds() - before) / (static_cast<double>(idle.elapsed()) / 1000.0);
  std::printf("[ measured ] CPU share while scanning for the lost processor: %.2f %%\n", share * 100.0);
  EXPECT_LT(share, 0.03) << "CPU share while the processor is away";
  EXPECT_TRUE(s.view.messages.empty()) << "no box holds up the scan";

  // A processor appears on the same path: the link comes back by itself.
  emulator = std::make_unique<EmulatorProcess>(std::vector<std::string>{"--link", link.string()});
  ASSERT_FALSE(emulator->path().empty());
  QElapsedTimer back;
  back.start();
  ASSERT_TRUE(RunUntil([&] { return s.link.LinkState == 2; }, 20000)) << s.view.status;
  std::printf("[ measured ] linked again %lld ms after the processor came back (%zu ports in the list)\n",
              static_cast<long long>(back.elapsed()), s.link.PortList().size());
  EXPECT_EQ(s.view.status, "设备已连接");
  EXPECT_FALSE(s.link.Reconnecting());
  EXPECT_TRUE(s.view.messages.empty());
  // And it works: heartbeats are answered.
  RunUntil([] { return false; }, 2200);
  EXPECT_EQ(s.link.MissCount, 0);
  EXPECT_EQ(s.link.LinkState, 2);
}

}  // namespace
}  // namespace dsp
