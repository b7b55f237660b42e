#pragma once
// The processor's parameters as two stores:
//  - ParamTable: panel order, the order the pages lay out their controls and
//    the order single-parameter writes address on the wire;
//  - DeviceImage: device order, the order channel blocks travel in and preset
//    files store them (the music and output channels keep one copy of some
//    slots per scene, and microphone group B lives in its own row).
// An address (ParamAddress) is channel * 256 + slot. Every accessor checks its
// address against the fixed capacity, so nothing a processor or a file sends
// can reach memory outside the stores: out-of-range reads give 0 and
// out-of-range writes are ignored.

#include <array>
#include <cstdint>
#include <string>

namespace dsp {

constexpr int kStoreChannels = 10;  // channels 0..9 have a row
constexpr int kPanelSlots = 86;     // ParamTable row capacity
constexpr int kDeviceSlots = 113;   // DeviceImage row capacity
constexpr int kModeCount = 15;
constexpr int kModeNameLength = 20;

// Panel slots in use per channel 0..9, and a 0 for channel 10, which the
// control registry walks and which has no slots and no row in the stores.
inline constexpr std::array<int, 11> BlockLength{54, 79, 79, 28, 8, 55, 43, 53, 53, 35, 0};
// Values in one channel block transfer, channels 0..8. Channel 0 holds two
// scene copies of slots 2..53, hence 54 + 52.
inline constexpr std::array<int, 9> TransferLength{106, 79, 79, 28, 8, 55, 43, 53, 53};
inline constexpr std::array<int, 9> BandCount{10, 15, 15, 3, 0, 5, 3, 5, 5};
// Panel slot of band 0, field 0; channel 4 (reverb) has no equaliser.
inline constexpr std::array<int, 9> EqBase{4, 4, 4, 13, 0, 30, 28, 28, 28};
// The address an EQ band frame carries; its slot byte names the channel's EQ
// block for the processor and is not a ParamTable slot.
inline constexpr std::array<int, 9> EqBlockAddress{0x0002, 0x0102, 0x0202, 0x030B, 0x0408,
                                                   0x051C, 0x061A, 0x071A, 0x081A};

// The EqPosition result for a slot that is not part of an equaliser.
constexpr int kNotEqField = 255;

inline constexpr int ChannelOf(int address) { return address / 256; }
inline constexpr int SlotOf(int address) { return address % 256; }
inline constexpr int MakeAddress(int channel, int slot) { return channel * 256 + slot; }

// True when the channel has an equaliser (channels 0..3 and 5..8).
bool HasEqualiser(int channel);

// Device index of a panel slot; scene is the scene byte (non-zero counts as 1).
int DeviceIndex(int channel, int slot, int scene);
// Band * 256 + field of a slot in its channel's equaliser (see the .cpp for the
// filter points); 255 as field for any other slot below the bands.
int EqPosition(int address);
int EqSlot(int channel, int band, int field);
// The graph group (and page index) showing a channel's equaliser.
int EqGroupOf(int address);

class ParamStore {
 public:
  using PanelRow = std::array<std::int32_t, kPanelSlots>;
  using DeviceRow = std::array<std::int32_t, kDeviceSlots>;

  std::array<PanelRow, kStoreChannels> ParamTable{};
  std::array<DeviceRow, kStoreChannels> DeviceImage{};
  std::array<std::string, kModeCount> ModeNames{};
  std::string SystemPassword;
  std::string LockPassword;
  // Scene selector (0 sing, 1 dance); only its low byte is tested.
  int SceneFlag = 0;
  // 1 while microphone group B is shown on the microphone page.
  int MicGroupB = 0;

  int Scene() const { return (SceneFlag & 0xFF) != 0 ? 1 : 0; }

  // Checked access. Reads outside the stores give 0, writes are ignored.
  std::int32_t Param(int address) const;
  void SetParam(int address, std::int32_t value);
  std::int32_t Device(int channel, int index) const;
  void SetDevice(int channel, int index, std::int32_t value);
  static bool ValidPanel(int channel, int slot);
  static bool ValidDevice(int channel, int index);

  // Channel 1 addresses move to channel 2 while group B is selected.
  int ResolveAddress(int address) const;
  // Refills ParamTable rows 0..9 from DeviceImage for the given scene.
  void RebuildParamTable(int scene);
  // For a Q slot (field 3 or 4), the Q slot matching the band's stored type.
  int ActiveQSlot(int address) const;

  // The store update of one write from a control: the panel cell, the
  // resolved panel cell and the resolved device cell in the current scene.
  // Returns the resolved address (the one the wire frame carries).
  int StoreWrite(int address, std::int32_t value);
};

}  // namespace dsp
