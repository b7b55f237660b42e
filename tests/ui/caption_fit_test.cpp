// Captions at the design size and at larger fonts, in both languages: every
// caption on every page fits its widget, or, where a larger font leaves it
// too little room, the widget's tooltip carries it whole.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>

#include "editing/page_switcher.h"
#include "panels/control_registry.h"
#include "panels/picture_button.h"
#include "text_fit.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

// Every widget's own font this many pixels larger.
void GrowFonts(QWidget& window, int pixels) {
  for (QWidget* w : window.findChildren<QWidget*>()) {
    QFont font = w->font();
    if (font.pixelSize() > 0) {
      font.setPixelSize(font.pixelSize() + pixels);
    } else {
      font.setPointSizeF(font.pointSizeF() + pixels * 0.75);
    }
    w->setFont(font);
  }
}

// The room a choice box leaves its items: less its drop-down arrow (14),
// padding (4 each side) and border.
int ItemRoom(const QComboBox& box) {
  return box.width() - 14 - 2 * 4 - 2;
}

TEST(CaptionFitTest, EveryCaptionFitsOrItsTooltipCarriesIt) {
  struct Case {
    UiLanguage language;
    const char* code;
    int larger;  // pixels added to every font
  };
  const Case cases[] = {{UiLanguage::Chinese, "zh", 0}, {UiLanguage::Chinese, "zh", 2},
                        {UiLanguage::Chinese, "zh", 4}, {UiLanguage::English, "en", 0},
                        {UiLanguage::English, "en", 2}, {UiLanguage::English, "en", 4}};
  for (const Case& c : cases) {
    const std::string where = std::string(c.code) + " +" + std::to_string(c.larger) + "px";
    ScopedLanguage language(c.language);
    ParamStore store;
    MainWindow window(store);
    window.show();
    QApplication::processEvents();
    GrowFonts(window, c.larger);
    // The graph's axis labels and overlays are the graph's own drawing.
    const QWidget* graphPanel = window.findChild<QWidget*>(QStringLiteral("AdvPanel1"));
    const QWidget* bottomBar = window.findChild<QWidget*>(QStringLiteral("EQBottomBar"));
    for (int page = 0; page < kPageCount; ++page) {
      window.Pages().FormTabBtn1Click(window.Registry().PageTabs()[page]);
      QApplication::processEvents();
      for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || (graphPanel->isAncestorOf(w) && !bottomBar->isAncestorOf(w))) continue;
        const std::string what = where + " page " + std::to_string(page) + ": " + w->objectName().toStdString();
        if (const std::optional<ShownText> caption = CaptionOf(w)) {
          // At the design size every caption fits; larger fonts may leave a
          // caption elided, with its full text in the tooltip.
          if (c.larger == 0 || !caption->Fits()) {
            EXPECT_TRUE(caption->Fits() || (c.larger > 0 && w->toolTip().contains(caption->text)))
                << what << " \"" << caption->text.toStdString() << "\" needs "
                << QFontMetrics(caption->font).horizontalAdvance(caption->text) << " of " << caption->room
                << " pixels; tooltip \"" << w->toolTip().toStdString() << "\"";
          }
          // A button draws what fits: its caption, or the caption elided.
          if (auto* button = qobject_cast<PictureButton*>(w)) {
            EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->ShownCaption()), button->width())
                << what;
          }
        }
        if (auto* box = qobject_cast<QComboBox*>(w)) {
          for (int i = 0; i < box->count(); ++i) {
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)), ItemRoom(*box))
                << what << " item \"" << box->itemText(i).toStdString() << "\"";
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace dsp
