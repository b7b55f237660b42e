#pragma once
// Common ground of the front desk's tests: the Qt application, emulated
// rooms (dsp-emulator on pseudo-terminals), a front desk serving them on a
// free loopback port, and a real HTTP client (QNetworkAccessManager) and
// WebSocket client.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebSocket>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "posix/emulator_process.h"
#include "server/front_desk.h"
#include "server/served_room.h"

namespace dsp::test {

inline QCoreApplication* App() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "server_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
  return QCoreApplication::instance();
}

// Runs the event loop until `done` holds or `boundMs` passes (a bound on a
// hang, not a speed check); returns `done()`.
inline bool RunUntil(const std::function<bool()>& done, int boundMs = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < boundMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Answer {
  int status = 0;
  QByteArray body;
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
  QByteArray header(const char* name) const { return headers.value(QByteArray(name).toLower()); }
  QJsonObject object() const { return QJsonDocument::fromJson(body).object(); }
  QJsonArray array() const { return QJsonDocument::fromJson(body).array(); }
  QMap<QByteArray, QByteArray> headers;
};

class HttpClient {
 public:
  explicit HttpClient(quint16 port) : port_(port) {}
  QUrl Url(const QString& path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path)); }
  // Starts a request; the reply is the caller's.
  QNetworkReply* Start(const QByteArray& method, const QString& path, const QByteArray& body = {},
                       const QByteArray& token = {}) {
    QNetworkRequest request(Url(path));
    if (!token.isEmpty()) request.setRawHeader("Authorization", "Bearer " + token);
    if (!body.isEmpty()) request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return nam_.sendCustomRequest(request, method, body);
  }
  Answer Call(const QByteArray& method, const QString& path, const QByteArray& body = {},
              const QByteArray& token = {}) {
    QNetworkReply* reply = Start(method, path, body, token);
    RunUntil([reply] { return reply->isFinished(); }, 60000);
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.error = reply->error();
    for (const auto& pair : reply->rawHeaderPairs()) answer.headers.insert(pair.first.toLower(), pair.second);
    reply->deleteLater();
    return answer;
  }

 private:
  quint16 port_;
  QNetworkAccessManager nam_;
};

// A WebSocket client that keeps every message it receives, parsed.
class EventClient {
 public:
  EventClient() {
    QObject::connect(&socket_, &QWebSocket::textMessageReceived,
                     [this](const QString& text) { messages.push_back(QJsonDocument::fromJson(text.toUtf8()).object()); });
    QObject::connect(&socket_, &QWebSocket::disconnected, [this] { closed = true; });
  }
  void Open(const QUrl& url, const QByteArray& token = {}) {
    QNetworkRequest request(url);
    if (!token.isEmpty()) request.setRawHeader("Authorization", "Bearer " + token);
    socket_.open(request);
  }
  // The first room event (after index `from`) that `match` accepts.
  const QJsonObject* Find(const std::function<bool(const QJsonObject&)>& match, std::size_t from = 0) const {
    for (std::size_t i = from; i < messages.size(); ++i)
      if (match(messages[i])) return &messages[i];
    return nullptr;
  }
  QWebSocket& socket() { return socket_; }
  std::vector<QJsonObject> messages;
  bool closed = false;

 private:
  QWebSocket socket_;
};

// A room's processor: dsp-emulator on a pseudo-terminal, reached through
// a symbolic link so that a new emulator can take over the same name.
struct EmulatedRoom {
  EmulatedRoom(std::string name, const std::filesystem::path& dir, std::vector<std::string> extra = {})
      : name(std::move(name)), link(dir / (this->name + ".tty")), log(dir / (this->name + ".log")) {
    Start(std::move(extra));
  }
  void Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--link", link.string(), "--log", log.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    emulator = std::make_unique<posix::EmulatorProcess>(args);
  }
  void Stop() { emulator.reset(); }
  std::string name;
  std::filesystem::path link;
  std::filesystem::path log;
  std::unique_ptr<posix::EmulatorProcess> emulator;
};

inline const QByteArray kToken = QByteArrayLiteral("test-token-0123456789");

}  // namespace dsp::test
