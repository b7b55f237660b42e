#pragma once
// A serial port connected in memory to a ProcessorEmulator, so the whole
// protocol runs single-threaded without sleeping: bytes written on the
// emulator's port name go to the emulator, and its replies wait until
// Pump() delivers them, one arrival notification per piece. Reads return
// what is queued and never block.

#include <string>
#include <utility>
#include <vector>

#include "emulator/emulator.h"
#include "ports/serial_port.h"

namespace dsp {

class EmulatedPort : public SerialPort {
 public:
  // The emulator answers on `emulatorName`; the other `existing` names open
  // but nobody answers there. Any other name fails to open.
  explicit EmulatedPort(ProcessorEmulator& emulator, std::string emulatorName = "EMU",
                        std::vector<std::string> existing = {});

  void SetName(const std::string& name) override { name_ = name; }
  std::string Name() const override { return name_; }
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  void Write(const Bytes& bytes) override;
  Bytes Read(std::size_t n) override;
  std::size_t BytesAvailable() const override { return input_.size(); }

  // Moves the emulator's pending replies onto the line, raising the arrival
  // notification once per piece. Returns the number of notifications.
  std::size_t Pump();
  // Puts arbitrary bytes on the line as one arrival.
  void Deliver(const Bytes& bytes);

  // The device goes away under the open port (cable pulled): the port
  // closes, the gone notification is raised, and opening the emulator's
  // name fails as missing until Replug().
  void Unplug();
  void Replug() { unplugged_ = false; }
  // Opening `name` fails with this fault (busy, refused, ...).
  void Refuse(const std::string& name, PortFault fault, std::string group = {});

  // Every write, in order, with the port name it went to.
  std::vector<std::pair<std::string, Bytes>> written;
  bool failWrites = false;

 private:
  ProcessorEmulator& emulator_;
  std::string emulatorName_;
  std::vector<std::string> existing_;
  std::string name_ = "COM1";
  bool open_ = false;
  bool unplugged_ = false;
  Bytes input_;
  std::vector<std::pair<std::string, SerialPortError>> refusals_;
};

}  // namespace dsp
