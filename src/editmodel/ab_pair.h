#pragma once
// The A/B pair: two whole settings, of which the active one is the current
// setting (the stores) and the other is kept here. Switching makes the other
// one current and keeps the current one in its place; copying puts the
// current setting into the other letter. Until the other letter is first
// given a setting it is equal to the current one. The system values of
// channel 9 (volumes, input, keyboard lock) are the processor's, not part of
// a setting: a switch leaves them as they are.

#include <optional>

#include "editmodel/settings.h"

namespace dsp {

enum class AbLetter { A, B };

inline char LetterChar(AbLetter letter) {
  return letter == AbLetter::A ? 'A' : 'B';
}
inline AbLetter OtherLetter(AbLetter letter) {
  return letter == AbLetter::A ? AbLetter::B : AbLetter::A;
}

class AbPair {
 public:
  AbLetter Active() const { return active_; }
  AbLetter Inactive() const { return OtherLetter(active_); }
  // True once the other letter holds a setting of its own.
  bool OtherHeld() const { return other_.has_value(); }

  // The setting the other letter stands for, given the current one.
  Settings Other(const Settings& live) const;
  // The setting to make current when switching: the other letter's, with
  // the system values of `live`. The other letter keeps `live`; the active
  // letter changes.
  Settings Switch(const Settings& live);
  // The current setting into the other letter ("A→B" while A is active).
  void CopyActive(const Settings& live);
  // After a download met unsaved offline edits: `active` is the current
  // letter and the other one holds `other`.
  void Assign(AbLetter active, const Settings& other);
  // Both letters equal the current setting again, A active.
  void Reset();

 private:
  AbLetter active_ = AbLetter::A;
  std::optional<Settings> other_;
};

}  // namespace dsp
