#include "ports/telnet_session.h"

#include <string_view>

namespace dsp::telnet {

namespace {

constexpr char kSignature[] = "dsp-control";

}  // namespace

void AppendEscaped(const Bytes& data, Bytes& out) {
  out.reserve(out.size() + data.size());
  for (std::uint8_t b : data) {
    out.push_back(b);
    if (b == kIac) out.push_back(kIac);
  }
}

Bytes Subnegotiation(std::uint8_t option, const Bytes& payload) {
  Bytes out{kIac, kSb, option};
  AppendEscaped(payload, out);
  out.push_back(kIac);
  out.push_back(kSe);
  return out;
}

void TelnetDecoder::Feed(const std::uint8_t* bytes, std::size_t n, Bytes& data, Handler& handler) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = bytes[i];
    switch (state_) {
      case State::Data:
        if (b == kIac)
          state_ = State::Iac;
        else
          data.push_back(b);
        break;
      case State::Iac:
        if (b == kIac) {
          data.push_back(kIac);
          state_ = State::Data;
        } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
          verb_ = b;
          state_ = State::Verb;
        } else if (b == kSb) {
          state_ = State::SbOption;
        } else {
          state_ = State::Data;
          handler.OnCommand(b);
        }
        break;
      case State::Verb:
        state_ = State::Data;
        handler.OnNegotiation(verb_, b);
        break;
      case State::SbOption:
        sbOption_ = b;
        sb_.clear();
        sbOverflow_ = false;
        state_ = State::Sb;
        break;
      case State::Sb:
        if (b == kIac) {
          state_ = State::SbIac;
        } else if (sb_.size() < kMaxSubnegotiation) {
          sb_.push_back(b);
        } else {
          sbOverflow_ = true;
        }
        break;
      case State::SbIac:
        if (b == kSe) {
          state_ = State::Data;
          if (!sbOverflow_) handler.OnSubnegotiation(sbOption_, sb_);
          sb_.clear();
        } else {
          // A doubled 0xFF is a payload byte; any other command inside a
          // subnegotiation is dropped, and the subnegotiation still runs to
          // its IAC SE.
          if (b == kIac) {
            if (sb_.size() < kMaxSubnegotiation)
              sb_.push_back(kIac);
            else
              sbOverflow_ = true;
          }
          state_ = State::Sb;
        }
        break;
    }
  }
}

TelnetSession::TelnetSession() {
  us_.fill(Q::No);
  him_.fill(Q::No);
}

LineSettings TelnetSession::Wanted() {
  LineSettings s;
  s.baud = 57600;
  s.dataSize = 8;
  s.parity = kParityNone;
  s.stopSize = kStopOne;
  s.flowControl = kControlNoFlow;
  return s;
}

bool TelnetSession::AcceptLocal(std::uint8_t option) {
  return option == kOptionBinary || option == kOptionSuppressGoAhead || option == kOptionComPort;
}

bool TelnetSession::AcceptRemote(std::uint8_t option) {
  return option == kOptionBinary || option == kOptionSuppressGoAhead;
}

void TelnetSession::Send(std::uint8_t verb, std::uint8_t option) {
  Bytes& out = reply_ != nullptr ? *reply_ : pendingStart_;
  out.insert(out.end(), {kIac, verb, option});
}

void TelnetSession::RequestLocal(std::uint8_t option) {
  if (us_[option] != Q::No) return;
  us_[option] = Q::WantYes;
  Send(kWill, option);
}

void TelnetSession::RequestRemote(std::uint8_t option) {
  if (him_[option] != Q::No) return;
  him_[option] = Q::WantYes;
  Send(kDo, option);
}

Bytes TelnetSession::Start() {
  RequestLocal(kOptionComPort);
  RequestLocal(kOptionBinary);
  RequestRemote(kOptionBinary);
  RequestLocal(kOptionSuppressGoAhead);
  RequestRemote(kOptionSuppressGoAhead);
  Bytes out;
  out.swap(pendingStart_);
  return out;
}

void TelnetSession::Receive(const std::uint8_t* bytes, std::size_t n, Bytes& data, Bytes& reply) {
  reply_ = &reply;
  decoder_.Feed(bytes, n, data, *this);
  reply_ = nullptr;
  if (!pendingStart_.empty()) {
    reply.insert(reply.end(), pendingStart_.begin(), pendingStart_.end());
    pendingStart_.clear();
  }
}

Bytes TelnetSession::EncodeData(const Bytes& data) {
  Bytes out;
  AppendEscaped(data, out);
  return out;
}

void TelnetSession::OnNegotiation(std::uint8_t verb, std::uint8_t option) {
  const bool wasComPort = us_[kOptionComPort] == Q::Yes;
  const bool comPortAsked = us_[kOptionComPort] == Q::WantYes;
  switch (verb) {
    case kWill:  // the server offers to perform the option
      switch (him_[option]) {
        case Q::No:
          if (AcceptRemote(option)) {
            him_[option] = Q::Yes;
            Send(kDo, option);
          } else {
            Send(kDont, option);
          }
          break;
        case Q::WantYes:
          him_[option] = Q::Yes;
          break;
        case Q::WantNo:
          him_[option] = Q::No;
          break;
        case Q::Yes:
          break;
      }
      break;
    case kWont:
      if (him_[option] == Q::Yes) Send(kDont, option);
      him_[option] = Q::No;
      break;
    case kDo:  // the server asks the client to perform the option
      switch (us_[option]) {
        case Q::No:
          if (AcceptLocal(option)) {
            us_[option] = Q::Yes;
            Send(kWill, option);
          } else {
            Send(kWont, option);
          }
          break;
        case Q::WantYes:
          us_[option] = Q::Yes;
          break;
        case Q::WantNo:
          us_[option] = Q::No;
          break;
        case Q::Yes:
          break;
      }
      break;
    case kDont:
      if (us_[option] == Q::Yes) Send(kWont, option);
      us_[option] = Q::No;
      break;
    default:
      break;
  }
  if (option != kOptionComPort) return;
  if (!wasComPort && us_[kOptionComPort] == Q::Yes) {
    ComPortAgreed();
  } else if ((wasComPort || comPortAsked) && us_[kOptionComPort] == Q::No) {
    ComPortRefused();
  }
}

void TelnetSession::ComPortAgreed() {
  if (settingsSent_) return;
  settingsSent_ = true;
  const LineSettings want = Wanted();
  Bytes& out = reply_ != nullptr ? *reply_ : pendingStart_;
  auto command = [&out](std::uint8_t code, Bytes value) {
    value.insert(value.begin(), code);
    const Bytes frame = Subnegotiation(kOptionComPort, value);
    out.insert(out.end(), frame.begin(), frame.end());
  };
  command(kComSetBaudRate,
          {static_cast<std::uint8_t>(want.baud >> 24), static_cast<std::uint8_t>(want.baud >> 16),
           static_cast<std::uint8_t>(want.baud >> 8), static_cast<std::uint8_t>(want.baud)});
  command(kComSetDataSize, {want.dataSize});
  command(kComSetParity, {want.parity});
  command(kComSetStopSize, {want.stopSize});
  command(kComSetControl, {want.flowControl});
  // The modem lines are best effort: a server whose device has none (a
  // pseudo-terminal) still runs the line.
  command(kComSetControl, {kControlDtrOn});
  command(kComSetControl, {kControlRtsOn});
}

void TelnetSession::ComPortRefused() {
  // A server without serial port control runs its line as it is configured.
  if (phase_ == Phase::Negotiating) phase_ = Phase::Ready;
}

void TelnetSession::OnSubnegotiation(std::uint8_t option, const Bytes& payload) {
  if (option != kOptionComPort || payload.empty() || phase_ == Phase::Failed) return;
  const std::uint8_t code = payload[0];
  const LineSettings want = Wanted();
  auto value8 = [&payload]() -> int { return payload.size() >= 2 ? payload[1] : -1; };
  switch (code) {
    case kComServerOffset + kComSignature:
      // An empty signature asks for the client's.
      if (payload.size() == 1 && reply_ != nullptr) {
        Bytes text{kComSignature};
        for (char c : std::string_view(kSignature)) text.push_back(static_cast<std::uint8_t>(c));
        const Bytes frame = Subnegotiation(kOptionComPort, text);
        reply_->insert(reply_->end(), frame.begin(), frame.end());
      }
      return;
    case kComServerOffset + kComSetBaudRate:
      if (payload.size() < 5) return;
      confirmed_.baud = (std::uint32_t{payload[1]} << 24) | (std::uint32_t{payload[2]} << 16) |
                        (std::uint32_t{payload[3]} << 8) | std::uint32_t{payload[4]};
      if (confirmed_.baud != want.baud)
        return Fail("the server keeps its serial line at " + std::to_string(confirmed_.baud) + " baud");
      break;
    case kComServerOffset + kComSetDataSize:
      if (value8() < 0) return;
      confirmed_.dataSize = payload[1];
      if (confirmed_.dataSize != want.dataSize)
        return Fail("the server keeps its serial line at " + std::to_string(confirmed_.dataSize) +
                    " data bits");
      break;
    case kComServerOffset + kComSetParity:
      if (value8() < 0) return;
      confirmed_.parity = payload[1];
      if (confirmed_.parity != want.parity) return Fail("the server keeps a parity bit on its serial line");
      break;
    case kComServerOffset + kComSetStopSize:
      if (value8() < 0) return;
      confirmed_.stopSize = payload[1];
      if (confirmed_.stopSize != want.stopSize)
        return Fail("the server keeps another stop size on its serial line");
      break;
    case kComServerOffset + kComSetControl: {
      const int value = value8();
      // Answers 1..3 are the outbound flow control; the modem-line answers
      // are not checked.
      if (value < 1 || value > 3) return;
      confirmed_.flowControl = static_cast<std::uint8_t>(value);
      if (confirmed_.flowControl != want.flowControl)
        return Fail("the server keeps flow control on its serial line");
      break;
    }
    case kComServerOffset + kComFlowSuspend:
      suspended_ = true;
      return;
    case kComServerOffset + kComFlowResume:
      suspended_ = false;
      return;
    default:  // line and modem state notices and the rest: nothing to do
      return;
  }
  CheckReady();
}

void TelnetSession::CheckReady() {
  if (phase_ != Phase::Negotiating) return;
  const LineSettings want = Wanted();
  if (confirmed_.baud == want.baud && confirmed_.dataSize == want.dataSize &&
      confirmed_.parity == want.parity && confirmed_.stopSize == want.stopSize &&
      confirmed_.flowControl == want.flowControl) {
    phase_ = Phase::Ready;
  }
}

void TelnetSession::Fail(const std::string& why) {
  phase_ = Phase::Failed;
  failure_ = why;
}

}  // namespace dsp::telnet
