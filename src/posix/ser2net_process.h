#pragma once
// Debian's ser2net as a child process, for end-to-end tests and benchmarks:
// one serial device (the emulator's pseudo-terminal) served at two free
// loopback ports, one raw TCP accepter and one Telnet accepter with the
// serial port control option. Runs in the foreground (-n) without UUCP
// locks (-u) from a configuration written to a temporary folder; stopped
// (SIGTERM, then SIGKILL) and the folder removed when destroyed.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dsp::posix {

// The ser2net binary: $SER2NET, else ser2net on the PATH or in /usr/sbin.
std::filesystem::path Ser2netBinary();

// A loopback TCP port that nothing listens on at the moment of asking.
std::uint16_t FreeLoopbackPort();

class Ser2netProcess {
 public:
  // Serves `device` (57600 8N1, no modem lines). started() tells whether
  // both accepters listen within a few seconds.
  explicit Ser2netProcess(const std::string& device);
  // Serves each of `devices` at a raw TCP accepter of its own (a venue's
  // serial server with one accepter per room); rawUrl(i) names the i-th.
  explicit Ser2netProcess(const std::vector<std::string>& devices);
  ~Ser2netProcess();
  Ser2netProcess(const Ser2netProcess&) = delete;
  Ser2netProcess& operator=(const Ser2netProcess&) = delete;

  bool started() const { return started_; }
  std::uint16_t rawPort() const { return rawPort_; }
  std::uint16_t telnetPort() const { return telnetPort_; }
  std::string rawUrl() const { return "tcp://127.0.0.1:" + std::to_string(rawPort_); }
  std::string rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_); }
  std::string rawUrl(std::size_t device) const {
    return "tcp://127.0.0.1:" + std::to_string(device < ports_.size() ? ports_[device] : 0);
  }
  // What ser2net wrote on its standard error (for failure messages).
  std::string log() const;

  // Sends the signal and waits; returns the wait status, -1 when not running.
  int Stop(int signal);

 private:
  // Writes the configuration and starts ser2net; started_ once every port
  // in ports_ listens.
  void Launch(const std::string& yaml);

  pid_t pid_ = -1;
  std::filesystem::path dir_;
  std::vector<std::uint16_t> ports_;  // every accepter's port
  std::uint16_t rawPort_ = 0;
  std::uint16_t telnetPort_ = 0;
  bool started_ = false;
};

// True when something listens on the loopback TCP port (from /proc/net/tcp,
// without connecting: a connection would open the served device).
bool LoopbackPortListening(std::uint16_t port);

}  // namespace dsp::posix
