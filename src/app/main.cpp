// The control application: the main window, the status dialog and the link
// to the processor on a serial port. The one place that reads the command
// line; everything else is built and connected by Application.

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cstdio>

#include "i18n/language.h"
#include "mainwindow/application.h"

#ifndef DSP_VERSION
#define DSP_VERSION "0"
#endif

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("dsp-control"));
  QCoreApplication::setApplicationVersion(QStringLiteral(DSP_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Remote front panel for the digital audio effect processor on a serial port."));
  const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Show this help and exit."));
  const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Show the version and exit."));
  parser.addOption(helpOption);
  parser.addOption(versionOption);
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("Try serial port NAME first when scanning for the processor "
                                               "(a device path or a pseudo-terminal; repeatable)."),
                                QStringLiteral("NAME"));
  const QCommandLineOption presets(
      QStringLiteral("presets"),
      QStringLiteral("Keep the preset files in DIR instead of the default folder."), QStringLiteral("DIR"));
  const QCommandLineOption lang(QStringLiteral("lang"),
                                QStringLiteral("Speak LANG: zh (the processor's own Chinese texts) or en. "
                                               "Default: English on an English desktop, else Chinese."),
                                QStringLiteral("LANG"));
  parser.addOption(port);
  parser.addOption(presets);
  parser.addOption(lang);
  // --help and --version are answered before the window system is reached,
  // so that they work without a display.
  auto help = [&parser] {
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QCoreApplication::applicationName());
  };
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--port") || arg == QLatin1String("--presets") ||
        arg == QLatin1String("--lang")) {
      ++i;  // the option's value, whatever it is
    } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
      std::fputs(qPrintable(help()), stdout);
      return 0;
    } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
      std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                  qPrintable(QCoreApplication::applicationVersion()));
      return 0;
    }
  }

  // The toolkit takes its own options (-platform, -style, ...) off the
  // command line; the rest must be ours.
  QApplication app(argc, argv);
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(help()));
    return 2;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "unexpected argument: %s\n\n%s", qPrintable(parser.positionalArguments().first()),
                 qPrintable(help()));
    return 2;
  }

  const std::optional<dsp::UiLanguage> language =
      dsp::ChooseLanguage(parser.value(lang), QLocale::system().uiLanguages());
  if (!language) {
    std::fprintf(stderr, "unknown language: %s (use zh or en)\n\n%s", qPrintable(parser.value(lang)),
                 qPrintable(help()));
    return 2;
  }
  const std::unique_ptr<QTranslator> translation = dsp::InstallTranslation(app, *language);

  dsp::AppOptions options;
  options.ports = parser.values(port);
  options.presetDir = parser.value(presets);
  dsp::Application application(options);
  application.Start();
  return app.exec();
}
