#include "editmodel/write_plan.h"

#include <algorithm>

#include "link/device_link.h"
#include "store/param_store.h"

namespace dsp {

namespace {

bool PlaysIn(const ParamCell& cell, int scene) {
  return cell.scene < 0 || cell.scene == scene;
}

}  // namespace

WritePlan PlanWrites(const std::vector<CellChange>& changes, int scene) {
  WritePlan plan;
  const std::vector<ParamCell>& cells = ParamCells();
  std::vector<std::pair<int, int>> bands;  // (row, band) already planned
  for (const CellChange& change : changes) {
    const ParamCell& cell = cells[change.cell];
    if (!PlaysIn(cell, scene)) {
      plan.deferred.push_back(change.cell);
      continue;
    }
    if (cell.kind == CellKind::Value) {
      plan.values.push_back(change.cell);
      continue;
    }
    const std::pair<int, int> band{cell.row, cell.band};
    if (std::find(bands.begin(), bands.end(), band) != bands.end()) continue;
    bands.push_back(band);
    plan.bands.push_back(change.cell);
  }
  return plan;
}

void WriteChanges(ParamStore& store, const std::vector<CellChange>& changes, bool after) {
  const std::vector<ParamCell>& cells = ParamCells();
  for (const CellChange& change : changes) {
    const ParamCell& cell = cells[change.cell];
    store.SetDevice(cell.row, cell.index, after ? change.after : change.before);
  }
  store.SceneFlag = store.Device(0, 1);
  store.RebuildParamTable(store.Scene());
}

void PlanSender::Queue(const WritePlan& plan) {
  values_.insert(values_.end(), plan.values.begin(), plan.values.end());
  bands_.insert(bands_.end(), plan.bands.begin(), plan.bands.end());
  deferred_.insert(deferred_.end(), plan.deferred.begin(), plan.deferred.end());
  Pump();
}

void PlanSender::Drop() {
  values_.clear();
  bands_.clear();
  deferred_.clear();
}

void PlanSender::Write(std::uint16_t id, bool band) {
  const ParamCell& cell = ParamCells()[id];
  // The page may show microphone group B: a group A parameter still goes
  // to group A. The panel order follows the page again afterwards.
  const int shown = store_.MicGroupB;
  if (cell.row == 1) store_.MicGroupB = 0;
  const std::int32_t value = store_.Device(cell.row, cell.index);
  if (band) {
    link_.WriteEqBand(cell.Address(), value);
  } else {
    link_.WriteParam(cell.Address(), value);
  }
  if (store_.MicGroupB != shown) {
    store_.MicGroupB = shown;
    store_.RebuildParamTable(store_.Scene());
  }
}

bool PlanSender::WouldFeed() const {
  if (link_.LinkState != 2) return false;
  const int scene = store_.Scene();
  if (std::any_of(deferred_.begin(), deferred_.end(),
                  [scene](std::uint16_t id) { return PlaysIn(ParamCells()[id], scene); }))
    return true;
  return (!values_.empty() && link_.valueQueue().count < kQueueShare) ||
         (!bands_.empty() && link_.eqQueue().count < kQueueShare);
}

void PlanSender::Pump() {
  if (link_.LinkState != 2) return;
  const int scene = store_.Scene();
  // Deferred cells whose scene plays now join the frames to send.
  auto playing = std::stable_partition(deferred_.begin(), deferred_.end(), [scene](std::uint16_t id) {
    return !PlaysIn(ParamCells()[id], scene);
  });
  for (auto it = playing; it != deferred_.end(); ++it) {
    const ParamCell& cell = ParamCells()[*it];
    if (cell.kind == CellKind::Value) {
      values_.push_back(*it);
      continue;
    }
    // One frame per band, however many of its fields waited.
    const bool planned = std::any_of(bands_.begin(), bands_.end(), [&cell](std::uint16_t other) {
      const ParamCell& o = ParamCells()[other];
      return o.row == cell.row && o.band == cell.band && o.scene == cell.scene;
    });
    if (!planned) bands_.push_back(*it);
  }
  deferred_.erase(playing, deferred_.end());

  auto feed = [&](std::deque<std::uint16_t>& waiting, bool band) {
    while (!waiting.empty() && link_.LinkState == 2) {
      const int queued = band ? link_.eqQueue().count : link_.valueQueue().count;
      if (queued >= kQueueShare) return;
      const std::uint16_t id = waiting.front();
      waiting.pop_front();
      if (!PlaysIn(ParamCells()[id], scene)) {
        deferred_.push_back(id);  // its scene stopped playing before it went out
        continue;
      }
      Write(id, band);
    }
  };
  feed(values_, false);
  feed(bands_, true);
}

}  // namespace dsp
