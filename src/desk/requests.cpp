#include "desk/requests.h"

#include <algorithm>
#include <cctype>

namespace dsp::desk {

std::optional<Volume> VolumeByName(std::string_view name) {
  if (name == "music") return Volume::Music;
  if (name == "mic") return Volume::Mic;
  if (name == "effect") return Volume::Effect;
  return std::nullopt;
}

const char* VolumeName(Volume volume) {
  switch (volume) {
    case Volume::Music:
      return "music";
    case Volume::Mic:
      return "mic";
    case Volume::Effect:
      return "effect";
  }
  return "";
}

int CurrentVolumeAddress(Volume volume) {
  return 0x0920 + static_cast<int>(volume);
}

int StartVolumeAddress(Volume volume) {
  return 0x0906 + 2 * static_cast<int>(volume);
}

int MaxVolumeAddress(Volume volume) {
  return StartVolumeAddress(volume) + 1;
}

int LimitedVolume(int requested, int maximum) {
  const int top = std::clamp(maximum, 0, kVolumeTop);
  return std::clamp(requested, 0, top);
}

const char* SceneName(int scene) {
  return scene == 0 ? "sing" : "dance";
}

bool SameToken(std::string_view given, std::string_view expected) {
  // Every byte of `expected` is looked at whatever `given` holds, and the
  // differences are gathered without an early return.
  unsigned difference = given.size() == expected.size() ? 0u : 1u;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
    difference |= g ^ static_cast<unsigned char>(expected[i]);
  }
  return difference == 0 && !expected.empty();
}

std::optional<std::string_view> BearerToken(std::string_view authorization) {
  constexpr std::string_view kScheme = "bearer ";
  if (authorization.size() <= kScheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(authorization[i])) != kScheme[i]) return std::nullopt;
  }
  std::string_view token = authorization.substr(kScheme.size());
  while (!token.empty() && token.front() == ' ') token.remove_prefix(1);
  while (!token.empty() && token.back() == ' ') token.remove_suffix(1);
  if (token.empty()) return std::nullopt;
  return token;
}

std::string TokenFromFile(std::string_view content) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!content.empty() && space(content.front())) content.remove_prefix(1);
  while (!content.empty() && space(content.back())) content.remove_suffix(1);
  // One word of printable ASCII; anything else is no token.
  for (char c : content) {
    if (c <= 0x20 || c >= 0x7F) return {};
  }
  return std::string(content);
}

}  // namespace dsp::desk
