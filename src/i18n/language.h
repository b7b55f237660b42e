#pragma once
// The language the program speaks. The processor's own Chinese texts are the
// source texts and the default; English comes from the translation embedded
// in the program. The language follows the system's UI language (English
// when that is English, Chinese otherwise, also under the C/POSIX locale);
// --lang zh|en overrides it.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "common/translator.h"

class QCoreApplication;
class QTranslator;

namespace dsp {

enum class UiLanguage { Chinese, English };

// `option` is the value of --lang ("" when it was not given), `uiLanguages`
// the system's UI languages in order of preference
// (QLocale::system().uiLanguages()). Nothing for an unknown --lang value.
std::optional<UiLanguage> ChooseLanguage(const QString& option, const QStringList& uiLanguages);

// The short code of a language: "zh" or "en".
QString LanguageCode(UiLanguage language);

// Loads the translation for `language` and installs it on the application;
// Chinese needs none. Returns the installed translator (kept alive by the
// caller), or nullptr for Chinese or when the translation is missing.
std::unique_ptr<QTranslator> InstallTranslation(QCoreApplication& app, UiLanguage language);

// The core's texts in the language of the translations installed on the
// application (the source texts when none is installed).
class InstalledTranslation : public Translator {
 public:
  std::string Translate(const char* context, const char* source) const override;
};

}  // namespace dsp
