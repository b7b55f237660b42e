#pragma once
// The client side of a Telnet connection to a serial-over-network server
// with the serial port control option (COM-PORT-OPTION, option 44): the
// byte codec and the negotiation, without any socket. The network port
// feeds it what the socket reads and sends what it returns.
//
// On the wire, data and Telnet commands share one byte stream: 0xFF (IAC)
// starts a command, and a data byte 0xFF travels doubled. Commands are
//   IAC WILL/WONT/DO/DONT option        option negotiation
//   IAC SB option payload... IAC SE     subnegotiation (0xFF doubled inside)
//   IAC any other byte                  a two-byte command (NOP, GA, ...)
//
// The session agrees to binary transmission and suppressed go-ahead both
// ways, refuses every other option (echo in particular: an echoing server
// would hand the processor's own frames back), offers the serial port
// control option and, once the server takes it, sets its line to 57600
// baud, 8 data bits, no parity, 1 stop bit, no flow control (DTR and RTS
// on, best effort). The line is ready when the server has confirmed the
// five settings, or when it refused the option (its line then runs as the
// server is configured). A setting confirmed with another value fails the
// session. Negotiation follows RFC 1143: an answer is sent only when an
// option's state changes, so two parties never loop.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ports/serial_port.h"

namespace dsp::telnet {

inline constexpr std::uint8_t kIac = 0xFF;
inline constexpr std::uint8_t kDont = 0xFE;
inline constexpr std::uint8_t kDo = 0xFD;
inline constexpr std::uint8_t kWont = 0xFC;
inline constexpr std::uint8_t kWill = 0xFB;
inline constexpr std::uint8_t kSb = 0xFA;
inline constexpr std::uint8_t kSe = 0xF0;

inline constexpr std::uint8_t kOptionBinary = 0;
inline constexpr std::uint8_t kOptionEcho = 1;
inline constexpr std::uint8_t kOptionSuppressGoAhead = 3;
inline constexpr std::uint8_t kOptionComPort = 44;

// Serial port control commands, client to server; the server answers a
// command with its code + 100.
inline constexpr std::uint8_t kComSignature = 0;
inline constexpr std::uint8_t kComSetBaudRate = 1;
inline constexpr std::uint8_t kComSetDataSize = 2;
inline constexpr std::uint8_t kComSetParity = 3;
inline constexpr std::uint8_t kComSetStopSize = 4;
inline constexpr std::uint8_t kComSetControl = 5;
inline constexpr std::uint8_t kComNotifyLineState = 6;
inline constexpr std::uint8_t kComNotifyModemState = 7;
inline constexpr std::uint8_t kComFlowSuspend = 8;
inline constexpr std::uint8_t kComFlowResume = 9;
inline constexpr std::uint8_t kComServerOffset = 100;

inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kStopOne = 1;
inline constexpr std::uint8_t kControlNoFlow = 1;
inline constexpr std::uint8_t kControlDtrOn = 8;
inline constexpr std::uint8_t kControlRtsOn = 11;

// The longest subnegotiation payload kept; longer ones are read to their
// end and dropped.
inline constexpr std::size_t kMaxSubnegotiation = 256;

// Appends `data` to `out` as it goes on the wire: every 0xFF doubled.
void AppendEscaped(const Bytes& data, Bytes& out);

// One subnegotiation frame: IAC SB option payload IAC SE, 0xFF in the
// payload doubled.
Bytes Subnegotiation(std::uint8_t option, const Bytes& payload);

// The byte-level reader: splits the received stream into data bytes and
// commands. Knows nothing about what the commands mean.
class TelnetDecoder {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void OnNegotiation(std::uint8_t verb, std::uint8_t option) = 0;
    virtual void OnSubnegotiation(std::uint8_t option, const Bytes& payload) = 0;
    // A two-byte command other than a negotiation (NOP, GA, ...).
    virtual void OnCommand(std::uint8_t command) { (void)command; }
  };

  // Reads `n` bytes; data bytes are appended to `data`, commands go to the
  // handler as they complete. A command split across calls completes in a
  // later call.
  void Feed(const std::uint8_t* bytes, std::size_t n, Bytes& data, Handler& handler);

 private:
  enum class State { Data, Iac, Verb, SbOption, Sb, SbIac };
  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  std::uint8_t sbOption_ = 0;
  bool sbOverflow_ = false;
  Bytes sb_;
};

// The serial line settings the session asks for and the server confirmed.
struct LineSettings {
  std::uint32_t baud = 0;
  std::uint8_t dataSize = 0;
  std::uint8_t parity = 0;
  std::uint8_t stopSize = 0;
  std::uint8_t flowControl = 0;
};

class TelnetSession : private TelnetDecoder::Handler {
 public:
  enum class Phase { Negotiating, Ready, Failed };

  TelnetSession();

  // What the client says first, once the connection is up.
  Bytes Start();
  // Received bytes: data for the line are appended to `data`, answers the
  // server must get are appended to `reply`.
  void Receive(const std::uint8_t* bytes, std::size_t n, Bytes& data, Bytes& reply);
  // Data bytes for the line, as they go on the wire.
  static Bytes EncodeData(const Bytes& data);

  Phase phase() const { return phase_; }
  // Why the session failed (English), empty otherwise.
  const std::string& failure() const { return failure_; }
  // The server took the serial port control option.
  bool comPortEnabled() const { return us_[kOptionComPort] == Q::Yes; }
  // The settings the server reported back so far (0: not reported).
  const LineSettings& confirmed() const { return confirmed_; }
  // The server asked the client to hold its data (flow control suspend).
  bool suspended() const { return suspended_; }
  // Whether an option is in effect on the client's or the server's side.
  bool localEnabled(std::uint8_t option) const { return us_[option] == Q::Yes; }
  bool remoteEnabled(std::uint8_t option) const { return him_[option] == Q::Yes; }

  // The settings asked for: 57600 baud, 8N1, no flow control.
  static LineSettings Wanted();

 private:
  enum class Q : std::uint8_t { No, Yes, WantNo, WantYes };

  void OnNegotiation(std::uint8_t verb, std::uint8_t option) override;
  void OnSubnegotiation(std::uint8_t option, const Bytes& payload) override;

  static bool AcceptLocal(std::uint8_t option);
  static bool AcceptRemote(std::uint8_t option);
  void Send(std::uint8_t verb, std::uint8_t option);
  void RequestLocal(std::uint8_t option);
  void RequestRemote(std::uint8_t option);
  void ComPortAgreed();
  void ComPortRefused();
  void CheckReady();
  void Fail(const std::string& why);

  TelnetDecoder decoder_;
  std::array<Q, 256> us_{};   // options the client performs
  std::array<Q, 256> him_{};  // options the server performs
  Bytes* reply_ = nullptr;    // where answers go during Receive()
  Bytes pendingStart_;        // answers produced outside Receive()
  Phase phase_ = Phase::Negotiating;
  std::string failure_;
  LineSettings confirmed_;
  bool settingsSent_ = false;
  bool suspended_ = false;
};

}  // namespace dsp::telnet
