#include "common/translator.h"

namespace dsp {

std::string Translator::Translate(const char* context, const char* source) const {
  (void)context;
  return source;
}

const Translator& SourceTexts() {
  static const Translator source;
  return source;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(pattern.size() + 16);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace dsp
