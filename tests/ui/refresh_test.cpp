// Showing the stores in the widgets: each widget kind shows its slot's
// stored value, and the common band panel follows a band address.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "eq/scales.h"
#include "editing/store_refresh.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

class RefreshTest : public StartedWindow {
 protected:
  void Store(int address, int value) {
    store.SetDevice(ChannelOf(address), DeviceIndex(ChannelOf(address), SlotOf(address), 0), value);
  }
  bool ShowsOwn(const char* name, PictureButton::Picture which) {
    auto* b = W<PictureButton>(name);
    return b->picture(PictureButton::Normal).cacheKey() == b->picture(which).cacheKey();
  }
};

TEST_F(RefreshTest, ButtonsShowTheirStoredState) {
  Store(0x300, 1);  // echo effect sign
  Store(0x302, 0);  // echo direct sign
  Store(0x51A, 1);  // main left mute
  Store(0x51B, 0);
  Store(0x101, 2);  // feedback suppression "2"
  window->Refresher().RefreshFromStore(20);
  EXPECT_EQ(W<PictureButton>("EchoEffPhaseBtn")->text(), QStringLiteral("+"));
  EXPECT_EQ(Hint(W("EchoEffPhaseBtn")), QStringLiteral("1"));
  EXPECT_EQ(W<PictureButton>("EchoDirectPhaseBtn")->text(), QStringLiteral("-"));
  EXPECT_EQ(Hint(W("EchoDirectPhaseBtn")), QStringLiteral("0"));
  EXPECT_TRUE(ShowsOwn("MainLmuteBtn", PictureButton::Pressed));
  EXPECT_TRUE(ShowsOwn("MainRmuteBtn", PictureButton::Disabled));
  auto* example = W<PictureButton>("ExampleBtn");
  for (int i = 1; i <= 4; ++i) {
    const std::string name = "MicFBERadioBtn" + std::to_string(i);
    auto* member = W<PictureButton>(name.c_str());
    SCOPED_TRACE(name);
    if (i == 3) {
      EXPECT_TRUE(ShowsOwn(name.c_str(), PictureButton::Pressed));
    } else {
      EXPECT_EQ(member->picture(PictureButton::Normal).cacheKey(),
                example->picture(PictureButton::Disabled).cacheKey());
    }
  }
}

TEST_F(RefreshTest, ChoicesSlidersPanesAndBandFieldsShowTheirValues) {
  Store(0x608, 12);  // subwoofer high-pass type: item 12 mod 10
  Store(0x307, 125);
  Store(0x004, 2);  // music band 1 type: high shelf
  Store(0x005, 100);
  Store(0x006, 120);
  Store(0x007, 90);  // peaking Q
  Store(0x008, 20);  // shelf Q
  W<QLabel>("EchoRepeatPane")->setText(QStringLiteral("placeholder"));
  window->Refresher().RefreshFromStore(20);
  EXPECT_EQ(W<QComboBox>("SubMusHPType")->currentIndex(), 2);
  EXPECT_EQ(W<QSlider>("EchoTimeBar")->value(), 125);
  EXPECT_EQ(W<QLabel>("EchoTimePane")->text(), QStringLiteral("250"));
  // Stored value equal to the slider's position: the pane keeps its text.
  EXPECT_EQ(W<QLabel>("EchoRepeatPane")->text(), QStringLiteral("placeholder"));
  EXPECT_EQ(W<QComboBox>("MusModeBox1")->currentIndex(), 2);
  EXPECT_EQ(W<QLineEdit>("MusFreEdit1")->text(), QString::fromLatin1(FreqSteps[100]));
  EXPECT_EQ(W<QLineEdit>("MusGainEdit1")->text(), QStringLiteral("0.0"));
  EXPECT_EQ(W<QSlider>("MusEQGainBar1")->value(), 120);
  EXPECT_EQ(W<QLineEdit>("MusQEdit1")->text(), QString::fromLatin1(QSteps[20]));
  const auto lit = W<QLabel>("HSQ_ONImage")->pixmap().cacheKey();
  EXPECT_EQ(W<QLabel>("MusHSQBtn1")->pixmap().cacheKey(), lit);
  EXPECT_EQ(W<QLabel>("MusPEQBtn1")->pixmap().cacheKey(), W<QLabel>("PEQ_OFFImage")->pixmap().cacheKey());
}

TEST_F(RefreshTest, ChannelTwoRefreshesOnlyTheMicrophonePage) {
  Store(0x100, 50);
  Store(0x301, 70);
  window->Refresher().RefreshFromStore(2);
  EXPECT_EQ(W<QSlider>("MicHPFreBar")->value(), 50);
  EXPECT_EQ(W<QLabel>("MicHPFrePane")->text(), QString::fromStdString(HighPassText(50)));
  EXPECT_EQ(W<QSlider>("EchoEffLevelBar")->value(), 0);
}

TEST_F(RefreshTest, SystemRightsModeListAndModeLabel) {
  Store(0x90C, 1);
  Store(0x902, 4);
  store.ModeNames[4] = "Club";
  W("SysUserMangerGrop")->setEnabled(true);
  window->Refresher().RefreshFromStore(20);
  EXPECT_FALSE(W("SysUserMangerGrop")->isEnabled());
  EXPECT_TRUE(W("SignRzGroup")->isEnabled());
  EXPECT_TRUE(W("RzBmpButton138")->isEnabled());
  auto* modes = W<QComboBox>("SysModeBox");
  EXPECT_EQ(modes->count(), 15);
  EXPECT_EQ(modes->currentIndex(), 4);
  EXPECT_EQ(modes->currentText(), QStringLiteral("5-Club"));
  EXPECT_EQ(W<QLineEdit>("PresetModeEdit")->text(), QStringLiteral("Club"));
  EXPECT_EQ(W<QLabel>("CurrentModeLabel")->text(), QStringLiteral("（当前模式：5 ）"));
  Store(0x90C, 0);
  window->Refresher().RefreshFromStore(9);
  EXPECT_FALSE(W("SignRzGroup")->isEnabled());
  EXPECT_FALSE(W("RzBmpButton138")->isEnabled());
}

TEST_F(RefreshTest, CommonBandPanelFollowsBandAddressesOnly) {
  StoreRefresh& refresh = window->Refresher();
  store.SetParam(0x30D + 5 + 1, 200);  // echo band 2 frequency
  store.SetParam(0x30D + 5 + 2, 130);
  store.SetParam(0x30D + 5 + 3, 40);
  store.SetParam(0x30D + 5 + 4, 10);
  struct Case {
    int address;
    int qTag;  // -1: the panel stays as it was
  } cases[] = {
      {0x30D + 5 + 4, 0x30D + 5 + 4}, {0x30D + 5 + 1, 0x30D + 5 + 3}, {0x30D + 5 + 2, 0x30D + 5 + 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(refresh.ShowCurrentBand(c.address), c.address);
    EXPECT_EQ(Tag(W("ComEQQvalueBar")), c.qTag);
    EXPECT_EQ(Tag(W("ComEQQvalueUpDownBtn")), c.qTag);
    EXPECT_EQ(Tag(W("ComEQFreBar")), 0x30D + 5 + 1);
    EXPECT_EQ(Tag(W("ComEQGainUpDownBtn")), 0x30D + 5 + 2);
    EXPECT_EQ(W<QLabel>("COMEQlabel")->text(), QStringLiteral("调节当前EQ段：2"));
    EXPECT_EQ(W<QLineEdit>("ComEQFreEdit")->text(), QString::fromLatin1(FreqSteps[200]));
    EXPECT_EQ(W<QLineEdit>("ComEQGainEdit")->text(), QStringLiteral("2.0dB"));
    EXPECT_EQ(W<QSlider>("ComEQFreBar")->value(), 200);
    EXPECT_FALSE(window->Editing().SliderSync);
  }
  // A type slot, a filter slot and a plain parameter leave the panel alone.
  for (int address : {0x30D + 5, 0x100, 0x307, 0x000}) {
    EXPECT_EQ(refresh.ShowCurrentBand(address), address);
    EXPECT_EQ(Tag(W("ComEQFreBar")), 0x30D + 5 + 1);
    EXPECT_EQ(W<QLabel>("COMEQlabel")->text(), QStringLiteral("调节当前EQ段：2"));
  }
}

}  // namespace
}  // namespace dsp
