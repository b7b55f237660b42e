#include "i18n/language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace dsp {

std::optional<UiLanguage> ChooseLanguage(const QString& option, const QStringList& uiLanguages) {
  const QString chosen = option.trimmed().toLower();
  if (chosen == QLatin1String("zh")) return UiLanguage::Chinese;
  if (chosen == QLatin1String("en")) return UiLanguage::English;
  if (!chosen.isEmpty()) return std::nullopt;
  // The first preference decides: an English desktop gets English, any
  // other language, and the C/POSIX locale, the processor's own texts.
  if (!uiLanguages.isEmpty()) {
    const QString first = uiLanguages.front().toLower();
    if (first == QLatin1String("en") || first.startsWith(QLatin1String("en-")) ||
        first.startsWith(QLatin1String("en_"))) {
      return UiLanguage::English;
    }
  }
  return UiLanguage::Chinese;
}

QString LanguageCode(UiLanguage language) {
  return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::unique_ptr<QTranslator> InstallTranslation(QCoreApplication& app, UiLanguage language) {
  if (language == UiLanguage::Chinese) return nullptr;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral(":/i18n/dsp-control_%1.qm").arg(LanguageCode(language)))) {
    return nullptr;
  }
  app.installTranslator(translator.get());
  return translator;
}

std::string InstalledTranslation::Translate(const char* context, const char* source) const {
  return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace dsp
