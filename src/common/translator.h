#pragma once
// Texts the core shows to the user, in the user's language. The core keeps
// the processor's own (Chinese) texts as source texts, marked with
// DSP_TRANSLATE_NOOP(context, text); whoever shows them hands the core a
// Translator, and the core translates a text (a pattern, for a text with
// parts such as a port name) before it fills in the parts. Without one the
// source texts are shown, byte for byte.

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/translation_mark.h"

namespace dsp {

class Translator {
 public:
  virtual ~Translator() = default;
  // `source`, marked in `context`, in the user's language; the source text
  // itself when there is no translation for it.
  virtual std::string Translate(const char* context, const char* source) const;
};

// The translator that keeps the source texts.
const Translator& SourceTexts();

// `pattern` with %1 .. %9 replaced by the arguments in order (a % followed
// by anything else stays as it is). A translation may move the parts.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace dsp
