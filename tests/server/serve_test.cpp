// dsp-control serve as a process, the way a venue runs it: the rooms file,
// the token file it makes, the refusals at start, and SIGTERM with the
// goodbyes.

#include <sys/stat.h>

#include <QProcess>
#include <QTcpServer>

#include "desk_rig.h"
#include "link/device_link.h"
#include "link/frames.h"

namespace dsp::test {
namespace {

namespace fs = std::filesystem;

QString ControlBinary() {
  return QString::fromStdString((fs::read_symlink("/proc/self/exe").parent_path() / "dsp-control").string());
}

quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

class Serve : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    dir_ = fs::temp_directory_path() / ("desk-serve-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // Runs serve to its end with `args`; its exit code and standard error.
  std::pair<int, std::string> RunToEnd(const QStringList& args) {
    QProcess process;
    process.start(ControlBinary(), QStringList{QStringLiteral("serve")} + args);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardError().toStdString()};
  }
  fs::path dir_;
};

TEST_F(Serve, ServesTheRoomsFileMakesTheTokenAndSaysGoodbyeOnSigterm) {
  EmulatedRoom room("room-1", dir_);
  const fs::path rooms = dir_ / "rooms.txt";
  std::ofstream(rooms) << "# the venue\nroom-1 " << room.link.string() << "\nroom-2 " << (dir_ / "missing").string()
                       << "\n";
  const fs::path token = dir_ / "conf" / "token";
  const quint16 port = FreePort();
  QProcess server;
  server.start(ControlBinary(),
               {"serve", "--rooms", QString::fromStdString(rooms.string()), "--listen",
                QStringLiteral("127.0.0.1:%1").arg(port), "--token-file", QString::fromStdString(token.string())});
  ASSERT_TRUE(server.waitForStarted(10000));
  std::string err;
  ASSERT_TRUE(RunUntil([&] {
    err += server.readAllStandardError().toStdString();
    return err.find("room-1: linked") != std::string::npos;
  })) << err;
  EXPECT_NE(err.find("2 rooms on http://127.0.0.1:" + std::to_string(port) + "/"), std::string::npos) << err;

  // The token file: made, only for its owner, 64 hex digits.
  struct stat info {};
  ASSERT_EQ(::stat(token.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const std::string secret = desk::TokenFromFile(ReadText(token));
  EXPECT_EQ(secret.size(), 64u);

  HttpClient http(port);
  const QJsonArray list = http.Call("GET", QStringLiteral("/api/rooms")).array();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[0].toObject().value("link").toString(), "linked");
  EXPECT_EQ(list[1].toObject().value("link").toString(), "searching");
  EXPECT_EQ(http.Call("PUT", QStringLiteral("/api/rooms/room-1/volume/music"), R"({"value": 12})").status, 401);
  EXPECT_EQ(http.Call("PUT", QStringLiteral("/api/rooms/room-1/volume/music"), R"({"value": 12})",
                      QByteArray::fromStdString(secret))
                .status,
            200);
  ASSERT_TRUE(RunUntil([&] { return ReadText(room.log).find(HexDump(BuildValueFrame(CmdWrite, 0x0920, 12))) != std::string::npos; }));

  server.terminate();  // SIGTERM
  ASSERT_TRUE(server.waitForFinished(20000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  err += server.readAllStandardError().toStdString();
  EXPECT_NE(err.find("stopped"), std::string::npos) << err;
  const std::string goodbye = HexDump(BuildValueFrame(CmdWrite, AddrLinkControl, LinkGoodbye));
  ASSERT_TRUE(RunUntil([&] { return ReadText(room.log).find(goodbye) != std::string::npos; }, 5000));

  // The same token file serves again, unchanged.
  const QByteArray before = QByteArray::fromStdString(ReadText(token));
  QProcess again;
  again.start(ControlBinary(), {"serve", "--rooms", QString::fromStdString(rooms.string()), "--listen",
                                QStringLiteral("127.0.0.1:%1").arg(port), "--token-file",
                                QString::fromStdString(token.string())});
  std::string againErr;
  ASSERT_TRUE(RunUntil([&] {
    againErr += again.readAllStandardError().toStdString();
    return againErr.find("rooms on http") != std::string::npos;
  })) << againErr;
  again.kill();
  again.waitForFinished(5000);
  EXPECT_EQ(QByteArray::fromStdString(ReadText(token)), before);
}

TEST_F(Serve, RefusesToStartWithoutWhatItNeeds) {
  const fs::path rooms = dir_ / "rooms.txt";
  std::ofstream(rooms) << "room-1 /dev/null-port\n";
  const fs::path bad = dir_ / "bad.txt";
  std::ofstream(bad) << "room-1 /dev/a\nroom-1 /dev/b\n";
  const fs::path emptyToken = dir_ / "empty-token";
  std::ofstream(emptyToken) << "\n";
  const QString r = QString::fromStdString(rooms.string());
  struct Case {
    QStringList args;
    int code;
    const char* says;
  };
  const std::vector<Case> cases = {
      {{"--rooms", r, "--listen", "0.0.0.0:18999"}, 2, "needs --token-file"},
      {{"--rooms", r, "--listen", "[::]:18999"}, 2, "needs --token-file"},
      {{"--rooms", r, "--listen", "nowhere"}, 2, "--listen takes ADDRESS:PORT"},
      {{"--rooms", r, "--listen", "127.0.0.1:99999"}, 2, "--listen takes ADDRESS:PORT"},
      {{"--listen", "127.0.0.1:18999"}, 2, "--rooms FILE is needed"},
      {{"--rooms", QString::fromStdString(bad.string())}, 2, "bad.txt:2:"},
      {{"--rooms", r, "extra"}, 2, "no arguments"},
      {{"--rooms", r, "--token-file", QString::fromStdString(emptyToken.string())}, 1, "holds no token"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const auto [code, err] = RunToEnd(c.args);
    EXPECT_EQ(code, c.code) << err;
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace dsp::test
