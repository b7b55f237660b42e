#pragma once
// A serial port for unit tests that records what is written, one entry per
// Write call, and serves queued input to reads.

#include <deque>

#include "ports/serial_port.h"

namespace dsp::test {

class RecordingPort : public SerialPort {
 public:
  std::deque<Bytes> written;
  Bytes input;
  bool open = false;
  bool failWrites = false;
  bool failOpen = false;
  PortFault openFault = PortFault::Other;  // why a failing open fails
  std::string openGroup;
  std::string name = "COM1";

  void SetName(const std::string& n) override { name = n; }
  std::string Name() const override { return name; }
  void Open() override {
    if (name.empty()) throw SerialPortError("no port name");
    if (failOpen) throw SerialPortError("cannot open " + name, openFault, openGroup);
    open = true;
  }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  void Write(const Bytes& bytes) override {
    if (failWrites) throw SerialPortError("write failed");
    written.push_back(bytes);
  }
  Bytes Read(std::size_t n) override {
    std::size_t take = std::min(n, input.size());
    Bytes out(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(take));
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(take));
    return out;
  }
  std::size_t BytesAvailable() const override { return input.size(); }

  // Appends bytes to the input queue and raises the arrival notification.
  void Deliver(const Bytes& bytes) {
    input.insert(input.end(), bytes.begin(), bytes.end());
    NotifyArrival(input.size());
  }
  // The device goes away under the open port: closed, then the gone
  // notification.
  void Unplug() {
    open = false;
    input.clear();
    NotifyGone(SerialPortError("device unplugged: " + name, PortFault::Missing));
  }
  Bytes TakeFrame() {
    if (written.empty()) return {};
    Bytes f = written.front();
    written.pop_front();
    return f;
  }
};

}  // namespace dsp::test
