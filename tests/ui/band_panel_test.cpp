// The common band panel beside the graph and the graph's value label, on the
// running application against the processor emulator: they show the band
// the user works on, after a download, a selection, a drag and a page
// switch, and what is typed into the panel reaches the processor exactly as
// if it had been typed into the band's own field.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <tuple>
#include <vector>

#include "catalogue/catalogue.h"
#include "eq/scales.h"
#include "graph/eq_graph.h"
#include "linked_app.h"
#include "panels/spin_buttons.h"

namespace dsp {
namespace {

class BandPanelTest : public LinkedApp {
 protected:
  void SetUp() override { emulator.LoadFactorySetting(); }
  EqGraph& Graph() { return app->Window().Graph(); }

  // The widgets of band `band` (from 1) of a channel.
  BandNames Own(int channel, int band) const { return NamesOfBand(*BandSetOf(channel), band); }
  int Slot(int channel, int band, int field) const {
    return MakeAddress(channel, EqSlot(channel, band - 1, field));
  }
  void SetBand(int channel, int band, int freq, int gain, int q) {
    SetEmulated(Slot(channel, band, 1), freq);
    SetEmulated(Slot(channel, band, 2), gain);
    SetEmulated(Slot(channel, band, 3), q);
  }

  // The panel shows band `band` (from 1) of the channel whose widgets are
  // those of `channel`, with the stored values, as the band's own fields do.
  void ExpectPanelShows(int channel, int band) {
    SCOPED_TRACE(testing::Message() << "channel " << channel << " band " << band);
    const BandNames own = Own(channel, band);
    const int freq = Store().Param(Slot(channel, band, 1));
    const int gain = Store().Param(Slot(channel, band, 2));
    const int q = Store().Param(Store().ActiveQSlot(Slot(channel, band, 3)));
    EXPECT_EQ(W<QLabel>("COMEQlabel")->text(), QStringLiteral("调节当前EQ段：%1").arg(band));
    EXPECT_EQ(W<QLineEdit>("ComEQFreEdit")->text(), QString::fromLatin1(StepText(StepTable::Freq, freq)));
    EXPECT_EQ(W<QLineEdit>("ComEQGainEdit")->text(), QString::number(GainDb(gain), 'f', 1) + "dB");
    EXPECT_EQ(W<QLineEdit>("ComEQQvalueEdit")->text(), QString::fromLatin1(StepText(StepTable::Q, q)));
    EXPECT_EQ(W<QLineEdit>("ComEQFreEdit")->text(), W<QLineEdit>(own.freqEdit)->text());
    EXPECT_EQ(W<QLineEdit>("ComEQGainEdit")->text(), W<QLineEdit>(own.gainEdit)->text() + "dB");
    EXPECT_EQ(W<QLineEdit>("ComEQQvalueEdit")->text(), W<QLineEdit>(own.qEdit)->text());
    EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), freq);
    EXPECT_EQ(W<QSlider>("ComEQGainBar")->value(), gain);
    EXPECT_EQ(W<QSlider>("ComEQQvalueBar")->value(), q);
  }

  // The value label shows band `band` (from 1) of a channel next to its point.
  void ExpectValueLabelShows(int channel, int band) {
    SCOPED_TRACE(testing::Message() << "value label, channel " << channel << " band " << band);
    const int freq = Store().Param(Slot(channel, band, 1));
    const double gain = GainDb(Store().Param(Slot(channel, band, 2)));
    const int q = Store().Param(Store().ActiveQSlot(Slot(channel, band, 3)));
    auto* label = W<QLabel>("EQlabel");
    EXPECT_EQ(label->text(), QStringLiteral("%1dB\nQ:%2\n%3Hz")
                                 .arg(QString::number(gain, 'f', 1))
                                 .arg(QString::fromLatin1(StepText(StepTable::Q, q)))
                                 .arg(QString::number(StepValue(StepTable::Freq, freq), 'f', 2)));
    const BandPoint* point = W<BandPoint>("EP" + std::to_string(band));
    EXPECT_NEAR(label->geometry().center().x(), point->geometry().center().x(), 1);
    EXPECT_EQ(label->y(), gain >= 0 ? point->y() + point->height() : point->y() - label->height() - 1);
  }

  std::vector<std::tuple<int, int, std::array<int, 5>>> Frames(std::size_t from) const {
    std::vector<std::tuple<int, int, std::array<int, 5>>> out;
    for (const BandFrame& f : BandFrames(from)) out.emplace_back(f.block, f.band, f.fields);
    return out;
  }
};

TEST_F(BandPanelTest, ShowsThePagesCurrentBandAfterDownloadsAndPageSwitches) {
  SetBand(0, 1, 200, 150, 40);
  SetBand(5, 4, 90, 100, 12);
  Connect();
  // The first download: the music page's band 1, values and point label.
  ExpectPanelShows(0, 1);
  ExpectValueLabelShows(0, 1);
  EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), 200);

  QTest::mouseClick(W("MusEQPointLabel3"), Qt::LeftButton);
  ExpectPanelShows(0, 3);
  ShowPage(3);
  ExpectPanelShows(5, 1);
  ExpectValueLabelShows(5, 1);
  QTest::mouseClick(W("MainEQPointLabel4"), Qt::LeftButton);
  ExpectPanelShows(5, 4);
  ShowPage(0);
  ExpectPanelShows(0, 3);
  ExpectValueLabelShows(0, 3);
  ShowPage(3);
  ExpectPanelShows(5, 4);
  ExpectValueLabelShows(5, 4);

  // The processor changes meanwhile; the next download shows the new values
  // of the page's current band.
  SetBand(5, 4, 300, 60, 70);
  app->Link().LinkBtnClick(true);
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  ExpectPanelShows(5, 4);
  ExpectValueLabelShows(5, 4);
  EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), 300);
}

TEST_F(BandPanelTest, FollowsAPointPressAndADrag) {
  Connect();
  ShowPage(3);  // main output: its bands can be edited in either mode
  ExpectPanelShows(5, 1);
  BandPoint* second = Point("EP2");
  QTest::mousePress(second, Qt::LeftButton, {}, QPoint(7, 7));
  ExpectPanelShows(5, 2);  // at once, before anything moved
  QTest::mouseRelease(second, Qt::LeftButton, {}, QPoint(7, 7));
  Flush();

  const int gain = Store().Param(Slot(5, 3, 2));
  Drag(Point("EP3"), QPoint(40, -50));
  ASSERT_GT(Store().Param(Slot(5, 3, 2)), gain);
  ASSERT_EQ(Emulated(Slot(5, 3, 2)), Store().Param(Slot(5, 3, 2)));
  ExpectPanelShows(5, 3);
  Graph().Timer1Timer();
  ExpectValueLabelShows(5, 3);
}

TEST_F(BandPanelTest, TypingInThePanelSendsWhatTheBandsOwnFieldSends) {
  Connect();
  ShowPage(3);
  enum Row { Freq, Gain, Q };
  const struct {
    Row row;
    const char* text;
    Qt::Key key;  // Enter, Tab (leaving the field) or an arrow
    bool shelf;
    const char* shown;  // what the band's own field shows then; nullptr: as before
  } cases[] = {
      {Freq, "1010", Qt::Key_Return, false, "1000.0"}, {Freq, "1015", Qt::Key_Tab, false, "1020.0"},
      {Gain, "13", Qt::Key_Return, false, "12.0"},     {Gain, "-3", Qt::Key_Up, false, "-2.8"},
      {Q, "1.1", Qt::Key_Tab, false, "1.12"},          {Q, "200", Qt::Key_Return, true, "2.00"},
      {Freq, "-", Qt::Key_Return, false, nullptr},  // unusable: nothing is sent
  };
  const char* panelNames[] = {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit"};
  const BandNames own = Own(5, 2);
  const std::string ownNames[] = {own.freqEdit, own.gainEdit, own.qEdit};
  const int bandSlots[] = {Slot(5, 2, 0), Slot(5, 2, 1), Slot(5, 2, 2), Slot(5, 2, 3), Slot(5, 2, 4)};

  // Types into a field, then presses the case's key; returns the band
  // frames sent and the band's stored bandSlots.
  auto type = [&](QLineEdit* field, const char* text, Qt::Key key) {
    Flush();
    const std::size_t from = emulator.frameLog.size();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(text));
    QTest::keyClick(field, key);
    Flush();
    std::vector<int> stored;
    for (int s : bandSlots) stored.push_back(Store().Param(s));
    return std::make_pair(Frames(from), stored);
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << panelNames[c.row] << " " << c.text << " key " << c.key);
    QTest::mouseClick(W("MainEQPointLabel2"), Qt::LeftButton);
    if (c.shelf) QTest::mouseClick(W(own.lsqPicture), Qt::LeftButton);
    Flush();
    std::vector<int> before;
    for (int s : bandSlots) before.push_back(Store().Param(s));

    auto* ownField = W<QLineEdit>(ownNames[c.row]);
    const QString shownBefore = ownField->text();
    QTest::mouseClick(ownField, Qt::LeftButton);
    const auto [ownFrames, ownStored] = type(ownField, c.text, c.key);
    const QString ownText = ownField->text();
    EXPECT_EQ(ownText, c.shown != nullptr ? QString::fromLatin1(c.shown) : shownBefore);

    // Nothing keeps the focus (leaving a band field commits the current
    // one, which the refresh below moves); then the band back as it was,
    // on both sides of the line.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    Flush();
    for (std::size_t i = 0; i < before.size(); ++i) {
      Store().StoreWrite(bandSlots[i], before[i]);
      SetEmulated(bandSlots[i], before[i]);
    }
    app->Window().Refresher().RefreshFromStore(5);
    ExpectPanelShows(5, 2);

    auto* panelField = W<QLineEdit>(panelNames[c.row]);
    QTest::mouseClick(panelField, Qt::LeftButton);
    const auto [panelFrames, panelStored] = type(panelField, c.text, c.key);
    EXPECT_EQ(panelFrames, ownFrames);
    EXPECT_EQ(panelStored, ownStored);
    EXPECT_EQ(ownField->text(), ownText);
    ExpectPanelShows(5, 2);
    if (c.shown == nullptr) {
      EXPECT_TRUE(panelFrames.empty());
      EXPECT_EQ(panelStored, before);
    } else {
      EXPECT_FALSE(panelFrames.empty());
      for (int i = 0; i < 5; ++i) EXPECT_EQ(Emulated(bandSlots[i]), panelStored[i]) << i;
    }
    // Back to a peaking band for the next case.
    if (c.shelf) {
      QTest::mouseClick(W(own.peqPicture), Qt::LeftButton);
      Flush();
    }
  }
}

TEST_F(BandPanelTest, AClickInThePanelLetsTheWheelAndTheSpinButtonsStepItsBand) {
  Connect();
  ShowPage(3);
  QTest::mouseClick(W("MainEQPointLabel5"), Qt::LeftButton);
  const int gain = Emulated(Slot(5, 5, 2));
  QTest::mouseClick(W("ComEQGainEdit"), Qt::LeftButton);
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>(Own(5, 5).gainEdit));
  ASSERT_TRUE(Pipeline().FormMouseWheel(120));
  Flush();
  EXPECT_EQ(Emulated(Slot(5, 5, 2)), gain + 1);
  ExpectPanelShows(5, 5);
  W<SpinButtons>("ComEQGainUpDownBtn")->upRightClick();
  Flush();
  EXPECT_EQ(Emulated(Slot(5, 5, 2)), gain + 2);
  ExpectPanelShows(5, 5);
}

TEST_F(BandPanelTest, LockedWithTheMusicEqualiserInAutomaticMode) {
  Connect();
  ShowPage(0);
  const char* controls[] = {"ComEQFreEdit",      "ComEQGainEdit",      "ComEQQvalueEdit",
                            "ComEQFreBar",       "ComEQGainBar",       "ComEQQvalueBar",
                            "ComEQFreUpDownBtn", "ComEQGainUpDownBtn", "ComEQQvalueUpDownBtn"};
  for (bool manual : {false, true, false}) {
    SetMode(manual);
    for (const char* name : controls) EXPECT_EQ(W(name)->isEnabled(), manual) << name << " " << manual;
  }
  // Other pages' bands are not locked by the operating mode.
  ShowPage(3);
  for (const char* name : controls) EXPECT_TRUE(W(name)->isEnabled()) << name;
}

TEST_F(BandPanelTest, FollowsMicrophoneGroupB) {
  SetBand(1, 2, 100, 120, 30);
  SetBand(2, 2, 250, 140, 60);
  Connect();
  ShowPage(1);
  QTest::mouseClick(W("MicEQPointLabel2"), Qt::LeftButton);
  EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), 100);
  W<PictureButton>("MicBBtn")->click();
  Flush();
  ExpectPanelShows(1, 2);
  EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), 250);
  auto* gain = W<QLineEdit>("ComEQGainEdit");
  QTest::mouseClick(gain, Qt::LeftButton);
  gain->setFocus();
  gain->selectAll();
  QTest::keyClicks(gain, QStringLiteral("6"));
  QTest::keyClick(gain, Qt::Key_Return);
  Flush();
  EXPECT_EQ(Emulated(Slot(2, 2, 2)), 150);
  EXPECT_EQ(Emulated(Slot(1, 2, 2)), 120);
  EXPECT_EQ(gain->text(), QStringLiteral("6.0dB"));
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

TEST_F(BandPanelTest, LeavingAFieldAfterARefreshTouchesOnlyThePagesCurrentBand) {
  Connect();
  ShowPage(1);
  QTest::mouseClick(W("MicEQPointLabel2"), Qt::LeftButton);
  W<QLineEdit>("MicFreEdit2")->setFocus();
  // Switching the microphone group refreshes the page's widgets.
  W<PictureButton>("MicBBtn")->click();
  Flush();
  const std::size_t from = emulator.frameLog.size();
  W<QLineEdit>("ComEQFreEdit")->setFocus();  // leaves the band field
  Flush();
  for (const BandFrame& f : BandFrames(from)) EXPECT_EQ(f.band, 1) << "band " << f.band + 1 << " was sent";
  ExpectPanelShows(1, 2);
  EXPECT_EQ(app->Window().Editing().CurrentBand[1], 1);
}

}  // namespace
}  // namespace dsp
