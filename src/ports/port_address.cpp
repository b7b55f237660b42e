#include "ports/port_address.h"

#include <cctype>

namespace dsp {
namespace {

constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kRfc2217Scheme = "rfc2217://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::optional<PortAddress> Fail(std::string* why, const std::string& text) {
  if (why != nullptr) *why = text;
  return std::nullopt;
}

}  // namespace

PortKind PortKindOf(std::string_view name) {
  if (StartsWithNoCase(name, kTcpScheme)) return PortKind::RawTcp;
  if (StartsWithNoCase(name, kRfc2217Scheme)) return PortKind::Rfc2217;
  return PortKind::Serial;
}

std::optional<PortAddress> ParsePortName(std::string_view name, std::string* why) {
  PortAddress address;
  address.kind = PortKindOf(name);
  if (address.kind == PortKind::Serial) return address;
  std::string_view rest =
      name.substr(address.kind == PortKind::RawTcp ? kTcpScheme.size() : kRfc2217Scheme.size());
  // A trailing slash is what people often type after an address.
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);

  std::string_view host;
  std::string_view port;
  if (!rest.empty() && rest.front() == '[') {
    const auto close = rest.find(']');
    if (close == std::string_view::npos) return Fail(why, "missing ']' after the IPv6 address");
    host = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    if (rest.empty() || rest.front() != ':') return Fail(why, "missing ':PORT' after the host");
    port = rest.substr(1);
  } else {
    const auto colon = rest.rfind(':');
    if (colon == std::string_view::npos) return Fail(why, "missing ':PORT' after the host");
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    if (host.find(':') != std::string_view::npos) return Fail(why, "an IPv6 address goes in brackets");
  }
  if (host.empty()) return Fail(why, "no host name");
  for (char c : host) {
    const auto code = static_cast<unsigned char>(c);
    if (code <= 0x20 || code == 0x7F || c == '/' || c == '@' || c == '[' || c == ']')
      return Fail(why, "the host name has a character that no host name has");
  }
  if (port.empty() || port.size() > 5) return Fail(why, "the port must be a number from 1 to 65535");
  unsigned long number = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return Fail(why, "the port must be a number from 1 to 65535");
    number = number * 10 + static_cast<unsigned long>(c - '0');
  }
  if (number < 1 || number > 65535) return Fail(why, "the port must be a number from 1 to 65535");
  address.host = std::string(host);
  address.port = static_cast<std::uint16_t>(number);
  return address;
}

}  // namespace dsp
