// The front desk's API as a client sees it: a real HTTP client and a
// WebSocket client against a front desk holding emulated rooms on
// pseudo-terminals (and a room whose port does not exist).

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

#include "desk_rig.h"
#include "link/device_link.h"
#include "emulator/emulator.h"
#include "link/frames.h"
#include "presets/preset_file.h"

namespace dsp::test {
namespace {

namespace fs = std::filesystem;
using server::DeskOptions;
using server::FrontDesk;
using server::ServedRoom;

class FrontDeskApi : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    dir_ = fs::temp_directory_path() / ("desk-api-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    a_ = std::make_unique<EmulatedRoom>("room-a", dir_);
    b_ = std::make_unique<EmulatedRoom>("room-b", dir_);
    ASSERT_FALSE(a_->emulator->path().empty());
    ASSERT_FALSE(b_->emulator->path().empty());
  }
  void TearDown() override {
    desk_.reset();
    a_.reset();
    b_.reset();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A front desk on the two rooms and one on a port that does not exist.
  void Serve(bool readNeedsToken = false, bool waitForLinks = true) {
    DeskOptions options;
    options.port = 0;
    options.token = kToken.toStdString();
    options.readNeedsToken = readNeedsToken;
    desk_ = std::make_unique<FrontDesk>(options);
    desk_->AddRoom(std::make_unique<ServedRoom>(a_->name, a_->link.string()));
    desk_->AddRoom(std::make_unique<ServedRoom>(b_->name, b_->link.string()));
    desk_->AddRoom(std::make_unique<ServedRoom>("gone", (dir_ / "no-such-port").string()));
    for (const auto& room : desk_->Rooms()) room->SetWaitLimit(60000);
    QString problem;
    ASSERT_TRUE(desk_->Listen(problem)) << problem.toStdString();
    desk_->StartRooms();
    http_ = std::make_unique<HttpClient>(desk_->Port());
    if (waitForLinks) ASSERT_TRUE(RunUntil([&] { return Linked("room-a") && Linked("room-b"); }));
  }

  bool Linked(const std::string& name) const {
    for (const auto& room : desk_->Rooms())
      if (room->Name() == name) return room->Ready();
    return false;
  }
  ServedRoom& Room(const std::string& name) const {
    for (const auto& room : desk_->Rooms())
      if (room->Name() == name) return *room;
    throw std::runtime_error(name);
  }
  // The frames the emulator received that write `value` to `address`.
  static int WritesIn(const EmulatedRoom& room, int address, int value) {
    const std::string frame = HexDump(BuildValueFrame(CmdWrite, address, value));
    const std::string log = ReadText(room.log);
    int n = 0;
    for (std::size_t at = log.find(frame); at != std::string::npos; at = log.find(frame, at + 1)) ++n;
    return n;
  }
  static int WritesTo(const EmulatedRoom& room, int address) {
    int n = 0;
    for (int v = 0; v <= 84; ++v) n += WritesIn(room, address, v);
    return n;
  }

  fs::path dir_;
  std::unique_ptr<EmulatedRoom> a_, b_;
  std::unique_ptr<FrontDesk> desk_;
  std::unique_ptr<HttpClient> http_;
};

TEST_F(FrontDeskApi, ListsEveryRoomWithItsLinkModeAndVolumes) {
  Serve();
  const Answer list = http_->Call("GET", QStringLiteral("/api/rooms"));
  ASSERT_EQ(list.status, 200) << list.body.toStdString();
  EXPECT_TRUE(list.header("content-type").startsWith("application/json"));
  const QJsonArray rooms = list.array();
  ASSERT_EQ(rooms.size(), 3);
  const QJsonObject a = rooms[0].toObject();
  EXPECT_EQ(a.value("name").toString(), "room-a");
  EXPECT_EQ(a.value("port").toString().toStdString(), a_->link.string());
  EXPECT_EQ(a.value("link").toString(), "linked");
  EXPECT_TRUE(a.value("linked").toBool());
  // The emulator's factory setting: mode 1 "Standard", volumes 40, sing.
  EXPECT_EQ(a.value("mode").toObject().value("number").toInt(), 1);
  EXPECT_EQ(a.value("mode").toObject().value("name").toString(), "Standard");
  EXPECT_EQ(a.value("volumes").toObject(), (QJsonObject{{"music", 40}, {"mic", 40}, {"effect", 40}}));
  EXPECT_EQ(a.value("scene").toString(), "sing");
  const QJsonObject gone = rooms[2].toObject();
  EXPECT_EQ(gone.value("link").toString(), "searching");
  EXPECT_FALSE(gone.value("linked").toBool());
  EXPECT_TRUE(gone.value("mode").isNull());

  const Answer one = http_->Call("GET", QStringLiteral("/api/rooms/room-b"));
  ASSERT_EQ(one.status, 200);
  const QJsonObject b = one.object();
  const QJsonArray modes = b.value("modes").toArray();
  ASSERT_EQ(modes.size(), 15);
  EXPECT_EQ(modes[2].toObject(), (QJsonObject{{"number", 3}, {"name", "Party"}}));
  const QJsonObject system = b.value("system").toObject();
  EXPECT_EQ(system.value("maxVolumes").toObject(), (QJsonObject{{"music", 84}, {"mic", 84}, {"effect", 84}}));
  EXPECT_EQ(system.value("startVolumes").toObject(), (QJsonObject{{"music", 30}, {"mic", 30}, {"effect", 30}}));
  EXPECT_EQ(system.value("operation").toString(), "manual");
  EXPECT_EQ(system.value("device").toString().size(), 8);
}

TEST_F(FrontDeskApi, ChangesReachTheProcessorAndEveryEventSocketHearsThem) {
  Serve();
  EventClient events;
  events.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(desk_->Port())));
  ASSERT_TRUE(RunUntil([&] { return !events.messages.empty(); }));
  EXPECT_EQ(events.messages[0].value("event").toString(), "rooms");
  EXPECT_EQ(events.messages[0].value("rooms").toArray().size(), 3);

  // A recall is answered once the processor's setting has been reloaded.
  const Answer recalled = http_->Call("POST", QStringLiteral("/api/rooms/room-a/mode"), R"({"mode": 3})", kToken);
  ASSERT_EQ(recalled.status, 200) << recalled.body.toStdString();
  EXPECT_EQ(recalled.object().value("mode").toObject().value("number").toInt(), 3);
  EXPECT_EQ(recalled.object().value("link").toString(), "linked");
  EXPECT_EQ(WritesIn(*a_, 0x0902, 2), 1);
  EXPECT_EQ(WritesIn(*b_, 0x0902, 2), 0);
  auto roomEvent = [](const char* name, const std::function<bool(const QJsonObject&)>& match) {
    return [name, match](const QJsonObject& m) {
      return m.value("event") == "room" && m.value("room").toObject().value("name") == name &&
             match(m.value("room").toObject());
    };
  };
  ASSERT_TRUE(RunUntil([&] {
    return events.Find(roomEvent("room-a", [](const QJsonObject& r) {
             return r.value("mode").toObject().value("number").toInt() == 3 && r.value("link") == "linked";
           })) != nullptr;
  }));

  const Answer volume = http_->Call("PUT", QStringLiteral("/api/rooms/room-b/volume/mic"), R"({"value": 55})", kToken);
  ASSERT_EQ(volume.status, 200) << volume.body.toStdString();
  EXPECT_EQ(volume.object().value("value").toInt(), 55);
  EXPECT_FALSE(volume.object().value("limited").toBool());
  ASSERT_TRUE(RunUntil([&] { return WritesIn(*b_, 0x0921, 55) == 1; }));
  ASSERT_TRUE(RunUntil([&] {
    return events.Find(roomEvent("room-b", [](const QJsonObject& r) {
             return r.value("volumes").toObject().value("mic").toInt() == 55;
           })) != nullptr;
  }));

  const Answer scene = http_->Call("POST", QStringLiteral("/api/rooms/room-b/scene"), R"({"scene": "dance"})", kToken);
  ASSERT_EQ(scene.status, 200) << scene.body.toStdString();
  EXPECT_EQ(scene.object().value("scene").toString(), "dance");
  ASSERT_TRUE(RunUntil([&] { return WritesIn(*b_, 0x0001, 1) == 1; }));
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-b")).object().value("scene").toString(), "dance");
}

TEST_F(FrontDeskApi, AVolumeStaysWithinTheRoomsMaximumAndAutomaticModeHoldsTheScene) {
  // A processor whose setting is random: its maximum music volume is below
  // the top and it runs in automatic mode.
  int seed = 1;
  for (;; ++seed) {
    ProcessorEmulator e;
    e.FillRandom(static_cast<std::uint32_t>(seed));
    if (e.image[9][7] < 84 && e.image[0][0] == 0) break;
  }
  a_->Stop();
  a_->Start({"--random-image", "--seed", std::to_string(seed)});
  Serve();
  const QJsonObject details = http_->Call("GET", QStringLiteral("/api/rooms/room-a")).object();
  const int maximum = details.value("system").toObject().value("maxVolumes").toObject().value("music").toInt();
  ASSERT_LT(maximum, 84) << "the seed gives no maximum to test against";
  const Answer limited = http_->Call("PUT", QStringLiteral("/api/rooms/room-a/volume/music"), R"({"value": 84})", kToken);
  ASSERT_EQ(limited.status, 200);
  EXPECT_EQ(limited.object().value("value").toInt(), maximum);
  EXPECT_TRUE(limited.object().value("limited").toBool());
  ASSERT_TRUE(RunUntil([&] { return WritesIn(*a_, 0x0920, maximum) == 1; }));
  EXPECT_EQ(WritesIn(*a_, 0x0920, 84), 0);

  ASSERT_EQ(details.value("system").toObject().value("operation").toString(), "automatic");
  const Answer scene = http_->Call("POST", QStringLiteral("/api/rooms/room-a/scene"), R"({"scene": "dance"})", kToken);
  EXPECT_EQ(scene.status, 409);
  EXPECT_TRUE(scene.object().value("error").toString().contains("automatic"));
  EXPECT_EQ(WritesTo(*a_, 0x0001), 0);
}

TEST_F(FrontDeskApi, EveryRefusalIsJsonWithItsStatus) {
  Serve();
  struct Case {
    const char* method;
    QString path;
    QByteArray body;
    QByteArray token;
    int status;
    const char* field;  // the field a 400 names, "" for none
  };
  const QByteArray big(desk::kMaxJsonBody + 1, ' ');
  const std::vector<Case> cases = {
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 2})", {}, 401, ""},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 2})", "wrong-token-0123456789", 401, ""},
      {"PUT", "/api/rooms/room-a/volume/music", R"({"value": 2})", "test-token-012345678", 401, ""},
      {"GET", "/api/rooms/nobody", {}, {}, 404, ""},
      {"POST", "/api/rooms/nobody/mode", R"({"mode": 2})", kToken, 404, ""},
      {"PUT", "/api/rooms/room-a/volume/bass", R"({"value": 2})", kToken, 404, ""},
      {"GET", "/api/nothing", {}, {}, 404, ""},
      {"GET", "/no-such-file.html", {}, {}, 404, ""},
      {"GET", "/api/rooms/room-a/mode", {}, {}, 405, ""},
      {"DELETE", "/api/rooms", {}, kToken, 405, ""},
      {"POST", "/api/rooms/room-a/mode", "{mode: 2}", kToken, 400, ""},
      {"POST", "/api/rooms/room-a/mode", "[2]", kToken, 400, ""},
      {"POST", "/api/rooms/room-a/mode", "{}", kToken, 400, "mode"},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 16})", kToken, 400, "mode"},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 0})", kToken, 400, "mode"},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 2.5})", kToken, 400, "mode"},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": "2"})", kToken, 400, "mode"},
      {"POST", "/api/rooms/room-a/mode", R"({"mode": 2, "room": "x"})", kToken, 400, "room"},
      {"PUT", "/api/rooms/room-a/volume/effect", R"({"value": 85})", kToken, 400, "value"},
      {"PUT", "/api/rooms/room-a/volume/effect", R"({"value": -1})", kToken, 400, "value"},
      {"POST", "/api/rooms/room-a/scene", R"({"scene": "party"})", kToken, 400, "scene"},
      {"POST", "/api/rooms/room-a/scene", big, kToken, 413, ""},
      {"POST", "/api/rooms/room-a/restore", QByteArray(desk::kMaxPresetBody + 1, 'x'), kToken, 413, ""},
      {"POST", "/api/rooms/room-a/restore", "not a preset file", kToken, 400, ""},
      {"POST", "/api/rooms/gone/mode", R"({"mode": 2})", kToken, 409, ""},
      {"PUT", "/api/rooms/gone/volume/music", R"({"value": 2})", kToken, 409, ""},
      {"GET", "/api/rooms/gone/backup", {}, {}, 409, ""},
      {"GET", "/api/events", {}, {}, 426, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " " + c.path.toStdString() + " " + c.body.left(40).toStdString());
    const Answer answer = http_->Call(c.method, c.path, c.body, c.token);
    EXPECT_EQ(answer.status, c.status) << answer.body.toStdString();
    const QJsonObject error = answer.object();
    EXPECT_EQ(error.value("status").toInt(), c.status);
    EXPECT_FALSE(error.value("error").toString().isEmpty()) << answer.body.toStdString();
    EXPECT_EQ(error.value("field").toString().toStdString(), c.field);
    if (c.status == 401) EXPECT_TRUE(answer.header("www-authenticate").startsWith("Bearer"));
  }
  // Nothing refused reached a processor.
  EXPECT_EQ(WritesTo(*a_, 0x0902), 0);
  EXPECT_EQ(WritesTo(*a_, 0x0920) + WritesTo(*a_, 0x0922), 0);
}

TEST_F(FrontDeskApi, OffLoopbackEveryRequestAndTheEventSocketNeedTheToken) {
  Serve(/*readNeedsToken=*/true);
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms")).status, 401);
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-a")).status, 401);
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms"), {}, kToken).status, 200);
  // The dashboard's own files load without it: the page asks for it.
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/")).status, 200);

  EventClient refused;
  refused.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(desk_->Port())));
  ASSERT_TRUE(RunUntil([&] { return refused.closed; }));
  EXPECT_TRUE(refused.messages.empty());
  EXPECT_EQ(refused.socket().closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);

  EventClient header;
  header.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(desk_->Port())), kToken);
  ASSERT_TRUE(RunUntil([&] { return !header.messages.empty(); }));
  EventClient query;  // as a browser passes it
  query.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events?access_token=%2").arg(desk_->Port()).arg(kToken)));
  ASSERT_TRUE(RunUntil([&] { return !query.messages.empty(); }));
  EXPECT_FALSE(query.closed);
}

TEST_F(FrontDeskApi, ALostRoomShowsAsNotLinkedAndLinksAgainByItself) {
  Serve();
  EventClient events;
  events.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(desk_->Port())));
  ASSERT_TRUE(RunUntil([&] { return !events.messages.empty(); }, 5000)) << events.socket().state() << " " << events.socket().errorString().toStdString();
  const std::size_t before = events.messages.size();
  a_->Stop();
  auto stateOf = [](const char* name, const char* state) {
    return [name, state](const QJsonObject& m) {
      return m.value("event") == "room" && m.value("room").toObject().value("name") == name &&
             m.value("room").toObject().value("link") == state;
    };
  };
  ASSERT_TRUE(RunUntil([&] { return events.Find(stateOf("room-a", "searching"), before) != nullptr; }));
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-a")).object().value("link").toString(), "searching");
  EXPECT_EQ(http_->Call("POST", QStringLiteral("/api/rooms/room-a/mode"), R"({"mode": 2})", kToken).status, 409);
  // The other room is untouched.
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-b")).object().value("link").toString(), "linked");

  // It comes back, answers a few frames beyond its download and falls
  // silent: the missing heartbeat answers take the link down.
  const auto lines = [](const EmulatedRoom& room) {
    const std::string log = ReadText(room.log);
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  };
  const int downloadFrames = lines(*b_);  // room b's download, and the heartbeats since
  fs::remove(a_->log);
  const std::size_t lost = events.messages.size();
  a_->Start({"--silent-after", std::to_string(downloadFrames + 3)});
  ASSERT_TRUE(RunUntil([&] { return events.Find(stateOf("room-a", "linked"), lost) != nullptr; }));
  const std::size_t linked = events.messages.size();
  ASSERT_TRUE(RunUntil([&] { return events.Find(stateOf("room-a", "searching"), linked) != nullptr; }, 60000));
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-a")).object().value("link").toString(), "searching");
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-b")).object().value("link").toString(), "linked");
}

TEST_F(FrontDeskApi, ARoomStillDownloadingOrTooSlowIsAskedToComeBack) {
  Serve(false, /*waitForLinks=*/false);
  // While its first download runs, a change would wait for all of it.
  ASSERT_TRUE(RunUntil([&] { return Room("room-a").Snapshot().state == server::RoomState::Downloading; }));
  const Answer early = http_->Call("PUT", QStringLiteral("/api/rooms/room-a/volume/music"), R"({"value": 5})", kToken);
  if (Room("room-a").Snapshot().state == server::RoomState::Downloading) {
    EXPECT_EQ(early.status, 503) << early.body.toStdString();
    EXPECT_EQ(early.header("retry-after"), "5");
  }
  ASSERT_TRUE(RunUntil([&] { return Linked("room-a") && Linked("room-b"); }));

  // A recall that takes longer than the request may wait is answered with
  // 503; it goes on, and the events tell its end.
  EventClient events;
  events.Open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(desk_->Port())));
  ASSERT_TRUE(RunUntil([&] { return !events.messages.empty(); }));
  Room("room-a").SetWaitLimit(1);
  const Answer slow = http_->Call("POST", QStringLiteral("/api/rooms/room-a/mode"), R"({"mode": 5})", kToken);
  EXPECT_EQ(slow.status, 503) << slow.body.toStdString();
  EXPECT_TRUE(slow.object().value("error").toString().contains("goes on"));
  ASSERT_TRUE(RunUntil([&] {
    return events.Find([](const QJsonObject& m) {
             const QJsonObject r = m.value("room").toObject();
             return r.value("name") == "room-a" && r.value("link") == "linked" &&
                    r.value("mode").toObject().value("number").toInt() == 5;
           }) != nullptr;
  }));
}

TEST_F(FrontDeskApi, AFloodOfVolumeRequestsIsMergedNeverDropped) {
  Serve();
  std::vector<QNetworkReply*> replies;
  for (int i = 0; i < 100; ++i) {
    replies.push_back(http_->Start("PUT", QStringLiteral("/api/rooms/room-a/volume/music"),
                                   QByteArray::fromStdString("{\"value\": " + std::to_string(i % 80) + "}"), kToken));
  }
  replies.push_back(http_->Start("PUT", QStringLiteral("/api/rooms/room-a/volume/music"), R"({"value": 83})", kToken));
  ASSERT_TRUE(RunUntil([&] { return std::all_of(replies.begin(), replies.end(), [](auto* r) { return r->isFinished(); }); }));
  for (QNetworkReply* reply : replies) {
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    reply->deleteLater();
  }
  // The newest value arrives; the ones in between were merged on the way.
  ASSERT_TRUE(RunUntil([&] { return WritesIn(*a_, 0x0920, 83) == 1; }));
  ASSERT_TRUE(RunUntil([&] { return Room("room-a").Store().Param(0x0920) == 83; }));
  EXPECT_LT(WritesTo(*a_, 0x0920), 101);
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms/room-a")).object().value("volumes").toObject().value("music").toInt(), 83);
}

TEST_F(FrontDeskApi, BackupRestoreAndASlowRoomDoesNotHoldUpTheOthers) {
  Serve();
  const Answer backup = http_->Call("GET", QStringLiteral("/api/rooms/room-b/backup"));
  ASSERT_EQ(backup.status, 200);
  EXPECT_EQ(backup.header("content-disposition"), "attachment; filename=\"room-b.Wfxr\"");
  EXPECT_EQ(backup.body.toStdString(), BuildPresetFile(Room("room-b").Store()));

  // Room b's setting restored onto room a; while it runs, room b answers.
  QNetworkReply* restore = http_->Start("POST", QStringLiteral("/api/rooms/room-a/restore"), backup.body, kToken);
  ASSERT_TRUE(RunUntil([&] { return Room("room-a").Snapshot().state == server::RoomState::Busy; }));
  const Answer other = http_->Call("GET", QStringLiteral("/api/rooms/room-b"));
  EXPECT_EQ(other.status, 200);
  EXPECT_FALSE(restore->isFinished());
  EXPECT_EQ(http_->Call("PUT", QStringLiteral("/api/rooms/room-a/volume/music"), R"({"value": 3})", kToken).status, 409);
  ASSERT_TRUE(RunUntil([&] { return restore->isFinished(); }, 120000));
  const QJsonObject result = QJsonDocument::fromJson(restore->readAll()).object();
  EXPECT_EQ(restore->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200) << result.value("error").toString().toStdString();
  EXPECT_TRUE(result.value("verified").toBool());
  restore->deleteLater();
}

TEST_F(FrontDeskApi, SurvivesClientsThatGoAwayMidRequest) {
  Serve();
  // A recall whose client leaves before the answer.
  QNetworkReply* left = http_->Start("POST", QStringLiteral("/api/rooms/room-a/mode"), R"({"mode": 4})", kToken);
  ASSERT_TRUE(RunUntil([&] { return Room("room-a").Snapshot().state == server::RoomState::Busy; }));
  left->abort();
  left->deleteLater();
  // A client that sends half a request and hangs up.
  QTcpSocket half;
  half.connectToHost(QHostAddress::LocalHost, desk_->Port());
  ASSERT_TRUE(RunUntil([&] { return half.state() == QAbstractSocket::ConnectedState; }));
  half.write("POST /api/rooms/room-b/mode HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\n{\"mo");
  ASSERT_TRUE(RunUntil([&] { return half.bytesToWrite() == 0; }));
  half.abort();
  ASSERT_TRUE(RunUntil([&] { return Room("room-a").Ready(); }));
  EXPECT_EQ(Room("room-a").Snapshot().mode, 4);
  EXPECT_EQ(http_->Call("GET", QStringLiteral("/api/rooms")).status, 200);
}

}  // namespace
}  // namespace dsp::test

namespace dsp::test {
namespace {

TEST(FrontDeskFiles, AStaticFolderIsReadOnceAndRequestsOnlyPickItsFilesByName) {
  App();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto write = [](const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  };
  write(dir.filePath("index.html"), "<p>venue</p>");
  write(dir.filePath("style.css"), "p{}");
  QDir(dir.path()).mkdir("sub");
  write(dir.filePath("sub/inner.js"), "1");
  server::DeskOptions options;
  options.port = 0;
  options.token = kToken.toStdString();
  options.staticDir = dir.path();
  server::FrontDesk desk(options);
  QString problem;
  ASSERT_TRUE(desk.Listen(problem)) << problem.toStdString();
  // Written after the start: not served.
  write(dir.filePath("later.html"), "late");
  HttpClient http(desk.Port());
  const Answer index = http.Call("GET", "/");
  EXPECT_EQ(index.status, 200);
  EXPECT_EQ(index.body, "<p>venue</p>");
  EXPECT_TRUE(index.header("content-type").startsWith("text/html"));
  EXPECT_EQ(http.Call("GET", "/style.css").header("content-type"), "text/css; charset=utf-8");
  for (const char* path : {"/later.html", "/sub/inner.js", "/%2e%2e/etc/passwd", "/sub", "/sub%2finner.js"})
    EXPECT_EQ(http.Call("GET", path).status, 404) << path;
  EXPECT_EQ(http.Call("POST", "/index.html", "x", kToken).status, 405);

  server::DeskOptions empty = options;
  empty.staticDir = dir.filePath("sub");
  server::FrontDesk refused(empty);
  EXPECT_FALSE(refused.Listen(problem));
  EXPECT_TRUE(problem.contains("index.html"));
}

}  // namespace
}  // namespace dsp::test
