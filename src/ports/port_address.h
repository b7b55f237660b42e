#pragma once
// What a port name stands for. A name is a serial device (a path such as
// /dev/ttyUSB0, a pseudo-terminal, COM3) unless it starts with one of the
// network schemes:
//
//   tcp://HOST:PORT       raw TCP: the bytes of the line as they are
//   rfc2217://HOST:PORT   Telnet with the serial port control option, which
//                         also sets the server's serial line (57600 8N1)
//
// HOST is a name or an address; an IPv6 address goes in brackets
// ([::1]:4000). The scheme may be written in any letter case.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dsp {

enum class PortKind { Serial, RawTcp, Rfc2217 };

struct PortAddress {
  PortKind kind = PortKind::Serial;
  std::string host;        // network names only; brackets removed
  std::uint16_t port = 0;  // network names only, 1..65535
};

// The kind a name asks for, judged by its scheme alone.
PortKind PortKindOf(std::string_view name);
inline bool IsNetworkPortName(std::string_view name) {
  return PortKindOf(name) != PortKind::Serial;
}

// The parts of a network name; nothing (and the reason in `why`, in
// English) when it has a network scheme but no usable host or port. A
// serial name parses to its kind alone.
std::optional<PortAddress> ParsePortName(std::string_view name, std::string* why = nullptr);

}  // namespace dsp
