// Layout review that runs on every build: on each page, with the widest
// texts the fields and panes can show, no two controls a user sees overlap
// and no caption or value is cut off.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionFrame>

#include "mainwindow/main_window.h"
#include "editing/page_switcher.h"
#include "editing/store_refresh.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/spin_buttons.h"
#include "text_fit.h"
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
      EXPECT_TRUE(client.contains(r))
          << "page " << page << ": " << w->objectName().toStdString() << " leaves the window";
      // Texts fit their widgets.
      std::optional<ShownText> text = CaptionOf(w);
      if (!text) text = ValueOf(w);
      if (text) {
        EXPECT_TRUE(text->Fits()) << "page " << page << ": \"" << text->text.toStdString() << "\" is cut off in "
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
                      << a->metaObject()->className() << " in "
                      << a->parentWidget()->objectName().toStdString() << ") overlaps "
                      << b->objectName().toStdString() << " (" << b->metaObject()->className() << " in "
                      << b->parentWidget()->objectName().toStdString() << ")";
      }
    }
  }
}

// Text must stay readable in every state a widget can be in: a contrast
// ratio of at least 4.5 between the caption and what is drawn behind it.
constexpr double kMinContrast = 4.5;

// The contrast of a button's caption in one look over the background drawn
// behind it, measured on the rendered picture where the caption goes.
double CaptionContrast(const PictureButton& button, PictureButton::Look look, PictureButton::Picture base) {
  const QImage background = button.Render(look, base, /*withCaption=*/false);
  const QColor behind = PictureButton::MeanColour(background, button.CaptionArea());
  return PictureButton::ContrastRatio(button.CaptionColourFor(look, base), behind);
}

const char* LookName(PictureButton::Look look) {
  switch (look) {
    case PictureButton::Look::Idle:
      return "idle";
    case PictureButton::Look::Focused:
      return "focused";
    case PictureButton::Look::Hot:
      return "hot";
    case PictureButton::Look::Pressed:
      return "pressed";
    case PictureButton::Look::Disabled:
      return "disabled";
  }
  return "?";
}

// Every captioned picture button, with every one of its six pictures as
// the picture its state shows (a state copies any of them into the normal
// picture), idle, focused and pointed at, and pressed and disabled; for
// every page tab as the chosen one, since that changes pictures and
// captions of all tabs.
TEST_F(LayoutTest, EveryButtonCaptionIsReadableInEveryState) {
  using Look = PictureButton::Look;
  const auto tabs = window->Registry().PageTabs();
  for (int chosen = 0; chosen < 8; ++chosen) {
    window->Pages().FormTabBtn1Click(tabs[static_cast<std::size_t>(chosen)]);
    for (PictureButton* button : window->findChildren<PictureButton*>()) {
      if (button->text().isEmpty()) continue;
      const bool tab = std::find(tabs.begin(), tabs.end(), button) != tabs.end();
      // Buttons other than tabs do not change with the page: once is enough.
      if (!tab && chosen > 0) continue;
      for (int p = 0; p < PictureButton::kPictureCount; ++p) {
        const auto base = static_cast<PictureButton::Picture>(p);
        if (button->picture(base).isNull()) continue;
        // A tab's normal picture is what the page switch gave it.
        if (tab && base != PictureButton::Normal) continue;
        for (Look look : {Look::Idle, Look::Focused, Look::Hot}) {
          EXPECT_GE(CaptionContrast(*button, look, base), kMinContrast)
              << button->objectName().toStdString() << " \"" << button->text().toStdString() << "\" "
              << LookName(look) << " on picture " << p << " (page " << chosen << " chosen)";
        }
      }
      // The skin's own caption colours read well as they are: the fallback to
      // black or white is only a safety net.
      for (int p : {PictureButton::Normal, PictureButton::Pressed, PictureButton::Disabled}) {
        if (tab && p != PictureButton::Normal) continue;
        for (Look look : {Look::Idle, Look::Focused, Look::Hot}) {
          EXPECT_EQ(button->CaptionColourFor(look, static_cast<PictureButton::Picture>(p)).rgb(),
                    button->captionColour().rgb())
              << button->objectName().toStdString() << " " << LookName(look) << " on picture " << p;
        }
      }
      for (Look look : {Look::Pressed, Look::Disabled}) {
        EXPECT_GE(CaptionContrast(*button, look, PictureButton::Normal), kMinContrast)
            << button->objectName().toStdString() << " \"" << button->text().toStdString() << "\" "
            << LookName(look) << " (page " << chosen << " chosen)";
      }
    }
  }
}

// The chosen tab keeps its look and its white caption while it has the
// keyboard focus (it used to turn light grey with the caption still white).
TEST_F(LayoutTest, TheFocusedChosenTabKeepsItsLook) {
  auto* tab = W<PictureButton>("FormTabBtn1");
  window->Pages().FormTabBtn1Click(tab);
  EXPECT_EQ(tab->CaptionColourFor(PictureButton::Look::Focused), QColor(255, 255, 255));
  const QImage idle = tab->Render(PictureButton::Look::Idle, PictureButton::Normal, false);
  const QImage focused = tab->Render(PictureButton::Look::Focused, PictureButton::Normal, false);
  EXPECT_EQ(PictureButton::MeanColour(focused, tab->CaptionArea()),
            PictureButton::MeanColour(idle, tab->CaptionArea()));
  // The other tabs keep their black captions.
  EXPECT_EQ(W<PictureButton>("FormTabBtn2")->CaptionColourFor(PictureButton::Look::Focused), QColor(0, 0, 0));
}

// A command button at rest does not look like a lit or pressed one.
TEST_F(LayoutTest, TheEqResetButtonAtRestDoesNotLookPressed) {
  auto* reset = W<PictureButton>("EQResetBtn");
  auto* link = W<PictureButton>("LinkBtn");
  window->Visual().Apply(link, ButtonVisual::kLinkPair);  // "联机" lit
  const QRect area = reset->CaptionArea();
  const QColor rest = PictureButton::MeanColour(reset->Render(PictureButton::Look::Idle), area);
  const QColor pressed = PictureButton::MeanColour(reset->Render(PictureButton::Look::Pressed), area);
  const QColor lit = PictureButton::MeanColour(
      link->Render(PictureButton::Look::Idle, PictureButton::Normal, false), link->CaptionArea());
  auto distance = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
  };
  EXPECT_GT(distance(rest, pressed), 90);
  EXPECT_GT(distance(rest, lit), 90);
  // A lit button reads as lit: its face is bluer than the one at rest.
  EXPECT_GT(lit.blue() - lit.red(), rest.blue() - rest.red() + 60);
}

// The colour that covers most of an image: the background behind a text.
QColor ModeColour(const QImage& image) {
  QHash<QRgb, int> counts;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) ++counts[rgb.pixel(x, y)];
  QRgb best = 0;
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > most) {
      most = it.value();
      best = it.key();
    }
  }
  return QColor::fromRgb(best);
}

// The contrast of the drawn text against the background it is drawn on,
// measured on the window's own picture: the pixel that stands out most from
// the commonest colour is taken as the ink (glyph stems are drawn solid).
double DrawnTextContrast(QWidget* window, QWidget* w) {
  QRect inner(w->mapTo(window, QPoint(0, 0)), w->size());
  inner.adjust(2, 2, -2, -2);  // leave the frame out
  const QImage shot = window->grab(inner).toImage().convertToFormat(QImage::Format_RGB32);
  const QColor behind = ModeColour(shot);
  double best = 1.0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      best = std::max(best, PictureButton::ContrastRatio(QColor::fromRgb(shot.pixel(x, y)), behind));
  return best;
}

// Text fields, choice boxes, value panes and labels read well on every page,
// enabled and disabled (automatic mode disables many of them).
TEST_F(LayoutTest, EveryFieldAndLabelIsReadableEnabledAndDisabled) {
  FillWidestValues(store, *window);
  QWidget* graph = W("AdvPanel2");
  for (int page = 0; page < 8; ++page) {
    window->Pages().FormTabBtn1Click(window->Registry().PageTabs()[page]);
    QApplication::processEvents();
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (!w->isVisibleTo(window.get()) || Ignored(w, graph)) continue;
      if (VisibleRect(w, window.get()) != QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size())) continue;
      auto* label = qobject_cast<QLabel*>(w);
      auto* edit = qobject_cast<QLineEdit*>(w);
      auto* box = qobject_cast<QComboBox*>(w);
      if (label != nullptr && (label->text().isEmpty() || !label->pixmap().isNull())) continue;
      if (edit != nullptr && (edit->text().isEmpty() || edit->echoMode() != QLineEdit::Normal)) continue;
      if (box != nullptr && box->currentText().isEmpty()) continue;
      if (label == nullptr && edit == nullptr && box == nullptr) continue;
      for (const bool enabled : {true, false}) {
        const bool before = w->isEnabled();
        w->setEnabled(enabled);
        QApplication::processEvents();
        EXPECT_GE(DrawnTextContrast(window.get(), w), kMinContrast)
            << "page " << page << ": " << w->metaObject()->className() << " " << w->objectName().toStdString()
            << (enabled ? " enabled" : " disabled");
        w->setEnabled(before);
      }
    }
  }
}

// The link's message boxes ("连接失败!", "已断开连接!") are children of the
// skinned main window: their text must not take the pages' pale colour.
TEST_F(LayoutTest, MessageBoxTextIsReadable) {
  for (const char* text : {"连接失败!", "已断开连接!", "保存成功!"}) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), QString::fromUtf8(text),
                    QMessageBox::Ok, window.get());
    box.ensurePolished();
    box.show();
    QApplication::processEvents();
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    const QImage shot = box.grab().toImage();
    // The box's own background, next to the text.
    const QPoint corner = label->mapTo(&box, QPoint(0, 0)) - QPoint(4, 0);
    const QColor behind = PictureButton::MeanColour(shot, QRect(corner, QSize(2, label->height())));
    const QColor ink = label->palette().color(label->foregroundRole());
    EXPECT_GE(PictureButton::ContrastRatio(ink, behind), kMinContrast)
        << text << ": " << ink.name().toStdString() << " on " << behind.name().toStdString();
    box.hide();
  }
}

}  // namespace
}  // namespace dsp
