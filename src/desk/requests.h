#pragma once
// The front desk's rules in standard C++: what a request body must hold
// (a mode number, a volume, a scene), which volume parameter a name in the
// address stands for and how its limit applies, and the bearer token check.
// The HTTP server (src/server) calls these and turns a refusal into an
// error answer that names the field and says why.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dsp::desk {

// The largest body a JSON request may have, and a preset file for a restore.
inline constexpr std::size_t kMaxJsonBody = 4096;
inline constexpr std::size_t kMaxPresetBody = 256 * 1024;

// The three current volumes a request may set, by the name in its address.
enum class Volume { Music, Mic, Effect };
std::optional<Volume> VolumeByName(std::string_view name);
const char* VolumeName(Volume volume);

// The volume parameters (channel 9): the current volume the title strip
// shows, and the start and maximum volumes of the system page.
int CurrentVolumeAddress(Volume volume);
int StartVolumeAddress(Volume volume);
int MaxVolumeAddress(Volume volume);
inline constexpr int kVolumeTop = 84;

// The processor-wide switches (channel 0): automatic (0) or manual (1),
// and the scene, sing (0) or dance (1).
inline constexpr int kOperatingModeAddress = 0x0000;
inline constexpr int kSceneAddress = 0x0001;
inline constexpr int kCurrentModeAddress = 0x0902;

// The current volume the processor is given for a requested one: never
// above the group's maximum volume, as the window keeps it.
int LimitedVolume(int requested, int maximum);

// Why a body was refused: the field (empty for the body as a whole) and
// the reason, in English.
struct BodyProblem {
  std::string field;
  std::string why;
};

// A body read: the value, or the problem.
struct BodyValue {
  std::optional<int> value;
  BodyProblem problem;
  explicit operator bool() const { return value.has_value(); }
};

// {"mode": N}, N from 1 to 15: the mode number (1..15).
BodyValue ReadModeBody(std::string_view body);
// {"value": V}, V from 0 to 84.
BodyValue ReadVolumeBody(std::string_view body);
// {"scene": "sing"|"dance"}: 0 for sing, 1 for dance.
BodyValue ReadSceneBody(std::string_view body);

const char* SceneName(int scene);

// True when both texts are equal; takes the same time for every text of
// the same length as `expected`, wherever the first difference lies.
bool SameToken(std::string_view given, std::string_view expected);

// The token of an Authorization header value "Bearer TOKEN" (the scheme in
// any letter case); nullopt for any other header.
std::optional<std::string_view> BearerToken(std::string_view authorization);

// A token may be kept in a file of printable ASCII: what such a file holds,
// without the white space around it; empty when it holds no usable token.
std::string TokenFromFile(std::string_view content);

}  // namespace dsp::desk
