#include "ports/qt_any_port.h"

#include "ports/port_address.h"

namespace dsp {

QtAnyPort::QtAnyPort() {
  for (SerialPort* inner : {static_cast<SerialPort*>(&serial_), static_cast<SerialPort*>(&network_)}) {
    inner->SetArrivalHandler([this, inner](std::size_t waiting) {
      if (inner == current_) NotifyArrival(waiting);
    });
    inner->SetGoneHandler([this, inner](const SerialPortError& why) {
      if (inner == current_) NotifyGone(why);
    });
  }
}

QtAnyPort::~QtAnyPort() {
  serial_.SetArrivalHandler(nullptr);
  serial_.SetGoneHandler(nullptr);
  network_.SetArrivalHandler(nullptr);
  network_.SetGoneHandler(nullptr);
}

void QtAnyPort::SetName(const std::string& name) {
  SerialPort* wanted =
      IsNetworkPortName(name) ? static_cast<SerialPort*>(&network_) : static_cast<SerialPort*>(&serial_);
  if (wanted != current_) {
    current_->Close();
    current_ = wanted;
  }
  current_->SetName(name);
}

std::unique_ptr<SerialPort> MakePort() {
  return std::make_unique<QtAnyPort>();
}

}  // namespace dsp
