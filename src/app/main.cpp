// The control application: the main window, the status dialog and the link
// to the processor on a serial port.
//
// Usage: dsp-control [--port NAME]...
//   --port NAME  try NAME first when scanning for the processor (repeatable)

#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "mainwindow/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList extraPorts;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
      extraPorts << args[++i];
    } else {
      std::fprintf(stderr, "usage: dsp-control [--port NAME]...\n");
      return 2;
    }
  }
  dsp::Application application(extraPorts);
  application.Start();
  return app.exec();
}
