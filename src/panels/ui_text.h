#pragma once
// Texts of the core shown in widgets. The core keeps the processor's own
// Chinese texts and marks them for translation; they are translated here, in
// the context they were marked with, when a widget shows them.

#include <QCoreApplication>
#include <QString>
#include <string>

namespace dsp {

// A text the core marked with DSP_TRANSLATE_NOOP(context, text).
inline QString CoreText(const char* context, const char* text) {
  return QCoreApplication::translate(context, text);
}

// A caption, item or unit of the parameter catalogue.
inline QString CatalogueText(const std::string& text) {
  return QCoreApplication::translate("Catalogue", text.c_str());
}

}  // namespace dsp
