// The control registry after start-up: every widget of the pages exists with
// its layout name, kind, range, tag and hint text, and the tables bind the
// slots the way the refresh and the edit reactions expect.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <map>
#include <string>
#include <vector>

#include "panels/control_registry.h"
#include "panels/picture_button.h"
#include "panels/skin_slider.h"
#include "panels/widget_props.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

constexpr int kNoTag = -1;
constexpr int kNoMax = -1;

struct Expected {
  std::string name;
  WidgetKind kind;
  int max;  // slider maximum, or choice box item count - 1
  int tag;
  std::string hint;
};

using K = WidgetKind;

// Slider, pane and (optional) spin buttons of one slot.
void SliderSlot(std::vector<Expected>& t, const std::string& bar, const std::string& pane, int max, int tag,
                int role, const std::string& spin = "") {
  t.push_back({bar, K::Slider, max, tag, ""});
  t.push_back({pane, K::ValuePane, kNoMax, tag, std::to_string(role)});
  if (!spin.empty()) t.push_back({spin, K::SpinButtons, kNoMax, tag, ""});
}

void Sign(std::vector<Expected>& t, const std::string& name, int tag) {
  t.push_back({name, K::PictureButton, kNoMax, tag, "0"});
}

void OutputMix(std::vector<Expected>& t, const std::string& x, int ch, int levelMax) {
  const int a = ch * 256;
  SliderSlot(t, x + "MusLevelBar", x + "MusLevelPane", levelMax, a + 0, 9);
  Sign(t, x + "MusPhaseBtn", a + 2);
  SliderSlot(t, x + "MicLevelBar", x + "MicLevelPane", levelMax, a + 4, 9);
  Sign(t, x + "MicPhaseBtn", a + 6);
  SliderSlot(t, x + "EchoLevelBar", x + "EchoLevelPane", levelMax, a + 8, 9);
  Sign(t, x + "EchoPhaseBtn", a + 10);
  SliderSlot(t, x + "RvbLevelBar", x + "RvbLevelPane", levelMax, a + 12, 9);
  Sign(t, x + "RvbPhaseBtn", a + 14);
  SliderSlot(t, x + "MusHPFreBar", x + "MusHPFrePane", 143, a + 16, 6, x + "HPFreUpDownBtn");
}

void Limiter(std::vector<Expected>& t, const std::string& x, int address) {
  SliderSlot(t, x + "RmsAttackBar", x + "RmsAttackPane", 15, address, 17);
  SliderSlot(t, x + "RmsReleaseBar", x + "RmsReleasePane", 7, address + 1, 16);
  SliderSlot(t, x + "RmsLevelBar", x + "RmsLevelPane", 34, address + 2, 14);
  SliderSlot(t, x + "RmsRatioBar", x + "RmsRatioPane", 40, address + 3, 15);
}

// Every non-band widget bound to a parameter, as the pages must have it.
std::vector<Expected> ParameterWidgets() {
  std::vector<Expected> t;
  t.push_back({"AutoModeBtn", K::PictureButton, kNoMax, 0x000, ""});
  t.push_back({"ManulModeBtn", K::PictureButton, kNoMax, 0x000, ""});
  t.push_back({"DiscoModeBtn", K::PictureButton, kNoMax, 0x001, ""});
  t.push_back({"SingModeBtn", K::PictureButton, kNoMax, 0x001, ""});
  t.push_back({"MusEQAllpassBtn", K::PictureButton, kNoMax, 0x003, "0"});  // page 0 shown

  SliderSlot(t, "MicHPFreBar", "MicHPFrePane", 143, 0x100, 6, "MicHPFreUpDownBtn");
  for (int i = 0; i < 4; ++i) {
    t.push_back(
        {"MicFBERadioBtn" + std::to_string(i + 1), K::PictureButton, kNoMax, 0x101, std::to_string(i)});
  }

  Sign(t, "EchoEffPhaseBtn", 0x300);
  SliderSlot(t, "EchoEffLevelBar", "EchoEffLevelPane", 100, 0x301, 8);
  Sign(t, "EchoDirectPhaseBtn", 0x302);
  SliderSlot(t, "EchoDirectLevelBar", "EchoDirectLevelPane", 100, 0x303, 8);
  SliderSlot(t, "EchoHPFreBar", "EchoHPFrePane", 241, 0x304, 13, "EchoHPFreUpDownBtn");
  SliderSlot(t, "EchoLPFreBar", "EchoLPFrePane", 194, 0x305, 7, "EchoLPFreUpDownBtn");
  SliderSlot(t, "EchoPreDelayBar", "EchoPreDelayPane", 125, 0x306, 11);
  SliderSlot(t, "EchoTimeBar", "EchoTimePane", 250, 0x307, 11);
  SliderSlot(t, "EchoRepeatBar", "EchoRepeatPane", 90, 0x308, 8);
  SliderSlot(t, "EchoRTimeBar", "EchoRTimePane", 100, 0x309, 10);
  SliderSlot(t, "EchoRPreDelayBar", "EchoRPreDelayPane", 50, 0x30A, 8);

  Sign(t, "RvbEffPhaseBtn", 0x400);
  SliderSlot(t, "RvbEffLevelBar", "RvbEffLevelPane", 100, 0x401, 8);
  Sign(t, "RvbDirectPhaseBtn", 0x402);
  SliderSlot(t, "RvbDirectLevelBar", "RvbDirectLevelPane", 100, 0x403, 8);
  SliderSlot(t, "RvbTimeBar", "RvbTimePane", 80, 0x404, 12);
  SliderSlot(t, "RvbPreDelayBar", "RvbPreDelayPane", 100, 0x405, 11);
  SliderSlot(t, "RvbHPFreBar", "RvbHPFrePane", 241, 0x406, 13, "RvbHPFreUpDownBtn");
  SliderSlot(t, "RvbLPFreBar", "RvbLPFrePane", 194, 0x407, 7, "RvbLPFreUpDownBtn");

  OutputMix(t, "Main", 5, 100);
  t.push_back({"MainMusHPslope", K::PictureButton, kNoMax, 0x512, "0"});
  t.push_back({"MainMusHPslope2", K::PictureButton, kNoMax, 0x512, "1"});
  Limiter(t, "Main", 0x514);
  SliderSlot(t, "MainLdelayBar", "MainLdelayPane", 500, 0x518, 18);
  SliderSlot(t, "MainRdelayBar", "MainRdelayPane", 500, 0x519, 18);
  t.push_back({"MainLmuteBtn", K::PictureButton, kNoMax, 0x51A, "0"});
  t.push_back({"MainRmuteBtn", K::PictureButton, kNoMax, 0x51B, "0"});

  SliderSlot(t, "SubMusLevelBar", "SubMusLevelPane", 200, 0x600, 9);
  Sign(t, "SubMusPhaseBtn", 0x602);
  SliderSlot(t, "SubMicLevelBar", "SubMicLevelPane", 200, 0x604, 9);
  Sign(t, "SubMicPhaseBtn", 0x606);
  t.push_back({"SubMusHPType", K::ChoiceBox, 4, 0x608, ""});
  SliderSlot(t, "SubMusHPFreBar", "SubMusHPFrePane", 143, 0x60A, 6, "SubHPFreUpDownBtn");
  SliderSlot(t, "SubMusHPuserQBar", "SubMusHPuserQPane", 23, 0x60C, 19, "SubMusHPuserQUpDownBtn");
  t.push_back({"SubMusLPType", K::ChoiceBox, 4, 0x60E, ""});
  SliderSlot(t, "SubMusLPFreBar", "SubMusLPFrePane", 143, 0x610, 6, "SubLPFreUpDownBtn");
  SliderSlot(t, "SubMusLPuserQBar", "SubMusLPuserQPane", 23, 0x612, 19, "SubMusLPuserQUpDownBtn");
  Limiter(t, "Sub", 0x614);
  SliderSlot(t, "SubdelayBar", "SubdelayPane", 500, 0x618, 18);
  t.push_back({"SubmuteBtn", K::PictureButton, kNoMax, 0x619, "0"});

  OutputMix(t, "Center", 7, 100);
  t.push_back({"CenterMusHPslope", K::PictureButton, kNoMax, 0x712, "0"});
  t.push_back({"CenterMusHPslope2", K::PictureButton, kNoMax, 0x712, "1"});
  Limiter(t, "Center", 0x714);
  SliderSlot(t, "CenterdelayBar", "CenterdelayPane", 500, 0x718, 18);
  t.push_back({"CentermuteBtn", K::PictureButton, kNoMax, 0x719, "0"});

  OutputMix(t, "Sur", 8, 100);
  Limiter(t, "Sur", 0x812);
  SliderSlot(t, "SurLdelayBar", "SurLdelayPane", 500, 0x816, 18);
  SliderSlot(t, "SurRdelayBar", "SurRdelayPane", 500, 0x817, 18);
  t.push_back({"SurLmuteBtn", K::PictureButton, kNoMax, 0x818, "0"});
  t.push_back({"SurRmuteBtn", K::PictureButton, kNoMax, 0x819, "0"});

  t.push_back({"SysModeBox", K::ChoiceBox, 15, 0x902, ""});  // placeholders "1-".."16-"
  t.push_back({"SysMusInputLevelBox", K::ChoiceBox, 2, 0x903, ""});
  for (int i = 0; i < 3; ++i) {
    t.push_back({i == 0 ? "SysMusInputLevel" : "SysMusInputLevel" + std::to_string(i + 1), K::PictureButton,
                 kNoMax, 0x903, std::to_string(i)});
  }
  const char* trios[] = {"SysMusStartVol", "SysMusMaxVol",   "SysMicStartVol",
                         "SysMicMaxVol",   "SysEffStartVol", "SysEffMaxVol"};
  for (int i = 0; i < 6; ++i) {
    const std::string x = trios[i];
    t.push_back({x + "Bar", K::Slider, 84, 0x906 + i, i % 2 == 0 ? "1" : "2"});
    t.push_back({x + "Pane", K::ValuePane, kNoMax, 0x906 + i, "0"});
  }
  t.push_back({"SysUserBtn", K::PictureButton, kNoMax, 0x90C, "0"});
  t.push_back({"SysManagerBtn", K::PictureButton, kNoMax, 0x90C, "1"});
  t.push_back({"SysPanelBtn1", K::PictureButton, kNoMax, 0x90D, "0"});
  t.push_back({"SysPanelBtn2", K::PictureButton, kNoMax, 0x90D, "1"});
  t.push_back({"SysInput", K::PictureButton, kNoMax, 0x90E, "0"});
  t.push_back({"SysInput2", K::PictureButton, kNoMax, 0x90E, "1"});
  const char* normals[] = {"SysMusNormalVol", "SysMicNormalVol", "SysEffNormalVol"};
  for (int i = 0; i < 3; ++i) {
    t.push_back({std::string(normals[i]) + "Bar", K::Slider, 84, 0x920 + i, "0"});
    t.push_back({std::string(normals[i]) + "Pane", K::ValuePane, kNoMax, 0x920 + i, "0"});
  }
  return t;
}

struct Equaliser {
  int channel;
  const char* prefix;
  const char* spin;
  const char* label;
  int bands;
  int base;
};
constexpr Equaliser kEqualisers[] = {
    {0, "Mus", "Mus", "Mus", 10, 4},   {1, "Mic", "MIc", "Mic", 15, 4},
    {3, "Echo", "Echo", "Eff", 3, 13}, {5, "Main", "Main", "Main", 5, 30},
    {6, "Sub", "Sub", "Sub", 3, 28},   {7, "Center", "Center", "Center", 5, 28},
    {8, "Sur", "Sur", "Sur", 5, 28}};

std::vector<Expected> BandWidgets() {
  std::vector<Expected> t;
  for (const Equaliser& e : kEqualisers) {
    for (int b = 1; b <= e.bands; ++b) {
      const std::string n = std::to_string(b);
      const std::string p = e.prefix;
      const std::string s = e.spin;
      const int a = e.channel * 256 + e.base + 5 * (b - 1);
      t.push_back({p + "ModeBox" + n, K::ChoiceBox, 2, a, "1"});
      t.push_back({p + "PEQBtn" + n, K::Picture, kNoMax, a, "0"});
      t.push_back({p + "LSQBtn" + n, K::Picture, kNoMax, a, "1"});
      t.push_back({p + "HSQBtn" + n, K::Picture, kNoMax, a, "2"});
      t.push_back({p + "FreEdit" + n, K::TextField, kNoMax, a + 1, "2"});
      t.push_back({s + "FreUpDownBtn" + n, K::SpinButtons, kNoMax, a + 1, ""});
      t.push_back({p + "GainEdit" + n, K::TextField, kNoMax, a + 2, "3"});
      t.push_back({s + "GainUpDownBtn" + n, K::SpinButtons, kNoMax, a + 2, ""});
      t.push_back({p + "EQGainBar" + n, K::Slider, 180, a + 2, "0"});
      // One Q field serves both Q slots and keeps the shelf slot's address.
      t.push_back({p + "QEdit" + n, K::TextField, kNoMax, a + 4, "4"});
      t.push_back({s + "QUpDownBtn" + n, K::SpinButtons, kNoMax, a + 4, ""});
      t.push_back({std::string(e.label) + "EQPointLabel" + n, K::Label, kNoMax, e.channel,
                   std::to_string(e.base + 1)});
    }
  }
  return t;
}

// The registry as built, before the start-up defaults refresh the widgets.
class RegistryTest : public StartedWindow {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(store);
    window->Hooks().resetEqDefaults = nullptr;
    window->show();
    QApplication::processEvents();
  }
};

TEST_F(RegistryTest, EveryCatalogueWidgetHasItsNameKindRangeTagAndHint) {
  std::vector<Expected> all = ParameterWidgets();
  const std::vector<Expected> bands = BandWidgets();
  all.insert(all.end(), bands.begin(), bands.end());
  for (const Expected& e : all) {
    SCOPED_TRACE(e.name);
    const QList<QWidget*> found = window->findChildren<QWidget*>(QString::fromStdString(e.name));
    ASSERT_EQ(found.size(), 1) << "widget missing or named twice";
    QWidget* w = found.front();
    EXPECT_EQ(KindOf(w), e.kind) << KindName(KindOf(w));
    if (e.kind == K::Slider) {
      auto* slider = static_cast<QSlider*>(w);
      EXPECT_EQ(slider->minimum(), 0);
      EXPECT_EQ(slider->maximum(), e.max);
    }
    if (e.kind == K::ChoiceBox) {
      EXPECT_EQ(static_cast<QComboBox*>(w)->count() - 1, e.max);
    }
    EXPECT_EQ(Tag(w), e.tag);
    EXPECT_EQ(Hint(w).toStdString(), e.hint);
  }
}

TEST_F(RegistryTest, TablesPointAtTheCatalogueWidgets) {
  const ControlRegistry& r = window->Registry();
  struct Binding {
    int address;
    const char* primary;
    const char* companion;
    const char* stepper;
  };
  const Binding bindings[] = {
      {0x000, "AutoModeBtn", "ManulModeBtn", nullptr},
      {0x001, "DiscoModeBtn", "SingModeBtn", nullptr},
      {0x100, "MicHPFreBar", "MicHPFrePane", "MicHPFreUpDownBtn"},
      {0x101, "MicFBERadioBtn1", nullptr, nullptr},
      {0x402, "RvbDirectPhaseBtn", "RvbDirectPhaseBtn", nullptr},
      {0x512, "MainMusHPslope", "MainMusHPslope2", nullptr},
      {0x60C, "SubMusHPuserQBar", "SubMusHPuserQPane", "SubMusHPuserQUpDownBtn"},
      {0x90E, "SysInput", "SysInput", nullptr},
      {0x90C, "SysUserBtn", "SysManagerBtn", nullptr},
      {0x00C, "MusQEdit2", nullptr, "MusQUpDownBtn2"},
      {0x00D, "MusQEdit2", nullptr, "MusQUpDownBtn2"},
      {0x00B, "MusGainEdit2", nullptr, "MusGainUpDownBtn2"},
      {0x1047, "", nullptr, nullptr},
  };
  for (const Binding& b : bindings) {
    SCOPED_TRACE(b.address);
    QWidget* primary = r.PrimaryControl(b.address);
    if (b.primary[0] == '\0') {
      EXPECT_EQ(primary, nullptr);
      continue;
    }
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->objectName(), QString::fromLatin1(b.primary));
    QWidget* companion = r.CompanionControl(b.address);
    EXPECT_EQ(companion ? companion->objectName() : QString(),
              b.companion ? QString::fromLatin1(b.companion) : QString());
    QWidget* stepper = r.StepperControl(b.address);
    EXPECT_EQ(stepper ? stepper->objectName() : QString(),
              b.stepper ? QString::fromLatin1(b.stepper) : QString());
  }
  // Type slot extras are the three type pictures; gain slot extra the slider.
  EXPECT_EQ(r.ExtraControls(0x0109, 0)->objectName(), QStringLiteral("MicPEQBtn2"));
  EXPECT_EQ(r.ExtraControls(0x0109, 2)->objectName(), QStringLiteral("MicHSQBtn2"));
  EXPECT_EQ(r.ExtraControls(0x0110, 0)->objectName(), QStringLiteral("MicEQGainBar3"));
  EXPECT_EQ(r.ExtraControls(0x0110, 1), nullptr);
}

TEST_F(RegistryTest, UnlistedSlotsHoldTheFillerAndChannelsTwoAndTenNothing) {
  const ControlRegistry& r = window->Registry();
  ASSERT_NE(r.Filler(), nullptr);
  EXPECT_EQ(r.Filler()->objectName(), QStringLiteral("Example"));
  EXPECT_EQ(Hint(r.Filler()), QStringLiteral("0"));
  EXPECT_TRUE(r.Filler()->isHidden());
  for (int channel = 0; channel <= 10; ++channel) {
    for (int slot = 0; slot < kRegistrySlots; ++slot) {
      SCOPED_TRACE(channel * 256 + slot);
      QWidget* primary = r.PrimaryControl(channel * 256 + slot);
      const bool empty = channel == 2 || channel == 10 || slot >= BlockLength[channel] ||
                         (channel == 9 && slot >= 17 && slot <= 31);
      if (empty) {
        EXPECT_EQ(primary, nullptr);
        EXPECT_EQ(r.CompanionControl(channel * 256 + slot), nullptr);
        EXPECT_EQ(r.StepperControl(channel * 256 + slot), nullptr);
      } else {
        EXPECT_NE(primary, nullptr);
      }
    }
  }
  // Reserved slots get the filler: music slot 2, echo slot 11, system slot 0.
  EXPECT_TRUE(r.IsFiller(r.PrimaryControl(0x002)));
  EXPECT_TRUE(r.IsFiller(r.PrimaryControl(0x30B)));
  EXPECT_TRUE(r.IsFiller(r.PrimaryControl(0x900)));
}

TEST_F(RegistryTest, NoWidgetCarriesAnAddressOfChannelTwoOrTen) {
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!HasTag(w)) continue;
    const int channel = ChannelOf(Tag(w));
    EXPECT_TRUE(channel != 2 && channel != 10) << w->objectName().toStdString() << " " << Tag(w);
  }
}

TEST_F(RegistryTest, RebuildRewritesLayoutTagsAndGivesTheSameResult) {
  // Whatever the layout gave them, the build writes the slot addresses:
  // the Q field keeps its shelf slot, both slope buttons their radio's slot.
  const char* names[] = {"MusQEdit1",        "EchoQEdit3",        "MainMusHPslope",        "MainMusHPslope2",
                         "CenterMusHPslope", "CenterMusHPslope2", "SubMusHPuserQUpDownBtn"};
  std::map<QWidget*, std::pair<int, QString>> before;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (HasTag(w)) before[w] = {Tag(w), Hint(w)};
  }
  for (const char* name : names) SetTag(W(name), 0x777);
  window->Registry().BuildControlRegistry(window.get(), store, window->Editing());
  EXPECT_EQ(Tag(W("MusQEdit1")), 0x008);
  EXPECT_EQ(Tag(W("EchoQEdit3")), 0x30D + 10 + 4);
  EXPECT_EQ(Tag(W("MainMusHPslope")), 0x512);
  EXPECT_EQ(Tag(W("MainMusHPslope2")), 0x512);
  EXPECT_EQ(Tag(W("CenterMusHPslope")), 0x712);
  EXPECT_EQ(Tag(W("CenterMusHPslope2")), 0x712);
  EXPECT_EQ(Tag(W("SubMusHPuserQUpDownBtn")), 0x60C);
  for (const auto& [w, tagHint] : before) {
    EXPECT_EQ(Tag(w), tagHint.first) << w->objectName().toStdString();
    EXPECT_EQ(Hint(w), tagHint.second) << w->objectName().toStdString();
  }
}

TEST_F(RegistryTest, BuildSetsEditingStateRadioMembersLabelsAndFirstDeviceValue) {
  const ControlRegistry& r = window->Registry();
  EXPECT_EQ(store.Device(0, 0), 1);
  EXPECT_EQ(window->Editing().CurrentEdit, W<QLineEdit>("MusFreEdit1"));
  EXPECT_EQ(window->Editing().PreviousEdit, r.Filler());
  EXPECT_FALSE(window->Editing().PanelRefreshing);
  const auto& members = window->Registry().RadioMembers();
  EXPECT_EQ(members[0], W("SysMusInputLevel"));
  EXPECT_EQ(members[1], W("SysMusInputLevel2"));
  EXPECT_EQ(members[2], W("SysMusInputLevel3"));
  EXPECT_EQ(members[3], nullptr);
  for (int page = 0; page < kPageCount; ++page) {
    ASSERT_NE(r.PageTabs()[page], nullptr);
    EXPECT_EQ(r.PageTabs()[page]->objectName(), QStringLiteral("FormTabBtn%1").arg(page + 1));
    EXPECT_EQ(Tag(r.PageTabs()[page]), page);
  }
  const int bandsPerGroup[kEqGroups] = {10, 15, 3, 5, 5, 3, 5};
  const char* labelPrefix[kEqGroups] = {"Mus", "Mic", "Eff", "Main", "Center", "Sub", "Sur"};
  for (int g = 0; g < kEqGroups; ++g) {
    EXPECT_EQ(r.BandLabelCount(g), bandsPerGroup[g]);
    for (int b = 0; b < bandsPerGroup[g]; ++b) {
      QLabel* label = r.BandNumberLabel(g, b);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->objectName(), QStringLiteral("%1EQPointLabel%2").arg(labelPrefix[g]).arg(b + 1));
      EXPECT_EQ(label->text(), QString::number(b + 1));
    }
    EXPECT_EQ(r.BandNumberLabel(g, bandsPerGroup[g]), nullptr);
  }
}

TEST_F(RegistryTest, ParameterSlidersTakeTheTemplateThumb) {
  const ControlRegistry& r = window->Registry();
  auto* templ = W<SkinSlider>("MicHPFreBar");
  ASSERT_FALSE(templ->thumbPicture().isNull());
  int checked = 0;
  for (int channel = 0; channel <= 8; ++channel) {
    for (int slot = 0; slot < BlockLength[channel]; ++slot) {
      auto* slider = qobject_cast<SkinSlider*>(r.PrimaryControl(channel * 256 + slot));
      if (slider == nullptr) continue;
      EXPECT_EQ(slider->thumbPicture().cacheKey(), templ->thumbPicture().cacheKey())
          << slider->objectName().toStdString();
      EXPECT_EQ(slider->disabledThumbPicture().cacheKey(), templ->disabledThumbPicture().cacheKey());
      ++checked;
    }
  }
  // The primary sliders of channels 1 and 3 to 8.
  EXPECT_EQ(checked, 1 + 9 + 6 + 11 + 11 + 10 + 11);
}

TEST_F(RegistryTest, RadioAndSignButtonsAreRecognisedBySize) {
  for (const char* name : {"MicFBERadioBtn3", "MainMusHPslope2", "SysUserBtn", "SysPanelBtn2", "SysInput2",
                           "SysMusInputLevel3"}) {
    EXPECT_EQ(W(name)->size(), QSize(13, 13)) << name;
  }
  for (const char* name : {"EchoEffPhaseBtn", "RvbDirectPhaseBtn", "SubMicPhaseBtn", "SurRvbPhaseBtn"}) {
    EXPECT_EQ(W(name)->size(), QSize(15, 15)) << name;
    EXPECT_EQ(W<PictureButton>(name)->text(), QStringLiteral("+")) << name;
  }
  for (const char* name : {"MainLmuteBtn", "SubmuteBtn", "MusEQAllpassBtn", "AutoModeBtn", "MusPEQBtn1"}) {
    const QSize size = W(name)->size();
    EXPECT_FALSE(size == QSize(13, 13) || size == QSize(15, 15)) << name;
  }
}

TEST_F(RegistryTest, ChoiceItemsAndSystemPageTexts) {
  const std::pair<const char*, QStringList> choices[] = {
      {"MusModeBox1", {"PEQ", "LSEQ", "HSEQ"}},
      {"SubMusLPType", {"Besell 24dB", "Butterworth 24dB", "Link Riley 24dB", "USER 12dB", "USER 24dB"}},
      {"SysMusInputLevelBox", {"0dB", "3dB", "6dB"}},
  };
  for (const auto& [name, items] : choices) {
    auto* box = W<QComboBox>(name);
    QStringList actual;
    for (int i = 0; i < box->count(); ++i) actual << box->itemText(i);
    EXPECT_EQ(actual, items) << name;
  }
  auto* modes = W<QComboBox>("SysModeBox");
  EXPECT_EQ(modes->itemText(0), QStringLiteral("1-"));
  EXPECT_EQ(modes->itemText(15), QStringLiteral("16-"));
  EXPECT_EQ(W<QLineEdit>("PresetModeEdit")->maxLength(), 20);
  EXPECT_EQ(W<QLineEdit>("SysPassEdit")->maxLength(), 6);
  EXPECT_EQ(W<QLineEdit>("SysPassEdit")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(W<QLineEdit>("PassPanelLabel1")->maxLength(), 4);
  EXPECT_EQ(W<QLineEdit>("PassPanelLabel1")->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(W<QLineEdit>("NewPassLabel2")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(W<QLineEdit>("PanelPassWordEdit")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(W<PictureButton>("RzBmpButton138")->text(), QStringLiteral("保存设备模式"));
  EXPECT_FALSE(W("RzBmpButton138")->isEnabled());
  EXPECT_FALSE(W("SysUserMangerGrop")->isEnabled());
  EXPECT_NE(W("SignRzGroup"), nullptr);
  EXPECT_NE(W("FileEdit"), nullptr);
  EXPECT_NE(W("CurrentModeLabel"), nullptr);
  EXPECT_NE(W("DeviceIDLabel"), nullptr);
  EXPECT_EQ(W<PictureButton>("MicABtn")->text(), QStringLiteral("麦克风A组"));
  EXPECT_TRUE(W("MicABtn")->isHidden());
  EXPECT_TRUE(W("MicBBtn")->isHidden());
}

}  // namespace
}  // namespace dsp
