// The program's languages: which one is chosen from --lang and the system's
// UI languages, and a window built under the English translation.

#include "i18n/language.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>

#include "catalogue/catalogue.h"
#include "linked_app.h"
#include "logview/traffic_log.h"
#include "mainwindow/main_window.h"
#include "panels/picture_button.h"
#include "panels/ui_text.h"
#include "store/param_store.h"
#include "system/system_page.h"
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
    // The tabs say the page titles.
    for (int page = 0; page < 8; ++page) {
      EXPECT_EQ(ButtonText(window, QStringLiteral("FormTabBtn%1").arg(page + 1).toLatin1().constData()),
                QString::fromUtf8(PageTitle(page)));
    }
  }
  std::unique_ptr<QTranslator> english = InstallTranslation(*qApp, UiLanguage::English);
  ASSERT_NE(english, nullptr) << "the English translation is not embedded";
  {
    ParamStore store;
    MainWindow window(store);
    EXPECT_EQ(ButtonText(window, "SavePresetBtn"), QStringLiteral("Save to computer"));
    // A tab says its page's title shorter where the title would not fit.
    EXPECT_EQ(ButtonText(window, "FormTabBtn4"), QStringLiteral("Main"));
    EXPECT_EQ(CatalogueText(PageTitle(3)), QStringLiteral("Main output"));
    // Catalogue captions are translated where they are shown.
    bool found = false;
    for (const QLabel* label : window.findChildren<QLabel*>())
      found |= label->text() == QStringLiteral("Reverb time:");
    EXPECT_TRUE(found);
  }
  QCoreApplication::removeTranslator(english.get());
}

// The whole application made under the English translation, linked to the
// in-process processor: what the core says (status, traffic, parameter
// names, preset notices) reaches the user in English too.
class EnglishApp : public LinkedApp {
 protected:
  void SetUp() override {
    emulator.LoadFactorySetting();  // no keyboard lock prompt
    english_ = InstallTranslation(*qApp, UiLanguage::English);
    ASSERT_NE(english_, nullptr);
  }
  void TearDown() override {
    LinkedApp::TearDown();
    if (english_) QCoreApplication::removeTranslator(english_.get());
  }

 private:
  std::unique_ptr<QTranslator> english_;
};

TEST_F(EnglishApp, TheCoresTextsReachTheUserInEnglish) {
  Connect();
  Flush();
  EXPECT_EQ(W<QLabel>("LinkStatusLine")->accessibleName(), QStringLiteral("Connected"));
  QStringList traffic;
  for (const TrafficLog::Entry& e : app->Traffic().Entries()) traffic << e.text;
  for (const char* line : {"Open EMU", "Status: Searching...", "Status: Connected", "Sent FC", "Received F"})
    EXPECT_TRUE(traffic.join(QLatin1Char('\n')).contains(QString::fromLatin1(line))) << line;

  // A parameter named in the user's language in the undo button's tooltip.
  app->Window().Pages().FormTabBtn1Click(app->Window().Registry().PageTabs()[0]);
  auto* field = W<QLineEdit>("MusFreEdit3");
  QTest::mouseClick(field, Qt::LeftButton);
  field->selectAll();
  QTest::keyClicks(field, QStringLiteral("1200"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_TRUE(W<QWidget>("UndoBtn")->toolTip().startsWith(QStringLiteral("Undo: Music EQ3 Freq ")))
      << W<QWidget>("UndoBtn")->toolTip().toStdString();

  // A preset notice: loading with an empty name finds no file.
  app->System().Services().ask = [](const QString&, const QString&, QuestionButtons) { return Answer::Yes; };
  W<QLineEdit>("FileEdit")->clear();
  W<QAbstractButton>("LoadPresetBtn")->click();
  EXPECT_EQ(messages, QStringList{QStringLiteral("File not found")});
}

}  // namespace
}  // namespace dsp
