#pragma once
// The front desk's HTTP and WebSocket server on Qt HTTP Server: the JSON
// API on every room it holds, the events socket, the dashboard's static
// files, and the token rules.
//
// Requests are answered from what each room holds now; those that change
// something run as the room's operations and are answered when they end
// (or with 503 after the room's wait limit), so one slow room never holds
// up an answer about another. A client that goes away before its answer
// is simply not answered.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWebSocket;

namespace dsp::server {

class ServedRoom;

struct DeskOptions {
  QHostAddress address = QHostAddress::LocalHost;
  quint16 port = 8480;  // 0: any free port (tests)
  // The bearer token every change needs (and on an address other than
  // loopback every request).
  std::string token;
  // Where the dashboard's files come from: empty for the ones built in,
  // else a folder read once at start (requests only ever pick a file of
  // that list by its name).
  QString staticDir;
  // Reading needs the token too, even on loopback (on any other address
  // it always does).
  bool readNeedsToken = false;
};

// True for 127.0.0.0/8 and ::1: on such an address reading needs no token.
bool IsLoopback(const QHostAddress& address);

class FrontDesk : public QAbstractHttpServer {
  Q_OBJECT

 public:
  explicit FrontDesk(DeskOptions options);
  ~FrontDesk() override;

  // Rooms are held from here on; add them before Listen.
  void AddRoom(std::unique_ptr<ServedRoom> room);
  const std::vector<std::unique_ptr<ServedRoom>>& Rooms() const { return rooms_; }
  // Reads the static files and listens; false with `problem` on failure.
  bool Listen(QString& problem);
  quint16 Port() const { return port_; }
  // Links every room.
  void StartRooms();
  // Goodbye to every linked processor, event sockets closed.
  void Shutdown();

  // Told a line (English) whenever a room's link state changes:
  // "NAME: linked", "NAME: searching", ...
  std::function<void(const std::string&)> Log;

  // A room's summary, as GET /api/rooms lists it, and its details.
  static QJsonObject Summary(const ServedRoom& room);
  static QJsonObject Details(const ServedRoom& room);

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  class Reply;
  void Route(const QHttpServerRequest& request, Reply reply);
  void RoomRequest(const QHttpServerRequest& request, ServedRoom& room, const QStringList& rest, Reply reply);
  bool Authorised(const QHttpServerRequest& request) const;
  bool TokenMatches(const QByteArray& token) const;
  void StaticFile(const QString& name, Reply reply);
  bool LoadStaticFiles(QString& problem);
  void AcceptEventSockets();
  void Broadcast(const QJsonObject& message);
  void RoomChanged(ServedRoom& room);
  ServedRoom* FindRoom(const QString& name) const;

  DeskOptions options_;
  bool loopback_ = true;
  quint16 port_ = 0;
  std::vector<std::unique_ptr<ServedRoom>> rooms_;
  QMap<QString, QByteArray> files_;
  QList<QWebSocket*> sockets_;
  QMap<QString, int> loggedStates_;
};

}  // namespace dsp::server
