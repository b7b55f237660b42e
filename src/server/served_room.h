#pragma once
// One room the front desk keeps linked: a session Room (its own port,
// serial or network by name, stores, device link and timers, nothing
// shared with the other rooms) kept linked for good: the link looks for
// the processor by itself after a loss, as the window does. Requests run
// as the Room's operations, which end on their own (a mode recall when the
// reload has arrived, a restore when it is verified), and report through a
// callback; volume writes are merged here before they reach the pacing;
// every change of what the room shows (link state, mode, volumes, scene)
// is told through Changed.

#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desk/requests.h"
#include "link/link_view.h"
#include "store/param_store.h"

namespace dsp {
class DeviceLink;
class Room;
class SerialPort;
}  // namespace dsp

namespace dsp::server {

// What the room is doing, as the API says it.
enum class RoomState {
  Searching,    // no processor on the line; looked for once a second
  Downloading,  // a processor answered; its setting is coming in
  Linked,       // linked and idle: requests may change it
  Busy,         // a recall, a restore or a reload runs
};
const char* StateName(RoomState state);

// What a room shows, compared to tell a change.
struct RoomSnapshot {
  RoomState state = RoomState::Searching;
  int mode = 0;  // 1..15, 0 while unknown
  std::string modeName;
  int volumes[3] = {0, 0, 0};  // music, mic, effect
  int scene = 0;
  bool operator==(const RoomSnapshot& other) const;
};

// How an operation ended: 0 done, else the HTTP status that says why it
// did not (409 the room is not linked or busy, 503 it took too long), with
// an English message; `details` for a restore that was not verified.
struct Outcome {
  int status = 0;
  std::string message;
  std::vector<std::string> differences;
};
using Done = std::function<void(const Outcome&)>;

class ServedRoom {
 public:
  ServedRoom(std::string name, std::string port);
  // The same on a given port (an in-process emulator in tests).
  ServedRoom(std::string name, std::string portName, std::unique_ptr<SerialPort> port);
  // Says goodbye to a linked processor and closes the port.
  ~ServedRoom();
  ServedRoom(const ServedRoom&) = delete;
  ServedRoom& operator=(const ServedRoom&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& PortName() const { return portName_; }
  // Starts linking; the link keeps looking until a processor answers.
  void Start();
  // Goodbye to a linked processor, timers stopped, port closed.
  void Stop();

  RoomSnapshot Snapshot() const;
  const ParamStore& Store() const;
  std::string DeviceId() const;
  // True when the room takes a change now (linked, nothing running).
  bool Ready() const;
  // Why it does not: 409 not linked or busy, 503 downloading; with the
  // message.
  Outcome NotReady() const;

  // Switches to mode 1..15; done when the processor's setting has been
  // reloaded.
  void RecallMode(int mode, Done done);
  // The current volume, limited to the group's maximum: returns the value
  // given to the processor. Writes go through the pacing, merged with
  // those still waiting for the same volume.
  int SetVolume(desk::Volume volume, int value);
  // Sing (0) or dance (1); refused (409) while the processor is in
  // automatic mode, which holds the scene, as the window does.
  Outcome SetScene(int scene);
  // The preset file of the setting the room holds.
  std::string Backup() const;
  // Uploads a checked preset file, downloads again and compares.
  void Restore(std::string content, Done done);

  // Told after every change of the snapshot.
  std::function<void(ServedRoom&)> Changed;
  // The longest an operation may run before its request is answered with
  // 503 (it goes on; the events tell its end).
  void SetWaitLimit(int ms) { waitLimitMs_ = ms; }

 private:
  enum class Op { None, Recall, Restore };
  void Publish();
  void Finish(const Outcome& outcome);
  // Ends an operation that has not sent anything yet.
  void GiveUp(const Outcome& outcome);
  void Verified(bool ok);
  void FlushVolumes();
  void Poll();
  DeviceLink& Link() const;

  std::string name_;
  std::string portName_;
  std::unique_ptr<Room> room_;
  RoomSnapshot published_;

  Op op_ = Op::None;
  Done done_;
  int recallSlot_ = -1;
  std::array<ParamStore::DeviceRow, 9> expected_{};
  std::array<ParamStore::DeviceRow, kStoreChannels> held_{};  // the stores before a restore's file
  int polls_ = 0;
  QTimer poll_;     // while an operation waits for a quiet line
  QTimer timeout_;  // the request's wait limit
  int waitLimitMs_ = 30000;
  // Volume writes not yet handed to the pacing: address -> value, -1 none.
  int pendingVolume_[3] = {-1, -1, -1};
};

}  // namespace dsp::server
