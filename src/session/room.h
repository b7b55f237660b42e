#pragma once
// One room: the owning object of everything that reaches one processor —
// its port (the application's port, serial or network by name), the device
// link with its own stores, pacing and timers — and the operations the
// commands are made of. Several rooms live side by side on one event loop:
// nothing is shared between them.
//
// An operation runs to completion on its own: it starts at once, advances
// as the link's events and timer ticks come from the event loop, and ends
// by calling its `done` callback, always from the event loop and never
// inside the call that started it. `done(true)` when it succeeded;
// `done(false)` with error() holding the one line (English) that says why.
// One operation at a time: starting one while another runs fails it with
// "the processor is busy".
//
// A room may also be kept linked for long (a server): after Connect() the
// heartbeat runs on its own, SetAutoReconnect(true) looks again for a lost
// processor in the background as the window does, and OnStatusChanged
// tells when the link's status text changes (linked, lost, searching).

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "ports/serial_port.h"
#include "store/param_store.h"

namespace dsp {

class WatchedPort;

class Room {
 public:
  using Done = std::function<void(bool ok)>;

  // `ports` are scanned in order when connecting (the machine's serial
  // ports when empty); the port is the application's (MakePort()).
  Room(std::string name, std::vector<std::string> ports);
  // The same on a port given by the caller (tests: an in-process port).
  Room(std::string name, std::vector<std::string> ports, std::unique_ptr<SerialPort> port);
  // Ends a running operation without calling its `done`, says goodbye to a
  // linked processor and closes the port.
  ~Room();
  Room(const Room&) = delete;
  Room& operator=(const Room&) = delete;

  // Finds the processor on the ports and downloads everything it holds.
  void Connect(Done done);
  // Downloads everything again on the open line.
  void Download(Done done);
  // Clears the channel rows 0..8 of the device image, then downloads again:
  // afterwards the rows hold only what the processor sent (nothing stale
  // can pass a comparison).
  void Verify(Done done);
  // Sends the device image's channel blocks 0..8 to the processor.
  void Upload(Done done);
  // Switches the processor to mode slot 0..14; done once it has reloaded
  // its setting.
  void RecallMode(int slot, Done done);
  // Stores the processor's current setting into slot 0..14 under `name`.
  void SaveMode(int slot, const std::string& name, Done done);

  // Ends the running operation (its `done` runs with false and the error
  // "stopped"), says goodbye to a linked processor and closes the port.
  // The room can connect again afterwards.
  void Close();

  // True while an operation runs.
  bool Busy() const { return static_cast<bool>(op_.done); }
  // True while the processor is linked and idle.
  bool Linked() const;

  // Long-lived use: a lost processor is looked for again in the
  // background, on the room's ports, until it answers (see DeviceLink).
  void SetAutoReconnect(bool on);
  // The link's status text changed (its source text is link().StatusText()).
  std::function<void()> OnStatusChanged;
  // Progress of a transfer: the phase ("downloading", "uploading",
  // "verifying", "loading") and its percent; called on every step.
  std::function<void(const std::string& phase, int percent)> OnProgress;

  const std::string& name() const { return name_; }
  const std::vector<std::string>& ports() const { return ports_; }
  ParamStore& store() { return store_; }
  const ParamStore& store() const { return store_; }
  DeviceLink& link() { return *link_; }
  const DeviceLink& link() const { return *link_; }
  // The port the processor answered on (the one tried last).
  std::string portName() const;
  // Why the last operation failed; empty after one that succeeded.
  const std::string& error() const { return error_; }

 private:
  class View;
  struct Operation {
    const char* what = "";  // names the step in error lines
    std::string phase;      // progress phase, empty: none
    std::function<bool()> finished;
    std::function<void()> start;
    Done done;
    int quietWaits = 0;
    bool started = false;
    int before = 0;     // completions when it started
    std::string error;  // set by `start` when it could not send anything
  };

  void Begin(const char* what, std::string phase, std::function<void()> start,
             std::function<bool(int before)> finished, Done done);
  // A sequence starts only when no frame is in flight, so that it does not
  // start under a late acknowledgement: checked every 10 ms for 3 s.
  void StartWhenQuiet();
  // Runs after every event of the link (deferred to the event loop, so
  // that the link's handler has finished): ends the operation when it is
  // finished or the link showed a failure.
  void Poke();
  void Evaluate();
  void Finish(bool ok, std::string error = {});
  void FailSoon(std::string error, Done done);
  std::string FailureLine(const std::string& message) const;

  std::string name_;
  std::vector<std::string> ports_;
  ParamStore store_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<WatchedPort> watched_;
  std::unique_ptr<View> view_;
  std::unique_ptr<DeviceLink> link_;
  std::string error_;
  Operation op_;
  QObject context_;  // owns the deferred calls: none outlives the room
  QTimer deadline_;
  QTimer quiet_;
  bool pokeQueued_ = false;
};

}  // namespace dsp
