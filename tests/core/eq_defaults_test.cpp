#include <gtest/gtest.h>

#include <vector>

#include "store/eq_defaults.h"

namespace dsp {
namespace {

TEST(EqDefaults, FrequenciesSpreadEvenlyPerChannel) {
  const std::vector<std::pair<int, std::vector<int>>> cases = {
      {0, {5, 41, 77, 113, 149, 185, 221, 257, 293, 329}},
      {1, {5, 29, 53, 77, 101, 125, 149, 173, 197, 221, 245, 269, 293, 317, 341}},
      {3, {5, 125, 245}},
      {6, {5, 125, 245}},
      {5, {5, 77, 149, 221, 293}},
      {8, {5, 77, 149, 221, 293}},
  };
  for (const auto& [channel, freqs] : cases)
    for (std::size_t b = 0; b < freqs.size(); ++b)
      EXPECT_EQ(EqDefault(channel, static_cast<int>(b), 1), freqs[b]) << channel << " band " << b;
}

TEST(EqDefaults, StartUpFillsBothMusicScenesWithoutTouchingParamTable) {
  ParamStore store;
  ResetEqStores(store, kAllEqualisers, [](int, int) { FAIL() << "start-up sends nothing"; });
  // Band 3 of channel 0: slots 19..23.
  EXPECT_EQ(store.Device(0, 20), 113);
  EXPECT_EQ(store.Device(0, 21), 120);
  EXPECT_EQ(store.Device(0, 22), 16);
  EXPECT_EQ(store.Device(0, 23), 10);
  EXPECT_EQ(store.Device(0, 20 + 52), 83) << "scene 1 copy has its own frequencies";
  EXPECT_EQ(store.Device(0, 21 + 52), 120);
  EXPECT_EQ(store.Param(0x0014), 0);
  EXPECT_EQ(store.Device(4, 3), 0) << "the reverb has no equaliser";
  EXPECT_EQ(store.Device(7, 29), 5);

  store.RebuildParamTable(0);
  EXPECT_EQ(store.Param(0x0014), 113);
  store.RebuildParamTable(1);
  EXPECT_EQ(store.Param(0x0014), 83);
}

TEST(EqDefaults, ResetOfOneChannelSendsEveryBandInTheCurrentScene) {
  ParamStore store;
  store.SceneFlag = 1;
  store.SetDevice(0, 20, 300);  // scene 0 copy: must stay
  std::vector<std::pair<int, int>> sent;
  ResetEqStores(store, 0, [&](int address, int value) { sent.emplace_back(address, value); });
  ASSERT_EQ(sent.size(), 10u);
  EXPECT_EQ(sent[0], std::make_pair(0x0008, 10));
  EXPECT_EQ(sent[9], std::make_pair(0x0035, 10));
  EXPECT_EQ(store.Device(0, 20), 300);
  EXPECT_EQ(store.Device(0, 72), 113) << "scene 1 copy reset to the scene 0 defaults";
  EXPECT_EQ(store.Param(0x0014), 113);
}

TEST(EqDefaults, ResetOfGroupBLeavesChannelOneAlone) {
  ParamStore store;
  store.MicGroupB = 1;
  for (int i = 0; i < kDeviceSlots; ++i) store.SetDevice(1, i, 42);
  const auto row1 = store.DeviceImage[1];
  int bands = 0;
  ResetEqStores(store, 2, [&](int address, int) {
    EXPECT_EQ(ChannelOf(address), 2);
    ++bands;
  });
  EXPECT_EQ(bands, 15);
  EXPECT_EQ(store.DeviceImage[1], row1);
  EXPECT_EQ(store.Device(2, 5), 5);
}

}  // namespace
}  // namespace dsp
