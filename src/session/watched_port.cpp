#include "session/watched_port.h"

namespace dsp {

std::string ProblemText(const std::string& name, const SerialPortError& error) {
  switch (error.fault()) {
    case PortFault::Missing:
      return name + ": no such device (not connected, or unplugged)";
    case PortFault::Busy:
      return name + ": in use by another program or client";
    case PortFault::PermissionDenied:
      return name + ": permission denied" +
             (error.group().empty() ? std::string()
                                    : " (join the group " + error.group() + " and log in again)");
    case PortFault::Unresolved:
      return name + ": host name not found";
    case PortFault::Refused:
      return name + ": connection refused (is the server running, is the port number right?)";
    case PortFault::NoAnswer:
      return name + ": no answer from the server (" + error.what() + ")";
    case PortFault::Closed:
      return name + ": the server closed the connection";
    case PortFault::Other:
      break;
  }
  return name + ": " + error.what();
}

WatchedPort::WatchedPort(SerialPort& inner) : inner_(inner) {
  inner_.SetArrivalHandler([this](std::size_t waiting) { NotifyArrival(waiting); });
  inner_.SetGoneHandler([this](const SerialPortError& why) {
    Note(inner_.Name(), why);
    NotifyGone(why);
  });
}

WatchedPort::~WatchedPort() {
  inner_.SetArrivalHandler(nullptr);
  inner_.SetGoneHandler(nullptr);
}

void WatchedPort::Open() {
  try {
    inner_.Open();
  } catch (const SerialPortError& e) {
    Note(inner_.Name(), e);
    throw;
  }
}

void WatchedPort::Note(const std::string& name, const SerialPortError& error) {
  problem_ = ProblemText(name, error);
}

}  // namespace dsp
