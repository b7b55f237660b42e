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
#include <QString>

namespace dsp::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The options of the program, for the window and the commands alike.
struct Options {
  Options();
  QCommandLineOption help;
  QCommandLineOption version;
  QCommandLineOption port;
  QCommandLineOption presets;
  QCommandLineOption lang;
  QCommandLineOption json;
  void AddTo(QCommandLineParser& parser) const;
};

// The whole help text: usage, options and the commands.
QString HelpText(const QCommandLineParser& parser);

// True when the arguments name a command (any word that is not an option
// or an option's value): the program then runs without a window.
bool HasCommand(int argc, char** argv);

// Runs the command the arguments name; returns the exit status. Creates
// the QCoreApplication itself.
int Run(int argc, char** argv);

}  // namespace dsp::cli
