#pragma once
// The application's port: one SerialPort whose name picks the line. A
// device path (/dev/ttyUSB0, a pseudo-terminal, COM3) opens the serial
// adapter, tcp://HOST:PORT and rfc2217://HOST:PORT the network port; the
// link above walks a list that mixes both without knowing which is which.
// Arrival and gone notifications of either are passed on.

#include <memory>
#include <string>

#include "ports/qt_network_port.h"
#include "ports/qt_serial_port.h"
#include "ports/serial_port.h"

namespace dsp {

class QtAnyPort : public SerialPort {
 public:
  QtAnyPort();
  ~QtAnyPort() override;
  QtAnyPort(const QtAnyPort&) = delete;
  QtAnyPort& operator=(const QtAnyPort&) = delete;

  // Switching to a name of the other kind closes the port in use.
  void SetName(const std::string& name) override;
  std::string Name() const override { return current_->Name(); }
  void Open() override { current_->Open(); }
  void Close() override { current_->Close(); }
  bool IsOpen() const override { return current_->IsOpen(); }
  void Write(const Bytes& bytes) override { current_->Write(bytes); }
  Bytes Read(std::size_t n) override { return current_->Read(n); }
  std::size_t BytesAvailable() const override { return current_->BytesAvailable(); }
  bool Opening() const override { return current_->Opening(); }

 private:
  QtSerialPort serial_;
  QtNetworkPort network_;
  SerialPort* current_ = &serial_;
};

// The port for the application and the command line.
std::unique_ptr<SerialPort> MakePort();

}  // namespace dsp
