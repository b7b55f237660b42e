#pragma once
// Sending a change of many parameters through the ordinary write path: the
// plan says which value frames and which band frames make the processor
// hold the new values, the sender feeds them to the link's pacing as its
// queues make room (the queues are short and drop what overflows them).
//
// The processor writes every frame into the scene it plays, so a parameter
// of the other scene cannot be sent now: it waits (deferred) until that scene
// plays, and is sent then. A microphone parameter is sent to its own group
// whichever group the page shows.

#include <cstdint>
#include <deque>
#include <vector>

#include "editmodel/settings.h"

namespace dsp {

class DeviceLink;
class ParamStore;

struct WritePlan {
  std::vector<std::uint16_t> values;    // one value frame per cell, in this order
  std::vector<std::uint16_t> bands;     // one band frame per cell (a field of the band)
  std::vector<std::uint16_t> deferred;  // cells of the scene not playing
  bool Empty() const { return values.empty() && bands.empty() && deferred.empty(); }
};

// The frames that bring a processor playing `scene` to the after values of
// `changes`: one value frame per changed value, one band frame per band
// with a changed field; nothing for parameters that are equal.
WritePlan PlanWrites(const std::vector<CellChange>& changes, int scene);

// Puts the before (undo) or after values of `changes` into the device
// image, the scene selector and the panel order.
void WriteChanges(ParamStore& store, const std::vector<CellChange>& changes, bool after);

class PlanSender {
 public:
  // At most this many frames of a plan wait in each of the link's queues;
  // the rest stays here, and the queues keep room for the user's own edits.
  static constexpr int kQueueShare = 8;

  PlanSender(ParamStore& store, DeviceLink& link) : store_(store), link_(link) {}

  // Adds a plan's frames after those still waiting and sends what the
  // queues take now.
  void Queue(const WritePlan& plan);
  // Feeds waiting frames to the link while it is linked and idle; a cell of
  // a scene that stopped playing waits again for its scene, a deferred cell
  // whose scene plays now is queued. Every frame carries the value the
  // stores hold when it is written. Run after every pacing tick.
  void Pump();
  // True when Pump would act now: frames waiting that the link's queues
  // have room for, or waiting cells whose scene plays now. The pacing
  // wakes for its next tick while this holds.
  bool WouldFeed() const;
  // Forgets everything waiting: the processor's setting was read or
  // replaced, so nothing planned before may reach it.
  void Drop();

  std::size_t Waiting() const { return values_.size() + bands_.size(); }
  std::size_t Deferred() const { return deferred_.size(); }

 private:
  void Write(std::uint16_t cell, bool band);

  ParamStore& store_;
  DeviceLink& link_;
  std::deque<std::uint16_t> values_;
  std::deque<std::uint16_t> bands_;
  std::vector<std::uint16_t> deferred_;
};

}  // namespace dsp
