// Layout review that runs on every build: on each page, with the widest
// texts the fields and panes can show, no two controls a user sees overlap
// and no caption or value is cut off.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include "mainwindow/main_window.h"
#include "mainwindow/page_switcher.h"
#include "mainwindow/store_refresh.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/spin_buttons.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

bool IsControl(const QWidget* w) {
  return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const SpinButtons*>(w);
}

// The graph's overlays (band points, value label, "EQ PASS") sit on the
// graph picture by design; so do the widgets a control is made of.
bool Ignored(const QWidget* w, const QWidget* graph) {
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (p == graph) return true;
    if (qobject_cast<const QComboBox*>(p) || qobject_cast<const SpinButtons*>(p) ||
        qobject_cast<const QAbstractSlider*>(p) || qobject_cast<const QLineEdit*>(p))
      return true;
  }
  return false;
}

// A picture behind other controls (the title strip's bitmap) is no control
// of its own: whatever lies on it is meant to.
bool IsBackdrop(const QWidget* w) {
  auto* label = qobject_cast<const QLabel*>(w);
  return label != nullptr && !label->pixmap().isNull() && w->testAttribute(Qt::WA_TransparentForMouseEvents);
}

// A control's rectangle in window coordinates, cut to what its ancestors
// show (a scrolled strip hides part of its content).
QRect VisibleRect(const QWidget* w, const QWidget* window) {
  QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
  for (const QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
    r &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
  return r;
}

using LayoutTest = StartedWindow;

TEST_F(LayoutTest, NoControlsOverlapAndNoTextIsCutOff) {
  FillWidestValues(store, *window);
  QWidget* graph = W("AdvPanel2");
  ASSERT_NE(graph, nullptr);
  const QRect client = window->rect();
  for (int page = 0; page < 8; ++page) {
    window->Pages().FormTabBtn1Click(window->Registry().PageTabs()[page]);
    QApplication::processEvents();
    std::vector<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (!IsControl(w) || !w->isVisibleTo(window.get()) || Ignored(w, graph)) continue;
      if (VisibleRect(w, window.get()).isEmpty()) continue;
      shown.push_back(w);
    }
    ASSERT_GT(shown.size(), 20u) << "page " << page;
    for (QWidget* w : shown) {
      const QRect r = VisibleRect(w, window.get());
      EXPECT_TRUE(client.contains(r)) << "page " << page << ": " << w->objectName().toStdString()
                                      << " leaves the window";
      // Texts fit their widgets.
      QString text;
      int room = 0;
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && label->pixmap().isNull()) {
        text = label->text();
        room = label->contentsRect().width() - 2 * label->margin();
      } else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && edit->echoMode() == QLineEdit::Normal) {
        text = edit->text();
        room = edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right() - 4;
      } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        text = button->text();
        room = button->width();
      }
      if (!text.isEmpty() && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('<'))) {
        EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room)
            << "page " << page << ": \"" << text.toStdString() << "\" is cut off in "
            << w->objectName().toStdString();
      }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        QWidget* a = shown[i];
        QWidget* b = shown[j];
        if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
        if (IsBackdrop(a) || IsBackdrop(b)) continue;
        const QRect overlap = VisibleRect(a, window.get()) & VisibleRect(b, window.get());
        // The page tabs overlap their neighbours by a pixel or two, as drawn.
        if (overlap.width() <= 2 || overlap.height() <= 2) continue;
        ADD_FAILURE() << "page " << page << ": " << a->objectName().toStdString() << " ("
                      << a->metaObject()->className() << " in " << a->parentWidget()->objectName().toStdString()
                      << ") overlaps " << b->objectName().toStdString() << " (" << b->metaObject()->className()
                      << " in " << b->parentWidget()->objectName().toStdString() << ")";
      }
    }
  }
}

}  // namespace
}  // namespace dsp
