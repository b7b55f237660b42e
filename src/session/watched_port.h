#pragma once
// A port that passes everything through to another and remembers the last
// thing that went wrong with it: an open that failed, or the line going
// away (unplugged, refused, closed by the server). The command line tells
// the user that reason in its one error line.

#include <optional>
#include <string>

#include "ports/serial_port.h"

namespace dsp {

class WatchedPort : public SerialPort {
 public:
  explicit WatchedPort(SerialPort& inner);
  ~WatchedPort() override;
  WatchedPort(const WatchedPort&) = delete;
  WatchedPort& operator=(const WatchedPort&) = delete;

  void SetName(const std::string& name) override { inner_.SetName(name); }
  std::string Name() const override { return inner_.Name(); }
  void Open() override;
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  void Write(const Bytes& bytes) override { inner_.Write(bytes); }
  Bytes Read(std::size_t n) override { return inner_.Read(n); }
  std::size_t BytesAvailable() const override { return inner_.BytesAvailable(); }
  bool Opening() const override { return inner_.Opening(); }

  // The last problem, in English, with the port's name; empty when none.
  const std::string& LastProblem() const { return problem_; }
  void ForgetProblem() { problem_.clear(); }

 private:
  void Note(const std::string& name, const SerialPortError& error);

  SerialPort& inner_;
  std::string problem_;
};

// What the command line says about a port that failed, in English.
std::string ProblemText(const std::string& name, const SerialPortError& error);

}  // namespace dsp
