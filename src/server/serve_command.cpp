#include "server/serve_command.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <memory>

#include "server/front_desk.h"
#include "server/served_room.h"
#include "server/token_file.h"
#include "venue/rooms_file.h"

namespace dsp::server {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: the event loop reads the byte.
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

const char kUsage[] =
    "Usage: dsp-control serve --rooms FILE [--listen ADDRESS:PORT] [--token-file FILE] [--static DIR]\n"
    "  --rooms FILE         the venue's rooms file (NAME PORT, one room a line)\n"
    "  --listen ADDRESS:PORT  where the API and the dashboard are served (default 127.0.0.1:8480;\n"
    "                       an IPv6 address in brackets, [::1]:8480)\n"
    "  --token-file FILE    the token every change needs, made (mode 0600) when missing; needed\n"
    "                       for an address other than loopback (default: ~/.config/dsp-control/token)\n"
    "  --static DIR         serve the dashboard's files from DIR instead of the built-in ones\n";

int Usage(const QString& problem) {
  std::fprintf(stderr, "dsp-control serve: %s\n\n%s", qPrintable(problem), kUsage);
  return kExitUsage;
}

// "ADDRESS:PORT" (IPv6 in brackets); false when it is none.
bool ParseListen(const QString& text, QHostAddress& address, quint16& port) {
  const int colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) return false;
  QString host = text.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) host = host.mid(1, host.size() - 2);
  if (host == QLatin1String("localhost")) host = QStringLiteral("127.0.0.1");
  bool ok = false;
  const uint number = text.mid(colon + 1).toUInt(&ok);
  if (!ok || number > 65535) return false;
  if (!address.setAddress(host)) return false;
  port = static_cast<quint16>(number);
  return true;
}

}  // namespace

bool IsServeCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    bool takesValue = false;
    for (const char* option : {"--lang", "--port", "--presets", "--rooms", "--listen", "--token-file", "--static"})
      takesValue = takesValue || std::strcmp(arg, option) == 0;
    if (takesValue) {
      ++i;
      continue;
    }
    if (arg[0] == '-') continue;
    return std::strcmp(arg, "serve") == 0;
  }
  return false;
}

int RunServe(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  const QCommandLineOption rooms(QStringLiteral("rooms"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption listen(QStringLiteral("listen"), QString(), QStringLiteral("ADDRESS:PORT"));
  const QCommandLineOption tokenFile(QStringLiteral("token-file"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption staticDir(QStringLiteral("static"), QString(), QStringLiteral("DIR"));
  const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("LANG"));
  parser.addOptions({rooms, listen, tokenFile, staticDir, lang});
  if (!parser.parse(QCoreApplication::arguments())) return Usage(parser.errorText());
  const QStringList words = parser.positionalArguments();
  if (words.size() != 1) return Usage(QStringLiteral("serve takes no arguments but its options"));
  if (!parser.isSet(rooms)) return Usage(QStringLiteral("--rooms FILE is needed"));

  DeskOptions options;
  if (parser.isSet(listen) && !ParseListen(parser.value(listen), options.address, options.port))
    return Usage(QStringLiteral("--listen takes ADDRESS:PORT, not '%1'").arg(parser.value(listen)));
  if (!IsLoopback(options.address) && !parser.isSet(tokenFile))
    return Usage(QStringLiteral("listening on %1, an address other than loopback, needs --token-file")
                     .arg(options.address.toString()));
  options.staticDir = parser.value(staticDir);

  const std::string roomsPath = parser.value(rooms).toStdString();
  const RoomsParse parsed = ReadRoomsFile(std::filesystem::path(std::u8string(roomsPath.begin(), roomsPath.end())));
  if (!parsed.ok()) {
    std::fprintf(stderr, "dsp-control: %s\n", RoomsErrorLine(roomsPath, parsed).c_str());
    return kExitUsage;
  }

  const QString tokenPath = parser.isSet(tokenFile) ? parser.value(tokenFile) : DefaultTokenFile();
  QString problem;
  options.token = LoadOrCreateToken(tokenPath, problem);
  if (options.token.empty()) {
    std::fprintf(stderr, "dsp-control serve: %s\n", qPrintable(problem));
    return kExitFailure;
  }

  FrontDesk desk(options);
  desk.Log = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
  for (const RoomEntry& entry : parsed.rooms) {
    desk.AddRoom(std::make_unique<ServedRoom>(entry.name, entry.port));
  }
  if (!desk.Listen(problem)) {
    std::fprintf(stderr, "dsp-control serve: %s\n", qPrintable(problem));
    return kExitFailure;
  }

  // SIGINT and SIGTERM end the event loop from a pipe, so that the
  // goodbyes are sent from ordinary code.
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
    std::fprintf(stderr, "dsp-control serve: cannot watch for signals\n");
    return kExitFailure;
  }
  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
    notifier.setEnabled(false);
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const QString host = options.address.protocol() == QAbstractSocket::IPv6Protocol
                           ? QStringLiteral("[%1]").arg(options.address.toString())
                           : options.address.toString();
  std::fprintf(stderr, "dsp-control serve: %zu rooms on http://%s:%u/ (token in %s)\n", parsed.rooms.size(),
               qPrintable(host), desk.Port(), qPrintable(tokenPath));
  desk.StartRooms();
  const int status = app.exec();
  desk.Shutdown();
  // The goodbyes and the closing frames leave before the process does.
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
  std::fprintf(stderr, "dsp-control serve: stopped\n");
  ::close(signalPipe[0]);
  ::close(signalPipe[1]);
  return status;
}

}  // namespace dsp::server
