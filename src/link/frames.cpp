#include "link/frames.h"

#include "store/param_store.h"

namespace dsp {

std::uint8_t FrameChecksum(std::uint8_t command, int address, const Bytes& payload) {
  unsigned sum = FrameStart + command + ((address >> 8) & 0xFF) + (address & 0xFF);
  for (std::uint8_t b : payload) sum += b;
  return static_cast<std::uint8_t>((sum & 0xFF) ^ FrameSync);
}

Bytes BuildBlockFrame(std::uint8_t command, int address, const Bytes& payload) {
  Bytes body(payload.begin(), payload.size() > kMaxPayload ? payload.begin() + kMaxPayload : payload.end());
  Bytes frame;
  frame.reserve(body.size() + 7);
  frame.push_back(FrameStart);
  frame.push_back(FrameSync);
  frame.push_back(static_cast<std::uint8_t>(body.size() + 4));
  frame.push_back(command);
  frame.push_back(static_cast<std::uint8_t>((address >> 8) & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(address & 0xFF));
  frame.insert(frame.end(), body.begin(), body.end());
  frame.push_back(FrameChecksum(command, address, body));
  return frame;
}

void AppendU16(Bytes& payload, int value) {
  payload.push_back(static_cast<std::uint8_t>(value & 0xFF));
  payload.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

Bytes BuildValueFrame(std::uint8_t command, int address, int value) {
  Bytes payload;
  AppendU16(payload, value);
  return BuildBlockFrame(command, address, payload);
}

void SendBlockFrame(SerialPort& port, std::uint8_t command, int address, const Bytes& payload) {
  if (!port.IsOpen()) return;
  port.Write(BuildBlockFrame(command, address, payload));
}

void SendValueFrame(SerialPort& port, std::uint8_t command, int address, int value) {
  if (!port.IsOpen()) return;
  try {
    port.Write(BuildValueFrame(command, address, value));
  } catch (const SerialPortError&) {
    // A lost value frame is repeated by the pacing layer; nothing to report.
  }
}

void SendLinkControl(SerialPort& port, int code) {
  if (code != LinkHello && code != LinkHeartbeat && code != LinkGoodbye) return;
  SendValueFrame(port, CmdWrite, AddrLinkControl, code);
}

int StepRequestAddress(int step) {
  if (step >= 0 && step <= 8) return AddrBlockRequest;
  if (step == 9) return AddrModeName;
  if (step >= 10 && step <= 14) return 0x0901 + (step - 10);
  if (step >= 15 && step <= 23) return 0x0906 + (step - 15);
  if (step >= 24 && step <= 26) return 0x0920 + (step - 24);
  if (step == 27) return AddrDeviceId;
  return -1;
}

void SendStepRequest(SerialPort& port, const ParamStore& store, int step, bool upload, int modeNumber) {
  if (upload) {
    if (step < 0 || step > 8) return;
    Bytes payload;
    AppendU16(payload, step);
    for (int i = 0; i < TransferLength[static_cast<std::size_t>(step)]; ++i)
      AppendU16(payload, store.Device(step, i));
    SendBlockFrame(port, CmdWrite, AddrBlockUpload, payload);
    return;
  }
  if (step >= 0 && step <= 8) {
    SendValueFrame(port, CmdRequest, AddrBlockRequest, step);
  } else if (step == 9) {
    Bytes payload;
    AppendU16(payload, modeNumber);
    SendBlockFrame(port, CmdRequest, AddrModeName, payload);
  } else if (step <= kLastDownloadStep) {
    const int address = StepRequestAddress(step);
    if (address >= 0) SendBlockFrame(port, CmdRequest, address, {});
  }
}

Bytes TextCommandPayload(int address, const std::string& text) {
  Bytes payload;
  if (address == AddrModeSave) {
    for (std::size_t i = 0; i < 22; ++i) {
      if (i >= text.size()) {
        payload.push_back(0);
      } else if (i < 2) {
        payload.push_back(static_cast<std::uint8_t>(text[i]));
      } else {
        payload.push_back(static_cast<std::uint8_t>(static_cast<unsigned char>(text[i]) - 32));
      }
    }
    return payload;
  }
  for (char ch : text) payload.push_back(static_cast<std::uint8_t>(ch - '0'));
  return payload;
}

void SendTextCommand(SerialPort& port, int address, const std::string& text) {
  SendBlockFrame(port, CmdWrite, address, TextCommandPayload(address, text));
}

std::string ModeSaveText(int slot, const std::string& name) {
  std::string text;
  text.push_back(static_cast<char>(slot));
  text.push_back('\0');
  text += name;
  return text;
}

}  // namespace dsp
