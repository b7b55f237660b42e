// The program's languages: which one is chosen from --lang and the system's
// UI languages, and a window built under the English translation.

#include "i18n/language.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTranslator>

#include "mainwindow/main_window.h"
#include "panels/picture_button.h"
#include "store/param_store.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

TEST(LanguageTest, OptionOverridesTheSystemWhichDecidesByItsFirstLanguage) {
  struct Case {
    const char* option;
    QStringList system;
    std::optional<UiLanguage> expected;
  };
  const Case cases[] = {
      {"", {"en-US", "zh-CN"}, UiLanguage::English},
      {"", {"en"}, UiLanguage::English},
      {"", {"zh-CN", "en-US"}, UiLanguage::Chinese},
      {"", {"de-DE"}, UiLanguage::Chinese},
      {"", {"C"}, UiLanguage::Chinese},  // the C/POSIX locale
      {"", {}, UiLanguage::Chinese},
      {"", {"eng"}, UiLanguage::Chinese},  // not English, just starting with "en"
      {"en", {"zh-CN"}, UiLanguage::English},
      {"EN", {"zh-CN"}, UiLanguage::English},
      {"zh", {"en-GB"}, UiLanguage::Chinese},
      {"fr", {"en-GB"}, std::nullopt},
      {"english", {}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseLanguage(QString::fromLatin1(c.option), c.system), c.expected)
        << c.option << " / " << c.system.join(QLatin1Char(',')).toStdString();
  }
}

QString ButtonText(MainWindow& window, const char* name) {
  auto* button = window.findChild<PictureButton*>(QString::fromLatin1(name));
  return button != nullptr ? button->text() : QString();
}

TEST(LanguageTest, EnglishTranslationIsEmbeddedAndUsedByTheWindow) {
  EXPECT_EQ(InstallTranslation(*qApp, UiLanguage::Chinese), nullptr);
  {
    ParamStore store;
    MainWindow window(store);
    EXPECT_EQ(ButtonText(window, "SavePresetBtn"), QStringLiteral("保存数据到电脑"));
  }
  std::unique_ptr<QTranslator> english = InstallTranslation(*qApp, UiLanguage::English);
  ASSERT_NE(english, nullptr) << "the English translation is not embedded";
  {
    ParamStore store;
    MainWindow window(store);
    EXPECT_EQ(ButtonText(window, "SavePresetBtn"), QStringLiteral("Save to computer"));
    // Catalogue captions are translated where they are shown.
    bool found = false;
    for (const QLabel* label : window.findChildren<QLabel*>())
      found |= label->text() == QStringLiteral("Reverb time:");
    EXPECT_TRUE(found);
  }
  QCoreApplication::removeTranslator(english.get());
}

}  // namespace
}  // namespace dsp
