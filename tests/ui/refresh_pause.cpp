// The refresh pauses after every slider so a user sees the panels settle;
// the UI tests run it without the pause.

#include <gtest/gtest.h>

#include "editing/store_refresh.h"

namespace {

class NoRefreshPause : public testing::Environment {
 public:
  void SetUp() override { dsp::StoreRefresh::SliderPauseMs = 0; }
};

const testing::Environment* const kNoRefreshPause = testing::AddGlobalTestEnvironment(new NoRefreshPause);

}  // namespace
