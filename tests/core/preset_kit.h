#pragma once
// A kit of preset files the reader accepts: the writer's own files (random,
// zeroed and factory-like images) and files from other writers or other
// hands (lower-case digits, LF or missing line ends, other header words,
// entries in another order or repeated, extra fields, no entries at all,
// an unpaired last character). Tests that must hold for "every file the
// reader accepts" run over all of them.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "presets/preset_file.h"
#include "store/param_store.h"

namespace dsp::kit {

struct PresetSample {
  std::string what;
  std::string bytes;
};

inline void Randomise(ParamStore& store, unsigned seed, int top = 0xFFFF) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(0, top);
  for (int channel = 0; channel < PresetChannels; ++channel)
    for (auto& cell : store.DeviceImage[static_cast<std::size_t>(channel)]) cell = value(random);
}

// Plain lines scrambled, each ended by `end`.
inline std::string Scramble(const std::vector<std::string>& plain, const std::string& end = "\r\n") {
  std::string bytes;
  for (const auto& line : plain) bytes += EncodePresetLine(line) + end;
  return bytes;
}

// A well-formed file of (position, value) entries with a correct total and
// check value; data lines may carry a third field.
inline std::vector<std::string> PlainFile(const std::vector<std::pair<int, int>>& entries,
                                          const std::string& extra = "") {
  std::vector<std::string> plain{"J3 98", "Torvu 210"};
  std::uint32_t sum = 0;
  for (const auto& [position, value] : entries) {
    const int k = static_cast<int>(plain.size());
    plain.push_back(std::to_string(position ^ k) + " " + std::to_string(value ^ k) + extra);
    sum += static_cast<std::uint32_t>(value);
  }
  plain.push_back("Intoal: " + std::to_string(plain.size()));
  plain.push_back("CCCCK: " + std::to_string(PresetCheckValue(sum)));
  return plain;
}

inline std::vector<PresetSample> PresetKit() {
  std::vector<PresetSample> kit;
  for (unsigned seed : {1u, 2u}) {
    ParamStore store;
    Randomise(store, seed);
    kit.push_back({"random image " + std::to_string(seed), BuildPresetFile(store)});
  }
  {
    ParamStore store;  // small values: mostly inside the fields' ranges
    Randomise(store, 3, 20);
    kit.push_back({"small values", BuildPresetFile(store)});
  }
  kit.push_back({"all zeros", BuildPresetFile(ParamStore{})});

  ParamStore source;
  Randomise(source, 11);
  const std::string written = BuildPresetFile(source);
  std::string lower = written;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  kit.push_back({"lower-case digits", lower});
  kit.push_back({"no final CR LF", written.substr(0, written.size() - 2)});
  std::string lf;
  for (std::size_t i = 0; i < written.size(); ++i)
    if (written[i] != '\r') lf += written[i];
  kit.push_back({"LF line ends", lf});

  auto foreign = PlainFile({{8 * 256 + 112, 65535}, {0, 0}, {5 * 256 + 3, 1234}, {0, 42}});
  foreign[0] = "XY 98";
  foreign[1] = "anything -17";
  kit.push_back({"foreign order, repeated entry", Scramble(foreign)});
  kit.push_back({"headers only", Scramble({"J3 98", "Torvu 210", "Intoal: 2", "CCCCK: 0"})});
  kit.push_back({"third field on data lines", Scramble(PlainFile({{0, 1}, {0x0105, 300}}, " x"))});
  // An unpaired last character of a line is ignored by the reader.
  std::string odd = Scramble(PlainFile({{2, 7}}));
  odd.insert(odd.find("\r\n"), "Z");
  kit.push_back({"unpaired last character", odd});
  return kit;
}

}  // namespace dsp::kit
