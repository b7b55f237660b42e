#pragma once
// One processor reached from the command line: the application's port
// (serial or network by name), the device link driven by QTimers through a
// ConsoleView, and the steps the commands are made of, each run to its end
// in a local event loop. A step returns false when it failed; error() then
// holds the one line that tells the user why.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/console_view.h"
#include "cli/watched_port.h"
#include "link/device_link.h"
#include "ports/serial_port.h"
#include "store/param_store.h"

namespace dsp::cli {

class DeviceSession {
 public:
  // `ports` are scanned in order (the machine's serial ports when empty);
  // progress goes to `progress`.
  DeviceSession(std::vector<std::string> ports, std::FILE* progress, bool progressIsTerminal);
  // Says goodbye to a linked processor and closes the port.
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Finds the processor and downloads everything it holds.
  bool Connect();
  // Downloads everything again on the open line.
  bool DownloadAgain();
  // Sends the device image's channel blocks 0..8 to the processor.
  bool Upload();
  // Switches the processor to mode slot 0..14 and reloads its setting.
  bool RecallMode(int slot);
  // Stores the processor's current setting into slot 0..14 under `name`.
  bool SaveMode(int slot, const std::string& name);

  ParamStore& store() { return store_; }
  const DeviceLink& link() const { return *link_; }
  // The port the processor answered on.
  std::string portName() const { return port_->Name(); }
  const std::string& error() const { return error_; }

 private:
  // Runs the event loop until `done` holds, a link failure or loss is
  // shown, or `timeoutMs` passes. `what` names the step in error lines.
  bool RunStep(const char* what, int timeoutMs, const std::function<bool()>& done);
  // Waits (briefly) until no frame is in flight, so that a sequence does
  // not start under a late acknowledgement.
  void WaitQuiet();
  bool Fail(const std::string& line);

  std::vector<std::string> ports_;
  ParamStore store_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<WatchedPort> watched_;
  std::unique_ptr<ConsoleView> view_;
  std::unique_ptr<DeviceLink> link_;
  std::string error_;
};

}  // namespace dsp::cli
