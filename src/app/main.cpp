// The control application: the main window, the status dialog and the link
// to the processor; or, given a command, the same link without a window.
// The one place that reads the command line; the window is built and
// connected by Application, the commands live in src/cli.

#include <signal.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cstdio>

#include "cli/command_line.h"
#include "i18n/language.h"
#include "mainwindow/application.h"
#include "server/serve_command.h"
#include "report/settings_report.h"

#ifndef DSP_VERSION
#define DSP_VERSION "0"
#endif

namespace {

// The help, in `language`, on `out`; `problem` first when there is one.
// Needs no display: a plain core application carries the translation.
void PrintHelp(int argc, char** argv, dsp::UiLanguage language, std::FILE* out, const QString& problem) {
  QCoreApplication core(argc, argv);
  const std::unique_ptr<QTranslator> translation = dsp::InstallTranslation(core, language);
  QCommandLineParser parser;
  const dsp::cli::Options options;
  options.AddTo(parser);
  if (!problem.isEmpty()) std::fprintf(out, "%s\n\n", qPrintable(problem));
  std::fputs(qPrintable(dsp::cli::HelpText(parser)), out);
}

}  // namespace

int main(int argc, char** argv) {
  // A closed connection or a closed output pipe is an error to report, not
  // a reason to die.
  ::signal(SIGPIPE, SIG_IGN);
  QCoreApplication::setApplicationName(QStringLiteral("dsp-control"));
  QCoreApplication::setApplicationVersion(QStringLiteral(DSP_VERSION));

  // The language first: it decides how everything is said, the help too.
  const QString langOption = dsp::cli::LanguageArgument(argc, argv);
  const std::optional<dsp::UiLanguage> chosen =
      dsp::ChooseLanguage(langOption, QLocale::system().uiLanguages());
  const dsp::UiLanguage language = chosen.value_or(dsp::UiLanguage::Chinese);
  if (!chosen) {
    PrintHelp(argc, argv, language, stderr,
              QStringLiteral("unknown language: %1 (use zh or en)").arg(langOption));
    return dsp::cli::kExitUsage;
  }

  // --help and --version are answered before the window system is reached,
  // so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (dsp::cli::TakesValue(arg)) {
      ++i;  // the option's value, whatever it is
    } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
      PrintHelp(argc, argv, language, stdout, QString());
      return 0;
    } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
      std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                  qPrintable(QCoreApplication::applicationVersion()));
      return 0;
    }
  }
  // A command runs without a window (and without a display); the front
  // desk is one that stays up.
  if (dsp::server::IsServeCommand(argc, argv)) return dsp::server::RunServe(argc, argv);
  if (dsp::cli::HasCommand(argc, argv)) {
    const dsp::cli::ReportWriter report = [](const dsp::ReportData& data, const std::string& file,
                                             std::string& error) {
      QString why;
      const bool ok = dsp::WriteSettingsReport(data, QString::fromStdString(file), why);
      error = why.toStdString();
      return ok;
    };
    return dsp::cli::Run(argc, argv, language, report);
  }

  // The toolkit takes its own options (-platform, -style, ...) off the
  // command line; the rest must be ours.
  QApplication app(argc, argv);
  const std::unique_ptr<QTranslator> translation = dsp::InstallTranslation(app, language);
  QCommandLineParser parser;
  const dsp::cli::Options options;
  options.AddTo(parser);
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(dsp::cli::HelpText(parser)));
    return dsp::cli::kExitUsage;
  }
  if (parser.isSet(options.only) || parser.isSet(options.jobs) || parser.isSet(options.dryRun)) {
    std::fprintf(stderr, "--only, --jobs and --dry-run are for rooms\n\n%s", qPrintable(dsp::cli::HelpText(parser)));
    return dsp::cli::kExitUsage;
  }
  if (parser.isSet(options.json)) {
    std::fprintf(stderr, "--json needs a command\n\n%s", qPrintable(dsp::cli::HelpText(parser)));
    return dsp::cli::kExitUsage;
  }

  dsp::AppOptions appOptions;
  appOptions.ports = parser.values(options.port);
  appOptions.presetDir = parser.value(options.presets);
  appOptions.roomsFile = parser.value(options.rooms);
  dsp::Application application(appOptions);
  application.Start();
  return app.exec();
}
