// Fuzz target for the receive parser: arbitrary byte streams in arbitrary
// chunkings go through the arrival notification into a fresh store. The
// sanitizers catch any access outside the parser's buffers and the stores;
// the checks below catch state that escapes its bounds.
//
// Input layout: byte 0 = mode name index (mod 17), bytes 1..8 = a cycle of
// chunk lengths (1..64), the rest = the line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>

#include "link/device_link.h"
#include "link/link_view.h"
#include "store/param_store.h"

namespace {

class LinePort : public dsp::SerialPort {
 public:
  void SetName(const std::string&) override {}
  std::string Name() const override { return "fuzz"; }
  void Open() override {}
  void Close() override {}
  bool IsOpen() const override { return true; }
  void Write(const dsp::Bytes&) override {}
  dsp::Bytes Read(std::size_t n) override {
    dsp::Bytes out;
    while (out.size() < n && !queue_.empty()) {
      out.push_back(queue_.front());
      queue_.pop_front();
    }
    return out;
  }
  std::size_t BytesAvailable() const override { return queue_.size(); }
  void Arrive(const std::uint8_t* data, std::size_t n) {
    queue_.insert(queue_.end(), data, data + n);
    NotifyArrival(queue_.size());
  }

 private:
  std::deque<std::uint8_t> queue_;
};

class QuietView : public dsp::LinkView {
 public:
  void SetStatusText(const std::string&) override {}
  void UpdateStatusDialog(const std::string&, int) override {}
  void SetStatusDialogVisible(bool) override {}
  void ShowMessage(const std::string&) override {}
  void ShowLinkButtons(bool) override {}
  void RefreshFromStore(int) override {}
  void RebuildModeList() override {}
  void ShowMainWindow() override {}
  void SetTimerRunning(dsp::LinkTimer, bool) override {}
  void AppendLog(const std::string& line) override { logBytes += line.size(); }
  void ClearLog() override {}
  void ShowDeviceId(const std::string& text) override {
    if (text.size() != 8) std::abort();
  }
  void ShowSelectedPort(int) override {}
  std::size_t logBytes = 0;
};

void Check(const dsp::DeviceLink& link, const dsp::ParamStore& store) {
  // A frame is at most 258 bytes (FC B1 FF + 255).
  if (link.rxBuffer().size() > 258) std::abort();
  if (link.rxHave() > link.rxExpected() && link.rxState() != dsp::RxState::Hunting) std::abort();
  if (link.rxState() == dsp::RxState::Body && link.rxExpected() > 254) std::abort();
  for (const auto& name : store.ModeNames)
    if (name.size() > 20) std::abort();
  // The parser writes DeviceImage only; the panel order is never touched.
  for (const auto& row : store.ParamTable)
    for (auto v : row)
      if (v != 0) std::abort();
  for (const auto& row : store.DeviceImage)
    for (auto v : row)
      if (v < 0 || v > 65535) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  dsp::ParamStore store;
  LinePort port;
  QuietView view;
  dsp::DeviceLink link(store, port, view);
  link.ModeNameIndex = data[0] % 17;
  const std::uint8_t* chunks = data + 1;
  std::size_t at = 9;
  for (std::size_t k = 0; at < size; ++k) {
    const std::size_t len = std::min<std::size_t>(size - at, 1 + chunks[k % 8] % 64);
    port.Arrive(data + at, len);
    at += len;
    Check(link, store);
  }
  // Further empty arrivals let queued messages through, one per notification.
  for (int i = 0; i < 64 && port.BytesAvailable() > 0; ++i) {
    port.Arrive(nullptr, 0);
    Check(link, store);
  }
  return 0;
}
