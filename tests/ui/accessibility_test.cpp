// The window for the keyboard and for screen readers: every control says
// its name and what it is in the window's language, Tab walks each page in
// reading order, and the focused control always shows a ring and is in view.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QSet>
#include <QStackedWidget>
#include <QTest>
#include <algorithm>
#include <vector>

#include "catalogue/catalogue.h"
#include "editing/page_switcher.h"
#include "editmodel/param_cells.h"
#include "panels/click_picture.h"
#include "panels/control_registry.h"
#include "panels/picture_button.h"
#include "panels/spin_buttons.h"
#include "panels/value_pane.h"
#include "panels/widget_props.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

// Parts of compound widgets (a list's scroll bars and header, a choice
// box's list) speak and take the focus through the widget itself.
bool InsideCompound(const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p)) return true;
  }
  return false;
}

bool IsControl(const QWidget* w) {
  return qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractButton*>(w) ||
         qobject_cast<const SpinButtons*>(w) || qobject_cast<const ValuePane*>(w) ||
         qobject_cast<const ClickPicture*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

// What a control says: the name and description it was given. A screen
// reader also hears a tooltip as the description (the undo button's names
// the step), so that stands in for a description not given.
QString SpokenName(const QWidget* w) {
  return w->accessibleName();
}
QString SpokenDescription(const QWidget* w) {
  return w->accessibleDescription().isEmpty() ? w->toolTip() : w->accessibleDescription();
}

// The names a bound widget may carry: the names of the parameters the
// registry binds it to (a band's Q field stands for the peaking and the
// shelf Q). The microphone page shows group A.
QHash<const QWidget*, QSet<QString>> ParameterNames(const ControlRegistry& registry) {
  QHash<const QWidget*, QSet<QString>> names;
  const InstalledTranslation texts;
  auto add = [&](const QWidget* w, int channel, int slot) {
    const int cell = CellOfSlot(channel, slot);
    if (w == nullptr || registry.IsFiller(w) || cell < 0) return;
    names[w].insert(QString::fromStdString(CellName(ParamCells()[static_cast<std::size_t>(cell)], texts)));
  };
  for (int channel = 0; channel <= 9; ++channel) {
    for (int slot = 0; slot < BlockLength[static_cast<std::size_t>(channel)] && slot < kRegistrySlots; ++slot) {
      const int address = MakeAddress(channel, slot);
      add(registry.PrimaryControl(address), channel, slot);
      add(registry.CompanionControl(address), channel, slot);
      add(registry.StepperControl(address), channel, slot);
      for (int i = 0; i < 3; ++i) add(registry.ExtraControls(address, i), channel, slot);
    }
  }
  for (const ParamEntry& entry : Catalogue()) {
    for (const std::string& member : entry.members)
      add(registry.Named(QString::fromStdString(member)), entry.channel, entry.slot);
  }
  return names;
}

struct LanguageCase {
  UiLanguage language;
  const char* code;
};
const LanguageCase kLanguages[] = {{UiLanguage::Chinese, "zh"}, {UiLanguage::English, "en"}};

// Every control a user can see on every page (the graph's points excepted:
// they are the graph's own) has a name and a description; a control bound
// to a parameter is named after it, as the history and the diff name it;
// the common band panel's controls are named after the band they show.
TEST(AccessibilityTest, EveryControlIsNamedAndDescribedInTheWindowsLanguage) {
  for (const LanguageCase& lang : kLanguages) {
    SCOPED_TRACE(lang.code);
    ScopedLanguage language(lang.language);
    ParamStore store;
    MainWindow window(store);
    window.show();
    QApplication::processEvents();
    const QHash<const QWidget*, QSet<QString>> parameterNames = ParameterNames(window.Registry());
    QWidget* graph = window.findChild<QWidget*>(QStringLiteral("AdvPanel2"));
    for (int page = 0; page < kPageCount; ++page) {
      window.PressPageTab(page);
      QApplication::processEvents();
      for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!IsControl(w) || !w->isVisibleTo(&window) || InsideCompound(w) || graph->isAncestorOf(w)) continue;
        const std::string where = "page " + std::to_string(page) + ": " + w->objectName().toStdString();
        const QString name = SpokenName(w);
        EXPECT_FALSE(name.trimmed().isEmpty()) << where << " has no name";
        EXPECT_FALSE(SpokenDescription(w).trimmed().isEmpty()) << where << " has no description";
        if (auto it = parameterNames.constFind(w); it != parameterNames.constEnd()) {
          EXPECT_TRUE(it->contains(name)) << where << " is called \"" << name.toStdString() << "\", not \""
                                          << it->values().join(QStringLiteral("\" or \"")).toStdString() << "\"";
        }
      }
      if (page > 6) continue;
      // The common band panel speaks for the band it shows.
      for (const char* name : {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit"}) {
        auto* field = window.findChild<QLineEdit*>(QString::fromLatin1(name));
        const QLineEdit* own = window.Editor().BandPanel().BandFieldOf(field);
        ASSERT_NE(own, nullptr) << name;
        EXPECT_EQ(SpokenName(field), SpokenName(own))
            << "page " << page << ": " << name;
      }
    }
  }
}

// What a screen reader says for one control of each kind, in both
// languages: the parameter's name, and its band and field, what the widget
// does for it, and the range or the choices of its values.
TEST(AccessibilityTest, NamesAndDescriptionsSayBandFieldAndRange) {
  struct Case {
    const char* widget;
    const char* page;  // Ctrl+digit
    const char* zhName;
    const char* zhDescription;
    const char* enName;
    const char* enDescription;
  };
  const Case cases[] = {
      {"MusGainEdit3", "1", "音乐 EQ3 增益", "EQ 第3段，增益，-24.0dB 至 12.0dB", "Music EQ3 Gain",
       "EQ band 3, Gain, -24.0dB to 12.0dB"},
      {"MusEQGainBar3", "1", "音乐 EQ3 增益", "EQ 第3段，增益，-24.0dB 至 12.0dB", "Music EQ3 Gain",
       "EQ band 3, Gain, -24.0dB to 12.0dB"},
      {"MusFreUpDownBtn2", "1", "音乐 EQ2 频率", "EQ 第2段，频率，步进按钮，19.7Hz 至 20600.0Hz", "Music EQ2 Freq",
       "EQ band 2, Freq, step buttons, 19.7Hz to 20600.0Hz"},
      {"MusModeBox1", "1", "音乐 EQ1 类型", "EQ 第1段，类型，可选：PEQ / LSEQ / HSEQ", "Music EQ1 Type",
       "EQ band 1, Type, choices: PEQ / LSEQ / HSEQ"},
      {"MusLSQBtn4", "1", "音乐 EQ4 类型", "EQ 第4段，类型，选择 LSEQ", "Music EQ4 Type",
       "EQ band 4, Type, selects LSEQ"},
      {"MicQEdit12", "2", "麦克风 A组 EQ12 Q值", "EQ 第12段，Q值，0.40 至 128.00", "Microphone Group A EQ12 Q",
       "EQ band 12, Q, 0.40 to 128.00"},
      {"SubdelayPane", "6", "超低音输出 延时", "显示的值，0.0ms 至 50.0ms", "Subwoofer output Delay",
       "value shown, 0.0ms to 50.0ms"},
      {"SubmuteBtn", "6", "超低音输出 静音", "可选：关 / 开", "Subwoofer output Mute", "choices: Off / On"},
      {"SysPanelBtn2", "8", "系统 自动键盘锁", "选择 开启", "System Automatic keyboard lock", "selects On"},
      {"NewPassLabel1", "8", "新密码输入", "密码，最多 4 位，输入后按回车", "New password",
       "password, up to 4 characters, Enter to confirm"},
      {"LinkBtn", "1", "联机", "查找设备并连接", "Connect", "finds the processor and connects to it"},
      {"CloseBtn", "1", "关闭", "关闭程序", "Close", "closes the program"},
      {"FormTabBtn6", "1", "超低音输出", "第6页，Ctrl+6", "Subwoofer", "page 6, Ctrl+6"},
  };
  for (const LanguageCase& lang : kLanguages) {
    ScopedLanguage language(lang.language);
    ParamStore store;
    MainWindow window(store);
    window.show();
    QApplication::processEvents();
    const bool english = lang.language == UiLanguage::English;
    for (const Case& c : cases) {
      window.PressPageTab(c.page[0] - '1');
      auto* w = window.findChild<QWidget*>(QString::fromLatin1(c.widget));
      ASSERT_NE(w, nullptr) << c.widget;
      EXPECT_EQ(SpokenName(w), QString::fromUtf8(english ? c.enName : c.zhName))
          << lang.code << " " << c.widget;
      EXPECT_EQ(SpokenDescription(w),
                QString::fromUtf8(english ? c.enDescription : c.zhDescription))
          << lang.code << " " << c.widget;
    }
  }
}

// A control's rectangle in window coordinates.
QRect WindowRect(const QWidget* w) {
  return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

// The part of a control its ancestors show (the microphone strip scrolls).
QRect ShownRect(const QWidget* w) {
  QRect r = WindowRect(w);
  for (const QWidget* p = w->parentWidget(); p != nullptr && !p->isWindow(); p = p->parentWidget())
    r &= WindowRect(p);
  return r;
}

// The block a control belongs to on its page: its band column, parameter
// column or system group (the innermost frame of one of those looks);
// nullptr outside the page.
const QWidget* BlockOf(const QWidget* w, const QWidget* page) {
  for (const QWidget* p = w->parentWidget(); p != nullptr && p != page; p = p->parentWidget()) {
    const QString look = p->property("skin").toString();
    if (look == QLatin1String("band") || look == QLatin1String("group") || look == QLatin1String("system"))
      return p;
  }
  return nullptr;
}

// b follows a in reading order: on a lower row, or on the same row further right.
bool ReadsAfter(const QRect& a, const QRect& b) {
  const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
  return sameRow ? b.left() > a.left() : b.top() >= a.top();
}

// Blocks are read column by column: left to right, top to bottom within a column.
bool BlockReadsAfter(const QRect& a, const QRect& b) {
  return b.left() != a.left() ? b.left() > a.left() : b.top() > a.top();
}

class KeyboardAccessTest : public StartedWindow {
 protected:
  void SetUp() override {
    StartedWindow::SetUp();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // The controls Tab should reach with a page shown.
  QSet<QWidget*> Reachable() const {
    QSet<QWidget*> reachable;
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !InsideCompound(w))
        reachable.insert(w);
    }
    return reachable;
  }

  // The controls Tab visits from the page's tab until it comes back to it.
  std::vector<QWidget*> TabCycle(int page) {
    window->PressPageTab(page);
    QWidget* start = QApplication::focusWidget();
    std::vector<QWidget*> cycle{start};
    for (int i = 0; i < 2000; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* now = QApplication::focusWidget();
      if (now == start) break;
      cycle.push_back(now);
    }
    return cycle;
  }
};

// From each page's tab, Tab visits every control the page shows exactly
// once before it comes back: the tab strip, the page (each band's fields
// together, band by band; parameter columns and system groups one after
// another, each read top to bottom and left to right), the common band
// panel, the bottom bar. Every control it reaches is in view.
TEST_F(KeyboardAccessTest, TabVisitsEveryControlOnceInReadingOrder) {
  const std::vector<const QWidget*> regions = {W("TopTileGrop"), W("FormPageItem"), W("AdvPanel2"),
                                               W("EQCotrolGrop"), W("EQBottomBar")};
  auto regionOf = [&regions](const QWidget* w) {
    for (std::size_t i = 0; i < regions.size(); ++i) {
      if (regions[i]->isAncestorOf(w)) return static_cast<int>(i);
    }
    return -1;
  };
  for (int page = 0; page < kPageCount; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    const std::vector<QWidget*> cycle = TabCycle(page);
    const QSet<QWidget*> reachable = Reachable();
    QSet<QWidget*> visited;
    for (QWidget* w : cycle) {
      EXPECT_FALSE(visited.contains(w)) << w->objectName().toStdString() << " visited twice";
      visited.insert(w);
      EXPECT_TRUE(reachable.contains(w)) << w->objectName().toStdString() << " cannot act but takes the focus";
    }
    for (QWidget* w : reachable) {
      EXPECT_TRUE(visited.contains(w)) << w->objectName().toStdString() << " is never reached";
    }
    // The order of the regions, and of the blocks and controls on the page,
    // read from the first tab on.
    std::vector<QWidget*> order = cycle;
    std::rotate(order.begin(), std::find(order.begin(), order.end(), W("FormTabBtn1")), order.end());
    const QWidget* pageFrame = W<QStackedWidget>("FormPageItem")->currentWidget();
    std::vector<const QWidget*> blocks;
    for (std::size_t i = 1; i < order.size(); ++i) {
      const QWidget* a = order[i - 1];
      const QWidget* b = order[i];
      const std::string step = a->objectName().toStdString() + " -> " + b->objectName().toStdString();
      EXPECT_LE(regionOf(a), regionOf(b)) << step;
      if (regionOf(a) != regionOf(b)) continue;
      const QWidget* blockA = BlockOf(a, pageFrame);
      const QWidget* blockB = BlockOf(b, pageFrame);
      if (blockA == blockB) {
        EXPECT_TRUE(ReadsAfter(WindowRect(a), WindowRect(b))) << step;
      } else if (blockB != nullptr) {
        EXPECT_EQ(std::find(blocks.begin(), blocks.end(), blockB), blocks.end())
            << step << ": " << blockB->objectName().toStdString() << " entered twice";
        if (blockA != nullptr) EXPECT_TRUE(BlockReadsAfter(WindowRect(blockA), WindowRect(blockB))) << step;
        blocks.push_back(blockB);
      }
    }
    // Every control Tab reaches is in view when it has the focus.
    for (QWidget* w : cycle) {
      w->setFocus(Qt::TabFocusReason);
      // (The first tab stands out a pixel beyond the window's edge, as drawn.)
      EXPECT_TRUE(ShownRect(w).contains(WindowRect(w).adjusted(1, 1, -1, -1)))
          << w->objectName().toStdString() << " is focused out of view";
    }
  }
}

// The share of a control's outline (its outer three pixels) that a
// focused control draws clearly differently from an unfocused one.
double RingShare(const QImage& unfocused, const QImage& focused) {
  const QImage a = unfocused.convertToFormat(QImage::Format_RGB32);
  const QImage b = focused.convertToFormat(QImage::Format_RGB32);
  auto changed = [&a, &b](int x, int y) {
    const QColor p = QColor::fromRgb(a.pixel(x, y));
    const QColor q = QColor::fromRgb(b.pixel(x, y));
    return std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue()) >= 120;
  };
  const int w = a.width();
  const int h = a.height();
  int places = 0;
  int ringed = 0;
  auto across = [&](int x, int y, int dx, int dy) {
    ++places;
    for (int d = 0; d < 3; ++d) {
      const int px = x + d * dx;
      const int py = y + d * dy;
      if (px >= 0 && py >= 0 && px < w && py < h && changed(px, py)) {
        ++ringed;
        return;
      }
    }
  };
  for (int x = 3; x < w - 3; ++x) {
    across(x, 0, 0, 1);
    across(x, h - 1, 0, -1);
  }
  for (int y = 3; y < h - 3; ++y) {
    across(0, y, 1, 0);
    across(w - 1, y, -1, 0);
  }
  return places > 0 ? static_cast<double>(ringed) / places : 0.0;
}

// Every control Tab reaches shows the focus: a ring around most of its
// outline, whatever kind of control it is.
TEST_F(KeyboardAccessTest, TheFocusedControlShowsARing) {
  QSet<QWidget*> seen;
  for (int page = 0; page < kPageCount; ++page) {
    for (QWidget* w : TabCycle(page)) {
      if (seen.contains(w)) continue;
      seen.insert(w);
      window->setFocus(Qt::OtherFocusReason);
      QApplication::processEvents();
      const QImage unfocused = w->grab().toImage();
      w->setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      const QImage focused = w->grab().toImage();
      EXPECT_GE(RingShare(unfocused, focused), 0.75)
          << "page " << page << ": " << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
  }
}

}  // namespace
}  // namespace dsp
