#pragma once
// Wire frames between the program and the processor.
//
// Block frame: FC B1 L cmd addr-hi addr-lo payload... checksum, where
// L = payload length + 4 and the checksum is (FC + cmd + both address bytes
// + every payload byte) mod 256, XOR B1. A value frame is a block frame with
// one little-endian 16-bit value. The processor acknowledges with FE BB or
// FE AA and answers requests with block frames.
//
// Every encoder writes only while the port is open; on a closed port the
// frame is dropped without notice. None of them touches the acknowledgement
// flags: pacing is the caller's business.

#include <cstdint>
#include <string>

#include "ports/serial_port.h"

namespace dsp {

class ParamStore;

constexpr std::uint8_t FrameStart = 0xFC;
constexpr std::uint8_t FrameSync = 0xB1;
constexpr std::uint8_t CmdWrite = 0xA7;
constexpr std::uint8_t CmdRequest = 0xA0;
constexpr std::uint8_t ShortStart = 0xFE;
constexpr std::uint8_t AckBB = 0xBB;
constexpr std::uint8_t AckAA = 0xAA;

constexpr int LinkHello = 0x11;
constexpr int LinkHeartbeat = 0x66;
constexpr int LinkGoodbye = 0xAA;

// Command addresses of channel 9.
constexpr int AddrModeName = 0x0900;
constexpr int AddrModeSave = 0x0901;
constexpr int AddrModeRecall = 0x0902;
constexpr int AddrInputLevel = 0x0903;
constexpr int AddrSystemPassword = 0x0904;
constexpr int AddrLockPassword = 0x0905;
constexpr int AddrBlockUpload = 0x090F;
constexpr int AddrBlockRequest = 0x0910;
constexpr int AddrLinkControl = 0x0930;
constexpr int AddrDeviceId = 0x0940;

constexpr std::size_t kMaxPayload = 251;

// Checksum over the head byte, command, address and payload.
std::uint8_t FrameChecksum(std::uint8_t command, int address, const Bytes& payload);
// Complete frames; a payload longer than 251 bytes is cut to 251.
Bytes BuildBlockFrame(std::uint8_t command, int address, const Bytes& payload);
Bytes BuildValueFrame(std::uint8_t command, int address, int value);
// Little-endian 16-bit value appended to a payload.
void AppendU16(Bytes& payload, int value);

// Raises SerialPortError when the write fails.
void SendBlockFrame(SerialPort& port, std::uint8_t command, int address, const Bytes& payload);
// A failed write is ignored.
void SendValueFrame(SerialPort& port, std::uint8_t command, int address, int value);
// Hello (0x11), heartbeat (0x66) or goodbye (0xAA); other codes send nothing.
void SendLinkControl(SerialPort& port, int code);

// The 28 request addresses of a full download, by step (steps 0..8 are the
// channel block requests, 9 the mode names, 10..27 the system items).
int StepRequestAddress(int step);
constexpr int kLastDownloadStep = 27;
// One transfer step: a download request, or for upload the channel block of
// DeviceImage row `step` (steps 0..8 only; other steps send nothing).
void SendStepRequest(SerialPort& port, const ParamStore& store, int step, bool upload, int modeNumber = 0);

// Payload of a text command: for 0x0901 (mode save) the first two
// characters as they are, then 20 name bytes (character code - 32, 0 after
// the end; longer names are cut); for any other address one byte per
// decimal digit, its value.
Bytes TextCommandPayload(int address, const std::string& text);
void SendTextCommand(SerialPort& port, int address, const std::string& text);
// The text a mode save sends: the slot as one character, a 0 character, the name.
std::string ModeSaveText(int slot, const std::string& name);

}  // namespace dsp
