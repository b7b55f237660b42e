// The value edit pipeline driven through the widgets of a linked application:
// typed values, arrow keys, the wheel, spin buttons, sliders and band type
// choices, checked on the texts the widgets show and on what the processor
// emulator receives.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <string>

#include "eq/scales.h"
#include "linked_app.h"
#include "panels/click_picture.h"
#include "panels/spin_buttons.h"
#include "panels/widget_props.h"

namespace dsp {
namespace {

class EditPipelineTest : public LinkedApp {
 protected:
  void SetUp() override { emulator.LoadFactorySetting(); }

  // Clicks a band field, replaces its text by typing and presses Enter.
  void Type(const char* name, const QString& text) {
    auto* field = W<QLineEdit>(name);
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  // The last frame sent for a band of the music equaliser.
  BandFrame LastMusicBand(std::size_t from, int band) {
    BandFrame last;
    last.band = -1;
    for (const BandFrame& f : BandFrames(from)) {
      if (f.block == EqBlockAddress[0] && f.band == band) last = f;
    }
    return last;
  }
  void Wheel(QWidget* over, int delta) {
    QWheelEvent event(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
  }
};

TEST_F(EditPipelineTest, TypedValuesAreNormalisedClampedShownAndSent) {
  Connect();
  struct Case {
    const char* field;
    int type;  // band type set first through its picture
    const char* typed;
    const char* shown;
    int field4;  // field index 1..4 of the band frame
    int step;
  } cases[] = {
      {"MusFreEdit1", 0, "1010", "1000.0", 1, -1},    {"MusFreEdit1", 0, "1015", "1020.0", 1, -1},
      {"MusFreEdit1", 0, "20201", "20600.0", 1, 361}, {"MusFreEdit1", 0, "-5", "19.7", 1, 0},
      {"MusFreEdit1", 0, "1k", "19.7", 1, 0},         {"MusGainEdit2", 0, "13", "12.0", 2, 180},
      {"MusGainEdit2", 0, "-30", "-24.0", 2, 0},      {"MusQEdit3", 0, "1.1", "1.12", 3, -1},
      {"MusQEdit3", 0, "200", "128.00", 3, 100},      {"MusQEdit3", 1, "200", "2.00", 4, 28},
  };
  const char* const typePictures[] = {"MusPEQBtn", "MusLSQBtn", "MusHSQBtn"};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.typed);
    const int band = c.field[std::strlen(c.field) - 1] - '1';
    const std::string picture = typePictures[c.type] + std::to_string(band + 1);
    QTest::mouseClick(W<ClickPicture>(picture.c_str()), Qt::LeftButton);
    Flush();
    const std::size_t from = emulator.frameLog.size();
    Type(c.field, QString::fromLatin1(c.typed));
    Flush();
    EXPECT_EQ(W<QLineEdit>(c.field)->text(), QString::fromLatin1(c.shown));
    const BandFrame sent = LastMusicBand(from, band);
    ASSERT_EQ(sent.band, band) << "no band frame sent";
    EXPECT_EQ(sent.fields[0], c.type);
    // The text shown is the text of the step that was sent.
    const std::string shownAgain = RoleText(c.field4 == 4 ? 4 : c.field4 + 1, sent.fields[c.field4]);
    EXPECT_EQ(shownAgain, c.shown);
    if (c.step >= 0) {
      EXPECT_EQ(sent.fields[c.field4], c.step);
    }
    EXPECT_EQ(Emulated(MakeAddress(0, EqBase[0] + 5 * band + c.field4)), sent.fields[c.field4]);
  }
  // The gain field moved its band's slider without a second send.
  EXPECT_EQ(W<QSlider>("MusEQGainBar2")->value(), 0);
}

TEST_F(EditPipelineTest, UnusableTextPutsTheLastGoodTextBack) {
  Connect();
  Type("MusFreEdit2", QStringLiteral("500"));
  Flush();
  const QString good = W<QLineEdit>("MusFreEdit2")->text();
  const std::size_t from = emulator.frameLog.size();
  auto* field = W<QLineEdit>("MusFreEdit2");
  field->setText(QStringLiteral("1.2.3"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(field->text(), good);
  field->clear();
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(field->text(), good);
  Flush();
  EXPECT_TRUE(BandFrames(from).empty());
}

TEST_F(EditPipelineTest, ArrowsAndWheelStepUntilAParameterSliderMoves) {
  Connect();
  Type("MusFreEdit1", QStringLiteral("20201"));
  Flush();
  auto* field = W<QLineEdit>("MusFreEdit1");
  // At the top the up arrow keeps the value and sends it again.
  std::size_t from = emulator.frameLog.size();
  QTest::keyClick(field, Qt::Key_Up);
  Flush();
  EXPECT_EQ(field->text(), QStringLiteral("20600.0"));
  EXPECT_EQ(LastMusicBand(from, 0).fields[1], 361);
  QTest::keyClick(field, Qt::Key_Down);
  QTest::keyClick(field, Qt::Key_Left);
  Flush();
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[359]));
  // The wheel acts on the current field wherever the pointer is.
  Wheel(W("MainMusLevelBar"), 120);
  Flush();
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[360]));
  EXPECT_EQ(Emulated(MakeAddress(0, EqBase[0] + 1)), 360);

  // A parameter slider ends keyboard and wheel stepping.
  QTest::keyClick(W<QSlider>("MainMusLevelBar"), Qt::Key_End);
  Flush();
  from = emulator.frameLog.size();
  QTest::keyClick(field, Qt::Key_Up);
  Wheel(field, -120);
  Flush();
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[360]));
  EXPECT_TRUE(BandFrames(from).empty());
  // A click on a field brings them back.
  QTest::mouseClick(field, Qt::LeftButton);
  QTest::keyClick(field, Qt::Key_Up);
  Flush();
  EXPECT_EQ(field->text(), QStringLiteral("20600.0"));
}

TEST_F(EditPipelineTest, KeyFilterPassesOnlyNumberKeys) {
  Connect();
  auto* field = W<QLineEdit>("MusGainEdit1");
  QTest::mouseClick(field, Qt::LeftButton);
  field->selectAll();
  QTest::keyClicks(field, QStringLiteral("a-3x.5 dB"));
  EXPECT_EQ(field->text(), QStringLiteral("-3.5"));
  QTest::keyClick(field, Qt::Key_Backspace);
  EXPECT_EQ(field->text(), QStringLiteral("-3."));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(field->text(), QStringLiteral("-3.0"));
}

TEST_F(EditPipelineTest, SpinButtonsStepFieldsAndSliders) {
  Connect();
  Type("MusGainEdit1", QStringLiteral("0"));
  W<SpinButtons>("MusGainUpDownBtn1")->clickUpRight();
  W<SpinButtons>("MusGainUpDownBtn1")->clickUpRight();
  Flush();
  EXPECT_EQ(W<QLineEdit>("MusGainEdit1")->text(), QStringLiteral("0.4"));
  EXPECT_EQ(W<QSlider>("MusEQGainBar1")->value(), 122);
  EXPECT_EQ(Emulated(MakeAddress(0, EqBase[0] + 2)), 122);

  auto* hp = W<QSlider>("SubMusHPFreBar");
  hp->setValue(10);
  W<SpinButtons>("SubHPFreUpDownBtn")->clickUpRight();
  Flush();
  EXPECT_EQ(hp->value(), 11);
  EXPECT_EQ(W<QLabel>("SubMusHPFrePane")->text(), QString::fromStdString(HighPassText(11)));
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x60A, 11));
}

TEST_F(EditPipelineTest, BandGainSliderEditsItsField) {
  Connect();
  QTest::keyClick(W<QSlider>("MusEQGainBar3"), Qt::Key_Home);
  Flush();
  EXPECT_EQ(W<QLineEdit>("MusGainEdit3")->text(), QStringLiteral("-24.0"));
  EXPECT_EQ(Emulated(MakeAddress(0, EqBase[0] + 12)), 0);
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>("MusGainEdit3"));
  EXPECT_EQ(app->Window().Editing().LastChangedAddress, MakeAddress(0, EqBase[0] + 12));
  EXPECT_EQ(app->Window().Editing().CurrentBand[0], 2);
}

TEST_F(EditPipelineTest, ShelfTypeShowsItsOwnQWithoutSendingIt) {
  SetEmulated(MakeAddress(0, EqBase[0] + 3), 40);  // peaking Q of band 1
  SetEmulated(MakeAddress(0, EqBase[0] + 4), 12);  // shelf Q of band 1
  Connect();
  auto* q = W<QLineEdit>("MusQEdit1");
  EXPECT_EQ(q->text(), QString::fromLatin1(QSteps[40]));
  const std::size_t from = emulator.frameLog.size();
  auto* box = W<QComboBox>("MusModeBox1");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Down);
  Flush();
  EXPECT_EQ(box->currentIndex(), 1);
  EXPECT_EQ(q->text(), QString::fromLatin1(QSteps[12]));
  const std::vector<BandFrame> sent = BandFrames(from);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].fields[0], 1);
  EXPECT_EQ(sent[0].fields[3], 40);
  EXPECT_EQ(sent[0].fields[4], 12);
  EXPECT_EQ(app->Window().Editing().LastChangedAddress, MakeAddress(0, EqBase[0]));
  EXPECT_EQ(app->Window().Editing().LastChangedValue, 1);
  // The type pictures follow: low shelf lit, the others unlit.
  EXPECT_EQ(W<QLabel>("MusLSQBtn1")->pixmap().cacheKey(), W<QLabel>("LSQ_ONImage")->pixmap().cacheKey());
  EXPECT_EQ(W<QLabel>("MusPEQBtn1")->pixmap().cacheKey(), W<QLabel>("PEQ_OFFImage")->pixmap().cacheKey());
}

TEST_F(EditPipelineTest, PanesShowTheEndsOfTheirRanges) {
  Connect();
  struct Case {
    const char* slider;
    Qt::Key key;
    const char* pane;
    int address;
    QString text;
  } cases[] = {
      {"MicHPFreBar", Qt::Key_Home, "MicHPFrePane", 0x100, QStringLiteral("Off")},
      {"MicHPFreBar", Qt::Key_End, "MicHPFrePane", 0x100, QStringLiteral("303.0Hz")},
      {"EchoLPFreBar", Qt::Key_End, "EchoLPFrePane", 0x305, QStringLiteral("Off")},
      {"EchoLPFreBar", Qt::Key_Home, "EchoLPFrePane", 0x305, QString::fromLatin1(FreqSteps[168]) + "Hz"},
      {"EchoRTimeBar", Qt::Key_Home, "EchoRTimePane", 0x309, QStringLiteral("-50")},
      {"RvbTimeBar", Qt::Key_End, "RvbTimePane", 0x404, QStringLiteral("5000")},
      {"MainLdelayBar", Qt::Key_End, "MainLdelayPane", 0x518, QStringLiteral("50.0")},
      {"SubMusHPuserQBar", Qt::Key_End, "SubMusHPuserQPane", 0x60C, QStringLiteral("1.50")},
      {"MainMusLevelBar", Qt::Key_End, "MainMusLevelPane", 0x500, QStringLiteral("200")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slider);
    auto* slider = W<QSlider>(c.slider);
    slider->setEnabled(true);
    slider->setValue(c.key == Qt::Key_Home ? 1 : slider->maximum() - 1);
    QTest::keyClick(slider, c.key);
    Flush();
    EXPECT_EQ(W<QLabel>(c.pane)->text(), c.text);
    EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(c.address, slider->value()));
  }
}

TEST_F(EditPipelineTest, BandSelectionHighlightsLabelFieldAndScrollsTheMicrophoneStrip) {
  Connect();
  QTest::mouseClick(W("FormTabBtn2"), Qt::LeftButton);
  QTest::mouseClick(W("MicGainEdit3"), Qt::LeftButton);
  // A click normalises and stores the value but sends nothing.
  Flush();
  EXPECT_TRUE(BandFrames().empty());
  QTest::mouseClick(W("MicFreEdit14"), Qt::LeftButton);
  auto* bar = W<QScrollBar>("MicPanScrollBar");
  EXPECT_EQ(bar->value(), 4);
  EXPECT_EQ(app->Window().Editing().CurrentBand[1], 13);
  EXPECT_TRUE(W<QLabel>("MicEQPointLabel14")->styleSheet().contains(QStringLiteral("#52abe1")));
  EXPECT_FALSE(W<QLabel>("MicEQPointLabel3")->styleSheet().contains(QStringLiteral("#52abe1")));
  EXPECT_EQ(W("MicFreEdit14")->property("dspFrameColour").value<QColor>(), QColor(68, 134, 255));
  EXPECT_EQ(W("MicGainEdit3")->property("dspFrameColour").value<QColor>(), QColor(128, 128, 128));
  QTest::mouseClick(W("MicQEdit2"), Qt::LeftButton);
  EXPECT_EQ(bar->value(), 1);
  // A band chosen where all fifteen show (on the graph, from the keyboard,
  // the focus staying there) comes into view, also the one just past the
  // ten in view.
  bar->setValue(0);
  QWidget* graph = W("Image1");
  graph->setFocus(Qt::TabFocusReason);
  QTest::keyClick(graph, Qt::Key_0);  // band 10, the last one in view
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(graph, Qt::Key_BracketRight);
  EXPECT_EQ(app->Window().Editing().CurrentBand[1], 10);
  EXPECT_EQ(bar->value(), 1);
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

using FieldReactionsTest = EditPipelineTest;

TEST_F(FieldReactionsTest, OtherTextFieldsKeepTheirOrdinaryBehaviour) {
  Connect();
  QTest::mouseClick(W<QLineEdit>("MusGainEdit1"), Qt::LeftButton);
  auto* modeName = W<QLineEdit>("PresetModeEdit");
  modeName->clear();
  modeName->setFocus();  // leaving the band field commits it: that is sent
  Flush();
  const std::size_t from = emulator.frameLog.size();
  const QString gain = W<QLineEdit>("MusGainEdit1")->text();

  QTest::keyClicks(modeName, QStringLiteral("Party 2"));
  EXPECT_EQ(modeName->text(), QStringLiteral("Party 2")) << "letters reach a name field";
  QTest::keyClick(modeName, Qt::Key_Left);
  QTest::keyClick(modeName, Qt::Key_Backspace);
  EXPECT_EQ(modeName->text(), QStringLiteral("Party2")) << "arrow keys move the cursor";

  auto* fileName = W<QLineEdit>("FileEdit");
  fileName->setFocus();
  QTest::keyClicks(fileName, QStringLiteral("Live"));
  QTest::keyClick(fileName, Qt::Key_Return);
  modeName->setFocus();
  EXPECT_EQ(fileName->text(), QStringLiteral("Live"));

  Flush();
  EXPECT_TRUE(BandFrames(from).empty()) << "typing elsewhere sends no band";
  EXPECT_EQ(W<QLineEdit>("MusGainEdit1")->text(), gain);
  EXPECT_EQ(app->Window().Editing().CurrentEdit, W<QLineEdit>("MusGainEdit1"));
}

TEST_F(FieldReactionsTest, LeavingABandFieldCommitsItOnce) {
  Connect();
  QTest::mouseClick(W<QLineEdit>("MusFreEdit3"), Qt::LeftButton);
  Flush();
  const std::size_t from = emulator.frameLog.size();
  QTest::mouseClick(W<QLineEdit>("MusGainEdit4"), Qt::LeftButton);
  Flush();
  int sentForBand3 = 0;
  for (const BandFrame& f : BandFrames(from))
    if (f.block == EqBlockAddress[0] && f.band == 2) ++sentForBand3;
  EXPECT_EQ(sentForBand3, 1) << "the field being left is committed (and sent) exactly once";
}

}  // namespace
}  // namespace dsp
