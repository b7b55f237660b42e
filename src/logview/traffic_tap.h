#pragma once
// A serial port that passes everything through to another one and records
// the bytes it writes and reads, as hex, in a sink (the traffic log). The
// parser reads a byte or a few at a time; what it reads is gathered into
// one line until the port's queue is empty (or something is written), so
// one line shows one arrival. The
// link uses it in place of the real port; notifications of the real port
// (arrival, device gone) are passed on.

#include <functional>
#include <string>

#include "common/translator.h"
#include "ports/serial_port.h"

namespace dsp {

class TrafficTap : public SerialPort {
 public:
  using Sink = std::function<void(const std::string& line)>;

  // The lines' words ("发送", "接收" ...) are in the language of `texts`,
  // which must outlive the tap.
  TrafficTap(SerialPort& inner, Sink sink, const Translator& texts = SourceTexts());
  ~TrafficTap() override;
  TrafficTap(const TrafficTap&) = delete;
  TrafficTap& operator=(const TrafficTap&) = delete;

  void SetName(const std::string& name) override { inner_.SetName(name); }
  std::string Name() const override { return inner_.Name(); }
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return inner_.IsOpen(); }
  void Write(const Bytes& bytes) override;
  Bytes Read(std::size_t n) override;
  std::size_t BytesAvailable() const override { return inner_.BytesAvailable(); }
  bool Opening() const override { return inner_.Opening(); }

  // Records what was read so far now, so that a line logged next (a
  // parser complaint about those bytes) comes after them.
  void FlushReceived();

 private:
  // A line: the word for what happened, then its parts.
  std::string Line(const char* pattern, std::initializer_list<std::string_view> args) const;

  void Record(const std::string& line) const;

  SerialPort& inner_;
  Sink sink_;
  const Translator& texts_;
  Bytes received_;  // read but not yet recorded
};

}  // namespace dsp
