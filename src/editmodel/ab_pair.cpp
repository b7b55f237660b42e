#include "editmodel/ab_pair.h"

namespace dsp {

namespace {
constexpr std::size_t kSystemRow = 9;
}  // namespace

Settings AbPair::Other(const Settings& live) const {
  Settings other = other_.value_or(live);
  other.image[kSystemRow] = live.image[kSystemRow];
  return other;
}

Settings AbPair::Switch(const Settings& live) {
  Settings target = Other(live);
  other_ = live;
  active_ = OtherLetter(active_);
  return target;
}

void AbPair::CopyActive(const Settings& live) {
  other_ = live;
}

void AbPair::Assign(AbLetter active, const Settings& other) {
  active_ = active;
  other_ = other;
}

void AbPair::Reset() {
  active_ = AbLetter::A;
  other_.reset();
}

}  // namespace dsp
