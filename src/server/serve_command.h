#pragma once
// dsp-control serve --rooms FILE [--listen ADDRESS:PORT] [--token-file FILE]
// [--static DIR]: the front desk as a long-running process. Links every
// room of the rooms file, serves the API, the events and the dashboard
// until SIGINT or SIGTERM, then says goodbye to every processor and closes
// its sockets. Exit status: 0 after a signal, 2 for wrong arguments or a
// refused rooms file, 1 when it cannot listen or has no token.

namespace dsp::server {

// True when the command the arguments name is "serve".
bool IsServeCommand(int argc, char** argv);

// Runs the server; returns the exit status. Creates the QCoreApplication.
int RunServe(int argc, char** argv);

}  // namespace dsp::server
