// Picture button reactions, the full refresh after a download of a random
// setting, and the EQ reset, on an application linked to the processor
// emulator.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <algorithm>

#include "common/rounding.h"
#include "eq/scales.h"
#include "linked_app.h"
#include "editing/page_switcher.h"
#include "catalogue/catalogue.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "store/eq_defaults.h"

namespace dsp {
namespace {

bool Lit(const PictureButton* b) {
  return b->picture(PictureButton::Normal).cacheKey() == b->picture(PictureButton::Pressed).cacheKey();
}

class ButtonTest : public LinkedApp {
 protected:
  void SetUp() override { emulator.LoadFactorySetting(); }
  void Click(const char* name) {
    QTest::mouseClick(W(name), Qt::LeftButton);
    Flush();
  }
};

TEST_F(ButtonTest, SignAndTwoStateButtonsToggleShowAndSend) {
  SetEmulated(0x300, 1);
  SetEmulated(0x51A, 0);
  Connect();
  QTest::mouseClick(W("FormTabBtn3"), Qt::LeftButton);
  auto* sign = W<PictureButton>("EchoEffPhaseBtn");
  EXPECT_EQ(sign->text(), QStringLiteral("+"));
  Click("EchoEffPhaseBtn");
  EXPECT_EQ(sign->text(), QStringLiteral("-"));
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x300, 0));
  Click("EchoEffPhaseBtn");
  EXPECT_EQ(sign->text(), QStringLiteral("+"));
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x300, 1));

  QTest::mouseClick(W("FormTabBtn4"), Qt::LeftButton);
  auto* mute = W<PictureButton>("MainLmuteBtn");
  EXPECT_FALSE(Lit(mute));
  Click("MainLmuteBtn");
  EXPECT_TRUE(Lit(mute));
  EXPECT_EQ(Emulated(0x51A), 1);
  Click("MainLmuteBtn");
  EXPECT_EQ(mute->picture(PictureButton::Normal).cacheKey(),
            mute->picture(PictureButton::Disabled).cacheKey());
  EXPECT_EQ(Emulated(0x51A), 0);
}

TEST_F(ButtonTest, RadioGroupsLightOneMemberAndSend) {
  Connect();
  QTest::mouseClick(W("FormTabBtn2"), Qt::LeftButton);
  Click("MicFBERadioBtn3");
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x101, 2));
  for (int i = 1; i <= 4; ++i) {
    const std::string name = "MicFBERadioBtn" + std::to_string(i);
    EXPECT_EQ(Lit(W<PictureButton>(name.c_str())), i == 3) << name;
  }
  // Changing an output slope redraws the curve of the page shown.
  std::vector<std::pair<int, int>> drawn;
  app->Window().Pages().DrawEq = [&drawn](int band, int channel) { drawn.emplace_back(band, channel); };
  QTest::mouseClick(W("FormTabBtn4"), Qt::LeftButton);
  drawn.clear();
  Click("MainMusHPslope2");
  EXPECT_EQ(Emulated(0x512), 1);
  EXPECT_TRUE(Lit(W<PictureButton>("MainMusHPslope2")));
  EXPECT_FALSE(Lit(W<PictureButton>("MainMusHPslope")));
  EXPECT_EQ(drawn, (std::vector<std::pair<int, int>>{{kAllBands, 5}}));
  // A user-rights pick locks the group again and sets what a manager may use.
  QTest::mouseClick(W("FormTabBtn8"), Qt::LeftButton);
  W("SysUserMangerGrop")->setEnabled(true);
  Click("SysManagerBtn");
  EXPECT_EQ(Emulated(0x90C), 1);
  EXPECT_FALSE(W("SysUserMangerGrop")->isEnabled());
  EXPECT_TRUE(W("SignRzGroup")->isEnabled());
  EXPECT_TRUE(W("RzBmpButton138")->isEnabled());
}

TEST_F(ButtonTest, BypassAndResetAreLockedOnTheMusicPageInAutomaticMode) {
  Connect();
  Click("AutoModeBtn");
  EXPECT_EQ(Emulated(0x000), 0);
  EXPECT_FALSE(W("MusScrollBox")->isEnabled());
  EXPECT_FALSE(W("MainMusLevelBar")->isEnabled());
  EXPECT_FALSE(W("SingModeBtn")->isEnabled());
  const std::size_t from = emulator.frameLog.size();
  W<PictureButton>("MusEQAllpassBtn")->click();
  W<PictureButton>("EQResetBtn")->click();
  Flush();
  EXPECT_EQ(emulator.frameLog.size(), from);
  EXPECT_FALSE(W("EQPassLabel")->isVisible());

  Click("ManulModeBtn");
  EXPECT_TRUE(W("MusScrollBox")->isEnabled());
  EXPECT_TRUE(W("MainMusLevelBar")->isEnabled());
  Click("MusEQAllpassBtn");
  EXPECT_EQ(Emulated(MakeAddress(0, EqBase[0] - 1)), 1);
  EXPECT_TRUE(W("EQPassLabel")->isVisible());
  EXPECT_EQ(app->Window().Pages().EqPassFlags()[0], 1);
}

TEST_F(ButtonTest, SubwooferUserQFollowsItsFilterTypeInEitherMode) {
  SetEmulated(0x608, 0);
  SetEmulated(0x60E, 1);
  Connect();
  QTest::mouseClick(W("FormTabBtn6"), Qt::LeftButton);
  auto* type = W<QComboBox>("SubMusHPType");
  type->setFocus();
  while (type->currentIndex() < 3) QTest::keyClick(type, Qt::Key_Down);
  Flush();
  EXPECT_EQ(Emulated(0x608), 3);
  EXPECT_TRUE(W("SubMusHPuserQBar")->isEnabled());
  Click("AutoModeBtn");
  EXPECT_TRUE(W("SubMusHPuserQBar")->isEnabled());
  EXPECT_FALSE(W("SubMusLPuserQBar")->isEnabled());
  EXPECT_FALSE(W("SubMusHPFreBar")->isEnabled());
}

TEST_F(ButtonTest, EqResetOfGroupBSendsChannelTwoAndKeepsChannelOne) {
  SetEmulated(MakeAddress(1, EqBase[1] + 6), 200);  // group A, band 2 frequency
  Connect();
  QTest::mouseClick(W("FormTabBtn2"), Qt::LeftButton);
  W<PictureButton>("MicBBtn")->click();
  Flush();
  EXPECT_EQ(Store().MicGroupB, 1);
  EXPECT_EQ(app->Window().Pages().CurveColour(), QColor(255, 102, 0, 255));
  const auto deviceRow1 = Store().DeviceImage[1];
  const auto emulatedRow1 = emulator.image[1];
  const std::size_t from = emulator.frameLog.size();
  Click("EQResetBtn");
  const std::vector<BandFrame> sent = BandFrames(from);
  ASSERT_EQ(sent.size(), 15u);
  for (int b = 0; b < 15; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(sent[b].block, EqBlockAddress[2]);
    EXPECT_EQ(sent[b].band, b);
    for (int f = 0; f < 5; ++f) EXPECT_EQ(sent[b].fields[f], EqDefault(2, b, f));
  }
  EXPECT_EQ(Store().DeviceImage[1], deviceRow1);
  EXPECT_EQ(emulator.image[1], emulatedRow1);
  EXPECT_EQ(W<QLineEdit>("MicFreEdit2")->text(), QString::fromLatin1(FreqSteps[EqDefault(2, 1, 1)]));
  EXPECT_EQ(W<QLineEdit>("MicGainEdit2")->text(), QStringLiteral("0.0"));
  // Back to group A: the microphone page shows channel 1 again.
  W<PictureButton>("MicABtn")->click();
  EXPECT_EQ(W<QLineEdit>("MicFreEdit2")->text(), QString::fromLatin1(FreqSteps[200]));
}

TEST_F(ButtonTest, EqResetWhileNotLinkedChangesTheStoresAndSendsNothing) {
  Connect();
  QTest::mouseClick(W("FormTabBtn4"), Qt::LeftButton);
  W<PictureButton>("UnLinkBtn")->click();
  ASSERT_NE(app->Link().LinkState, 2);
  Store().SetParam(MakeAddress(5, EqBase[5] + 2), 20);
  const std::size_t from = emulator.frameLog.size();
  W<PictureButton>("EQResetBtn")->click();
  EXPECT_EQ(emulator.frameLog.size(), from);
  EXPECT_EQ(Store().Param(MakeAddress(5, EqBase[5] + 2)), 120);
  EXPECT_EQ(W<QLineEdit>("MainFreEdit2")->text(), QString::fromLatin1(FreqSteps[EqDefault(5, 1, 1)]));
}

TEST_F(ButtonTest, SingAndDanceSwitchTheSceneShown) {
  const int freq = EqBase[0] + 1;
  emulator.image[0][1] = 0;
  emulator.image[0][DeviceIndex(0, freq, 0)] = 50;
  emulator.image[0][DeviceIndex(0, freq, 1)] = 250;
  Connect();
  auto* field = W<QLineEdit>("MusFreEdit1");
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[50]));
  Click("DiscoModeBtn");
  EXPECT_EQ(emulator.Scene(), 1);
  EXPECT_EQ(Store().Scene(), 1);
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[250]));
  EXPECT_TRUE(Lit(W<PictureButton>("DiscoModeBtn")));
  Click("SingModeBtn");
  EXPECT_EQ(emulator.Scene(), 0);
  EXPECT_EQ(field->text(), QString::fromLatin1(FreqSteps[50]));
}

TEST_F(ButtonTest, VolumeSlidersKeepBelowTheirMaximumByHandOnly) {
  SetEmulated(0x907, 40);  // music maximum
  SetEmulated(0x906, 10);  // music start
  SetEmulated(0x920, 60);  // music current, above the maximum
  Connect();
  auto* current = W<QSlider>("SysMusNormalVolBar");
  auto* start = W<QSlider>("SysMusStartVolBar");
  auto* maximum = W<QSlider>("SysMusMaxVolBar");
  // The refresh shows the processor's values as they are.
  EXPECT_EQ(current->value(), 60);
  EXPECT_EQ(W<QLabel>("SysMusNormalVolPane")->text(), QStringLiteral("60"));
  EXPECT_TRUE(emulator.valueWrites.empty());

  // Lowering the maximum pulls the current volume down first.
  maximum->setValue(20);
  Flush();
  EXPECT_EQ(current->value(), 20);
  EXPECT_EQ(emulator.valueWrites, (std::vector<std::pair<int, int>>{{0x920, 20}, {0x907, 20}}));
  start->setValue(60);
  Flush();
  EXPECT_EQ(start->value(), 20);
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x906, 20));
  // The current volume falls freely but rises one step per change.
  current->setValue(5);
  current->setValue(15);
  Flush();
  EXPECT_EQ(current->value(), 6);
  EXPECT_EQ(W<QLabel>("SysMusNormalVolPane")->text(), QStringLiteral("6"));
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x920, 6));
}

// After a download of a random setting every widget shows the processor's
// value, and nothing was sent back.
class RandomRefreshTest : public LinkedApp {};

TEST_F(RandomRefreshTest, EveryWidgetShowsTheDownloadedValue) {
  emulator.FillRandom(20261210);
  SetEmulated(0x608, 12);  // a choice value beyond the items
  SetEmulated(0x000, 1);   // manual, so no control is locked
  Connect();
  EXPECT_TRUE(emulator.valueWrites.empty());
  EXPECT_TRUE(BandFrames().empty());

  const ControlRegistry& registry = app->Window().Registry();
  int checked = 0;
  for (int channel = 0; channel <= 9; ++channel) {
    for (int slot = 0; slot < BlockLength[channel]; ++slot) {
      const int address = MakeAddress(channel, slot);
      QWidget* w = registry.PrimaryControl(address);
      if (w == nullptr || registry.IsFiller(w) || address <= 0x001 || address == 0x902) continue;
      const int v = Emulated(address);
      SCOPED_TRACE(w->objectName().toStdString() + " = " + std::to_string(v));
      ++checked;
      switch (KindOf(w)) {
        case WidgetKind::Slider: {
          auto* slider = static_cast<QSlider*>(w);
          EXPECT_EQ(slider->value(), std::clamp(v, 0, slider->maximum()));
          auto* pane = qobject_cast<QLabel*>(registry.CompanionControl(address));
          if (pane != nullptr && slider->value() != 0) {
            const int role = HintInt(pane, 0);
            const QString expected = role == 0 ? QString::number(slider->value())
                                               : QString::fromStdString(RoleText(role, slider->value()));
            EXPECT_EQ(pane->text(), expected);
          }
          break;
        }
        case WidgetKind::TextField: {
          const int role = HintInt(w, 0);
          const int shown = role == role::BandQ ? Emulated(Store().ActiveQSlot(Tag(w))) : v;
          EXPECT_EQ(static_cast<QLineEdit*>(w)->text(), QString::fromStdString(RoleText(role, shown)));
          break;
        }
        case WidgetKind::ChoiceBox: {
          auto* box = static_cast<QComboBox*>(w);
          EXPECT_EQ(box->currentIndex(), std::min(v % 10, box->count() - 1));
          break;
        }
        case WidgetKind::PictureButton: {
          auto* button = static_cast<PictureButton*>(w);
          if (button->text() == QLatin1String("EQ pass")) break;
          if (button->size() == QSize(13, 13)) {
            const ParamEntry* entry = nullptr;
            for (const ParamEntry& e : Catalogue()) {
              if (MakeAddress(e.channel, e.slot) == address) entry = &e;
            }
            ASSERT_NE(entry, nullptr);
            const int chosen = std::min<int>(v, static_cast<int>(entry->members.size()) - 1);
            for (int i = 0; i < static_cast<int>(entry->members.size()); ++i) {
              auto* member = W<PictureButton>(entry->members[i].c_str());
              EXPECT_EQ(Lit(member), i == chosen) << entry->members[i];
            }
          } else {
            EXPECT_EQ(Hint(button), v != 0 ? QStringLiteral("1") : QStringLiteral("0"));
            if (button->size() == QSize(15, 15)) {
              EXPECT_EQ(button->text(), v != 0 ? QStringLiteral("+") : QStringLiteral("-"));
            } else {
              EXPECT_EQ(Lit(button), v != 0);
            }
          }
          break;
        }
        default:
          ADD_FAILURE() << "unexpected widget kind " << KindName(KindOf(w));
      }
    }
  }
  EXPECT_GT(checked, 300);
  EXPECT_EQ(W<QComboBox>("SubMusHPType")->currentIndex(), 2);
  EXPECT_TRUE(Lit(W<PictureButton>("ManulModeBtn")));
  EXPECT_TRUE(Lit(W<PictureButton>(Emulated(0x001) & 0xFF ? "DiscoModeBtn" : "SingModeBtn")));

  // A refresh while linked sends nothing either.
  const std::size_t from = emulator.frameLog.size();
  app->Window().Refresher().RefreshFromStore(20);
  EXPECT_EQ(app->Link().valueQueue().count, 0);
  EXPECT_EQ(app->Link().eqQueue().count, 0);
  EXPECT_EQ(emulator.frameLog.size(), from);
  EXPECT_EQ(app->Link().SuppressSend, 0);
}

TEST(StartupDefaultsTest, EqualisersShowTheirDefaultsWithoutAProcessor) {
  ParamStore store;
  MainWindow window(store);
  window.show();
  QApplication::processEvents();
  auto* freq = window.findChild<QLineEdit*>(QStringLiteral("MusFreEdit4"));
  EXPECT_EQ(freq->text(), QString::fromLatin1(FreqSteps[113]));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("MusGainEdit4"))->text(), QStringLiteral("0.0"));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("MusQEdit4"))->text(),
            QString::fromLatin1(QSteps[16]));
  EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("MusModeBox4"))->currentIndex(), 0);
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("SurFreEdit5"))->text(),
            QString::fromLatin1(FreqSteps[293]));
  // The scene 1 copy of the music equaliser has its own frequencies.
  EXPECT_EQ(store.Device(0, DeviceIndex(0, EqBase[0] + 5 * 3 + 1, 1)), 83);
}

}  // namespace
}  // namespace dsp
