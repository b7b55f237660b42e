#pragma once
// The undo history: one step per user action, each the parameters that the
// action changed with their values before and after. Undo puts the before
// values back, redo the after values; the caller applies them and then
// moves the history's position, so a step it refuses stays where it is.
// Bounded by a number of steps and a number of stored changes; the oldest
// steps go first.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "editmodel/settings.h"

namespace dsp {

enum class StepKind {
  Cells,     // parameters changed: undo sets the before values, redo the after values
  AbSwitch,  // the other of the A/B settings became current: undo and redo switch again
};

struct EditStep {
  StepKind kind = StepKind::Cells;
  // What the action was, in the program's words (already in the user's
  // language), when its changes alone do not say it ("加载预设 Club",
  // "EQ重置"); empty: the changes describe it.
  std::string label;
  std::vector<CellChange> changes;

  // "音乐 EQ3 增益 -3.0dB → 0.0dB", "EQ重置 (15 项参数)", ... in the
  // language of `texts`.
  std::string Describe(const Translator& texts = SourceTexts()) const;
};

class EditHistory {
 public:
  static constexpr std::size_t kDefaultMaxSteps = 1000;
  static constexpr std::size_t kDefaultMaxChanges = 200000;

  explicit EditHistory(std::size_t maxSteps = kDefaultMaxSteps, std::size_t maxChanges = kDefaultMaxChanges);

  // Adds a step after the current position; the steps that could be redone
  // are dropped. A parameter step without changes is not a step: returns
  // false and nothing changes.
  bool Record(EditStep step);

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  // The step the next undo or redo would apply; null when there is none.
  const EditStep* NextUndo() const { return CanUndo() ? &steps_[position_ - 1] : nullptr; }
  const EditStep* NextRedo() const { return CanRedo() ? &steps_[position_] : nullptr; }
  // Moves the position once the caller applied NextUndo() / NextRedo().
  void CommitUndo();
  void CommitRedo();

  void Clear();

  std::size_t StepCount() const { return steps_.size(); }
  std::size_t Position() const { return position_; }
  std::size_t ChangeCount() const { return changes_; }
  // The memory the steps hold, in bytes (an estimate of the heap in use).
  std::size_t MemoryBytes() const;

  // The texts of the undo and redo buttons: "撤销: <step>" and "重做: <step>",
  // or the plain action when there is nothing to undo or redo.
  std::string UndoText(const Translator& texts = SourceTexts()) const;
  std::string RedoText(const Translator& texts = SourceTexts()) const;

 private:
  void Trim();

  std::deque<EditStep> steps_;
  std::size_t position_ = 0;  // steps before it are done
  std::size_t changes_ = 0;   // changes held by all steps
  std::size_t maxSteps_;
  std::size_t maxChanges_;
};

inline constexpr const char* kUndoWord = DSP_TRANSLATE_NOOP("EditModel", "撤销");
inline constexpr const char* kRedoWord = DSP_TRANSLATE_NOOP("EditModel", "重做");

}  // namespace dsp
