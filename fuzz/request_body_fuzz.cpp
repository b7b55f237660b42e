// Fuzz target for the front desk's request bodies: whatever a client
// sends, the readers give a value in its range or a refusal that says why,
// and never read outside the body.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "desk/requests.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dsp::desk;
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const BodyValue mode = ReadModeBody(body);
  Check(mode.value ? (*mode.value >= 1 && *mode.value <= 15) : !mode.problem.why.empty());
  const BodyValue volume = ReadVolumeBody(body);
  Check(volume.value ? (*volume.value >= 0 && *volume.value <= kVolumeTop) : !volume.problem.why.empty());
  const BodyValue scene = ReadSceneBody(body);
  Check(scene.value ? (*scene.value == 0 || *scene.value == 1) : !scene.problem.why.empty());
  // The token checks take any header and file content.
  if (const auto token = BearerToken(body)) Check(!token->empty() && SameToken(*token, *token));
  const std::string fromFile = TokenFromFile(body);
  for (char c : fromFile) Check(c > 0x20 && c < 0x7F);
  return 0;
}
