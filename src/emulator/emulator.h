#pragma once
// A model of the processor: it reads the program's frames (in any chunking),
// answers them as the real unit does (FE BB or FE AA for every write, a block
// frame for every request) and keeps its own setting, mode names, stored
// modes, passwords and identification. It serves the in-process test port
// (EmulatedPort) and the dsp-emulator tool on a pseudo-terminal, for tests
// and for users without hardware.
//
// Faults can be injected: silence after a number of frames, stray bytes
// before every reply, replies split into small pieces, wrong checksums, and
// FE AA in place of FE BB, block uploads acknowledged and dropped, and a
// lossy line: every Nth parameter or band frame lost on its way (neither
// applied nor acknowledged), or applied with its acknowledgement lost.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "ports/serial_port.h"
#include "store/param_store.h"

namespace dsp {

struct EmulatorFaults {
  long silentAfter = -1;       // frames answered before falling silent (-1: never)
  bool garbage = false;        // 1..5 stray bytes before every reply
  std::size_t chunk = 0;       // replies delivered in pieces of this many bytes (0: whole)
  bool badChecksum = false;    // every block frame reply carries a wrong checksum
  bool ackAA = false;          // acknowledge with FE AA instead of FE BB
  bool ignoreUploads = false;  // acknowledge channel block uploads but keep the setting
  long loseEvery = 0;          // every Nth parameter or band frame is lost on the line (0: none)
  long loseAckEvery = 0;       // every Nth one is applied but its acknowledgement lost (0: none)
  std::uint32_t seed = 1;      // for the stray bytes
};

class ProcessorEmulator {
 public:
  // Rows 0..8: channel blocks in device order; row 9: system values.
  using Image = std::array<std::array<std::int32_t, kDeviceSlots>, kStoreChannels>;

  explicit ProcessorEmulator(EmulatorFaults faults = {});

  // Bytes from the program; complete frames are answered and applied.
  void Feed(const Bytes& bytes);
  // Replies not yet taken, one entry per piece the line delivers at once.
  bool HasOutput() const { return !output_.empty(); }
  Bytes TakePiece();
  void DropOutput() { output_.clear(); }

  // A random setting (every value within 0..180) and names.
  void FillRandom(std::uint32_t seed);
  // A plausible factory setting: flat equalisers with the default bands,
  // filters off, moderate levels, manual mode, named modes. The tool starts
  // from it so a user without hardware sees a sensible processor.
  void LoadFactorySetting();
  int Scene() const { return (image[0][1] & 0xFF) != 0 ? 1 : 0; }

  EmulatorFaults faults;
  Image image{};
  std::array<std::string, kModeCount> modeNames{};
  std::array<Image, kModeCount> modeSlots{};  // stored settings (rows 0..8 used)
  std::string systemPassword = "123456";
  std::string lockPassword = "1234";
  std::array<std::uint8_t, 4> id{0x12, 0x34, 0xAB, 0xCD};

  // What was received: every complete frame in hex, and the value writes
  // (resolved address, value) in order of arrival.
  std::vector<std::string> frameLog;
  std::vector<std::pair<int, int>> valueWrites;
  long framesReceived = 0;
  int hellos = 0;
  int heartbeats = 0;
  int goodbyes = 0;
  int uploads = 0;
  int checksumErrors = 0;
  long parameterFrames = 0;  // parameter and band frames that reached the line
  long framesLost = 0;       // of them, lost on the way (--lose-every)
  long acksLost = 0;         // applied, acknowledgement lost (--lose-ack-every)

 private:
  void Handle(const Bytes& frame);
  void HandleWrite(int address, const Bytes& payload);
  void HandleRequest(int address, const Bytes& payload);
  void Reply(Bytes message, bool blockFrame);
  std::uint32_t NextRandom();

  Bytes input_;
  std::deque<Bytes> output_;
  std::uint32_t rng_;
};

}  // namespace dsp
