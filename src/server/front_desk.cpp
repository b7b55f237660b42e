#include "server/front_desk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>

#include "desk/requests.h"
#include "presets/device_modes.h"
#include "server/served_room.h"

namespace dsp::server {

namespace {

using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QHttpServerResponse JsonResponse(const QJsonObject& object, int status) {
  QHttpServerResponse response(QByteArrayLiteral("application/json"),
                               QJsonDocument(object).toJson(QJsonDocument::Compact),
                               static_cast<Status>(status));
  response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
  return response;
}

QHttpServerResponse Error(int status, const QString& message, const QString& field = {}) {
  QJsonObject body{{QStringLiteral("error"), message}, {QStringLiteral("status"), status}};
  if (!field.isEmpty()) body.insert(QStringLiteral("field"), field);
  QHttpServerResponse response = JsonResponse(body, status);
  if (status == 401)
    response.addHeader(QByteArrayLiteral("WWW-Authenticate"), QByteArrayLiteral("Bearer realm=\"dsp-control\""));
  if (status == 503) response.addHeader(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("5"));
  return response;
}

QByteArray Header(const QHttpServerRequest& request, const QByteArray& name) {
  for (const auto& [key, value] : request.headers()) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return {};
}

QByteArray MimeType(const QString& name) {
  if (name.endsWith(QLatin1String(".html"))) return QByteArrayLiteral("text/html; charset=utf-8");
  if (name.endsWith(QLatin1String(".css"))) return QByteArrayLiteral("text/css; charset=utf-8");
  if (name.endsWith(QLatin1String(".js"))) return QByteArrayLiteral("text/javascript; charset=utf-8");
  if (name.endsWith(QLatin1String(".svg"))) return QByteArrayLiteral("image/svg+xml");
  if (name.endsWith(QLatin1String(".png"))) return QByteArrayLiteral("image/png");
  if (name.endsWith(QLatin1String(".json"))) return QByteArrayLiteral("application/json");
  return QByteArrayLiteral("application/octet-stream");
}

const char* MethodName(Method method) {
  switch (method) {
    case Method::Get:
      return "GET";
    case Method::Put:
      return "PUT";
    case Method::Post:
      return "POST";
    case Method::Delete:
      return "DELETE";
    case Method::Head:
      return "HEAD";
    default:
      return "this method";
  }
}

QJsonObject VolumeObject(const ServedRoom& room, int (*address)(desk::Volume)) {
  QJsonObject volumes;
  for (desk::Volume v : {desk::Volume::Music, desk::Volume::Mic, desk::Volume::Effect})
    volumes.insert(QLatin1String(desk::VolumeName(v)), room.Store().Param(address(v)));
  return volumes;
}

}  // namespace

bool IsLoopback(const QHostAddress& address) {
  return address.isLoopback();
}

// One request's answer, to be given once. The client may have gone by
// then: its socket is watched, and nothing is written to a closed one.
class FrontDesk::Reply {
 public:
  Reply(QHttpServerResponder&& responder, QTcpSocket* socket)
      : responder_(std::make_shared<QHttpServerResponder>(std::move(responder))), socket_(socket) {}
  void Send(QHttpServerResponse&& response) const {
    if (!responder_ || *sent_) return;
    *sent_ = true;
    if (socket_.isNull() || socket_->state() != QAbstractSocket::ConnectedState) return;
    response.write(std::move(*responder_));
  }

 private:
  std::shared_ptr<QHttpServerResponder> responder_;
  QPointer<QTcpSocket> socket_;
  std::shared_ptr<bool> sent_ = std::make_shared<bool>(false);
};

FrontDesk::FrontDesk(DeskOptions options) : options_(std::move(options)) {
  loopback_ = IsLoopback(options_.address) && !options_.readNeedsToken;
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &FrontDesk::AcceptEventSockets);
}

FrontDesk::~FrontDesk() {
  Shutdown();
  // The rooms go first, telling nobody: what their changes reach is going.
  for (auto& room : rooms_) room->Changed = nullptr;
  rooms_.clear();
}

void FrontDesk::AddRoom(std::unique_ptr<ServedRoom> room) {
  room->Changed = [this](ServedRoom& changed) { RoomChanged(changed); };
  rooms_.push_back(std::move(room));
}

bool FrontDesk::Listen(QString& problem) {
  if (options_.token.empty()) {
    problem = QStringLiteral("no token: every change needs one");
    return false;
  }
  if (!LoadStaticFiles(problem)) return false;
  port_ = listen(options_.address, options_.port);
  if (port_ == 0) {
    problem = QStringLiteral("cannot listen on %1:%2").arg(options_.address.toString()).arg(options_.port);
    return false;
  }
  return true;
}

void FrontDesk::StartRooms() {
  for (auto& room : rooms_) room->Start();
}

void FrontDesk::Shutdown() {
  for (auto& room : rooms_) room->Stop();
  const QList<QWebSocket*> sockets = sockets_;
  sockets_.clear();
  for (QWebSocket* socket : sockets) {
    socket->disconnect(this);
    socket->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("the server stops"));
    socket->deleteLater();
  }
  for (QTcpServer* server : servers()) server->close();
}

bool FrontDesk::LoadStaticFiles(QString& problem) {
  // The file names are listed once; a request picks one of them by name
  // and never names a path of its own.
  const QString dir = options_.staticDir.isEmpty() ? QStringLiteral(":/dashboard") : options_.staticDir;
  const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files | QDir::Readable);
  for (const QFileInfo& entry : entries) {
    QFile file(entry.filePath());
    if (!file.open(QIODevice::ReadOnly)) continue;
    files_.insert(entry.fileName(), file.readAll());
  }
  if (!files_.contains(QStringLiteral("index.html"))) {
    problem = QStringLiteral("%1 holds no index.html").arg(dir);
    return false;
  }
  return true;
}

ServedRoom* FrontDesk::FindRoom(const QString& name) const {
  const std::string wanted = name.toStdString();
  for (const auto& room : rooms_) {
    if (room->Name() == wanted) return room.get();
  }
  return nullptr;
}

QJsonObject FrontDesk::Summary(const ServedRoom& room) {
  const RoomSnapshot s = room.Snapshot();
  QJsonObject object{{QStringLiteral("name"), Text(room.Name())},
                     {QStringLiteral("port"), Text(room.PortName())},
                     {QStringLiteral("link"), QLatin1String(StateName(s.state))},
                     {QStringLiteral("linked"), s.state != RoomState::Searching && s.state != RoomState::Downloading}};
  if (s.mode > 0) {
    object.insert(QStringLiteral("mode"), QJsonObject{{QStringLiteral("number"), s.mode},
                                                      {QStringLiteral("name"), Text(s.modeName)}});
    object.insert(QStringLiteral("volumes"), QJsonObject{{QStringLiteral("music"), s.volumes[0]},
                                                         {QStringLiteral("mic"), s.volumes[1]},
                                                         {QStringLiteral("effect"), s.volumes[2]}});
    object.insert(QStringLiteral("scene"), QLatin1String(desk::SceneName(s.scene)));
  } else {
    object.insert(QStringLiteral("mode"), QJsonValue::Null);
    object.insert(QStringLiteral("volumes"), QJsonValue::Null);
    object.insert(QStringLiteral("scene"), QJsonValue::Null);
  }
  return object;
}

QJsonObject FrontDesk::Details(const ServedRoom& room) {
  QJsonObject object = Summary(room);
  if (object.value(QStringLiteral("mode")).isNull()) return object;
  QJsonArray modes;
  for (int slot = 0; slot < kModeCount; ++slot) {
    modes.append(QJsonObject{{QStringLiteral("number"), slot + 1},
                             {QStringLiteral("name"), Text(room.Store().ModeNames[static_cast<std::size_t>(slot)])}});
  }
  object.insert(QStringLiteral("modes"), modes);
  const ParamStore& store = room.Store();
  object.insert(
      QStringLiteral("system"),
      QJsonObject{
          {QStringLiteral("device"), Text(room.DeviceId())},
          {QStringLiteral("operation"), store.Param(desk::kOperatingModeAddress) != 0 ? QStringLiteral("manual")
                                                                                       : QStringLiteral("automatic")},
          {QStringLiteral("startVolumes"), VolumeObject(room, &desk::StartVolumeAddress)},
          {QStringLiteral("maxVolumes"), VolumeObject(room, &desk::MaxVolumeAddress)},
          {QStringLiteral("rights"), store.Param(0x090C) != 0 ? QStringLiteral("manager") : QStringLiteral("user")},
          {QStringLiteral("keyboardLock"), store.Param(0x090D) != 0}});
  return object;
}

bool FrontDesk::TokenMatches(const QByteArray& token) const {
  return desk::SameToken(std::string_view(token.constData(), static_cast<std::size_t>(token.size())),
                         options_.token);
}

bool FrontDesk::Authorised(const QHttpServerRequest& request) const {
  const QByteArray header = Header(request, QByteArrayLiteral("Authorization"));
  const std::optional<std::string_view> token =
      desk::BearerToken(std::string_view(header.constData(), static_cast<std::size_t>(header.size())));
  return token && desk::SameToken(*token, options_.token);
}

void FrontDesk::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
  // Every request is routed by handleRequest; nothing comes here.
  if (socket != nullptr) socket->disconnectFromHost();
}

bool FrontDesk::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  // A WebSocket upgrade is taken over by the server's WebSocket side
  // (AcceptEventSockets) once this returns; nothing is written here.
  if (Header(request, QByteArrayLiteral("Upgrade")).compare(QByteArrayLiteral("websocket"), Qt::CaseInsensitive) == 0)
    return true;
  Route(request, Reply(makeResponder(request, socket), socket));
  return true;
}

void FrontDesk::Route(const QHttpServerRequest& request, Reply reply) {
  const QString path = request.url().path();
  const Method method = request.method();
  if (!path.startsWith(QLatin1String("/api/")) && path != QLatin1String("/api")) {
    if (method != Method::Get && method != Method::Head) {
      reply.Send(Error(405, QStringLiteral("the dashboard's files are read with GET")));
      return;
    }
    StaticFile(path == QLatin1String("/") ? QStringLiteral("index.html") : path.mid(1), reply);
    return;
  }

  const QStringList parts = path.mid(5).split(QLatin1Char('/'));
  const bool changes = method != Method::Get && method != Method::Head;
  // Changes always need the token; reading needs it off loopback.
  if ((changes || !loopback_) && !Authorised(request)) {
    reply.Send(Error(401, changes ? QStringLiteral("this request changes something: it needs the token "
                                                   "(Authorization: Bearer TOKEN)")
                                  : QStringLiteral("this server needs the token for every request "
                                                   "(Authorization: Bearer TOKEN)")));
    return;
  }
  if (parts.value(0) == QLatin1String("events") && parts.size() == 1) {
    reply.Send(Error(426, QStringLiteral("/api/events is a WebSocket: connect with an Upgrade request")));
    return;
  }
  if (parts.value(0) != QLatin1String("rooms")) {
    reply.Send(Error(404, QStringLiteral("no such API address: %1").arg(path)));
    return;
  }
  if (parts.size() == 1) {
    if (method != Method::Get) {
      reply.Send(Error(405, QStringLiteral("/api/rooms is read with GET")));
      return;
    }
    QJsonArray rooms;
    for (const auto& room : rooms_) rooms.append(Summary(*room));
    QHttpServerResponse response(QByteArrayLiteral("application/json"),
                                 QJsonDocument(rooms).toJson(QJsonDocument::Compact));
    response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    reply.Send(std::move(response));
    return;
  }
  ServedRoom* room = FindRoom(parts.value(1));
  if (room == nullptr) {
    reply.Send(Error(404, QStringLiteral("no room named '%1'").arg(parts.value(1))));
    return;
  }
  RoomRequest(request, *room, parts.mid(2), reply);
}

void FrontDesk::RoomRequest(const QHttpServerRequest& request, ServedRoom& room, const QStringList& rest,
                            Reply reply) {
  const Method method = request.method();
  const QString what = rest.join(QLatin1Char('/'));
  // Which method each address takes, and how large its body may be.
  Method wanted = Method::Get;
  std::size_t limit = 0;
  if (what.isEmpty() || what == QLatin1String("backup")) {
    wanted = Method::Get;
  } else if (what == QLatin1String("mode") || what == QLatin1String("scene")) {
    wanted = Method::Post;
    limit = desk::kMaxJsonBody;
  } else if (rest.size() == 2 && rest[0] == QLatin1String("volume")) {
    wanted = Method::Put;
    limit = desk::kMaxJsonBody;
  } else if (what == QLatin1String("restore")) {
    wanted = Method::Post;
    limit = desk::kMaxPresetBody;
  } else {
    reply.Send(Error(404, QStringLiteral("no such API address: %1").arg(request.url().path())));
    return;
  }
  if (method != wanted) {
    QHttpServerResponse response =
        Error(405, QStringLiteral("%1 takes %2, not %3")
                       .arg(request.url().path(), QLatin1String(MethodName(wanted)), QLatin1String(MethodName(method))));
    response.addHeader(QByteArrayLiteral("Allow"), QByteArray(MethodName(wanted)));
    reply.Send(std::move(response));
    return;
  }
  const QByteArray body = request.body();
  if (static_cast<std::size_t>(body.size()) > limit) {
    reply.Send(Error(413, QStringLiteral("the body has %1 bytes; at most %2 are taken here").arg(body.size()).arg(limit)));
    return;
  }
  const std::string_view text(body.constData(), static_cast<std::size_t>(body.size()));
  auto refused = [&reply](const desk::BodyValue& read) {
    reply.Send(Error(400, Text(read.problem.why), Text(read.problem.field)));
  };
  auto answerWhenDone = [this, &room, reply](const Outcome& outcome) {
    if (outcome.status != 0) {
      QJsonObject body{{QStringLiteral("error"), Text(outcome.message)}, {QStringLiteral("status"), outcome.status}};
      if (!outcome.differences.empty()) {
        QJsonArray list;
        for (const std::string& line : outcome.differences) list.append(Text(line));
        body.insert(QStringLiteral("verified"), false);
        body.insert(QStringLiteral("differences"), list);
      }
      QHttpServerResponse response = JsonResponse(body, outcome.status);
      if (outcome.status == 503) response.addHeader(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("5"));
      reply.Send(std::move(response));
      return;
    }
    reply.Send(JsonResponse(Details(room), 200));
  };

  if (what.isEmpty()) {
    reply.Send(JsonResponse(Details(room), 200));
    return;
  }
  if (what == QLatin1String("backup")) {
    if (!room.Ready()) {
      answerWhenDone(room.NotReady());
      return;
    }
    QHttpServerResponse response(QByteArrayLiteral("application/octet-stream"), QByteArray::fromStdString(room.Backup()));
    // The room's name is letters, digits, '-', '_' and '.' only.
    response.addHeader(QByteArrayLiteral("Content-Disposition"),
                       "attachment; filename=\"" + QByteArray::fromStdString(room.Name()) + ".Wfxr\"");
    reply.Send(std::move(response));
    return;
  }
  if (what == QLatin1String("mode")) {
    const desk::BodyValue read = desk::ReadModeBody(text);
    if (!read) return refused(read);
    room.RecallMode(*read.value, answerWhenDone);
    return;
  }
  if (what == QLatin1String("scene")) {
    const desk::BodyValue read = desk::ReadSceneBody(text);
    if (!read) return refused(read);
    if (!room.Ready()) return answerWhenDone(room.NotReady());
    answerWhenDone(room.SetScene(*read.value));
    return;
  }
  if (rest.size() == 2 && rest[0] == QLatin1String("volume")) {
    const std::optional<desk::Volume> volume = desk::VolumeByName(rest[1].toStdString());
    if (!volume) {
      reply.Send(Error(404, QStringLiteral("no volume named '%1' (music, mic or effect)").arg(rest[1])));
      return;
    }
    const desk::BodyValue read = desk::ReadVolumeBody(text);
    if (!read) return refused(read);
    if (!room.Ready()) return answerWhenDone(room.NotReady());
    const int applied = room.SetVolume(*volume, *read.value);
    QJsonObject answer{{QStringLiteral("room"), Text(room.Name())},
                       {QStringLiteral("volume"), QLatin1String(desk::VolumeName(*volume))},
                       {QStringLiteral("requested"), *read.value},
                       {QStringLiteral("value"), applied},
                       {QStringLiteral("limited"), applied != *read.value}};
    reply.Send(JsonResponse(answer, 200));
    return;
  }
  // restore: the preset file as the body.
  room.Restore(body.toStdString(), [this, &room, reply, answerWhenDone](const Outcome& outcome) {
    if (outcome.status != 0) return answerWhenDone(outcome);
    reply.Send(JsonResponse(QJsonObject{{QStringLiteral("room"), Text(room.Name())},
                                        {QStringLiteral("verified"), true},
                                        {QStringLiteral("differences"), QJsonArray()}},
                            200));
  });
}

void FrontDesk::StaticFile(const QString& name, Reply reply) {
  const auto found = files_.constFind(name);
  if (found == files_.constEnd()) {
    reply.Send(Error(404, QStringLiteral("no such file")));
    return;
  }
  QHttpServerResponse response(MimeType(name), found.value());
  response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
  reply.Send(std::move(response));
}

void FrontDesk::AcceptEventSockets() {
  while (hasPendingWebSocketConnections()) {
    std::unique_ptr<QWebSocket> owned = nextPendingWebSocketConnection();
    QWebSocket* socket = owned.release();
    socket->setParent(this);
    const QUrl url = socket->requestUrl();
    if (url.path() != QLatin1String("/api/events")) {
      socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("no such WebSocket"));
      socket->deleteLater();
      continue;
    }
    if (!loopback_) {
      // A browser cannot set the header on a WebSocket: it passes the
      // token as the query item access_token.
      const QByteArray header = socket->request().rawHeader(QByteArrayLiteral("Authorization"));
      const std::optional<std::string_view> bearer =
          desk::BearerToken(std::string_view(header.constData(), static_cast<std::size_t>(header.size())));
      const QByteArray query = QUrlQuery(url).queryItemValue(QStringLiteral("access_token"), QUrl::FullyDecoded).toUtf8();
      const bool ok = (bearer && desk::SameToken(*bearer, options_.token)) || TokenMatches(query);
      if (!ok) {
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("the token is missing or wrong"));
        socket->deleteLater();
        continue;
      }
    }
    sockets_.append(socket);
    connect(socket, &QWebSocket::disconnected, this, [this, socket] {
      sockets_.removeAll(socket);
      socket->deleteLater();
    });
    QJsonArray rooms;
    for (const auto& room : rooms_) rooms.append(Summary(*room));
    socket->sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("event"), QStringLiteral("rooms")}, {QStringLiteral("rooms"), rooms}})
            .toJson(QJsonDocument::Compact)));
  }
}

void FrontDesk::Broadcast(const QJsonObject& message) {
  if (sockets_.isEmpty()) return;
  const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
  for (QWebSocket* socket : sockets_) socket->sendTextMessage(text);
}

void FrontDesk::RoomChanged(ServedRoom& room) {
  const RoomState state = room.Snapshot().state;
  const QString name = Text(room.Name());
  if (Log && loggedStates_.value(name, -1) != static_cast<int>(state)) {
    loggedStates_.insert(name, static_cast<int>(state));
    Log(room.Name() + ": " + StateName(state));
  }
  Broadcast(QJsonObject{{QStringLiteral("event"), QStringLiteral("room")}, {QStringLiteral("room"), Summary(room)}});
}

}  // namespace dsp::server
