#pragma once
// A started main window on a fresh store, shared by the UI tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <memory>
#include <ostream>

#include "mainwindow/main_window.h"
#include "store/param_store.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace dsp {

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
