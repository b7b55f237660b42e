// The dashboard in a real browser: Debian's chromium, headless, driven
// through chromedriver's WebDriver protocol (spoken with the same HTTP
// client as the API tests), against a front desk holding emulated rooms.
// Skipped, with a message, where chromium or chromedriver is missing.

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include "desk_rig.h"
#include "link/frames.h"
#include "link/device_link.h"

namespace dsp::test {
namespace {

namespace fs = std::filesystem;

const char kChromium[] = "/usr/bin/chromium";
const char kDriver[] = "/usr/bin/chromedriver";

quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// A WebDriver session on chromedriver.
class Browser {
 public:
  bool Start(QString& problem) {
    const quint16 port = FreePort();
    driver_.setProgram(QString::fromLatin1(kDriver));
    driver_.setArguments({QStringLiteral("--port=%1").arg(port), QStringLiteral("--allowed-ips=127.0.0.1")});
    driver_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver_.start();
    if (!driver_.waitForStarted(10000)) {
      problem = QStringLiteral("chromedriver did not start");
      return false;
    }
    http_ = std::make_unique<HttpClient>(port);
    if (!RunUntil([&] { return Call("GET", QStringLiteral("/status")).object().value("value").toObject().value("ready").toBool(); }, 30000)) {
      problem = QStringLiteral("chromedriver did not become ready");
      return false;
    }
    const QJsonArray args{QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                          QStringLiteral("--disable-quic"), QStringLiteral("--no-first-run"),
                          QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
                          QStringLiteral("--disable-sync"), QStringLiteral("--window-size=420,900"),
                          QStringLiteral("--user-data-dir=") + profile_.path()};
    const QJsonObject capabilities{
        {"capabilities",
         QJsonObject{{"alwaysMatch",
                      QJsonObject{{"goog:chromeOptions",
                                   QJsonObject{{"binary", QString::fromLatin1(kChromium)}, {"args", args}}}}}}}};
    const Answer session = Call("POST", QStringLiteral("/session"), QJsonDocument(capabilities).toJson());
    session_ = session.object().value("value").toObject().value("sessionId").toString();
    if (session_.isEmpty()) {
      problem = QStringLiteral("no browser session: ") + QString::fromUtf8(session.body.left(400));
      return false;
    }
    return true;
  }
  ~Browser() {
    if (!session_.isEmpty()) Call("DELETE", Path(QString()));
    driver_.terminate();
    if (!driver_.waitForFinished(5000)) driver_.kill();
  }
  Answer Call(const QByteArray& method, const QString& path, const QByteArray& body = {}) {
    return http_->Call(method, path, body.isEmpty() && method == "POST" ? QByteArrayLiteral("{}") : body);
  }
  QString Path(const QString& rest) const { return QStringLiteral("/session/") + session_ + rest; }
  void Go(const QString& url) {
    Call("POST", Path(QStringLiteral("/url")), QJsonDocument(QJsonObject{{"url", url}}).toJson());
  }
  // Runs a script in the page; its result.
  QJsonValue Run(const QString& script) {
    const Answer answer = Call("POST", Path(QStringLiteral("/execute/sync")),
                               QJsonDocument(QJsonObject{{"script", script}, {"args", QJsonArray()}}).toJson());
    return answer.object().value("value");
  }
  // The element a CSS selector finds (empty when none).
  QString Find(const QString& css) {
    const Answer answer = Call("POST", Path(QStringLiteral("/element")),
                               QJsonDocument(QJsonObject{{"using", "css selector"}, {"value", css}}).toJson());
    const QJsonObject value = answer.object().value("value").toObject();
    return value.isEmpty() || value.contains("error") ? QString() : value.begin().value().toString();
  }
  bool Click(const QString& css) {
    const QString id = Find(css);
    if (id.isEmpty()) return false;
    return Call("POST", Path(QStringLiteral("/element/%1/click").arg(id))).status == 200;
  }
  bool Type(const QString& css, const QString& text) {
    const QString id = Find(css);
    if (id.isEmpty()) return false;
    return Call("POST", Path(QStringLiteral("/element/%1/value").arg(id)),
                QJsonDocument(QJsonObject{{"text", text}}).toJson())
               .status == 200;
  }

 private:
  QProcess driver_;
  QTemporaryDir profile_;  // a new, empty browser profile
  std::unique_ptr<HttpClient> http_;
  QString session_;
};

TEST(Dashboard, CardsAppearAModeChosenReachesTheProcessorALostRoomTurnsGrey) {
  App();
  if (!fs::exists(kChromium) || !fs::exists(kDriver))
    GTEST_SKIP() << "chromium or chromedriver is not installed (Debian packages chromium, chromium-driver)";
  const fs::path dir = fs::temp_directory_path() / ("desk-dashboard-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto a = std::make_unique<EmulatedRoom>("room-a", dir);
  auto b = std::make_unique<EmulatedRoom>("room-b", dir);

  server::DeskOptions options;
  options.port = 0;
  options.token = kToken.toStdString();
  server::FrontDesk desk(options);
  desk.AddRoom(std::make_unique<server::ServedRoom>(a->name, a->link.string()));
  desk.AddRoom(std::make_unique<server::ServedRoom>(b->name, b->link.string()));
  QString problem;
  ASSERT_TRUE(desk.Listen(problem)) << problem.toStdString();
  desk.StartRooms();
  ASSERT_TRUE(RunUntil([&] { return desk.Rooms()[0]->Ready() && desk.Rooms()[1]->Ready(); }));

  Browser browser;
  ASSERT_TRUE(browser.Start(problem)) << problem.toStdString();
  browser.Go(QStringLiteral("http://127.0.0.1:%1/?lang=en").arg(desk.Port()));

  // A card per room, with its mode list, in English.
  ASSERT_TRUE(RunUntil([&] {
    return browser.Run(QStringLiteral("return document.querySelectorAll('.card .mode option').length")).toInt() == 30;
  }));
  EXPECT_EQ(browser.Run(QStringLiteral("return [...document.querySelectorAll('.card .room-name')].map(e => e.textContent).join(',')")).toString(),
            "room-a,room-b");
  EXPECT_EQ(browser.Run(QStringLiteral("return document.querySelector('.card .room-state').textContent")).toString(), "linked");
  EXPECT_EQ(browser.Run(QStringLiteral("return document.querySelector('.scene').textContent")).toString(), "Sing");
  EXPECT_EQ(browser.Run(QStringLiteral("return document.querySelector('.card[data-room=\"room-a\"] .mode').value")).toString(), "1");

  // The first change asks for the token, which the page then keeps.
  const QString modeOf = QStringLiteral(".card[data-room=\"room-a\"] .mode option[value=\"%1\"]");
  ASSERT_TRUE(browser.Click(modeOf.arg(3)));
  ASSERT_TRUE(RunUntil([&] { return !browser.Run(QStringLiteral("return document.getElementById('token-form').hidden")).toBool(); }));
  ASSERT_TRUE(browser.Type(QStringLiteral("#token-input"), QString::fromLatin1(kToken)));
  ASSERT_TRUE(browser.Click(QStringLiteral("#token-save")));
  ASSERT_TRUE(RunUntil([&] { return browser.Run(QStringLiteral("return document.getElementById('token-form').hidden")).toBool(); }));
  ASSERT_TRUE(RunUntil([&] {
    return browser.Run(QStringLiteral("return document.querySelectorAll('.card .mode option').length")).toInt() == 30;
  }));
  ASSERT_TRUE(browser.Click(modeOf.arg(4)));
  const std::string recall = HexDump(BuildValueFrame(CmdWrite, 0x0902, 3));
  ASSERT_TRUE(RunUntil([&] { return ReadText(a->log).find(recall) != std::string::npos; }));
  ASSERT_TRUE(RunUntil([&] { return desk.Rooms()[0]->Snapshot().mode == 4 && desk.Rooms()[0]->Ready(); }));
  EXPECT_TRUE(RunUntil([&] {
    return browser.Run(QStringLiteral("return document.querySelector('.card[data-room=\"room-a\"] .mode').value")).toString() == "4";
  }));

  // A room that goes away turns grey, and back when it links again.
  auto grey = [&](const char* room) {
    return browser.Run(QStringLiteral("return document.querySelector('.card[data-room=\"%1\"]').classList.contains('not-linked')")
                           .arg(QLatin1String(room)))
        .toBool();
  };
  EXPECT_FALSE(grey("room-b"));
  b->Stop();
  ASSERT_TRUE(RunUntil([&] { return grey("room-b"); }));
  EXPECT_FALSE(grey("room-a"));
  b->Start();
  ASSERT_TRUE(RunUntil([&] { return !grey("room-b"); }));

  // Narrow as a phone: one card a row, nothing wider than the page.
  EXPECT_LE(browser.Run(QStringLiteral("return document.documentElement.scrollWidth - window.innerWidth")).toInt(), 0);

  desk.Shutdown();
  a.reset();
  b.reset();
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
}  // namespace dsp::test
