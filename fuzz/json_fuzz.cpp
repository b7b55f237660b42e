// Fuzz target for the JSON reader: any input either parses or fails with a
// reason and a position inside the text; what parses is written in both
// styles, and each text reads back as the same value (the writer's output
// is strict JSON and loses nothing).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "json/json.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dsp::json;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseError error;
  const auto value = Parse(text, error);
  if (!value) {
    Check(!error.message.empty());
    Check(error.line >= 1 && error.column >= 1);
    return 0;
  }
  for (const Style style : {Style::Compact, Style::Pretty}) {
    const std::string written = Write(*value, style);
    Check(ValidUtf8(written));
    ParseError again;
    const auto back = Parse(written, again);
    Check(back.has_value());
    Check(*back == *value);
    Check(Write(*back, style) == written);
  }
  return 0;
}
