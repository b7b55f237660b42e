// The EQ graph of the running application against the processor emulator:
// what it draws, and drags, Q steps and wheel turns made with mouse events
// on the named band points, checked against what reaches the processor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include "common/rounding.h"
#include "editing/edit_session.h"
#include "editing/page_switcher.h"
#include "eq/band_slots.h"
#include "eq/scales.h"
#include "graph/band_point.h"
#include "graph/eq_graph.h"
#include "graph/graph_image.h"
#include "linked_app.h"
#include "panels/control_registry.h"
#include "panels/picture_button.h"

namespace dsp {
namespace {

int Px(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

class GraphTest : public LinkedApp {
 protected:
  // The processor starts from its factory setting: flat equalisers.
  void SetUp() override {
    emulator.LoadFactorySetting();
    Connect();
    Flush();
  }
  EqGraph& Graph() { return app->Window().Graph(); }
  GraphGeometry Geometry() { return Graph().Image()->Geometry(); }

  // The stored frequency and gain steps a drag of band `band` of a channel ended with.
  int Field(int channel, int band, int field) {
    return Emulated(MakeAddress(channel, EqSlot(channel, band, field)));
  }
};

TEST_F(GraphTest, PointsShownPerPage) {
  const struct {
    int page, bands;
    bool highPass, lowPass;
  } cases[] = {{0, 10, false, false}, {1, 15, true, false}, {2, 3, true, true}, {3, 5, true, false},
               {4, 5, true, false},   {5, 3, true, true},   {6, 5, true, false}};
  for (const auto& c : cases) {
    ShowPage(c.page);
    for (int i = 1; i <= 15; ++i) {
      EXPECT_EQ(W(QStringLiteral("EP%1").arg(i).toLatin1())->isVisible(), i <= c.bands)
          << "page " << c.page << " EP" << i;
    }
    EXPECT_EQ(W("HPF")->isVisible(), c.highPass) << c.page;
    EXPECT_EQ(W("LPF")->isVisible(), c.lowPass) << c.page;
  }
}

TEST_F(GraphTest, DrawnCurveIsTheSumOfTheBandCurves) {
  SetMode(true);
  ShowPage(0);
  Drag(Point("EP4"), QPoint(0, -60));  // a boost, so the curve is not flat
  ASSERT_GT(Field(0, 3, 2), 120);
  Graph().DrawEq(AllBands, 0);
  const std::vector<CurvePoint>& curve = Graph().LastCurve();
  EXPECT_EQ(curve, CurvePoints(Graph().Slots().Total(), Geometry()));
  // The total is the sum of what the core computes for each stored band.
  std::array<float, GridPoints> sum{};
  for (int band = 0; band < 10; ++band) {
    const int type = Store().Param(EqSlot(0, band, 0));
    BandCurve c;
    ComputeBandCurve(c, RoundHalfEven(StepValue(StepTable::Freq, Store().Param(EqSlot(0, band, 1)))), type,
                     StepValue(StepTable::Q, Store().Param(EqSlot(0, band, type == 0 ? 3 : 4))),
                     GainDb(Store().Param(EqSlot(0, band, 2))));
    for (int x = 0; x < GridPoints; ++x) sum[x] += c[x];
  }
  for (int x = 0; x < GridPoints; ++x) ASSERT_EQ(curve[x].y, Px(Geometry().DbToY(sum[x]))) << x;
  // The picture shows it in the curve colour, over the grid.
  const QImage& picture = Graph().Image()->Picture();
  const QColor colour = app->Window().Pages().CurveColour();
  const CurvePoint peak = *std::min_element(
      curve.begin(), curve.end(), [](const CurvePoint& a, const CurvePoint& b) { return a.y < b.y; });
  const qreal r = picture.devicePixelRatio();
  const QColor drawn = picture.pixelColor(Px(peak.x * r), Px(peak.y * r));
  EXPECT_NEAR(drawn.blue(), colour.blue(), 60);
  EXPECT_NEAR(drawn.green(), colour.green(), 60);
}

TEST_F(GraphTest, GridColoursOfTheBackground) {
  const QImage& background = Graph().Image()->Background();
  const GraphGeometry g = Geometry();
  EXPECT_EQ(g.Width(), 893);
  EXPECT_EQ(g.Height(), 297);
  const int x = Px(g.FreqToX(700)) + 3;  // between vertical lines
  const struct {
    int db;
    QColor colour;
  } rows[] = {{0, QColor(0, 200, 0)},   {-24, QColor(0, 200, 0)}, {12, QColor(0, 200, 0)},
              {-3, QColor(0, 103, 51)}, {9, QColor(0, 103, 51)},  {-1, QColor(0, 18, 9)},
              {7, QColor(0, 18, 9)}};
  for (const auto& row : rows) {
    EXPECT_EQ(background.pixelColor(x, Px(g.DbToY(row.db))), row.colour) << row.db << " dB";
  }
  const int y = Px(g.DbToY(-1.5));  // between decibel lines
  EXPECT_EQ(background.pixelColor(Px(g.FreqToX(1000)), y), QColor(0, 200, 0));
  EXPECT_EQ(background.pixelColor(Px(g.FreqToX(300)), y), QColor(0, 103, 51));
  EXPECT_EQ(background.pixelColor(Px(g.FreqToX(15000)), y), QColor(0, 0, 0));
  // At twice the pixel density the same grid, in twice the pixels.
  const QImage sharp = GraphImage::PaintBackground(g, 2.0);
  EXPECT_EQ(sharp.size(), QSize(2 * 893, 2 * 297));
  EXPECT_EQ(sharp.pixelColor(2 * x, 2 * Px(g.DbToY(-3))), QColor(0, 103, 51));
  EXPECT_EQ(sharp.pixelColor(2 * x, 2 * Px(g.DbToY(-1.5))), QColor(0, 0, 0));
}

TEST_F(GraphTest, AxisLabelsFollowTheGraph) {
  const GraphGeometry g = Geometry();
  QWidget* area = W("AdvPanel2");
  auto* zero = W<QLabel>("EQLabelY4");
  auto* kHz = W<QLabel>("EQLabelX16");
  ASSERT_NE(zero, nullptr);
  ASSERT_NE(kHz, nullptr);
  EXPECT_EQ(zero->text(), QStringLiteral("0dB"));
  EXPECT_EQ(zero->parentWidget(), W("AdvPanel1"));
  EXPECT_EQ(zero->geometry(), QRect(area->x() - 34, Px(g.DbToY(0)) + area->y() - 6, 32, 13));
  EXPECT_EQ(kHz->text(), QStringLiteral("1KHz"));
  EXPECT_EQ(kHz->geometry().topLeft(), QPoint(Px(g.FreqToX(1000)) + area->x() - 18, area->y() + 297));
  const int labels =
      static_cast<int>(W("AdvPanel1")->findChildren<QLabel*>(QRegularExpression("^EQLabel")).size());
  app->Window().resize(1331, 759);
  QApplication::processEvents();
  const GraphGeometry bigger = Geometry();
  EXPECT_GT(bigger.Width(), 893);
  EXPECT_EQ(kHz->geometry().topLeft(),
            QPoint(Px(bigger.FreqToX(1000)) + area->x() - 18, area->y() + bigger.Height()));
  EXPECT_EQ(Graph().Image()->Background().deviceIndependentSize().toSize(),
            QSize(bigger.Width(), bigger.Height()));
  EXPECT_EQ(W("AdvPanel1")->findChildren<QLabel*>(QRegularExpression("^EQLabel")).size(), labels);
  EXPECT_EQ(labels, 21);
}

TEST_F(GraphTest, DragToTheEdgesGivesTheEndSteps) {
  SetMode(true);
  ShowPage(0);
  const struct {
    QPoint by;
    int field, value;
  } cases[] = {
      {QPoint(-2000, 0), 1, 0}, {QPoint(2000, 0), 1, 361}, {QPoint(0, -600), 2, 180}, {QPoint(0, 600), 2, 0}};
  for (const auto& c : cases) {
    const std::size_t from = emulator.frameLog.size();
    Drag(Point("EP3"), c.by);
    EXPECT_EQ(Field(0, 2, c.field), c.value) << c.by.x() << "," << c.by.y();
    const std::vector<BandFrame> frames = BandFrames(from);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().fields[c.field], c.value);
  }
  // The point's centre stays on the graph.
  const BandPoint* p = Point("EP3");
  EXPECT_EQ(p->y() + 7, 297);
  // Releasing selects the band's gain field.
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>("MusGainEdit3"));
}

TEST_F(GraphTest, AutomaticModeOnTheMusicPageSendsNothing) {
  SetMode(false);
  ShowPage(0);
  const std::size_t from = emulator.frameLog.size();
  const QPoint before = Point("EP2")->pos();
  const int freq = Field(0, 1, 1);
  Drag(Point("EP2"), QPoint(150, -80));
  EXPECT_EQ(emulator.frameLog.size(), from);
  EXPECT_EQ(Point("EP2")->pos(), before);
  EXPECT_EQ(Field(0, 1, 1), freq);
}

TEST_F(GraphTest, MicrophoneHighPassPinsAtTheLastSliderStep) {
  ShowPage(1);
  BandPoint* hp = Point("HPF");
  const int top = hp->y();
  Drag(hp, QPoint(2000, 50));
  // Held at its pin while dragged, whatever the mouse did.
  EXPECT_EQ(hp->x(), Px(Geometry().FreqToX(309) - 12));
  EXPECT_EQ(Emulated(0x0100), 143);
  EXPECT_EQ(W<QLabel>("MicHPFrePane")->text(), QStringLiteral("303.0Hz"));
  EXPECT_EQ(hp->y(), top);
  Graph().DrawEq(15, 1);
  EXPECT_EQ(hp->x(), Px(Geometry().FreqToX(303) - 12));  // drawn at the stored step's frequency
  EXPECT_EQ(W<QLabel>("EQlabel")->text(), QStringLiteral("303.00Hz"));
}

TEST_F(GraphTest, EchoLowPassFarRightTurnsItOff) {
  ShowPage(2);
  // The factory setting has the low-pass off: first turn it on, below 20 kHz.
  Drag(Point("LPF"), QPoint(-300, 0));
  const int on = Emulated(0x0305);
  ASSERT_LT(on, 193);
  Graph().Timer1Timer();
  EXPECT_NE(W<QLabel>("EQlabel")->text(), QStringLiteral("OFF"));
  EXPECT_EQ(Graph().Slots().Slot(4).type, 202);
  const std::size_t from = emulator.valueWrites.size();
  Drag(Point("LPF"), QPoint(2000, 0));
  ASSERT_GT(emulator.valueWrites.size(), from);
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x0305, 194)) << "off was sent";
  EXPECT_EQ(Emulated(0x0305), 194);
  Graph().Timer1Timer();
  EXPECT_EQ(W<QLabel>("EQlabel")->text(), QStringLiteral("OFF"));
  EXPECT_EQ(Graph().Slots().Slot(4).type, 200);
  Drag(Point("LPF"), QPoint(-2000, 0));
  EXPECT_EQ(Emulated(0x0305), 0);  // no lower than 500 Hz
}

TEST_F(GraphTest, RightDragRaisesTheQOneStepPerMove) {
  SetMode(true);
  ShowPage(0);
  BandPoint* p = Point("EP5");
  const int q = Field(0, 4, 3);
  const QPoint c = Centre(p) - p->pos();
  QTest::mousePress(p, Qt::RightButton, {}, c);
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>("MusQEdit5"));
  for (int i = 1; i <= 3; ++i) QTest::mouseMove(p, c + QPoint(i, 0));
  // The curve follows while the button is held.
  EXPECT_FLOAT_EQ(Graph().Slots().Slot(4).q, static_cast<float>(StepValue(StepTable::Q, q + 3)));
  QTest::mouseRelease(p, Qt::RightButton, {}, c + QPoint(3, 0));
  Flush();
  EXPECT_EQ(Field(0, 4, 3), q + 3);
  EXPECT_EQ(p->pos() + c, Centre(p)) << "the point stays";
}

TEST_F(GraphTest, WheelOverAPointStepsItsQOncePerNotch) {
  SetMode(true);
  ShowPage(0);
  // A click into a field arms the window-wide wheel stepping of that field.
  QTest::mouseClick(W<QLineEdit>("MusFreEdit1"), Qt::LeftButton);
  const int freq = Field(0, 0, 1);
  const int q = Field(0, 6, 3);
  BandPoint* p = Point("EP7");
  const QPointF at(7, 7);
  // Whole notches, then a fine-grained wheel's eighth notches: eight of
  // them make one step, not eight.
  for (int delta : {120, 120, -120, 120, 15, 15, 15, 15, 15, 15, 15, 15, 15}) {
    QWheelEvent wheel(at, p->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(p, &wheel);
  }
  Flush();
  EXPECT_EQ(Field(0, 6, 3), q + 3);
  EXPECT_EQ(Field(0, 0, 1), freq) << "the field clicked before is left alone";
}

TEST_F(GraphTest, TheValueLabelFollowsAStepOrAPressThatRepeatsTheLastChange) {
  ShowPage(2);
  auto* label = W<QLabel>("EQlabel");
  // The echo low-pass (off) dragged a pixel at a time until it takes a step.
  BandPoint* lowPass = Point("LPF");
  auto step = [&] {
    const int off = Store().Param(0x0305);
    const QPoint start = Centre(lowPass);
    QTest::mousePress(lowPass, Qt::LeftButton, {}, start - lowPass->pos());
    for (int x = 1; x < 10 && Store().Param(0x0305) == off; ++x)
      QTest::mouseMove(lowPass, start - QPoint(x, 0) - lowPass->pos());
    QTest::mouseRelease(lowPass, Qt::LeftButton, {}, Centre(lowPass) - lowPass->pos());
    Flush();
    Graph().Timer1Timer();
  };
  step();
  const QString on = label->text();
  ASSERT_TRUE(on.endsWith(QStringLiteral("Hz"))) << on.toStdString();
  // Undone, and the same step again: the same change as the last one seen.
  ASSERT_TRUE(app->Window().Editor().Session().Undo());
  Flush();
  Graph().Timer1Timer();
  ASSERT_NE(label->text(), on);
  step();
  EXPECT_EQ(label->text(), on);

  // A press on a band shows the band, also after a filter point was pressed
  // while its selection repeats the change seen last.
  BandPoint* band = Point("EP2");
  QTest::mouseClick(band, Qt::LeftButton, {}, QPoint(7, 7));
  Graph().Timer1Timer();
  const QString shown = label->text();
  ASSERT_TRUE(shown.contains(QStringLiteral("dB"))) << shown.toStdString();
  QTest::mouseClick(lowPass, Qt::LeftButton, {}, QPoint(12, 12));
  Graph().Timer1Timer();
  ASSERT_EQ(label->text(), on);
  QTest::mouseClick(band, Qt::LeftButton, {}, QPoint(7, 7));
  Graph().Timer1Timer();
  EXPECT_EQ(label->text(), shown);
}

TEST_F(GraphTest, ANewDragSendsItsFirstStepWhereverTheLastDragEnded) {
  SetMode(true);
  ShowPage(0);
  BandPoint* first = Point("EP1");
  BandPoint* second = Point("EP2");
  Drag(first, QPoint(30, 0));
  const int s = Field(0, 0, 1);
  // Band 2 is brought exactly onto band 1's step: it must be sent.
  const std::size_t from = emulator.frameLog.size();
  Drag(second, QPoint(Centre(first).x() - Centre(second).x(), 0), 1);
  EXPECT_EQ(Field(0, 1, 1), s);
  EXPECT_FALSE(BandFrames(from).empty());
  EXPECT_EQ(Store().Param(EqSlot(0, 1, 1)), s);
}

TEST_F(GraphTest, MiddleButtonLeavesThePointAlone) {
  SetMode(true);
  ShowPage(0);
  BandPoint* p = Point("EP2");
  const QPoint before = p->pos();
  QTest::mousePress(p, Qt::MiddleButton, {}, QPoint(7, 7));
  QTest::mouseMove(p, QPoint(90, 40));
  EXPECT_EQ(p->pos(), before);
  EXPECT_FALSE(Graph().Drag().DragActive());
  QTest::mouseRelease(p, Qt::MiddleButton, {}, QPoint(90, 40));
}

TEST_F(GraphTest, ReleaseOverTheValueLabelEndsTheDrag) {
  SetMode(true);
  ShowPage(0);
  BandPoint* p = Point("EP2");
  QTest::mousePress(p, Qt::LeftButton, {}, QPoint(7, 7));
  ASSERT_TRUE(Graph().Drag().DragActive());
  QLineEdit* before = app->Window().Editing().CurrentEdit;
  QTest::mouseRelease(W("EQlabel"), Qt::LeftButton);
  EXPECT_FALSE(Graph().Drag().DragActive());
  QTest::mouseMove(p, QPoint(60, 7));
  EXPECT_EQ(app->Window().Editing().CurrentEdit, before);
}

TEST_F(GraphTest, BandNumberLabelSelectsTheFrequencyField) {
  SetMode(true);
  const struct {
    int page;
    const char* label;
    const char* field;
  } cases[] = {{0, "MusEQPointLabel3", "MusFreEdit3"},
               {1, "MicEQPointLabel12", "MicFreEdit12"},
               {2, "EffEQPointLabel2", "EchoFreEdit2"},
               {5, "SubEQPointLabel3", "SubFreEdit3"}};
  for (const auto& c : cases) {
    ShowPage(c.page);
    QTest::mouseClick(W(c.label), Qt::LeftButton);
    EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>(c.field)) << c.label;
  }
}

TEST_F(GraphTest, TheTimerRunsOnlyWhileAChangeWaitsToBeDrawn) {
  SetMode(true);
  ShowPage(0);
  QTimer* timer = app->Window().GraphTimer();
  QApplication::processEvents();
  ASSERT_FALSE(Graph().HasWork());
  EXPECT_FALSE(timer->isActive()) << "idle: the timer sleeps";
  const int y = Point("EP6")->y();
  Pipeline().ApplyValue(W<QLineEdit>("MusGainEdit6"), kStepSet, false, 150);  // +6 dB
  EXPECT_TRUE(timer->isActive()) << "the change wakes it";
  EXPECT_EQ(Point("EP6")->y(), y) << "drawn by the timer, not at once";
  // The real timer draws the change within a few of its periods, then stops.
  QElapsedTimer clock;
  clock.start();
  while (timer->isActive() && clock.elapsed() < 2000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  EXPECT_FALSE(timer->isActive()) << "stopped again once drawn";
  EXPECT_EQ(Point("EP6")->y(), Px(Geometry().DbToY(6) - 7));
  // A drag draws each step itself; the timer has nothing left to do after it.
  Drag(Point("EP3"), QPoint(40, -30));
  QApplication::processEvents();
  clock.restart();
  while (timer->isActive() && clock.elapsed() < 2000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  EXPECT_FALSE(timer->isActive());
  EXPECT_FALSE(Graph().HasWork());
}

TEST_F(GraphTest, ChangesMadeElsewhereAreRedrawnByTheTimer) {
  SetMode(true);
  ShowPage(0);
  auto* gain = W<QLineEdit>("MusGainEdit6");
  Pipeline().ApplyValue(gain, kStepSet, false, 150);  // +6 dB
  Graph().Timer1Timer();
  EXPECT_EQ(Point("EP6")->y(), Px(Geometry().DbToY(6) - 7));
  EXPECT_EQ(W<QLabel>("EQlabel")->text(),
            QStringLiteral("6.0dB\nQ:%1\n%2Hz")
                .arg(QString::fromLatin1(StepText(StepTable::Q, Field(0, 5, 3))))
                .arg(QString::number(StepValue(StepTable::Freq, Field(0, 5, 1)), 'f', 2)));
  // Gain 0 or more: the label below its point; negative: above.
  QLabel* label = W<QLabel>("EQlabel");
  EXPECT_EQ(label->y(), Point("EP6")->y() + 14);
  Pipeline().ApplyValue(gain, kStepSet, false, 119);  // -0.2 dB
  Graph().Timer1Timer();
  EXPECT_TRUE(label->text().startsWith(QStringLiteral("-0.2dB\n")));
  EXPECT_EQ(label->y(), Point("EP6")->y() - label->height() - 1);
  EXPECT_EQ(label->x() + label->width() / 2, Point("EP6")->x() + 7);

  // A point at either end of the graph keeps its values inside it.
  QWidget* area = W("AdvPanel2");
  for (int step : {361, 0}) {
    Pipeline().ApplyValue(W<QLineEdit>("MusFreEdit6"), kStepSet, false, step);
    Graph().Timer1Timer();
    EXPECT_GE(label->x(), 0) << step;
    EXPECT_LE(label->x() + label->width(), area->width()) << step;
  }
  // "EQ PASS" fits its label.
  auto* pass = W<QLabel>("EQPassLabel");
  EXPECT_LE(pass->sizeHint().width(), pass->width());
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST_F(GraphTest, BandPointsStayInReachUnderTheBypassLabel) {
  ShowPage(0);
  QWidget* area = W("AdvPanel2");
  auto* pass = W<QLabel>("EQPassLabel");
  pass->show();
  BandPoint* p = Point("EP1");
  const QPoint centre = pass->geometry().center();
  p->move(centre - QPoint(7, 7));
  EXPECT_EQ(area->childAt(centre), p);
  // The value label lies over the points.
  auto* value = W<QLabel>("EQlabel");
  value->move(centre - QPoint(value->width() / 2, value->height() / 2));
  EXPECT_EQ(area->childAt(centre), value);
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST_F(GraphTest, ResizedWhileHiddenTheGraphKeepsItsCurve) {
  ShowPage(0);
  ShowPage(7);  // the system page hides the graph
  app->Window().resize(1331, 759);
  QApplication::processEvents();
  ShowPage(0);
  QApplication::processEvents();
  const GraphImage* image = Graph().Image();
  EXPECT_EQ(image->Background().deviceIndependentSize().toSize(), image->size());
  EXPECT_NE(image->Picture(), image->Background()) << "the curve was wiped";
  EXPECT_EQ(Graph().LastCurve().back().x, image->width());
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST_F(GraphTest, MicrophoneGroupBIsDraggedInItsOwnChannel) {
  ShowPage(1);
  W<PictureButton>("MicBBtn")->click();
  Flush();
  EXPECT_EQ(app->Window().Pages().CurveColour(), QColor(255, 102, 0, 255));
  const int groupA = Field(1, 0, 2);
  Drag(Point("EP1"), QPoint(0, -600));
  EXPECT_EQ(Field(2, 0, 2), 180);
  EXPECT_EQ(Field(1, 0, 2), groupA);
}

TEST_F(GraphTest, PressOnAFilterPointShowsItsValue) {
  ShowPage(2);
  Store().SetParam(0x0305, 0);
  Graph().DrawEq(AllBands, 3);
  QTest::mousePress(Point("LPF"), Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_EQ(W<QLabel>("EQlabel")->text(), QStringLiteral("500.00Hz"));
  QTest::mouseRelease(Point("LPF"), Qt::LeftButton, {}, QPoint(12, 12));
}

TEST_F(GraphTest, WheelInAutomaticModeLeavesTheMusicPageAlone) {
  SetMode(false);
  ShowPage(0);
  const int q = Field(0, 2, 3);
  BandPoint* p = Point("EP3");
  const QPointF at(7, 7);
  QWheelEvent wheel(at, p->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(p, &wheel);
  Flush();
  EXPECT_EQ(Field(0, 2, 3), q);
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

// Pixels of a grabbed widget as it would be on the screen.
QImage Shot(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(GraphTest, EqPassLeavesTheCurveAndTheValueLabelReadable) {
  ShowPage(2);  // the echo: curve (0, 204, 255) across the middle of the graph
  W<PictureButton>("MusEQAllpassBtn")->click();
  Flush();
  auto* pass = W<QLabel>("EQPassLabel");
  ASSERT_TRUE(pass->isVisible());
  QWidget* area = W("AdvPanel2");
  auto* value = W<QLabel>("EQlabel");
  value->move(pass->geometry().center() - QPoint(value->width() / 2, value->height() / 2));
  const QImage shot = Shot(area);
  // Where "EQ PASS" has its letters, and where the value label its glyphs.
  const QImage letters = Shot(pass);
  const QImage glyphs = Shot(value);
  // The letters are drawn translucent: their inside is where they are most opaque.
  int solid = 0;
  for (int y = 0; y < letters.height(); ++y)
    for (int x = 0; x < letters.width(); ++x) solid = std::max(solid, qAlpha(letters.pixel(x, y)));
  ASSERT_GT(solid, 0);
  auto letterAt = [&](QPoint p) {
    const QPoint l = p - pass->pos();
    return letters.rect().contains(l) && qAlpha(letters.pixel(l)) >= solid - 8;
  };
  auto coveredByPoint = [&](QPoint p) {
    for (int i = 1; i <= 15; ++i) {
      QWidget* point = W(QStringLiteral("EP%1").arg(i).toLatin1());
      if (point->isVisible() && point->geometry().adjusted(-2, -2, 2, 2).contains(p)) return true;
    }
    return W("HPF")->geometry().contains(p) || W("LPF")->geometry().contains(p);
  };

  // The curve keeps its colour where it crosses a letter.
  bool crossed = false;
  for (const CurvePoint& c : Graph().LastCurve()) {
    const QPoint p(c.x, c.y);
    if (!letterAt(p) || value->geometry().adjusted(-2, -2, 2, 2).contains(p) || coveredByPoint(p)) continue;
    crossed = true;
    const QColor drawn = shot.pixelColor(p);
    EXPECT_GE(drawn.blue() - drawn.red(), 100) << c.x << "," << c.y;
    EXPECT_GE(drawn.blue(), 200) << c.x << "," << c.y;
  }
  ASSERT_TRUE(crossed) << "the curve does not cross EQ PASS";

  // The letters are clearly there, and the value label reads across them.
  QColor mark;
  for (int y = 0; y < letters.height() && !mark.isValid(); ++y) {
    for (int x = 0; x < letters.width() && !mark.isValid(); ++x) {
      const QPoint p = pass->pos() + QPoint(x, y);
      if (!letterAt(p) || value->geometry().adjusted(-2, -2, 2, 2).contains(p)) continue;
      const QColor c = shot.pixelColor(p);
      if (c.red() == c.green() && c.green() == c.blue()) mark = c;  // on black, away from grid and curve
    }
  }
  ASSERT_TRUE(mark.isValid());
  EXPECT_GE(PictureButton::ContrastRatio(mark, Qt::black), 3.0) << mark.name().toStdString();
  const QColor text = app->Window().Pages().EqLabelColour();
  EXPECT_GE(PictureButton::ContrastRatio(text, mark), 3.0) << mark.name().toStdString();
  // The value label lies over the letters: its glyphs keep their colour there.
  bool over = false;
  for (int y = 0; y < glyphs.height(); ++y) {
    for (int x = 0; x < glyphs.width(); ++x) {
      const QPoint p = value->pos() + QPoint(x, y);
      if (qAlpha(glyphs.pixel(x, y)) < 250 || !letterAt(p)) continue;
      over = true;
      const QColor c = shot.pixelColor(p);
      EXPECT_NEAR(c.red(), text.red(), 12) << x << "," << y;
      EXPECT_NEAR(c.green(), text.green(), 12) << x << "," << y;
    }
  }
  EXPECT_TRUE(over);
}

TEST_F(GraphTest, PointsAtTheTopAndBottomEdgesAreWholeAndCanBeTaken) {
  SetMode(true);
  ShowPage(0);
  QWidget* panel = W("AdvPanel1");
  QWidget* area = W("AdvPanel2");
  BandPoint* p = Point("EP3");
  const struct {
    int step;
    int centreY;  // +12 dB at the top line, -24 dB at the bottom one
  } cases[] = {{180, 0}, {0, 296}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    Pipeline().ApplyValue(W<QLineEdit>("MusGainEdit3"), kStepSet, false, c.step);
    Graph().Timer1Timer();
    ASSERT_EQ(p->y() + 7, c.centreY);  // the value mapping is unchanged
    QApplication::processEvents();
    const QImage shot = Shot(panel);
    const QImage face = p->pixmap().toImage().convertToFormat(QImage::Format_ARGB32).scaled(p->size());
    const QPoint at = area->pos() + p->pos();
    bool outside = false;
    for (int y = 0; y < face.height(); ++y) {
      for (int x = 0; x < face.width(); ++x) {
        if (qAlpha(face.pixel(x, y)) < 255) continue;
        const QPoint q = at + QPoint(x, y);
        outside = outside || !area->geometry().contains(q);
        const QColor want = face.pixelColor(x, y);
        const QColor got = shot.pixelColor(q);
        ASSERT_NEAR(got.red(), want.red(), 12) << x << "," << y;
        ASSERT_NEAR(got.green(), want.green(), 12) << x << "," << y;
        ASSERT_NEAR(got.blue(), want.blue(), 12) << x << "," << y;
      }
    }
    EXPECT_TRUE(outside) << "no part of the point lies outside the graph area";
  }

  // At the top again: the part above the area takes the mouse for its point.
  Pipeline().ApplyValue(W<QLineEdit>("MusGainEdit3"), kStepSet, false, 180);
  Graph().Timer1Timer();
  Flush();
  QWidget* overhang = W("EQPointOverhang");
  const QPoint top = area->pos() + p->pos() + QPoint(7, 2);
  ASSERT_LT(top.y(), area->y());
  EXPECT_EQ(panel->childAt(top), overhang);
  EXPECT_NE(panel->childAt(top + QPoint(80, 0)), overhang) << "the margin beside it stays free";
  const std::size_t from = emulator.frameLog.size();
  const QPoint local = top - overhang->pos();
  QTest::mousePress(overhang, Qt::LeftButton, {}, local);
  for (int i = 1; i <= 6; ++i) QTest::mouseMove(overhang, local + QPoint(0, 10 * i));
  QTest::mouseRelease(overhang, Qt::LeftButton, {}, local + QPoint(0, 60));
  Flush();
  EXPECT_EQ(p->y() + 7, 60);
  EXPECT_EQ(Field(0, 2, 2), static_cast<int>(TextToStep(role::BandGain, Geometry().YToDb(60))));
  EXPECT_FALSE(BandFrames(from).empty());
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>("MusGainEdit3")) << "the release reached it";
}

}  // namespace
}  // namespace dsp
