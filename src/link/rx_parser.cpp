// Receive side of the device link: splits the port's byte stream into the
// processor's acknowledgements (FE BB / FE AA) and block frames, and stores
// what the block frames carry.
//
// One arrival notification handles at most one message: a message completed
// here leaves the bytes of the next one in the port's queue until more bytes
// arrive. The hunt and the header are read byte by byte, the body of a block
// frame in one read once all of it is waiting.

#include <string>

#include "link/device_link.h"
#include "link/frames.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kMaxNameChars = kModeNameLength;
// Slots of channel 9 replies that carry nothing to store. The reply to the
// download's request of 0x0902 is the processor's current mode: it is kept
// (system slot 2), so the mode label and list show the mode the processor
// is in rather than mode 1 after every connection.
bool IgnoredSystemSlot(int slot) {
  return slot == 1 || slot == 15 || slot == 16 || slot == 48;
}

}  // namespace

std::string HexDump(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

void DeviceLink::Log(const std::string& line) {
  view_.AppendLog(line);
}

void DeviceLink::ResetRx() {
  rxBuffer_.clear();
  rxState_ = RxState::Hunting;
  rxExpected_ = 0;
  rxHave_ = 0;
}

void DeviceLink::ComPortRxChar(std::size_t count) {
  if (rxState_ == RxState::Hunting) HuntStep(count);
  if (rxState_ == RxState::Header) HeaderStep(count);
  if (rxState_ == RxState::Body) BodyStep(count);
}

void DeviceLink::HuntStep(std::size_t count) {
  rxBuffer_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    if (port_.BytesAvailable() == 0) return;
    const Bytes byte = port_.Read(1);
    if (byte.empty()) return;
    if (byte[0] == FrameStart || byte[0] == ShortStart) {
      rxBuffer_.assign(1, byte[0]);
      rxState_ = RxState::Header;
      rxExpected_ = byte[0] == FrameStart ? 3 : 1;
      rxHave_ = 0;
      return;
    }
  }
}

void DeviceLink::HeaderStep(std::size_t count) {
  const std::uint16_t start = rxHave_;
  // Header bytes that are not waiting yet are left for the next notification
  // instead of blocking the UI thread on the read timeout.
  while (rxHave_ < rxExpected_ && static_cast<std::size_t>(rxHave_ - start) < count &&
         port_.BytesAvailable() > 0) {
    const Bytes byte = port_.Read(1);
    if (byte.empty()) break;
    rxBuffer_.push_back(byte[0]);
    ++rxHave_;
  }
  if (rxHave_ != rxExpected_) return;

  if (rxExpected_ == 3) {
    // FC, sync, length, command. The length counts the address, payload and
    // checksum bytes; below 4 there is no room for them, so such a frame
    // (a line error) is dropped like one with a bad sync or command byte.
    const bool valid = rxBuffer_[1] == FrameSync &&
                       (rxBuffer_[3] == CmdWrite || rxBuffer_[3] == CmdRequest) && rxBuffer_[2] >= 4;
    if (valid) {
      rxState_ = RxState::Body;
      rxExpected_ = static_cast<std::uint16_t>(rxBuffer_[2] - 1);
      rxHave_ = 0;
    } else {
      ResetRx();
    }
    return;
  }

  // Short message: FE then BB or AA.
  if (rxBuffer_[1] == AckBB || rxBuffer_[1] == AckAA) {
    const PacingChange change(*this);
    DeviceAnswered = 1;
    if (TakeAcknowledgement()) TxReady = 1;
    TransferEvent = 1;
  }
  ResetRx();
}

void DeviceLink::BodyStep(std::size_t count) {
  // The body is read once the whole remainder is really waiting in the port.
  // The notification's count is no guide: it also covered the bytes consumed
  // above (stray bytes, the header, or only part of it when the start byte
  // came with an earlier notification), so judging by it would either read a
  // short body or leave a complete one waiting for an arrival that may never
  // come. A frame is never applied from fewer bytes than its length announces.
  const std::size_t remaining = static_cast<std::size_t>(rxExpected_ - rxHave_);
  if (port_.BytesAvailable() < remaining) return;
  Log(Tr(DSP_TRANSLATE_NOOP("Link", "缓存长度K:C:L=%1 %2 %3"),
         {std::to_string(count), std::to_string(count), std::to_string(rxExpected_)}));
  const Bytes body = port_.Read(remaining);
  const std::size_t got = std::min(body.size(), remaining);
  rxBuffer_.insert(rxBuffer_.end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(got));
  rxHave_ = static_cast<std::uint16_t>(rxHave_ + got);
  if (rxHave_ != rxExpected_) return;  // the rest comes with a later notification
  const Bytes frame = rxBuffer_;
  ResetRx();
  StoreReply(frame);
  TransferEvent = 2;
}

void DeviceLink::StoreReply(const Bytes& frame) {
  // A complete block frame is FC B1 n cmd hi lo payload(n - 4) checksum.
  if (frame.size() < 7 || frame[2] < 4 || frame.size() != static_cast<std::size_t>(frame[2]) + 3) return;
  const std::size_t total = frame.size();
  const int n = frame[2];
  const int channel = frame[4];
  const int slot = frame[5];
  const std::size_t payloadLength = static_cast<std::size_t>(n - 4);
  const std::uint8_t* payload = frame.data() + 6;

  unsigned sum = frame[0];
  for (std::size_t i = 3; i + 1 < total; ++i) sum += frame[i];
  const unsigned computed = (sum & 0xFF) ^ frame[1];
  const unsigned received = frame[total - 1];
  if (computed != received) {
    Log(std::to_string(channel) + "********************");
    Log(Tr(DSP_TRANSLATE_NOOP("Link", "校验数据匹配不一致:%1得到的验证数据：%2"),
           {std::to_string(computed), std::to_string(received)}));
    Log(Tr(DSP_TRANSLATE_NOOP("Link", "接收到的错误数据：%1"), {HexDump(frame)}));
    // Applied all the same: processors in the field rely on it.
  }

  if (channel < 9) {
    // Channel block data from device index `slot` on; values that would land
    // past the end of the row address nothing and are dropped.
    // A verify read keeps them in its scratch copy instead.
    const std::size_t values = payloadLength / 2;
    for (std::size_t k = 0; k < values; ++k) {
      const int index = slot + static_cast<int>(k);
      if (index >= kDeviceSlots) break;
      const int value = payload[2 * k] + 256 * payload[2 * k + 1];
      if (verifying_) {
        verifyImage_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index)] = value;
      } else {
        store_.SetDevice(channel, index, value);
      }
    }
    return;
  }
  // A verify read asks for channel blocks only; nothing else it hears may
  // reach the stores.
  if (verifying_) return;

  if (slot == 0) {
    // Mode name: one byte per character, code - 32. A name longer than the
    // processor's 20 characters is dropped unless the payload is long enough
    // to be cut (more than 21 bytes).
    const std::size_t chars = n - 5 > kMaxNameChars ? kMaxNameChars : payloadLength;
    std::string name;
    for (std::size_t i = 0; i < chars; ++i) {
      const int code = payload[i] + 32;
      name += code > 127 ? '?' : static_cast<char>(code);
    }
    if (name.size() <= kMaxNameChars && ModeNameIndex >= 1 && ModeNameIndex <= kModeCount)
      store_.ModeNames[static_cast<std::size_t>(ModeNameIndex - 1)] = name;
    return;
  }
  if (IgnoredSystemSlot(slot)) return;
  if (slot == 4 || slot == 5) {
    std::string digits;
    for (std::size_t i = 0; i < payloadLength; ++i) digits += std::to_string(payload[i]);
    (slot == 4 ? store_.SystemPassword : store_.LockPassword) = digits;
    return;
  }
  if (slot == 64) {
    if (payloadLength < 4) return;  // no complete identification to show
    static const char* hex = "0123456789ABCDEF";
    std::string id;
    for (std::size_t i = 0; i < 4; ++i) {
      id += hex[payload[i] >> 4];
      id += hex[payload[i] & 15];
    }
    DeviceId = id;
    view_.ShowDeviceId(id);
    return;
  }
  // System values live in row 9 only; channels above 9 have no row. A reply
  // without a 16-bit value carries nothing to store.
  if (slot < 48 && channel == 9 && payloadLength >= 2)
    store_.SetDevice(9, slot, payload[0] + 256 * payload[1]);
}

}  // namespace dsp
