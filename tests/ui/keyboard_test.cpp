// The window without a mouse: page keys and the controls reached with Tab.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

#include "editing/page_switcher.h"
#include "mainwindow/main_window.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

class KeyboardTest : public StartedWindow {
 protected:
  void SetUp() override {
    StartedWindow::SetUp();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  int Shown() const { return W<QStackedWidget>("FormPageItem")->currentIndex(); }
};

TEST_F(KeyboardTest, CtrlDigitsAndCtrlTabSwitchPagesAsTheTabsDo) {
  for (int page : {2, 7, 0, 4}) {
    QTest::keyClick(window.get(), static_cast<Qt::Key>(Qt::Key_1 + page), Qt::ControlModifier);
    EXPECT_EQ(Shown(), page);
    EXPECT_EQ(window->Pages().CurrentPageIndex(), page);
  }
  QTest::keyClick(window.get(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Shown(), 5);
  QTest::keyClick(window.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(window.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Shown(), 3);
  // Wrapping at both ends.
  QTest::keyClick(window.get(), Qt::Key_8, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Shown(), 0);
  QTest::keyClick(window.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Shown(), 7);
}

TEST_F(KeyboardTest, ADisabledTabStaysShutToItsKey) {
  QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
  W("FormTabBtn3")->setEnabled(false);
  QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(Shown(), 0);
}

TEST_F(KeyboardTest, TabReachesTheSlidersAndTheArrowsStepThem) {
  QTest::keyClick(window.get(), Qt::Key_4, Qt::ControlModifier);  // main output
  auto* level = W<QSlider>("MainMusLevelBar");
  ASSERT_NE(level, nullptr);
  QWidget* start = QApplication::focusWidget();
  QWidget* w = start;
  for (int i = 0; i < 400 && w != level; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    w = QApplication::focusWidget();
  }
  ASSERT_EQ(w, level) << "Tab never reached the music level slider";
  const int before = level->value();
  QTest::keyClick(level, before < level->maximum() ? Qt::Key_Right : Qt::Key_Left);
  EXPECT_NE(level->value(), before);
}

}  // namespace
}  // namespace dsp
