#pragma once
// The dsp-emulator program as a child process, for end-to-end tests: starts
// it with the given arguments, reads the terminal path it prints first, and
// stops it (SIGTERM by default) when destroyed.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace dsp::posix {

// The emulator binary: $DSP_EMULATOR, else dsp-emulator next to the running
// executable (the build puts both in the build folder).
std::filesystem::path EmulatorBinary();

class EmulatorProcess {
 public:
  explicit EmulatorProcess(std::vector<std::string> args);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  // The pseudo-terminal path the program printed; empty if it did not start.
  const std::string& path() const { return path_; }
  // Sends the signal and waits; returns the wait status, -1 when not running.
  int Stop(int signal);

 private:
  pid_t pid_ = -1;
  std::string path_;
};

}  // namespace dsp::posix
