#include "logview/traffic_tap.h"

#include "link/device_link.h"

namespace dsp {

TrafficTap::TrafficTap(SerialPort& inner, Sink sink) : inner_(inner), sink_(std::move(sink)) {
  inner_.SetArrivalHandler([this](std::size_t waiting) { NotifyArrival(waiting); });
  inner_.SetGoneHandler([this](const SerialPortError& why) { NotifyGone(why); });
}

TrafficTap::~TrafficTap() {
  FlushReceived();
  inner_.SetArrivalHandler(nullptr);
  inner_.SetGoneHandler(nullptr);
}

void TrafficTap::Record(const std::string& line) const {
  if (sink_) sink_(line);
}

void TrafficTap::Open() {
  try {
    inner_.Open();
  } catch (const SerialPortError& e) {
    Record(std::string("打开失败 ") + inner_.Name() + ": " + e.what());
    throw;
  }
  Record("打开 " + inner_.Name());
}

void TrafficTap::FlushReceived() {
  if (received_.empty()) return;
  Record("接收 " + HexDump(received_));
  received_.clear();
}

void TrafficTap::Close() {
  FlushReceived();
  const bool wasOpen = inner_.IsOpen();
  inner_.Close();
  if (wasOpen) Record("关闭 " + inner_.Name());
}

void TrafficTap::Write(const Bytes& bytes) {
  FlushReceived();
  try {
    inner_.Write(bytes);
  } catch (const SerialPortError& e) {
    Record("发送失败 " + HexDump(bytes) + ": " + e.what());
    throw;
  }
  Record("发送 " + HexDump(bytes));
}

Bytes TrafficTap::Read(std::size_t n) {
  Bytes bytes = inner_.Read(n);
  received_.insert(received_.end(), bytes.begin(), bytes.end());
  if (inner_.BytesAvailable() == 0 || received_.size() >= 256) FlushReceived();
  return bytes;
}

}  // namespace dsp
