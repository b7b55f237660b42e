#pragma once
// A whole setting as the editing model keeps it: a copy of the device image,
// where every parameter lives once (both scene copies, both microphone
// groups, the system values). Comparing two settings gives the changed
// parameter cells, which name themselves and their values.

#include <cstdint>
#include <string>
#include <vector>

#include "editmodel/param_cells.h"
#include "store/param_store.h"

namespace dsp {

struct Settings {
  std::array<ParamStore::DeviceRow, kStoreChannels> image{};

  std::int32_t Value(const ParamCell& cell) const {
    return image[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.index)];
  }
  void Set(const ParamCell& cell, std::int32_t value) {
    image[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.index)] = value;
  }
  // The scene the setting plays in: 0 singing, 1 dancing.
  int Scene() const { return (image[0][1] & 0xFF) != 0 ? 1 : 0; }
  bool operator==(const Settings&) const = default;
};

Settings Capture(const ParamStore& store);

// One parameter that differs: its cell id and the two values.
struct CellChange {
  std::uint16_t cell = 0;
  std::int32_t before = 0;
  std::int32_t after = 0;
};

// Which parameters a comparison looks at: the whole setting as a preset file
// holds it (channels 0..8), or every recordable parameter (with the system
// values of channel 9).
enum class DiffScope { Setting, Everything };

// The parameters whose values differ from `before` to `after`, in cell order.
std::vector<CellChange> Diff(const Settings& before, const Settings& after, DiffScope scope);

// "音乐 EQ3 频率: 1000.0Hz → 1200.0Hz", in the language of `texts`.
std::string ChangeLine(const CellChange& change, const Translator& texts = SourceTexts());
// "音乐 EQ3 增益 -3.0dB → 0.0dB", the form a step's description takes.
std::string ChangeText(const CellChange& change, const Translator& texts = SourceTexts());

// How many changes fall on each page, in page order; pages without changes
// are left out.
struct PageCount {
  int page = 0;
  int count = 0;
};
std::vector<PageCount> CountByPage(const std::vector<CellChange>& changes);

// The text a load question shows about a file: how many parameters change,
// by page, and the first `lines` changes, one per line; or that nothing
// changes.
struct DiffReport {
  std::string summary;  // "将改变 12 项参数 (音乐 10, 主输出 2)" or the equal-setting text
  std::vector<std::string> first;  // the first lines
  std::vector<std::string> all;    // every line
};
DiffReport ReportDiff(const std::vector<CellChange>& changes, int lines,
                      const Translator& texts = SourceTexts());

inline constexpr const char* kSameSettingText =
    DSP_TRANSLATE_NOOP("EditModel", "该文件与当前设置相同, 不会改变任何参数");

}  // namespace dsp
