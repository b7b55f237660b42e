#include "editmodel/edit_history.h"

#include <utility>

namespace dsp {

std::string EditStep::Describe() const {
  std::string text = label;
  if (changes.empty()) return text;
  if (text.empty()) {
    text = ChangeText(changes.front());
    if (changes.size() > 1) text += " 等 " + std::to_string(changes.size()) + " 项参数";
    return text;
  }
  return text + " (" + std::to_string(changes.size()) + " 项参数)";
}

EditHistory::EditHistory(std::size_t maxSteps, std::size_t maxChanges)
    : maxSteps_(maxSteps == 0 ? 1 : maxSteps), maxChanges_(maxChanges) {}

bool EditHistory::Record(EditStep step) {
  if (step.kind == StepKind::Cells && step.changes.empty()) return false;
  while (steps_.size() > position_) {
    changes_ -= steps_.back().changes.size();
    steps_.pop_back();
  }
  step.changes.shrink_to_fit();
  changes_ += step.changes.size();
  steps_.push_back(std::move(step));
  position_ = steps_.size();
  Trim();
  return true;
}

void EditHistory::Trim() {
  // The newest step stays even when it alone is over the change budget.
  while (steps_.size() > 1 && (steps_.size() > maxSteps_ || changes_ > maxChanges_)) {
    changes_ -= steps_.front().changes.size();
    steps_.pop_front();
    if (position_ > 0) --position_;
  }
}

void EditHistory::CommitUndo() {
  if (position_ > 0) --position_;
}

void EditHistory::CommitRedo() {
  if (position_ < steps_.size()) ++position_;
}

void EditHistory::Clear() {
  steps_.clear();
  position_ = 0;
  changes_ = 0;
}

std::size_t EditHistory::MemoryBytes() const {
  std::size_t bytes = sizeof(*this);
  for (const EditStep& step : steps_) {
    bytes += sizeof(EditStep) + step.changes.capacity() * sizeof(CellChange);
    // Labels longer than the short-string buffer live on the heap.
    if (step.label.capacity() > std::string().capacity()) bytes += step.label.capacity() + 1;
  }
  return bytes;
}

std::string EditHistory::UndoText() const {
  const EditStep* step = NextUndo();
  return step != nullptr ? std::string(kUndoWord) + ": " + step->Describe() : std::string(kUndoWord);
}

std::string EditHistory::RedoText() const {
  const EditStep* step = NextRedo();
  return step != nullptr ? std::string(kRedoWord) + ": " + step->Describe() : std::string(kRedoWord);
}

}  // namespace dsp
