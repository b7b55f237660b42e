#pragma once
// Pseudo-terminal pairs: the emulator tool serves the processor on the
// controller side, and tests open a real pair to drive the serial adapter.
// POSIX only; not part of the core library.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dsp::posix {

class PtyPair {
 public:
  // Opens a pair in raw mode. Throws std::runtime_error on failure.
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Path of the terminal side (what a serial port opens, e.g. /dev/pts/3).
  const std::string& devicePath() const { return path_; }
  // The controlling side's file descriptor.
  int controllerFd() const { return controller_; }
  // Keeps the terminal side open so that writes made before the client
  // opens it do not fail and the pair stays usable between clients.
  void holdDevice();

  // Writes all bytes to the controlling side.
  void write(const std::vector<std::uint8_t>& bytes);
  // Reads what arrives on the controlling side within timeoutMs (at most max
  // bytes); returns early once at least one byte has arrived and no more
  // follows within idleMs.
  std::vector<std::uint8_t> read(std::size_t max, int timeoutMs, int idleMs = 20);

 private:
  int controller_ = -1;
  int held_ = -1;
  std::string path_;
};

}  // namespace dsp::posix
