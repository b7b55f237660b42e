#include <gtest/gtest.h>

#include "store/param_store.h"

namespace dsp {
namespace {

TEST(DeviceIndex, SceneCopiesAndFixedSlots) {
  struct Case {
    int channel, slot, scene, expected;
  } cases[] = {
      {0, 5, 0, 5},   {0, 5, 1, 57},  {0, 0, 1, 0},   {0, 1, 1, 1},    {0, 53, 1, 105},
      {5, 18, 1, 19}, {5, 20, 1, 20}, {6, 19, 1, 20}, {7, 0, 1, 1},    {8, 16, 1, 17},
      {8, 18, 1, 18}, {1, 7, 1, 7},   {9, 3, 1, 3},   {0, 5, 0x100, 5},  // only the low byte counts
      {0, 5, 0x101, 57},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DeviceIndex(c.channel, c.slot, c.scene), c.expected)
        << "channel " << c.channel << " slot " << c.slot << " scene " << c.scene;
}

TEST(EqPosition, BandsFieldsAndFilterPoints) {
  struct Case {
    int address, band, field;
  } cases[] = {
      {0x0005, 0, 1},  {0x000E, 2, 0},  {0x0003, 0, 255}, {0x0100, 15, 0}, {0x0200, 15, 0},
      {0x0608, 3, 0},  {0x060C, 3, 0},  {0x0612, 4, 0},   {0x0304, 3, 0},  {0x0305, 4, 0},
      {0x0510, 5, 0},  {0x0810, 5, 0},  {0x0407, 255, 0}, {0x0501, 0, 255}, {0x0535, 4, 3},
      {0x0A00, 0, 255}, {-5, 0, 255},
  };
  for (const auto& c : cases) {
    const int p = EqPosition(c.address);
    EXPECT_EQ(p / 256, c.band) << std::hex << c.address;
    EXPECT_EQ(p % 256, c.field) << std::hex << c.address;
  }
  EXPECT_EQ(EqSlot(5, 4, 2), 52);
}

TEST(EqGroupOf, PagesAreNotInChannelOrder) {
  const std::pair<int, int> cases[] = {{0x0005, 0}, {0x0105, 1}, {0x0205, 1}, {0x0305, 2}, {0x0405, 2},
                                       {0x0505, 3}, {0x0605, 5}, {0x0705, 4}, {0x0805, 6}, {0x0900, 0},
                                       {0x0922, 0}, {0x0C00, 0}};
  for (auto [address, group] : cases) EXPECT_EQ(EqGroupOf(address), group) << std::hex << address;
}

TEST(ParamStore, ActiveQSlotFollowsTheBandType) {
  ParamStore store;
  for (int address : {0x0007, 0x0008}) {
    store.SetParam(0x0004, 0);
    EXPECT_EQ(store.ActiveQSlot(address), 0x0007);
    store.SetParam(0x0004, 2);
    EXPECT_EQ(store.ActiveQSlot(address), 0x0008);
  }
  EXPECT_EQ(store.ActiveQSlot(0x0005), 0x0005) << "a frequency slot passes unchanged";
}

TEST(ParamStore, GroupBRedirectsWritesAndRebuild) {
  ParamStore store;
  store.MicGroupB = 1;
  EXPECT_EQ(store.ResolveAddress(0x0105), 0x0205);
  EXPECT_EQ(store.ResolveAddress(0x0005), 0x0005);

  const int resolved = store.StoreWrite(0x0105, 77);
  EXPECT_EQ(resolved, 0x0205);
  EXPECT_EQ(store.Param(0x0105), 77);
  EXPECT_EQ(store.Param(0x0205), 77);
  EXPECT_EQ(store.Device(2, 5), 77);
  EXPECT_EQ(store.Device(1, 5), 0) << "group A's device row stays untouched";

  store.SetDevice(2, 9, 123);
  store.SetDevice(1, 9, 456);
  store.RebuildParamTable(0);
  EXPECT_EQ(store.Param(0x0109), 123) << "channel 1 panel row shows group B";
  EXPECT_EQ(store.Param(0x0209), 123);
  store.MicGroupB = 0;
  store.RebuildParamTable(0);
  EXPECT_EQ(store.Param(0x0109), 456);
}

TEST(ParamStore, SceneSelectsTheDeviceCopy) {
  ParamStore store;
  store.SceneFlag = 1;
  store.StoreWrite(0x0005, 9);
  EXPECT_EQ(store.Device(0, 57), 9);
  EXPECT_EQ(store.Device(0, 5), 0);
  store.StoreWrite(0x0512, 1);  // slope of the main output, scene pair
  EXPECT_EQ(store.Device(5, 19), 1);

  store.SetDevice(0, 5, 11);
  store.SetDevice(0, 57, 22);
  store.RebuildParamTable(0);
  EXPECT_EQ(store.Param(0x0005), 11);
  store.RebuildParamTable(1);
  EXPECT_EQ(store.Param(0x0005), 22);
}

TEST(ParamStore, AddressesOutsideTheStoresTouchNothing) {
  ParamStore store;
  for (auto& row : store.ParamTable) row.fill(7);
  for (auto& row : store.DeviceImage) row.fill(7);
  const auto panel = store.ParamTable;
  const auto device = store.DeviceImage;

  for (int address : {-1, -256, 0x0A00, 0x0B05, 0xFFFF, 0x0056, 0x00FF, 0x0956, 0x7FFFFFFF}) {
    store.SetParam(address, 1);
    store.StoreWrite(address, 1);
    EXPECT_EQ(store.Param(address), 0) << std::hex << address;
    EXPECT_EQ(store.ActiveQSlot(address), address);
  }
  for (auto [channel, index] : {std::pair{10, 0}, {-1, 3}, {0, 113}, {0, -1}, {9, 500}}) {
    store.SetDevice(channel, index, 1);
    EXPECT_EQ(store.Device(channel, index), 0);
  }
  // Channel 0 slot 70 is a valid panel cell but its scene 1 copy would be
  // device index 122: the device write is dropped, the panel cells are not.
  store.SceneFlag = 1;
  store.StoreWrite(0x0046, 1);
  EXPECT_EQ(store.Param(0x0046), 1);
  store.ParamTable[0][0x46] = 7;

  EXPECT_EQ(store.ParamTable, panel);
  EXPECT_EQ(store.DeviceImage, device);
}

}  // namespace
}  // namespace dsp
