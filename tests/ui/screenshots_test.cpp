// Renders each page of the main window and the status dialog to PNG files
// for review. Runs only when DSP_SCREENSHOT_DIR names the output folder
// (scripts/screenshots.sh sets it and runs under a virtual display); with
// DSP_SCREENSHOT_LANG=en the window speaks English.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTranslator>

#include "i18n/language.h"
#include "mainwindow/main_window.h"
#include "editing/page_switcher.h"
#include "mainwindow/status_dialog.h"
#include "editing/store_refresh.h"
#include "panels/picture_button.h"
#include "store/param_store.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

TEST(Screenshots, RenderEveryPage) {
  const QString dir = qEnvironmentVariable("DSP_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "set DSP_SCREENSHOT_DIR to render the pages";
  QDir().mkpath(dir);
  const bool english = qEnvironmentVariable("DSP_SCREENSHOT_LANG") == QLatin1String("en");
  const std::unique_ptr<QTranslator> translation =
      InstallTranslation(*qApp, english ? UiLanguage::English : UiLanguage::Chinese);
  ParamStore store;
  MainWindow window(store);
  window.show();
  QApplication::processEvents();
  for (int page = 0; page < 8; ++page) {
    window.Pages().FormTabBtn1Click(window.Registry().PageTabs()[page]);
    QApplication::processEvents();
    const QString path = QStringLiteral("%1/page%2.png").arg(dir).arg(page);
    ASSERT_TRUE(window.grab().save(path)) << path.toStdString();
  }
  // Again with the widest texts every field and pane can show.
  FillWidestValues(store, window);
  for (int page = 0; page < 8; ++page) {
    window.Pages().FormTabBtn1Click(window.Registry().PageTabs()[page]);
    QApplication::processEvents();
    const QString path = QStringLiteral("%1/page%2-full.png").arg(dir).arg(page);
    ASSERT_TRUE(window.grab().save(path)) << path.toStdString();
  }
  StatusDialog dialog;
  dialog.UpdateStatus(QCoreApplication::translate("Link", "连接中..."), 38);
  dialog.show();
  QApplication::processEvents();
  ASSERT_TRUE(dialog.grab().save(dir + QStringLiteral("/status.png")));
  if (translation) QCoreApplication::removeTranslator(translation.get());
}

}  // namespace
}  // namespace dsp
