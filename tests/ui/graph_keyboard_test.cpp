// The EQ graph from the keyboard, in the application linked to the processor
// emulator: each key does what the mouse gesture it stands for does, down to
// the frames the processor gets, the stores, the texts and the undo steps;
// the limits and locks of a drag hold for the keys; the band keys choose a
// point as a click on it does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <string>
#include <vector>

#include "editing/common_band_panel.h"
#include "editing/edit_session.h"
#include "eq/scales.h"
#include "graph/band_point.h"
#include "graph/eq_graph.h"
#include "graph/graph_image.h"
#include "linked_app.h"
#include "panels/skin.h"

namespace dsp {
namespace {

// What a gesture on the graph leaves behind.
struct Outcome {
  std::vector<std::string> frames;  // band and value frames the processor got
  std::vector<int> values;          // the stored values of the page's channel
  QStringList texts;                // the point's fields, panes and slider, the common band panel, the value label
  QString currentEdit;
  int currentBand = -1;
  std::size_t undoPosition = 0;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "{frames:";
  for (const std::string& f : o.frames) *os << " [" << f << "]";
  *os << " texts: " << o.texts.join(QStringLiteral(" | ")).toStdString() << " edit: " << o.currentEdit.toStdString()
      << " band: " << o.currentBand << " undo: " << o.undoPosition << "}";
}

class GraphKeyboardTest : public LinkedApp {
 protected:
  void SetUp() override {
    emulator.LoadFactorySetting();
    // Filters away from their ends and pins: a step either way is a step.
    SetEmulated(0x0100, 100);  // microphone high-pass
    SetEmulated(0x0304, 150);  // echo high-pass
    SetEmulated(0x0305, 100);  // echo low-pass
    SetEmulated(0x0510, 80);   // main output high-pass
    SetEmulated(0x0610, 100);  // subwoofer low-pass
    Connect();
    Flush();
    SetMode(true);
    app->Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->Window()));
  }

  EqGraph& Graph() { return app->Window().Graph(); }
  GraphImage* Canvas() { return Graph().Image(); }
  EditSession& Session() { return app->Window().Editor().Session(); }
  std::size_t UndoPosition() { return Session().History().Position(); }

  void Focus() {
    Canvas()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Canvas()->hasFocus());
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Canvas(), key, modifiers);
    Flush();
  }
  // A click on the point, as the mouse gives it.
  void Pick(BandPoint* p) {
    QTest::mouseClick(p, Qt::LeftButton, {}, p->rect().center());
    Flush();
  }
  // The page shown, the graph focused and the point picked.
  BandPoint* Start(int page, const char* point) {
    ShowPage(page);
    Focus();
    BandPoint* p = Point(point);
    Pick(p);
    return p;
  }
  static std::string Trace(int page, const char* point, QKeyCombination key) {
    return "page " + std::to_string(page) + " " + point + " key " + QKeySequence(key).toString().toStdString();
  }

  std::vector<int> Values() {
    const int channel = app->Window().Pages().CurrentChannel();
    std::vector<int> values;
    for (int slot = 0; slot < BlockLength[static_cast<std::size_t>(channel)]; ++slot)
      values.push_back(Store().Param(MakeAddress(channel, slot)));
    return values;
  }
  std::vector<std::string> Frames(std::size_t from) const {
    std::vector<std::string> frames;
    for (std::size_t i = from; i < emulator.frameLog.size(); ++i) {
      const std::string& f = emulator.frameLog[i];
      if (f.rfind("FC B1 10 A7 ", 0) == 0 || f.rfind("FC B1 06 A7 ", 0) == 0) frames.push_back(f);
    }
    return frames;
  }
  static QString Shown(const QWidget* w) {
    if (const auto* field = qobject_cast<const QLineEdit*>(w)) return field->text();
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (const auto* slider = qobject_cast<const QSlider*>(w)) return QString::number(slider->value());
    return {};
  }
  Outcome Capture(std::size_t fromFrame, int point) {
    Graph().Timer1Timer();  // what waits to be drawn
    Outcome o;
    o.frames = Frames(fromFrame);
    o.values = Values();
    const ControlRegistry& registry = app->Window().Registry();
    const PointControls& c = Graph().Slots().ControlsOfPoint(point);
    for (int address : {c.freqAddress, c.gainAddress, c.qAddress}) {
      if (address < 0) continue;
      o.texts << Shown(registry.PrimaryControl(address)) << Shown(registry.CompanionControl(address));
    }
    for (const char* name : {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit", "COMEQlabel", "EQlabel"})
      o.texts << Shown(W(name));
    const EditState& editing = app->Window().Editing();
    o.currentEdit = editing.CurrentEdit != nullptr ? editing.CurrentEdit->objectName() : QString();
    o.currentBand = editing.CurrentBand[static_cast<std::size_t>(app->Window().Pages().CurrentPageIndex())];
    o.undoPosition = UndoPosition();
    return o;
  }

  // Presses `button` on the point and moves the mouse a pixel at a time
  // along `by` until the stored values are `target` (back again a pixel at
  // a time after a move that went past), then releases. Returns where the
  // frames of the move that arrived begin in the emulator's log.
  std::size_t DragTo(BandPoint* p, const std::vector<int>& target, QPoint by, Qt::MouseButton button) {
    const std::vector<int> start = Values();
    QPoint at = Centre(p);
    QTest::mousePress(p, button, {}, at - p->pos());
    std::size_t mark = emulator.frameLog.size();
    for (int i = 0; i < 120 && Values() != target; ++i) {
      Flush();
      mark = emulator.frameLog.size();
      at += Values() == start ? by : -by;
      QTest::mouseMove(p, at - p->pos());
    }
    QTest::mouseRelease(p, button, {}, at - p->pos());
    Flush();
    return mark;
  }
  // Undoes the steps recorded after `position`.
  void UndoTo(std::size_t position) {
    while (UndoPosition() > position) {
      ASSERT_TRUE(Session().Undo());
      Flush();
    }
    Graph().Timer1Timer();
  }
};

// ---------------------------------------------------------------- one step

TEST_F(GraphKeyboardTest, EachKeySendsAndRecordsWhatItsOneStepDragDoes) {
  const struct {
    int page;
    const char* point;
    Qt::Key key;
    QPoint toward;  // the mouse's way to the same values, a pixel a move
    Qt::MouseButton button;
  } cases[] = {
      {0, "EP5", Qt::Key_Right, {1, 0}, Qt::LeftButton},   {0, "EP5", Qt::Key_Left, {-1, 0}, Qt::LeftButton},
      {0, "EP5", Qt::Key_Up, {0, -1}, Qt::LeftButton},     {0, "EP5", Qt::Key_Down, {0, 1}, Qt::LeftButton},
      {0, "EP5", Qt::Key_PageUp, {1, 0}, Qt::RightButton}, {0, "EP5", Qt::Key_PageDown, {-1, 0}, Qt::RightButton},
      {1, "EP12", Qt::Key_Up, {0, -1}, Qt::LeftButton},    {1, "HPF", Qt::Key_Right, {1, 0}, Qt::LeftButton},
      {1, "HPF", Qt::Key_Left, {-1, 0}, Qt::LeftButton},   {2, "EP2", Qt::Key_PageUp, {1, 0}, Qt::RightButton},
      {2, "HPF", Qt::Key_Right, {1, 0}, Qt::LeftButton},   {2, "LPF", Qt::Key_Left, {-1, 0}, Qt::LeftButton},
      {3, "EP2", Qt::Key_Down, {0, 1}, Qt::LeftButton},    {3, "HPF", Qt::Key_Right, {1, 0}, Qt::LeftButton},
      {5, "LPF", Qt::Key_Left, {-1, 0}, Qt::LeftButton},   {6, "EP4", Qt::Key_Right, {1, 0}, Qt::LeftButton},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Trace(c.page, c.point, c.key));
    BandPoint* p = Start(c.page, c.point);
    const std::vector<int> start = Values();
    const std::size_t position = UndoPosition();

    std::size_t mark = emulator.frameLog.size();
    Key(c.key);
    const Outcome byKey = Capture(mark, p->Index());
    ASSERT_NE(byKey.values, start) << "the key changed nothing";
    ASSERT_EQ(byKey.undoPosition, position + 1) << "one key, one undo step";
    EXPECT_TRUE(Canvas()->hasFocus()) << "the graph keeps the focus";
    // The point is drawn where its new values put it, the ring round it.
    const QPoint at = p->pos();
    Graph().RedrawPage();
    EXPECT_EQ(p->pos(), at);
    EXPECT_EQ(Canvas()->FocusMark(), p->geometry());
    UndoTo(position);
    ASSERT_EQ(Values(), start);

    mark = DragTo(p, byKey.values, c.toward, c.button);
    EXPECT_EQ(byKey, Capture(mark, p->Index()));
    UndoTo(position);
  }
}

TEST_F(GraphKeyboardTest, KeysStopWhereADragStops) {
  const struct {
    int page;
    const char* point;
    Qt::Key key;
    QPoint by;  // a drag far past the end
    int moves;
    Qt::MouseButton button;
    bool resends;  // a Q step at its limit sends the band again, as the right drag does
  } cases[] = {
      {0, "EP5", Qt::Key_Right, {3000, 0}, 8, Qt::LeftButton, false},
      {0, "EP5", Qt::Key_Left, {-3000, 0}, 8, Qt::LeftButton, false},
      {0, "EP5", Qt::Key_Up, {0, -700}, 8, Qt::LeftButton, false},
      {0, "EP5", Qt::Key_Down, {0, 700}, 8, Qt::LeftButton, false},
      {0, "EP5", Qt::Key_PageUp, {200, 0}, 200, Qt::RightButton, true},
      {1, "HPF", Qt::Key_Right, {3000, 0}, 8, Qt::LeftButton, false},  // pinned at 309 Hz
      {2, "HPF", Qt::Key_Right, {3000, 0}, 8, Qt::LeftButton, false},  // pinned at 2000 Hz
      {2, "LPF", Qt::Key_Left, {-3000, 0}, 8, Qt::LeftButton, false},  // no lower than 500 Hz
      {2, "LPF", Qt::Key_Right, {3000, 0}, 8, Qt::LeftButton, false},  // off
      {5, "LPF", Qt::Key_Right, {3000, 0}, 8, Qt::LeftButton, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Trace(c.page, c.point, c.key));
    BandPoint* p = Start(c.page, c.point);
    const std::vector<int> start = Values();
    const std::size_t startPosition = UndoPosition();
    Drag(p, c.by, c.moves, c.button);
    const std::vector<int> end = Values();
    ASSERT_NE(end, start);
    UndoTo(startPosition);
    ASSERT_EQ(Values(), start);

    std::vector<int> before;
    int presses = 0;
    do {
      before = Values();
      Key(c.key);
    } while (Values() != before && ++presses < 400);
    EXPECT_EQ(Values(), end);
    // Once there, a key changes nothing and records no step.
    const std::size_t mark = emulator.frameLog.size();
    const std::size_t position = UndoPosition();
    Key(c.key);
    EXPECT_EQ(Values(), end);
    EXPECT_EQ(UndoPosition(), position);
    EXPECT_EQ(Frames(mark).empty(), !c.resends);
    UndoTo(startPosition);
  }
}

TEST_F(GraphKeyboardTest, KeysKeepTheRefusalsOfADrag) {
  const struct {
    const char* what;
    int page;
    bool manual;
    const char* point;
    Qt::Key key;
  } cases[] = {
      {"automatic mode locks the music page", 0, false, "EP3", Qt::Key_Right},
      {"... its gains", 0, false, "EP3", Qt::Key_Up},
      {"... and its Q", 0, false, "EP3", Qt::Key_PageUp},
      {"... and the output filters", 3, false, "HPF", Qt::Key_Right},
      {"filters move sideways only", 1, true, "HPF", Qt::Key_Up},
      {"filters have no Q to step", 2, true, "LPF", Qt::Key_PageDown},
      {"the locked pages take no key", 0, true, "EP3", Qt::Key_Right},
      {"a point held with the mouse takes no key", 0, true, "EP3", Qt::Key_Down},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetMode(c.manual);
    BandPoint* p = Start(c.page, c.point);
    const bool locking = QString::fromLatin1(c.what).contains(QLatin1String("locked pages"));
    const bool holding = QString::fromLatin1(c.what).contains(QLatin1String("held"));
    if (locking) W("FirstCheckGrop")->show();  // the keyboard-lock prompt is up
    if (holding) QTest::mousePress(p, Qt::LeftButton, {}, p->rect().center());
    const std::vector<int> start = Values();
    const std::size_t mark = emulator.frameLog.size();
    const std::size_t position = UndoPosition();
    Key(c.key);
    EXPECT_EQ(Values(), start);
    EXPECT_TRUE(Frames(mark).empty());
    EXPECT_EQ(UndoPosition(), position);
    if (holding) QTest::mouseRelease(p, Qt::LeftButton, {}, p->rect().center());
    if (locking) W("FirstCheckGrop")->hide();
  }
  // The output page's bands stay editable in automatic mode: the same key
  // on one of them is taken.
  SetMode(false);
  Start(3, "EP2");
  const std::vector<int> start = Values();
  Key(Qt::Key_Right);
  EXPECT_NE(Values(), start);
}

// ---------------------------------------------------------------- choosing the point

TEST_F(GraphKeyboardTest, BandKeysChooseThePointAsAClickDoes) {
  const struct {
    int page;
    const char* from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* to;  // nullptr: the key has no point to go to
  } cases[] = {
      {0, "EP1", Qt::Key_3, Qt::NoModifier, "EP3"},
      {0, "EP1", Qt::Key_0, Qt::NoModifier, "EP10"},
      {0, "EP4", Qt::Key_BracketRight, Qt::NoModifier, "EP5"},
      {0, "EP4", Qt::Key_Left, Qt::ControlModifier, "EP3"},
      {0, "EP1", Qt::Key_3, Qt::KeypadModifier, "EP3"},
      {1, "EP15", Qt::Key_BracketRight, Qt::NoModifier, "HPF"},
      {1, "HPF", Qt::Key_9, Qt::NoModifier, "EP9"},
      {2, "LPF", Qt::Key_BracketLeft, Qt::NoModifier, "HPF"},
      {2, "HPF", Qt::Key_Right, Qt::ControlModifier, "LPF"},
      {2, "EP1", Qt::Key_BracketLeft, Qt::NoModifier, nullptr},
      {2, "EP1", Qt::Key_5, Qt::NoModifier, nullptr},  // three bands on the effects page
      {2, "LPF", Qt::Key_BracketRight, Qt::NoModifier, nullptr},
  };
  auto chosen = [this](std::size_t mark) {
    Outcome o = Capture(mark, Graph().KeyPoint());
    const PageSwitcher& pages = app->Window().Pages();
    for (int i = 0; i < app->Window().Registry().BandLabelCount(pages.CurrentPageIndex()); ++i) {
      if (const QLabel* label = app->Window().Registry().BandNumberLabel(pages.CurrentPageIndex(), i))
        o.texts << label->styleSheet();  // the lit band number
    }
    o.texts << QString::number(app->Window().Editor().BandPanel().ShownFrequencySlot())
            << Canvas()->accessibleDescription();
    return o;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Trace(c.page, c.from, c.key | c.modifiers));
    Start(c.page, c.from);
    std::size_t mark = emulator.frameLog.size();
    const Outcome before = chosen(mark);
    Key(c.key, c.modifiers);
    const Outcome byKey = chosen(mark);
    EXPECT_TRUE(byKey.frames.empty()) << "choosing a point sends nothing";
    EXPECT_TRUE(Canvas()->hasFocus());
    if (c.to == nullptr) {
      EXPECT_EQ(byKey, before);
      EXPECT_EQ(Graph().KeyPoint(), Point(c.from)->Index());
      continue;
    }
    EXPECT_EQ(Graph().KeyPoint(), Point(c.to)->Index());
    EXPECT_EQ(Canvas()->FocusMark(), Point(c.to)->geometry());
    // The same from the same start with the mouse.
    Pick(Point(c.from));
    mark = emulator.frameLog.size();
    Pick(Point(c.to));
    EXPECT_EQ(byKey, chosen(mark));
  }
}

// ---------------------------------------------------------------- focus and names

TEST_F(GraphKeyboardTest, TabReachesTheGraphWhichShowsItsFocusAndDescribesItsPoint) {
  ShowPage(0);
  QWidget* start = W("FormTabBtn1");
  start->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 400 && !Canvas()->hasFocus(); ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(Canvas()->hasFocus()) << "Tab never reached the graph";
  EXPECT_FALSE(Canvas()->accessibleName().isEmpty());
  // Tab walked the band fields on its way, each choosing its band; the
  // keyboard chooses band 5.
  Key(Qt::Key_5);
  ASSERT_EQ(Graph().KeyPoint(), Point("EP5")->Index());

  // A ring round the key point and a frame round the graph while it has the
  // focus; without it the graph looks as it always did.
  const QRect ring = Point("EP5")->geometry().adjusted(-4, -4, 4, 4);
  const QPoint onRing(ring.center().x(), ring.top());
  const QPoint onFrame(1, Canvas()->height() / 3);
  auto shot = [this] { return Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
  auto near = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
  };
  const QColor focus = skin::kFocusRing;
  const qreal r = Canvas()->Picture().devicePixelRatio();
  const QImage focused = shot();
  EXPECT_TRUE(near(focused.pixelColor(onRing * r), focus));
  EXPECT_TRUE(near(focused.pixelColor(onFrame * r), focus));
  start->setFocus(Qt::TabFocusReason);
  const QImage plain = shot();
  const QImage picture = Canvas()->Picture().convertToFormat(QImage::Format_RGB32);
  for (const QPoint& p : {onRing, onFrame}) EXPECT_EQ(plain.pixelColor(p * r), picture.pixelColor(p * r));

  // The description names the point and its values, and follows a step.
  Focus();
  const int freq = Store().Param(EqSlot(0, 4, 1));
  Key(Qt::Key_Right);
  const QString description = Canvas()->accessibleDescription();
  EXPECT_TRUE(description.startsWith(QStringLiteral("第5段"))) << description.toStdString();
  EXPECT_TRUE(description.contains(QStringLiteral("%1Hz").arg(StepValue(StepTable::Freq, freq + 1), 0, 'f', 2)))
      << description.toStdString();
  EXPECT_TRUE(description.contains(QStringLiteral("%1dB").arg(GainDb(Store().Param(EqSlot(0, 4, 2))), 0, 'f', 1)))
      << description.toStdString();
  Key(Qt::Key_2);
  EXPECT_TRUE(Canvas()->accessibleDescription().startsWith(Point("EP2")->accessibleName()));
  EXPECT_NE(Point("EP2")->accessibleName(), Point("EP5")->accessibleName());
}

}  // namespace
}  // namespace dsp
