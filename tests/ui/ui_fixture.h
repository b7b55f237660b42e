#pragma once
// A started main window on a fresh store, shared by the UI tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QTranslator>
#include <memory>
#include <ostream>

#include "mainwindow/main_window.h"
#include "editing/store_refresh.h"
#include "i18n/language.h"
#include "panels/edit_state.h"
#include "store/param_store.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace dsp {

// Fills the stores with the widest texts every field and pane can show and
// refreshes the window: for layout checks and screenshots.
inline void FillWidestValues(ParamStore& store, MainWindow& window) {
  for (int channel = 0; channel <= 9; ++channel) {
    for (int slot = 0; slot < BlockLength[channel]; ++slot) {
      int value = 1000;
      if (HasEqualiser(channel) && slot >= EqBase[channel]) {
        const int field = (slot - EqBase[channel]) % 5;
        value = field == 0 ? 0 : field == 1 ? 361 : field == 2 ? 0 : 100;
      }
      store.SetDevice(channel, DeviceIndex(channel, slot, 0), value);
    }
  }
  store.SetDevice(9, 2, kModeCount - 1);  // the highest mode number
  window.Editing().LastChangedAddress = 0x0005;
  window.Refresher().RefreshFromStore(20);
}

// The program's language for as long as it lives (UI tests otherwise run in
// the source language, Chinese).
class ScopedLanguage {
 public:
  explicit ScopedLanguage(UiLanguage language) : translator_(InstallTranslation(*qApp, language)) {
    if (language != UiLanguage::Chinese) EXPECT_NE(translator_, nullptr) << "translation not embedded";
  }
  ~ScopedLanguage() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
  }
  ScopedLanguage(const ScopedLanguage&) = delete;
  ScopedLanguage& operator=(const ScopedLanguage&) = delete;

 private:
  std::unique_ptr<QTranslator> translator_;
};

class StartedWindow : public testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(store);
    window->show();
    QApplication::processEvents();
  }
  void TearDown() override { window.reset(); }

  template <typename T = QWidget>
  T* W(const char* name) const {
    return window->findChild<T*>(QString::fromLatin1(name));
  }

  ParamStore store;
  std::unique_ptr<MainWindow> window;
};

}  // namespace dsp
