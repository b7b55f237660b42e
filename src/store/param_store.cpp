#include "store/param_store.h"

namespace dsp {

bool HasEqualiser(int channel) {
  return channel >= 0 && channel <= 8 && BandCount[static_cast<std::size_t>(channel)] > 0;
}

int DeviceIndex(int channel, int slot, int scene) {
  const int s = (scene & 0xFF) != 0 ? 1 : 0;
  switch (channel) {
    case 0:
      return slot < 2 ? slot : slot + 52 * s;
    case 5:
    case 6:
    case 7:
      return slot <= 19 ? slot + s : slot;
    case 8:
      return slot <= 17 ? slot + s : slot;
    default:
      return slot;
  }
}

int EqPosition(int address) {
  const int channel = ChannelOf(address);
  const int slot = SlotOf(address);
  if (channel < 0 || channel > 8 || address < 0) return kNotEqField;
  // Filter slots that the graph shows as extra points (field 0).
  switch (channel) {
    case 1:
    case 2:
      if (slot == 0) return 15 * 256;
      break;
    case 3:
      if (slot == 4) return 3 * 256;
      if (slot == 5) return 4 * 256;
      break;
    case 4:
      return 255 * 256;
    case 5:
    case 7:
    case 8:
      if (slot == 16) return 5 * 256;
      break;
    case 6:
      if (slot == 8 || slot == 10 || slot == 12) return 3 * 256;
      if (slot == 14 || slot == 16 || slot == 18) return 4 * 256;
      break;
    default:
      break;
  }
  const int base = EqBase[static_cast<std::size_t>(channel)];
  if (slot < base) return kNotEqField;
  return ((slot - base) / 5) * 256 + (slot - base) % 5;
}

int EqSlot(int channel, int band, int field) {
  if (channel < 0 || channel > 8) return -1;
  return EqBase[static_cast<std::size_t>(channel)] + 5 * band + field;
}

int EqGroupOf(int address) {
  if (address >= 0x0900 || address < 0) return 0;
  switch (ChannelOf(address)) {
    case 1:
    case 2:
      return 1;
    case 3:
    case 4:
      return 2;
    case 5:
      return 3;
    case 6:
      return 5;
    case 7:
      return 4;
    case 8:
      return 6;
    default:
      return 0;
  }
}

bool ParamStore::ValidPanel(int channel, int slot) {
  return channel >= 0 && channel < kStoreChannels && slot >= 0 && slot < kPanelSlots;
}

bool ParamStore::ValidDevice(int channel, int index) {
  return channel >= 0 && channel < kStoreChannels && index >= 0 && index < kDeviceSlots;
}

std::int32_t ParamStore::Param(int address) const {
  if (address < 0) return 0;
  const int c = ChannelOf(address);
  const int s = SlotOf(address);
  return ValidPanel(c, s) ? ParamTable[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)] : 0;
}

void ParamStore::SetParam(int address, std::int32_t value) {
  if (address < 0) return;
  const int c = ChannelOf(address);
  const int s = SlotOf(address);
  if (ValidPanel(c, s)) ParamTable[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)] = value;
}

std::int32_t ParamStore::Device(int channel, int index) const {
  return ValidDevice(channel, index)
             ? DeviceImage[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index)]
             : 0;
}

void ParamStore::SetDevice(int channel, int index, std::int32_t value) {
  if (ValidDevice(channel, index))
    DeviceImage[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index)] = value;
}

int ParamStore::ResolveAddress(int address) const {
  if (address >= 0 && ChannelOf(address) == 1 && MicGroupB == 1) return address + 256;
  return address;
}

void ParamStore::RebuildParamTable(int scene) {
  for (int c = 0; c < kStoreChannels; ++c) {
    const int row = (c == 1 && MicGroupB == 1) ? 2 : c;
    for (int s = 0; s < BlockLength[static_cast<std::size_t>(c)]; ++s) {
      // Group B shows row 2 through channel 1's slots; its indices equal slots.
      const int index = (row == 2 && c == 1) ? s : DeviceIndex(c, s, scene);
      ParamTable[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)] = Device(row, index);
    }
  }
}

int ParamStore::ActiveQSlot(int address) const {
  const int position = EqPosition(address);
  const int field = position % 256;
  if (field != 3 && field != 4) return address;
  const int first = address - field;
  return Param(first) == 0 ? first + 3 : first + 4;
}

int ParamStore::StoreWrite(int address, std::int32_t value) {
  // A panel address outside the panel rows names no parameter: it must not
  // reach a device cell either (slot 86 would otherwise land on index 86).
  if (address < 0 || !ValidPanel(ChannelOf(address), SlotOf(address))) return address;
  SetParam(address, value);
  const int resolved = ResolveAddress(address);
  SetParam(resolved, value);
  if (resolved >= 0) {
    const int c = ChannelOf(resolved);
    SetDevice(c, DeviceIndex(c, SlotOf(resolved), SceneFlag), value);
  }
  return resolved;
}

}  // namespace dsp
