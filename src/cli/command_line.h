#pragma once
// The program's command line: the options shared with the window, the
// headless commands, the help text, and running a command without a
// window (QCoreApplication only, no display needed).
//
// Exit status of a command: 0 success, 2 a wrong command or wrong
// arguments (with the usage on standard error), 1 every other failure
// (port, link, damaged file, verification), with one line on standard
// error. Results go to standard output, progress to standard error.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <string>

#include "i18n/language.h"
#include "settingsdoc/report_data.h"

namespace dsp::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The options of the program, for the window and the commands alike; their
// descriptions are in the language of the translation installed when they
// are made.
struct Options {
  Q_DECLARE_TR_FUNCTIONS(Options)

 public:
  Options();
  QCommandLineOption help;
  QCommandLineOption version;
  QCommandLineOption port;
  QCommandLineOption presets;
  QCommandLineOption lang;
  QCommandLineOption json;
  QCommandLineOption only;
  QCommandLineOption jobs;
  QCommandLineOption dryRun;
  QCommandLineOption rooms;
  void AddTo(QCommandLineParser& parser) const;
};

// The whole help text: usage, options and the commands.
QString HelpText(const QCommandLineParser& parser);

// The value of --lang (--lang LANG or --lang=LANG, the last one given), or
// an empty text; read before the application object exists, since the
// language decides how everything, the help included, is said.
QString LanguageArgument(int argc, char** argv);

// True for the options that take a value (--port NAME, --jobs N, ...).
bool TakesValue(const QString& arg);

// True when the arguments name a command (any word that is not an option
// or an option's value): the program then runs without a window.
bool HasCommand(int argc, char** argv);

// Writes the printed report of a setting to a PDF file; false with the
// reason in `error`. The window's layers make it; main.cpp hands it in.
using ReportWriter = std::function<bool(const ReportData& data, const std::string& file, std::string& error)>;

// Runs the command the arguments name; returns the exit status. Creates
// the application object itself (a QGuiApplication on the offscreen
// platform for `report`, which paints; a QCoreApplication otherwise) and
// speaks `language` in its usage errors.
int Run(int argc, char** argv, UiLanguage language, const ReportWriter& report = {});

}  // namespace dsp::cli
