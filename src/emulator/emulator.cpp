#include "emulator/emulator.h"

#include <algorithm>

#include "link/device_link.h"
#include "link/frames.h"
#include "store/eq_defaults.h"

namespace dsp {

namespace {

int U16(const Bytes& payload, std::size_t at) {
  return at + 1 < payload.size() ? payload[at] + 256 * payload[at + 1] : 0;
}

void SetCell(ProcessorEmulator::Image& image, int channel, int index, int value) {
  if (ParamStore::ValidDevice(channel, index))
    image[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index)] = value;
}

// A value frame to a parameter (not a command address) or a band frame.
bool IsParameterWrite(int address, const Bytes& payload) {
  const int channel = ChannelOf(address);
  if (channel >= 0 && channel <= 8) return true;
  if (channel != 9 || payload.size() != 2) return false;
  switch (address) {
    case AddrLinkControl:
    case AddrBlockUpload:
    case AddrModeSave:
    case AddrModeRecall:
    case AddrSystemPassword:
    case AddrLockPassword:
      return false;
    default:
      return true;
  }
}

std::string DigitText(const Bytes& payload) {
  std::string text;
  for (std::uint8_t b : payload) text += std::to_string(b);
  return text;
}

}  // namespace

ProcessorEmulator::ProcessorEmulator(EmulatorFaults f) : faults(f), rng_(f.seed ? f.seed : 1) {
  // A recognisable default setting: every value differs and stays in 0..180.
  for (int c = 0; c < kStoreChannels; ++c)
    for (int i = 0; i < kDeviceSlots; ++i)
      image[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = (c * 37 + i * 11) % 181;
  image[0][1] = 0;  // sing scene
  image[9][2] = 0;  // current mode
  for (int m = 0; m < kModeCount; ++m) {
    modeNames[static_cast<std::size_t>(m)] = "Mode " + std::to_string(m + 1);
    modeSlots[static_cast<std::size_t>(m)] = image;
    for (int c = 0; c < 9; ++c) modeSlots[static_cast<std::size_t>(m)][static_cast<std::size_t>(c)][5] = m;
  }
}

std::uint32_t ProcessorEmulator::NextRandom() {
  // xorshift32: small, deterministic for a given seed.
  rng_ ^= rng_ << 13;
  rng_ ^= rng_ >> 17;
  rng_ ^= rng_ << 5;
  return rng_;
}

void ProcessorEmulator::FillRandom(std::uint32_t seed) {
  rng_ = seed ? seed : 1;
  for (auto& row : image)
    for (auto& v : row) v = static_cast<std::int32_t>(NextRandom() % 181);
  image[0][1] = static_cast<std::int32_t>(NextRandom() % 2);
  image[9][2] = static_cast<std::int32_t>(NextRandom() % kModeCount);
  for (int m = 0; m < kModeCount; ++m) {
    std::string name;
    const std::size_t length = NextRandom() % (kModeNameLength + 1);
    for (std::size_t i = 0; i < length; ++i) name += static_cast<char>('!' + NextRandom() % 94);
    modeNames[static_cast<std::size_t>(m)] = name;
    for (auto& row : modeSlots[static_cast<std::size_t>(m)])
      for (auto& v : row) v = static_cast<std::int32_t>(NextRandom() % 181);
  }
  systemPassword.clear();
  for (int i = 0; i < 6; ++i) systemPassword += static_cast<char>('0' + NextRandom() % 10);
  lockPassword.clear();
  for (int i = 0; i < 4; ++i) lockPassword += static_cast<char>('0' + NextRandom() % 10);
  for (auto& b : id) b = static_cast<std::uint8_t>(NextRandom());
  rng_ = faults.seed ? faults.seed : 1;
}

void ProcessorEmulator::LoadFactorySetting() {
  ParamStore defaults;
  ResetEqStores(defaults, kAllEqualisers);
  image = defaults.DeviceImage;
  // Both scene copies of a panel slot.
  auto set = [this](int channel, int slot, int value) {
    for (int scene = 0; scene < 2; ++scene)
      image[static_cast<std::size_t>(channel)][static_cast<std::size_t>(DeviceIndex(channel, slot, scene))] =
          value;
  };
  set(0, 0, 1);  // manual mode: the music equaliser can be edited
  const int echo[] = {1, 60, 1, 80, 0, 194, 20, 100, 40, 50, 0};
  for (int s = 0; s < 11; ++s) set(3, s, echo[s]);
  const int reverb[] = {1, 50, 1, 80, 32, 10, 0, 194};
  for (int s = 0; s < 8; ++s) set(4, s, reverb[s]);
  for (int c : {5, 6, 7, 8}) {
    for (int s : {0, 4, 8, 12}) set(c, s, 50);  // levels 100 %
    for (int s : {2, 6, 10, 14}) set(c, s, 1);  // phases "+"
  }
  set(6, 0, 100);
  set(6, 8, 2);  // high-pass type "Link Riley 24dB", off
  set(6, 12, 8);
  set(6, 14, 2);  // low-pass type, 135 Hz
  set(6, 16, 100);
  set(6, 18, 8);
  // Limiters: attack, release, threshold (14 dBu: out of the way), ratio.
  for (int c : {5, 6, 7}) {
    set(c, 20, 5);
    set(c, 21, 3);
    set(c, 22, 34);
  }
  set(8, 18, 5);
  set(8, 19, 3);
  set(8, 20, 34);
  auto& system = image[9];
  system[3] = 1;
  for (int s = 6; s <= 11; ++s) system[static_cast<std::size_t>(s)] = (s % 2 == 0) ? 30 : 84;
  for (int s = 32; s <= 34; ++s) system[static_cast<std::size_t>(s)] = 40;
  static const char* names[] = {"Standard", "KTV", "Party", "Movie", "Music", "Live"};
  for (int m = 0; m < kModeCount; ++m) {
    modeNames[static_cast<std::size_t>(m)] = m < 6 ? names[m] : "Mode " + std::to_string(m + 1);
    modeSlots[static_cast<std::size_t>(m)] = image;
  }
}

Bytes ProcessorEmulator::TakePiece() {
  if (output_.empty()) return {};
  Bytes piece = std::move(output_.front());
  output_.pop_front();
  return piece;
}

void ProcessorEmulator::Feed(const Bytes& bytes) {
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  std::size_t pos = 0;
  while (true) {
    // Resynchronise on FC B1; anything else is line noise.
    while (pos < input_.size() && input_[pos] != FrameStart) ++pos;
    if (input_.size() - pos < 3) break;
    if (input_[pos + 1] != FrameSync || input_[pos + 2] < 4) {
      ++pos;
      continue;
    }
    const std::size_t total = static_cast<std::size_t>(input_[pos + 2]) + 3;
    if (input_.size() - pos < total) break;
    Bytes frame(input_.begin() + static_cast<std::ptrdiff_t>(pos),
                input_.begin() + static_cast<std::ptrdiff_t>(pos + total));
    pos += total;
    Handle(frame);
  }
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void ProcessorEmulator::Handle(const Bytes& frame) {
  const std::uint8_t command = frame[3];
  const int address = frame[4] * 256 + frame[5];
  const Bytes payload(frame.begin() + 6, frame.end() - 1);
  if (FrameChecksum(command, address, payload) != frame.back() ||
      (command != CmdWrite && command != CmdRequest)) {
    ++checksumErrors;
    frameLog.push_back("bad: " + HexDump(frame));
    return;
  }
  bool ackLost = false;
  if (command == CmdWrite && IsParameterWrite(address, payload)) {
    ++parameterFrames;
    if (faults.loseEvery > 0 && parameterFrames % faults.loseEvery == 0) {
      // Lost on the way: the processor never sees it.
      ++framesLost;
      frameLog.push_back("lost: " + HexDump(frame));
      return;
    }
    ackLost = faults.loseAckEvery > 0 && parameterFrames % faults.loseAckEvery == 0;
  }
  ++framesReceived;
  frameLog.push_back(HexDump(frame));
  if (faults.silentAfter >= 0 && framesReceived > faults.silentAfter) return;
  if (command == CmdWrite) {
    if (ackLost)
      ++acksLost;
    else
      Reply({ShortStart, faults.ackAA ? AckAA : AckBB}, false);
    HandleWrite(address, payload);
  } else {
    HandleRequest(address, payload);
  }
}

void ProcessorEmulator::HandleWrite(int address, const Bytes& payload) {
  const int channel = ChannelOf(address);
  const int slot = SlotOf(address);
  const int scene = Scene();
  if (channel <= 8 && payload.size() == 12 && address == EqBlockAddress[static_cast<std::size_t>(channel)]) {
    // One EQ band: band number and its five fields, into the current scene.
    const int band = U16(payload, 0);
    for (int f = 0; f < 5; ++f) {
      const int panelSlot = EqSlot(channel, band, f);
      SetCell(image, channel, DeviceIndex(channel, panelSlot, scene), U16(payload, 2 + 2 * f));
    }
    return;
  }
  if (channel <= 8) {
    const int value = U16(payload, 0);
    valueWrites.emplace_back(address, value);
    SetCell(image, channel, DeviceIndex(channel, slot, scene), value);
    return;
  }
  switch (address) {
    case AddrLinkControl: {
      const int code = U16(payload, 0);
      if (code == LinkHello) ++hellos;
      if (code == LinkHeartbeat) ++heartbeats;
      if (code == LinkGoodbye) ++goodbyes;
      return;
    }
    case AddrBlockUpload: {
      const int c = U16(payload, 0);
      if (c < 0 || c > 8) return;
      ++uploads;
      if (faults.ignoreUploads) return;
      const int n = std::min<int>(TransferLength[static_cast<std::size_t>(c)],
                                  static_cast<int>(payload.size() / 2) - 1);
      for (int i = 0; i < n; ++i) SetCell(image, c, i, U16(payload, 2 + 2 * static_cast<std::size_t>(i)));
      return;
    }
    case AddrModeSave: {
      if (payload.size() < 2 || payload[0] >= kModeCount) return;
      std::string name;
      for (std::size_t i = 2; i < payload.size() && i < 22; ++i) name += static_cast<char>(payload[i] + 32);
      // Unused name positions are sent as 0 (a space): trim them.
      while (!name.empty() && name.back() == ' ') name.pop_back();
      modeNames[payload[0]] = name;
      modeSlots[payload[0]] = image;
      return;
    }
    case AddrModeRecall: {
      const int mode = U16(payload, 0);
      valueWrites.emplace_back(address, mode);
      if (mode < 0 || mode >= kModeCount) return;
      const auto& stored = modeSlots[static_cast<std::size_t>(mode)];
      for (int c = 0; c < 9; ++c) image[static_cast<std::size_t>(c)] = stored[static_cast<std::size_t>(c)];
      image[9][2] = mode;
      return;
    }
    case AddrSystemPassword:
      systemPassword = DigitText(payload);
      return;
    case AddrLockPassword:
      lockPassword = DigitText(payload);
      return;
    default:
      if (channel == 9 && payload.size() == 2) {
        valueWrites.emplace_back(address, U16(payload, 0));
        SetCell(image, 9, slot, U16(payload, 0));
      }
      return;
  }
}

void ProcessorEmulator::HandleRequest(int address, const Bytes& payload) {
  Bytes data;
  int replyAddress = address;
  if (address == AddrBlockRequest) {
    const int c = U16(payload, 0);
    if (c < 0 || c > 8) {
      AppendU16(data, 0);
    } else {
      replyAddress = MakeAddress(c, 0);
      for (int i = 0; i < TransferLength[static_cast<std::size_t>(c)]; ++i)
        AppendU16(data, image[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)]);
    }
  } else if (address == AddrModeName) {
    const int mode = U16(payload, 0);
    if (mode >= 0 && mode < kModeCount)
      for (char ch : modeNames[static_cast<std::size_t>(mode)])
        data.push_back(static_cast<std::uint8_t>(static_cast<unsigned char>(ch) - 32));
  } else if (address == AddrSystemPassword || address == AddrLockPassword) {
    for (char ch : address == AddrSystemPassword ? systemPassword : lockPassword)
      data.push_back(static_cast<std::uint8_t>(ch - '0'));
  } else if (address == AddrDeviceId) {
    data.assign(id.begin(), id.end());
  } else if (address == AddrModeSave) {
    AppendU16(data, 0);
  } else {
    const int slot = SlotOf(address);
    AppendU16(data,
              ChannelOf(address) == 9 && slot < kDeviceSlots ? image[9][static_cast<std::size_t>(slot)] : 0);
  }
  Reply(BuildBlockFrame(CmdWrite, replyAddress, data), true);
}

void ProcessorEmulator::Reply(Bytes message, bool blockFrame) {
  if (blockFrame && faults.badChecksum) message.back() ^= 0x5A;
  Bytes line;
  if (faults.garbage) {
    // Stray bytes that never look like the start of a message.
    const std::uint32_t n = 1 + NextRandom() % 5;
    for (std::uint32_t i = 0; i < n; ++i) {
      std::uint8_t b = static_cast<std::uint8_t>(NextRandom());
      if (b == FrameStart || b == ShortStart) b = 0x00;
      line.push_back(b);
    }
  }
  line.insert(line.end(), message.begin(), message.end());
  if (faults.chunk == 0) {
    output_.push_back(std::move(line));
    return;
  }
  for (std::size_t at = 0; at < line.size(); at += faults.chunk)
    output_.emplace_back(
        line.begin() + static_cast<std::ptrdiff_t>(at),
        line.begin() + static_cast<std::ptrdiff_t>(std::min(line.size(), at + faults.chunk)));
}

}  // namespace dsp
