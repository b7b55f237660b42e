#pragma once
// The one serial port the processor is reached through. The link layer only
// sees this interface: QtSerialPort drives a real port, the in-process
// EmulatedPort (tests) hands bytes to the processor emulator.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace dsp {

using Bytes = std::vector<std::uint8_t>;

// Why a port could not be opened, as far as the port layer can tell.
enum class PortFault {
  Other,             // anything else (bad settings, I/O error, no name)
  Missing,           // no such device (never there, or unplugged)
  Busy,              // held by another program
  PermissionDenied,  // the user may not open the device
};

// Raised by open() when a port is missing, busy or refused, and by write()
// when the bytes cannot be written. `fault` says why an open failed;
// `group` names the group that owns the device when permission was denied
// (empty when unknown).
class SerialPortError : public std::runtime_error {
 public:
  explicit SerialPortError(const std::string& what, PortFault fault = PortFault::Other,
                           std::string group = {})
      : std::runtime_error(what), fault_(fault), group_(std::move(group)) {}
  PortFault fault() const { return fault_; }
  const std::string& group() const { return group_; }

 private:
  PortFault fault_;
  std::string group_;
};

// Read timeout for a read of n bytes: 1000 ms + 100 ms per byte.
constexpr int ReadTimeoutMs(std::size_t n) {
  return 1000 + 100 * static_cast<int>(n);
}

class SerialPort {
 public:
  using ArrivalHandler = std::function<void(std::size_t waiting)>;
  using GoneHandler = std::function<void()>;

  virtual ~SerialPort() = default;

  virtual void SetName(const std::string& name) = 0;
  virtual std::string Name() const = 0;
  // Opens with 57600 baud, 8N1, no flow control, DTR and RTS on.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Writes the whole byte string before returning.
  virtual void Write(const Bytes& bytes) = 0;
  // Up to n bytes; fewer (or none) when the read timeout ends first.
  virtual Bytes Read(std::size_t n) = 0;
  virtual std::size_t BytesAvailable() const = 0;

  // The arrival notification: called on the UI thread with the number of
  // bytes waiting whenever bytes arrive. Unread bytes stay queued; the
  // notification comes again only when further bytes arrive.
  void SetArrivalHandler(ArrivalHandler handler) { arrival_ = std::move(handler); }
  // The device went away under an open port (cable pulled, adapter
  // unplugged, the peer of a pseudo-terminal closed). The port is already
  // closed when this is called, on the UI thread, once per loss.
  void SetGoneHandler(GoneHandler handler) { gone_ = std::move(handler); }

 protected:
  void NotifyArrival(std::size_t waiting) {
    if (arrival_) arrival_(waiting);
  }
  void NotifyGone() {
    if (gone_) gone_();
  }

 private:
  ArrivalHandler arrival_;
  GoneHandler gone_;
};

}  // namespace dsp
