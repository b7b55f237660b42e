#include "logview/traffic_tap.h"

#include "link/device_link.h"

namespace dsp {

TrafficTap::TrafficTap(SerialPort& inner, Sink sink, const Translator& texts)
    : inner_(inner), sink_(std::move(sink)), texts_(texts) {
  inner_.SetArrivalHandler([this](std::size_t waiting) { NotifyArrival(waiting); });
  inner_.SetGoneHandler([this](const SerialPortError& why) { NotifyGone(why); });
}

TrafficTap::~TrafficTap() {
  FlushReceived();
  inner_.SetArrivalHandler(nullptr);
  inner_.SetGoneHandler(nullptr);
}

std::string TrafficTap::Line(const char* pattern, std::initializer_list<std::string_view> args) const {
  return FormatText(texts_.Translate("Traffic", pattern), args);
}

void TrafficTap::Record(const std::string& line) const {
  if (sink_) sink_(line);
}

void TrafficTap::Open() {
  try {
    inner_.Open();
  } catch (const SerialPortError& e) {
    Record(Line(DSP_TRANSLATE_NOOP("Traffic", "打开失败 %1: %2"), {inner_.Name(), e.what()}));
    throw;
  }
  Record(Line(DSP_TRANSLATE_NOOP("Traffic", "打开 %1"), {inner_.Name()}));
}

void TrafficTap::FlushReceived() {
  if (received_.empty()) return;
  Record(Line(DSP_TRANSLATE_NOOP("Traffic", "接收 %1"), {HexDump(received_)}));
  received_.clear();
}

void TrafficTap::Close() {
  FlushReceived();
  const bool wasOpen = inner_.IsOpen();
  inner_.Close();
  if (wasOpen) Record(Line(DSP_TRANSLATE_NOOP("Traffic", "关闭 %1"), {inner_.Name()}));
}

void TrafficTap::Write(const Bytes& bytes) {
  FlushReceived();
  try {
    inner_.Write(bytes);
  } catch (const SerialPortError& e) {
    Record(Line(DSP_TRANSLATE_NOOP("Traffic", "发送失败 %1: %2"), {HexDump(bytes), e.what()}));
    throw;
  }
  Record(Line(DSP_TRANSLATE_NOOP("Traffic", "发送 %1"), {HexDump(bytes)}));
}

Bytes TrafficTap::Read(std::size_t n) {
  Bytes bytes = inner_.Read(n);
  received_.insert(received_.end(), bytes.begin(), bytes.end());
  if (inner_.BytesAvailable() == 0 || received_.size() >= 256) FlushReceived();
  return bytes;
}

}  // namespace dsp
