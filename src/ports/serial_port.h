#pragma once
// The one serial port the processor is reached through. The link layer only
// sees this interface: QtSerialPort drives a real port, QtNetworkPort a
// serial line behind a serial-over-network server, the in-process
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
  // Ports behind a serial-over-network server:
  Unresolved,  // the host name is not known
  Refused,     // nothing listens at that address and port
  NoAnswer,    // the server did not answer within the connect time
  Closed,      // the server closed the connection
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
  // `why` says what happened: PortFault::Missing for a device unplugged,
  // the network faults for a connection that failed or was closed.
  using GoneHandler = std::function<void(const SerialPortError& why)>;

  virtual ~SerialPort() = default;

  virtual void SetName(const std::string& name) = 0;
  virtual std::string Name() const = 0;
  // Opens with 57600 baud, 8N1, no flow control, DTR and RTS on. A port
  // whose open takes time (a network connection) may return at once and
  // finish in the background: it is open, Opening() is true, writes wait
  // until the line is up, and a failure closes the port and raises the
  // gone notification with the reason.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Writes the whole byte string before returning.
  virtual void Write(const Bytes& bytes) = 0;
  // Up to n bytes; fewer (or none) when the read timeout ends first.
  virtual Bytes Read(std::size_t n) = 0;
  virtual std::size_t BytesAvailable() const = 0;
  // True while an open is still under way (see Open()).
  virtual bool Opening() const { return false; }

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
  void NotifyGone(const SerialPortError& why) {
    if (gone_) gone_(why);
  }

 private:
  ArrivalHandler arrival_;
  GoneHandler gone_;
};

}  // namespace dsp
