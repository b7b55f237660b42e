// Fuzz target for the Telnet codec and the serial port control negotiation.
//
// Byte 0 chooses the test, byte 1 the chunk length (1..64):
//  - even: the rest is whatever a server might send. The session must not
//    grow its answers without bound (each negotiation gets at most one
//    three-byte answer, the settings and a signature come once per
//    request), must hand out no more data than it was given, and every
//    answer it sends must be well-formed Telnet.
//  - odd: the rest is line data. Escaped and fed back in chunks, it must
//    come out exactly as it went in, with nothing to answer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ports/telnet_session.h"

namespace {

using dsp::Bytes;
namespace telnet = dsp::telnet;

// True when `reply` is a sequence of IAC verb option and IAC SB ... IAC SE
// with nothing else (the client never sends bare data in an answer).
bool WellFormed(const Bytes& reply) {
  std::size_t i = 0;
  while (i < reply.size()) {
    if (reply[i] != telnet::kIac || i + 2 >= reply.size()) return false;
    const std::uint8_t verb = reply[i + 1];
    if (verb == telnet::kWill || verb == telnet::kWont || verb == telnet::kDo || verb == telnet::kDont) {
      i += 3;
      continue;
    }
    if (verb != telnet::kSb) return false;
    i += 3;
    for (;;) {
      if (i + 1 >= reply.size()) return false;
      if (reply[i] == telnet::kIac) {
        if (reply[i + 1] == telnet::kSe) break;
        if (reply[i + 1] != telnet::kIac) return false;
        i += 2;
      } else {
        ++i;
      }
    }
    i += 2;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool lineData = (data[0] & 1) != 0;
  const std::size_t chunk = 1 + data[1] % 64;
  const Bytes body(data + 2, data + size);

  telnet::TelnetSession session;
  const Bytes start = session.Start();
  if (!WellFormed(start)) std::abort();

  const Bytes stream = lineData ? telnet::TelnetSession::EncodeData(body) : body;
  Bytes out;
  Bytes reply;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    const std::size_t n = std::min(chunk, stream.size() - at);
    Bytes answer;
    session.Receive(stream.data() + at, n, out, answer);
    if (!WellFormed(answer)) std::abort();
    reply.insert(reply.end(), answer.begin(), answer.end());
  }
  if (out.size() > stream.size()) std::abort();
  // Three bytes per negotiation received (a negotiation is three bytes),
  // plus the settings once and a signature per request (six bytes each).
  if (reply.size() > stream.size() + 80 + 2 * stream.size()) std::abort();
  if (lineData) {
    if (out != body) std::abort();
    if (!reply.empty()) std::abort();
  }
  if (session.phase() == telnet::TelnetSession::Phase::Failed && session.failure().empty()) std::abort();
  return 0;
}
