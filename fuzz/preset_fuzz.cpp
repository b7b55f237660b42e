// Loads arbitrary bytes as a preset file. The load must never crash or touch
// memory out of bounds, must leave the device image untouched unless the file
// is accepted, and must request the upload exactly when it accepts.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "presets/preset_file.h"

namespace {

class CountingEvents : public dsp::PresetEvents {
 public:
  int notices = 0;
  int uploads = 0;
  void ShowNotice(const std::string&, const std::string&) override { ++notices; }
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
  void RequestUpload() override { ++uploads; }
};

// A private folder for the run, removed again at exit.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder()
      : path(std::filesystem::temp_directory_path() / ("preset_fuzz_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

const std::filesystem::path& Folder() {
  static const ScratchFolder folder;
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto path = dsp::PresetPath(Folder(), "fuzz");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  dsp::ParamStore store;
  // A recognisable image, so that any stray write shows.
  for (int channel = 0; channel < dsp::kStoreChannels; ++channel) {
    for (int index = 0; index < dsp::kDeviceSlots; ++index)
      store.DeviceImage[channel][index] = channel * 1000 + index;
  }
  const auto before = store.DeviceImage;
  CountingEvents events;
  const dsp::LoadOutcome outcome = dsp::LoadPresetFile(store, Folder(), "fuzz", events);
  if (outcome == dsp::LoadOutcome::Accepted) {
    if (events.uploads != 1 || events.notices != 0) std::abort();
    if (store.DeviceImage[9] != before[9]) std::abort();
  } else {
    if (store.DeviceImage != before || events.uploads != 0 || events.notices != 1) std::abort();
  }
  return 0;
}
