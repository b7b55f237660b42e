#pragma once
// Texts of the core shown in widgets. The core keeps the processor's own
// Chinese texts and marks them for translation; they are translated here, in
// the context they were marked with, when a widget shows them.

#include <QCoreApplication>
#include <QString>
#include <string>

namespace dsp {

// A caption, item or unit of the parameter catalogue.
inline QString CatalogueText(const std::string& text) {
  return QCoreApplication::translate("Catalogue", text.c_str());
}

}  // namespace dsp
