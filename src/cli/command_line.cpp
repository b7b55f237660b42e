#include "cli/command_line.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace dsp::cli {

namespace {

constexpr const char* kCommandsHelp =
    "\n"
    "Commands (no window; exit status 0 on success, 1 on any failure, 2 for a\n"
    "wrong command or wrong arguments):\n"
    "  info                  The processor's device code, current mode and its 15\n"
    "                        mode names (--json: one JSON object).\n"
    "  backup FILE           Download everything and write it to the preset file\n"
    "                        FILE (through a temporary file: a failure leaves FILE\n"
    "                        as it was).\n"
    "  restore FILE          Check the preset file FILE, upload it, download again\n"
    "                        and compare: success only when the processor holds\n"
    "                        exactly the file's settings.\n"
    "  recall-mode N         Switch the processor to its mode N (1..15).\n"
    "  save-mode N NAME      Store the processor's current setting as mode N under\n"
    "                        NAME (printable ASCII, at most 20 characters).\n"
    "\n"
    "A port NAME is a serial device (/dev/ttyUSB0), or a processor behind a\n"
    "serial-over-network server: tcp://HOST:PORT (raw TCP) or\n"
    "rfc2217://HOST:PORT (Telnet with serial port control).\n";

void PrintUsageError(const QString& problem, const QCommandLineParser& parser) {
  std::fprintf(stderr, "dsp-control: %s\n\n%s", qPrintable(problem), qPrintable(HelpText(parser)));
}

bool TakesValue(const QString& arg) {
  return arg == QLatin1String("--port") || arg == QLatin1String("--presets") ||
         arg == QLatin1String("--lang");
}

}  // namespace

Options::Options()
    : help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")),
      version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit.")),
      port(QStringLiteral("port"),
           QStringLiteral("Try port NAME first when scanning for the processor (a device path, a "
                          "pseudo-terminal, tcp://HOST:PORT or rfc2217://HOST:PORT; repeatable)."),
           QStringLiteral("NAME")),
      presets(QStringLiteral("presets"),
              QStringLiteral("Keep the preset files in DIR instead of the default folder (window only)."),
              QStringLiteral("DIR")),
      lang(QStringLiteral("lang"),
           QStringLiteral("Speak LANG in the window: zh (the processor's own Chinese texts) or en. "
                          "Default: English on an English desktop, else Chinese."),
           QStringLiteral("LANG")),
      json(QStringLiteral("json"), QStringLiteral("Print the result of info as a JSON object.")) {}

void Options::AddTo(QCommandLineParser& parser) const {
  parser.setApplicationDescription(
      QStringLiteral("Remote front panel for the digital audio effect processor on a serial port.\n"
                     "Without a command it opens the window; with one it runs it and exits."));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(port);
  parser.addOption(presets);
  parser.addOption(lang);
  parser.addOption(json);
  parser.addPositionalArgument(QStringLiteral("command"),
                               QStringLiteral("A command (see below); none: the window."),
                               QStringLiteral("[command [arguments]]"));
}

QString HelpText(const QCommandLineParser& parser) {
  return parser.helpText().replace(QStringLiteral("<executable_name>"), QCoreApplication::applicationName()) +
         QString::fromLatin1(kCommandsHelp);
}

bool HasCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (TakesValue(arg)) {
      ++i;
    } else if (arg == QLatin1String("--")) {
      return i + 1 < argc;
    } else if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
      return true;
    }
  }
  return false;
}

int Run(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  const Options options;
  options.AddTo(parser);
  if (!parser.parse(QCoreApplication::arguments())) {
    PrintUsageError(parser.errorText(), parser);
    return kExitUsage;
  }
  QStringList words = parser.positionalArguments();
  if (words.isEmpty()) {
    PrintUsageError(QStringLiteral("no command"), parser);
    return kExitUsage;
  }
  Request request;
  request.command = words.takeFirst().toStdString();
  for (const QString& word : words) request.arguments.push_back(word.toStdString());
  for (const QString& name : parser.values(options.port)) request.ports.push_back(name.toStdString());
  request.json = parser.isSet(options.json);
  if (parser.isSet(options.presets)) {
    PrintUsageError(QStringLiteral("--presets is for the window; a command takes its file as an argument"),
                    parser);
    return kExitUsage;
  }
  std::string problem;
  if (!Validate(request, problem)) {
    PrintUsageError(QString::fromStdString(problem), parser);
    return kExitUsage;
  }
  return Execute(request, stdout, stderr, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace dsp::cli
