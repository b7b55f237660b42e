// The main window: start-up state, page switching, moving, maximising,
// resizing with anchored regions and closing.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>

#include "graph/eq_graph.h"
#include "mainwindow/anchors.h"
#include "editing/page_switcher.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

using WindowTest = StartedWindow;

bool ShowsPicture(const PictureButton* button, const PictureButton* source, PictureButton::Picture which) {
  return button->picture(PictureButton::Normal).cacheKey() == source->picture(which).cacheKey();
}

TEST_F(WindowTest, StartupShowsPageZeroWithItsTabPressed) {
  EXPECT_TRUE(window->WindowReady());
  EXPECT_EQ(window->objectName(), QStringLiteral("TForm1"));
  EXPECT_EQ(window->size(), QSize(1131, 659));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->Pages().CurrentPage(), 0x0000);
  EXPECT_EQ(W<QStackedWidget>("FormPageItem")->currentIndex(), 0);
  EXPECT_FALSE(W("AutoSingGrop")->isHidden());
  // The graph timer waits for work: nothing is left to draw after start-up.
  EXPECT_FALSE(window->Graph().HasWork());
  EXPECT_FALSE(window->GraphTimer()->isActive());
  EXPECT_EQ(window->GraphTimer()->interval(), 15);
  auto* example = W<PictureButton>("ExampleBtn");
  for (int page = 0; page < 8; ++page) {
    PictureButton* tab = window->Registry().PageTabs()[page];
    SCOPED_TRACE(page);
    EXPECT_EQ(tab->captionColour(), page == 0 ? QColor(255, 255, 255) : QColor(0, 0, 0));
    EXPECT_TRUE(ShowsPicture(tab, example, page == 0 ? PictureButton::Pressed : PictureButton::Normal));
    EXPECT_EQ(tab->picture(PictureButton::Pressed).cacheKey(),
              example->picture(PictureButton::Pressed).cacheKey());
  }
  EXPECT_TRUE(W("FirstCheckGrop")->isHidden());
  EXPECT_TRUE(W("LinkLabel")->isHidden());
  EXPECT_TRUE(W("ComComboBox1")->isHidden());
  EXPECT_TRUE(W("Memo2")->isHidden());
  EXPECT_TRUE(W("EQPassLabel")->isHidden());
}

TEST_F(WindowTest, TabCaptionsWidthsAndLeftEdges) {
  const char* captions[] = {"音乐", "麦克风", "效果", "主输出", "中置输出", "超低音输出", "后置输出", "系统"};
  const int widths[] = {40, 53, 40, 53, 70, 90, 70, 40};
  const int lefts[] = {-1, 38, 90, 129, 181, 249, 337, 406};
  for (int i = 0; i < 8; ++i) {
    PictureButton* tab = window->Registry().PageTabs()[i];
    EXPECT_EQ(tab->text(), QString::fromUtf8(captions[i]));
    EXPECT_EQ(tab->geometry(), QRect(lefts[i], 0, widths[i], 26));
  }
  EXPECT_EQ(W("TopTileGrop")->geometry(), QRect(0, 28, 1131, 26));
  EXPECT_EQ(W("AdvPanel1")->geometry(), QRect(0, 295, 1133, 366));
  EXPECT_EQ(W("AdvPanel2")->pos(), QPoint(40, 13));
  EXPECT_EQ(W("Image1")->size(), W("AdvPanel2")->size());
}

struct SwitchCase {
  int tab;
  int micGroupB;
  int currentPage;
  bool eqShown;   // graph panel and common band panel
  bool autoSing;  // the automatic/sing group
  QColor curve;
  QColor label;
  int bypassTag;  // -1: not checked (system page)
};

TEST_F(WindowTest, PageSwitchingSetsPageVisibilityColoursAndBypass) {
  const QColor blue(0, 204, 255, 255), pale(153, 255, 255, 255), orange(255, 102, 0, 255);
  const QColor normalLabel(199, 255, 255), orangeLabel(255, 102, 0);
  const SwitchCase cases[] = {
      {7, 0, 0x0907, false, false, pale, normalLabel, -1},
      {3, 0, 0x0503, true, true, pale, normalLabel, 0x051D},
      {2, 0, 0x0302, true, false, blue, normalLabel, 0x030C},
      {1, 1, 0x0101, true, false, orange, orangeLabel, 0x0103},
      {0, 1, 0x0000, true, true, blue, normalLabel, 0x0003},
      {1, 0, 0x0101, true, false, blue, normalLabel, 0x0103},
      {4, 0, 0x0704, true, true, pale, normalLabel, 0x071B},
      {5, 0, 0x0605, true, true, pale, normalLabel, 0x061B},
      {6, 0, 0x0806, true, true, pale, normalLabel, 0x081B},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.tab);
    store.MicGroupB = c.micGroupB;
    window->Registry().PageTabs()[c.tab]->click();
    PageSwitcher& pages = window->Pages();
    EXPECT_EQ(pages.CurrentPage(), c.currentPage);
    EXPECT_EQ(W<QStackedWidget>("FormPageItem")->currentIndex(), c.tab);
    EXPECT_EQ(!W("AdvPanel1")->isHidden(), c.eqShown);
    EXPECT_EQ(!W("EQCotrolGrop")->isHidden(), c.eqShown);
    EXPECT_EQ(!W("AutoSingGrop")->isHidden(), c.autoSing);
    EXPECT_EQ(pages.CurveColour(), c.curve);
    EXPECT_EQ(pages.EqLabelColour(), c.label);
    if (c.bypassTag >= 0) {
      EXPECT_EQ(Tag(W("MusEQAllpassBtn")), c.bypassTag);
    }
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(window->Registry().PageTabs()[i]->captionColour(),
                i == c.tab ? QColor(Qt::white) : QColor(Qt::black));
    }
  }
}

TEST_F(WindowTest, BypassButtonShowsTheStoredStateOfThePagesChannel) {
  auto* bypass = W<PictureButton>("MusEQAllpassBtn");
  store.SetParam(0x030C, 1);
  window->Registry().PageTabs()[2]->click();
  EXPECT_EQ(Hint(bypass), QStringLiteral("1"));
  EXPECT_EQ(bypass->picture(PictureButton::Normal).cacheKey(),
            bypass->picture(PictureButton::Pressed).cacheKey());
  EXPECT_EQ(window->Pages().EqPassFlags()[3], 1);
  EXPECT_FALSE(W("EQPassLabel")->isHidden());

  window->Registry().PageTabs()[3]->click();  // main output, bypass off
  EXPECT_EQ(Hint(bypass), QStringLiteral("0"));
  EXPECT_EQ(bypass->picture(PictureButton::Normal).cacheKey(),
            bypass->picture(PictureButton::Disabled).cacheKey());
  EXPECT_EQ(window->Pages().EqPassFlags()[5], 0);
  EXPECT_TRUE(W("EQPassLabel")->isHidden());
}

TEST_F(WindowTest, PageSwitchMakesTheCurrentBandsFrequencyFieldCurrentAndRedraws) {
  std::vector<std::pair<int, int>> draws;
  window->Pages().DrawEq = [&draws](int band, int channel) { draws.emplace_back(band, channel); };
  window->Editing().CurrentBand[3] = 2;
  window->Registry().PageTabs()[3]->click();
  EXPECT_EQ(window->Editing().CurrentEdit, W<QLineEdit>("MainFreEdit3"));
  const std::vector<std::pair<int, int>> expected{{kAllBands, 5}, {2, 5}};
  EXPECT_EQ(draws, expected);
  draws.clear();
  window->Registry().PageTabs()[7]->click();
  EXPECT_TRUE(draws.empty());
  EXPECT_EQ(window->Editing().CurrentEdit, W<QLineEdit>("MainFreEdit3"));
}

TEST_F(WindowTest, OnlyTheWindowsOwnSurfaceStartsAMove) {
  EXPECT_TRUE(window->IsMoveSurface(QPoint(700, 12)));    // title picture
  EXPECT_TRUE(window->IsMoveSurface(QPoint(60, 10)));     // title text
  EXPECT_FALSE(window->IsMoveSurface(QPoint(20, 40)));    // a page tab
  EXPECT_FALSE(window->IsMoveSurface(QPoint(1100, 10)));  // close button
  QWidget* slider = W("SysMusNormalVolBar");
  EXPECT_FALSE(window->IsMoveSurface(slider->mapTo(window.get(), QPoint(5, 5))));
  EXPECT_FALSE(window->IsMoveSurface(QPoint(300, 150)));  // page content
}

TEST_F(WindowTest, MaximiseStaysClearOfTheTaskbarAndRestoreReturns) {
  const QRect before = window->geometry();
  window->ToggleMaximise();
  EXPECT_TRUE(window->IsMaximised());
  EXPECT_EQ(window->geometry(), window->screen()->availableGeometry());
  window->ToggleMaximise();
  EXPECT_FALSE(window->IsMaximised());
  EXPECT_EQ(window->geometry(), before);
}

TEST_F(WindowTest, ResizingStretchesAnchoredRegions) {
  window->resize(1331, 759);
  QApplication::processEvents();
  EXPECT_EQ(W("AdvPanel1")->geometry(), QRect(0, 295, 1333, 466));
  EXPECT_EQ(W("FormPageItem")->geometry(), QRect(-1, 48, 1346, 711));
  EXPECT_EQ(W("AdvPanel2")->size(), QSize(1093, 397));
  EXPECT_EQ(W("Image1")->size(), QSize(1093, 397));
  EXPECT_EQ(W("EQBottomBar")->geometry(), QRect(1, 436, 1331, 30));
  EXPECT_EQ(W("CloseBtn")->pos(), QPoint(1272, 0));
  EXPECT_EQ(W("TopTileGrop")->width(), 1331);
  EXPECT_EQ(W("EQCotrolGrop")->pos(), QPoint(1153, 304));
}

TEST(AnchorsTest, PlaceFollowsAnchoredEdges) {
  const QRect design(10, 20, 100, 50);
  const QSize parent(400, 300), grown(500, 360);
  struct Case {
    int edges;
    QRect expected;
  } cases[] = {
      {kLeft | kTop, QRect(10, 20, 100, 50)},
      {kAll, QRect(10, 20, 200, 110)},
      {kTop | kRight, QRect(110, 20, 100, 50)},
      {kLeft | kRight | kBottom, QRect(10, 80, 200, 50)},
      {0, QRect(10, 20, 100, 50)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Anchors::Place(design, parent, grown, c.edges), c.expected) << c.edges;
}

TEST_F(WindowTest, CloseRunsTheCloseHook) {
  int calls = 0;
  window->CloseHook = [&calls] { ++calls; };
  window->close();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(window->GraphTimer()->isActive());
}

TEST_F(WindowTest, StartupRunsItsHooksInOrderOnce) {
  ParamStore otherStore;
  MainWindow other(otherStore);
  std::vector<std::string> order;
  other.Hooks().resetEqDefaults = [&order] { order.push_back("defaults"); };
  other.Hooks().startLink = [&order] {
    order.push_back("link");
    throw std::runtime_error("no ports");
  };
  other.Hooks().preparePresets = [&order] { order.push_back("presets"); };
  other.show();
  other.hide();
  other.show();
  const std::vector<std::string> expected{"defaults", "link", "presets"};
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(other.WindowReady());
  EXPECT_EQ(other.Pages().CurrentPage(), 0);
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST_F(WindowTest, GraphPanelHoldsBandPointsLabelsAndTheBottomBar) {
  for (int i = 0; i < 17; ++i) {
    const QString name = i < 15 ? QStringLiteral("EP%1").arg(i + 1)
                                : (i == 15 ? QStringLiteral("HPF") : QStringLiteral("LPF"));
    QWidget* point = window->findChild<QWidget*>(name);
    ASSERT_NE(point, nullptr) << name.toStdString();
    EXPECT_EQ(point->parentWidget(), W("AdvPanel2"));
    EXPECT_EQ(Tag(point), i);
    EXPECT_EQ(point->size(), i < 15 ? QSize(14, 14) : QSize(24, 24));
  }
  EXPECT_EQ(W<QLabel>("EQPassLabel")->text(), QStringLiteral("EQ PASS"));
  const std::pair<const char*, const char*> buttons[] = {
      {"LinkBtn", "联机"},      {"UnLinkBtn", "断开"},
      {"EQResetBtn", "EQ重置"}, {"MusEQAllpassBtn", "EQ pass"},
      {"AutoModeBtn", "自动"},  {"ManulModeBtn", "手动"},
      {"SingModeBtn", "唱歌"},  {"DiscoModeBtn", "舞蹈"}};
  for (const auto& [name, caption] : buttons) {
    auto* button = W<PictureButton>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    EXPECT_TRUE(W("EQBottomBar")->isAncestorOf(button)) << name;
  }
  EXPECT_EQ(W("EQBottomBar")->height(), 30);
}

TEST_F(WindowTest, MicrophoneStripScrollsSeventyTwoPixelsPerPosition) {
  auto* bar = W<QScrollBar>("MicPanScrollBar");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 5);
  QWidget* band15 = W("MicFreEdit15");
  QWidget* box = W("MicScrollBox");
  ASSERT_TRUE(box->isAncestorOf(band15));
  const int before = band15->mapTo(box, QPoint(0, 0)).x();
  bar->setValue(5);
  EXPECT_EQ(band15->mapTo(box, QPoint(0, 0)).x(), before - 5 * 72);
  EXPECT_LE(band15->mapTo(box, QPoint(0, 0)).x() + band15->width(), box->width());
}

}  // namespace
}  // namespace dsp
