#include "editmodel/edit_history.h"

#include <utility>

namespace dsp {

std::string EditStep::Describe(const Translator& texts) const {
  if (changes.empty()) return label;
  const std::string count = std::to_string(changes.size());
  if (label.empty()) {
    const std::string first = ChangeText(changes.front(), texts);
    if (changes.size() == 1) return first;
    return FormatText(texts.Translate("EditModel", DSP_TRANSLATE_NOOP("EditModel", "%1 等 %2 项参数")),
                      {first, count});
  }
  return FormatText(texts.Translate("EditModel", DSP_TRANSLATE_NOOP("EditModel", "%1 (%2 项参数)")),
                    {label, count});
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

namespace {

std::string ActionText(const char* word, const EditStep* step, const Translator& texts) {
  std::string text = texts.Translate("EditModel", word);
  if (step != nullptr) text += ": " + step->Describe(texts);
  return text;
}

}  // namespace

std::string EditHistory::UndoText(const Translator& texts) const {
  return ActionText(kUndoWord, NextUndo(), texts);
}

std::string EditHistory::RedoText(const Translator& texts) const {
  return ActionText(kRedoWord, NextRedo(), texts);
}

}  // namespace dsp
