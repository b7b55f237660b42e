#include "emulator/emulated_port.h"

#include <algorithm>

namespace dsp {

EmulatedPort::EmulatedPort(ProcessorEmulator& emulator, std::string emulatorName,
                           std::vector<std::string> existing)
    : emulator_(emulator), emulatorName_(std::move(emulatorName)), existing_(std::move(existing)) {}

void EmulatedPort::Open() {
  for (const auto& [name, error] : refusals_) {
    if (name == name_) throw error;
  }
  const bool exists = (name_ == emulatorName_ && !unplugged_) ||
                      std::find(existing_.begin(), existing_.end(), name_) != existing_.end();
  if (name_.empty()) throw SerialPortError("no port name");
  if (!exists) throw SerialPortError("cannot open " + name_, PortFault::Missing);
  open_ = true;
}

void EmulatedPort::Unplug() {
  unplugged_ = true;
  if (!open_ || name_ != emulatorName_) return;
  Close();
  NotifyGone(SerialPortError("device unplugged: " + name_, PortFault::Missing));
}

void EmulatedPort::Refuse(const std::string& name, PortFault fault, std::string group) {
  refusals_.emplace_back(name, SerialPortError("cannot open " + name, fault, std::move(group)));
}

void EmulatedPort::Close() {
  open_ = false;
  input_.clear();
  emulator_.DropOutput();
}

void EmulatedPort::Write(const Bytes& bytes) {
  if (!open_ || failWrites) throw SerialPortError("write failed on " + name_);
  written.emplace_back(name_, bytes);
  if (name_ == emulatorName_) emulator_.Feed(bytes);
}

Bytes EmulatedPort::Read(std::size_t n) {
  const std::size_t take = std::min(n, input_.size());
  Bytes out(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(take));
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(take));
  return out;
}

std::size_t EmulatedPort::Pump() {
  std::size_t notifications = 0;
  while (open_ && emulator_.HasOutput()) {
    const Bytes piece = emulator_.TakePiece();
    input_.insert(input_.end(), piece.begin(), piece.end());
    ++notifications;
    NotifyArrival(input_.size());
  }
  return notifications;
}

void EmulatedPort::Deliver(const Bytes& bytes) {
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  NotifyArrival(input_.size());
}

}  // namespace dsp
