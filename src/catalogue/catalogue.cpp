#include "catalogue/catalogue.h"

#include "common/translation_mark.h"
#include "eq/scales.h"

namespace dsp {

namespace {

// The fields every row has: where it sits in the address space and on the page.
ParamEntry Row(int channel, int slot, ParamKind kind, const std::string& primary, int column, int row) {
  ParamEntry p;
  p.channel = channel;
  p.slot = slot;
  p.kind = kind;
  p.primary = primary;
  p.column = column;
  p.row = row;
  return p;
}

ParamEntry SliderRow(int channel, int slot, const std::string& bar, const std::string& pane, int max,
                     int role, const std::string& caption, const std::string& unit, int column, int row,
                     const std::string& stepper = "") {
  ParamEntry p = Row(channel, slot, ParamKind::Slider, bar, column, row);
  p.companion = pane;
  p.stepper = stepper;
  p.max = max;
  p.role = role;
  p.caption = caption;
  p.unit = unit;
  return p;
}

ParamEntry SignRow(int channel, int slot, const std::string& button, int column, int row,
                   const std::string& companion = "") {
  ParamEntry p = Row(channel, slot, ParamKind::Sign, button, column, row);
  p.companion = companion;
  p.max = 1;
  p.hint = "0";
  return p;
}

ParamEntry TwoStateRow(int channel, int slot, const std::string& button, const std::string& caption,
                       int column, int row) {
  ParamEntry p = Row(channel, slot, ParamKind::TwoState, button, column, row);
  p.max = 1;
  p.hint = "0";
  p.items = {caption};
  return p;
}

ParamEntry RadioRow(int channel, int slot, const std::vector<std::string>& members,
                    const std::string& companion, const std::vector<std::string>& captions,
                    const std::string& caption, int column, int row) {
  ParamEntry p = Row(channel, slot, ParamKind::Radio, members.front(), column, row);
  p.companion = companion;
  p.members = members;
  p.items = captions;
  p.max = static_cast<int>(members.size()) - 1;
  p.hint = "0";
  p.caption = caption;
  return p;
}

ParamEntry PairRow(int channel, int slot, const std::string& first, const std::string& second,
                   const std::string& firstCaption, const std::string& secondCaption, bool primaryIsSecond) {
  ParamEntry p;
  p.channel = channel;
  p.slot = slot;
  p.kind = ParamKind::Pair;
  p.primary = primaryIsSecond ? second : first;
  p.companion = primaryIsSecond ? first : second;
  p.members = {first, second};
  p.items = {firstCaption, secondCaption};
  p.max = 1;
  return p;
}

ParamEntry ChoiceRow(int channel, int slot, const std::string& box, const std::vector<std::string>& items,
                     const std::string& caption, int column, int row) {
  ParamEntry p = Row(channel, slot, ParamKind::Choice, box, column, row);
  p.items = items;
  p.max = static_cast<int>(items.size()) - 1;
  p.caption = caption;
  return p;
}

// Mix levels, signs and high-pass of the main, centre and rear outputs
// (slots 0..16); the level sliders reach `levelMax`.
void OutputMix(std::vector<ParamEntry>& t, int ch, const std::string& x, int levelMax) {
  t.push_back(SliderRow(ch, 0, x + "MusLevelBar", x + "MusLevelPane", levelMax, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "音乐音量："), "%", 0, 0));
  t.push_back(SignRow(ch, 2, x + "MusPhaseBtn", 0, 0));
  t.push_back(SliderRow(ch, 4, x + "MicLevelBar", x + "MicLevelPane", levelMax, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "直达声音量："), "%", 0, 1));
  t.push_back(SignRow(ch, 6, x + "MicPhaseBtn", 0, 1));
  t.push_back(SliderRow(ch, 8, x + "EchoLevelBar", x + "EchoLevelPane", levelMax, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声效果音量："), "%", 0, 2));
  t.push_back(SignRow(ch, 10, x + "EchoPhaseBtn", 0, 2));
  t.push_back(SliderRow(ch, 12, x + "RvbLevelBar", x + "RvbLevelPane", levelMax, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响效果音量："), "%", 0, 3));
  t.push_back(SignRow(ch, 14, x + "RvbPhaseBtn", 0, 3));
  t.push_back(SliderRow(ch, 16, x + "MusHPFreBar", x + "MusHPFrePane", 143, role::HighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "高通："), "", 0, 4, x + "HPFreUpDownBtn"));
}

// Limiter sliders from `first` (attack, release, threshold, ratio).
void Limiter(std::vector<ParamEntry>& t, int ch, const std::string& x, int first, int column, int row) {
  t.push_back(SliderRow(ch, first, x + "RmsAttackBar", x + "RmsAttackPane", 15, role::Attack,
                        DSP_TRANSLATE_NOOP("Catalogue", "压限启动时间："), "ms", column, row));
  t.push_back(SliderRow(ch, first + 1, x + "RmsReleaseBar", x + "RmsReleasePane", 7, role::Release,
                        DSP_TRANSLATE_NOOP("Catalogue", "压限释放时间："), "", column, row + 1));
  t.push_back(SliderRow(ch, first + 2, x + "RmsLevelBar", x + "RmsLevelPane", 34, role::LimiterThreshold,
                        DSP_TRANSLATE_NOOP("Catalogue", "压限启动电平："), "dBu", column, row + 2));
  t.push_back(SliderRow(ch, first + 3, x + "RmsRatioBar", x + "RmsRatioPane", 40, role::Ratio,
                        DSP_TRANSLATE_NOOP("Catalogue", "压缩比例："), "", column, row + 3));
}

std::vector<ParamEntry> MakeCatalogue() {
  std::vector<ParamEntry> t;
  // Channel 0, music input: the mode pairs and the EQ bypass sit in the
  // graph panel's bottom bar.
  t.push_back(PairRow(0, 0, "AutoModeBtn", "ManulModeBtn", DSP_TRANSLATE_NOOP("Catalogue", "自动"),
                      DSP_TRANSLATE_NOOP("Catalogue", "手动"), false));
  t.push_back(PairRow(0, 1, "SingModeBtn", "DiscoModeBtn", DSP_TRANSLATE_NOOP("Catalogue", "唱歌"),
                      DSP_TRANSLATE_NOOP("Catalogue", "舞蹈"), true));
  {
    ParamEntry bypass = TwoStateRow(0, 3, "MusEQAllpassBtn", "EQ pass", -1, 0);
    t.push_back(bypass);
  }

  // Channel 1, microphone.
  t.push_back(SliderRow(1, 0, "MicHPFreBar", "MicHPFrePane", 143, role::HighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "麦克风高通："), "", 0, 0, "MicHPFreUpDownBtn"));
  t.push_back(RadioRow(1, 1, {"MicFBERadioBtn1", "MicFBERadioBtn2", "MicFBERadioBtn3", "MicFBERadioBtn4"}, "",
                       {"OFF", "1", "2", "3"}, DSP_TRANSLATE_NOOP("Catalogue", "麦克风反馈抑制："), 0, 1));

  // Channel 3, echo.
  t.push_back(SignRow(3, 0, "EchoEffPhaseBtn", 0, 0));
  t.push_back(SliderRow(3, 1, "EchoEffLevelBar", "EchoEffLevelPane", 100, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声效果音量："), "%", 0, 0));
  t.push_back(SignRow(3, 2, "EchoDirectPhaseBtn", 0, 1));
  t.push_back(SliderRow(3, 3, "EchoDirectLevelBar", "EchoDirectLevelPane", 100, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "直达声音量："), "%", 0, 1));
  t.push_back(SliderRow(3, 4, "EchoHPFreBar", "EchoHPFrePane", 241, role::EffectHighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声高通："), "", 0, 2, "EchoHPFreUpDownBtn"));
  t.push_back(SliderRow(3, 5, "EchoLPFreBar", "EchoLPFrePane", 194, role::EchoLowPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声低通："), "", 0, 3, "EchoLPFreUpDownBtn"));
  t.push_back(SliderRow(3, 6, "EchoPreDelayBar", "EchoPreDelayPane", 125, role::EffectDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声预延时："), "ms", 0, 4));
  t.push_back(SliderRow(3, 7, "EchoTimeBar", "EchoTimePane", 250, role::EffectDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声延时："), "ms", 0, 5));
  t.push_back(SliderRow(3, 8, "EchoRepeatBar", "EchoRepeatPane", 90, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声重复比率："), "%", 0, 6));
  t.push_back(SliderRow(3, 9, "EchoRTimeBar", "EchoRTimePane", 100, role::EchoRightDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声右通道延时："), "%", 0, 7));
  t.push_back(SliderRow(3, 10, "EchoRPreDelayBar", "EchoRPreDelayPane", 50, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "回声右通道预延时："), "%", 0, 8));

  // Channel 4, reverb (no equaliser).
  t.push_back(SignRow(4, 0, "RvbEffPhaseBtn", 1, 0));
  t.push_back(SliderRow(4, 1, "RvbEffLevelBar", "RvbEffLevelPane", 100, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响效果音量："), "%", 1, 0));
  t.push_back(SignRow(4, 2, "RvbDirectPhaseBtn", 1, 1, "RvbDirectPhaseBtn"));
  t.push_back(SliderRow(4, 3, "RvbDirectLevelBar", "RvbDirectLevelPane", 100, role::EffectLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "直达声音量："), "%", 1, 1));
  t.push_back(SliderRow(4, 4, "RvbTimeBar", "RvbTimePane", 80, role::ReverbTime,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响时间："), "ms", 1, 2));
  t.push_back(SliderRow(4, 5, "RvbPreDelayBar", "RvbPreDelayPane", 100, role::EffectDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响预延时："), "ms", 1, 3));
  t.push_back(SliderRow(4, 6, "RvbHPFreBar", "RvbHPFrePane", 241, role::EffectHighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响高通："), "", 1, 4, "RvbHPFreUpDownBtn"));
  t.push_back(SliderRow(4, 7, "RvbLPFreBar", "RvbLPFrePane", 194, role::EchoLowPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "混响低通："), "", 1, 5, "RvbLPFreUpDownBtn"));

  // Channel 5, main output.
  OutputMix(t, 5, "Main", 100);
  t.push_back(RadioRow(5, 18, {"MainMusHPslope", "MainMusHPslope2"}, "MainMusHPslope2", {"12dB", "24dB"},
                       DSP_TRANSLATE_NOOP("Catalogue", "滤波器斜率："), 0, 5));
  Limiter(t, 5, "Main", 20, 1, 0);
  t.push_back(SliderRow(5, 24, "MainLdelayBar", "MainLdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "左通道延时："), "ms", 1, 4));
  t.push_back(SliderRow(5, 25, "MainRdelayBar", "MainRdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "右通道延时："), "ms", 1, 5));
  t.push_back(TwoStateRow(5, 26, "MainLmuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "左通道静音"), 0, 6));
  t.push_back(TwoStateRow(5, 27, "MainRmuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "右通道静音"), 0, 6));

  // Channel 6, subwoofer output.
  const std::vector<std::string> filterTypes{"Besell 24dB", "Butterworth 24dB", "Link Riley 24dB",
                                             "USER 12dB", "USER 24dB"};
  t.push_back(SliderRow(6, 0, "SubMusLevelBar", "SubMusLevelPane", 200, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "音乐音量："), "%", 0, 0));
  t.push_back(SignRow(6, 2, "SubMusPhaseBtn", 0, 0));
  t.push_back(SliderRow(6, 4, "SubMicLevelBar", "SubMicLevelPane", 200, role::OutputLevel,
                        DSP_TRANSLATE_NOOP("Catalogue", "直达声音量："), "%", 0, 1));
  t.push_back(SignRow(6, 6, "SubMicPhaseBtn", 0, 1));
  t.push_back(ChoiceRow(6, 8, "SubMusHPType", filterTypes,
                        DSP_TRANSLATE_NOOP("Catalogue", "高通滤波器模式："), 0, 2));
  t.push_back(SliderRow(6, 10, "SubMusHPFreBar", "SubMusHPFrePane", 143, role::HighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "高通："), "", 0, 3, "SubHPFreUpDownBtn"));
  t.push_back(SliderRow(6, 12, "SubMusHPuserQBar", "SubMusHPuserQPane", 23, role::UserQ,
                        DSP_TRANSLATE_NOOP("Catalogue", "Q值："), "", 0, 4, "SubMusHPuserQUpDownBtn"));
  t.push_back(ChoiceRow(6, 14, "SubMusLPType", filterTypes,
                        DSP_TRANSLATE_NOOP("Catalogue", "低通滤波器模式："), 0, 5));
  t.push_back(SliderRow(6, 16, "SubMusLPFreBar", "SubMusLPFrePane", 143, role::HighPass,
                        DSP_TRANSLATE_NOOP("Catalogue", "低通："), "", 0, 6, "SubLPFreUpDownBtn"));
  t.push_back(SliderRow(6, 18, "SubMusLPuserQBar", "SubMusLPuserQPane", 23, role::UserQ,
                        DSP_TRANSLATE_NOOP("Catalogue", "Q值："), "", 0, 7, "SubMusLPuserQUpDownBtn"));
  Limiter(t, 6, "Sub", 20, 1, 0);
  t.push_back(SliderRow(6, 24, "SubdelayBar", "SubdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "延时："), "ms", 1, 4));
  t.push_back(TwoStateRow(6, 25, "SubmuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "静 音"), 1, 5));

  // Channel 7, centre output.
  OutputMix(t, 7, "Center", 100);
  t.push_back(RadioRow(7, 18, {"CenterMusHPslope", "CenterMusHPslope2"}, "CenterMusHPslope2",
                       {"12dB", "24dB"}, DSP_TRANSLATE_NOOP("Catalogue", "波特率斜率："), 0, 5));
  Limiter(t, 7, "Center", 20, 1, 0);
  t.push_back(SliderRow(7, 24, "CenterdelayBar", "CenterdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "延时："), "ms", 1, 4));
  t.push_back(TwoStateRow(7, 25, "CentermuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "静 音"), 1, 5));

  // Channel 8, rear output: no slope selector, the limiter starts at 18.
  OutputMix(t, 8, "Sur", 100);
  Limiter(t, 8, "Sur", 18, 1, 0);
  t.push_back(SliderRow(8, 22, "SurLdelayBar", "SurLdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "左通道延时："), "ms", 1, 4));
  t.push_back(SliderRow(8, 23, "SurRdelayBar", "SurRdelayPane", 500, role::OutputDelay,
                        DSP_TRANSLATE_NOOP("Catalogue", "右通道延时："), "ms", 1, 5));
  t.push_back(TwoStateRow(8, 24, "SurLmuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "左通道静音"), 0, 5));
  t.push_back(TwoStateRow(8, 25, "SurRmuteBtn", DSP_TRANSLATE_NOOP("Catalogue", "右通道静音"), 0, 5));

  // Channel 9, system; placed by the system page and the title strip.
  {
    ParamEntry mode = ChoiceRow(9, 2, "SysModeBox", {}, DSP_TRANSLATE_NOOP("Catalogue", "设备模式："), -1, 0);
    mode.max = 14;
    t.push_back(mode);
    ParamEntry gain = ChoiceRow(9, 3, "SysMusInputLevelBox", {"0dB", "3dB", "6dB"},
                                DSP_TRANSLATE_NOOP("Catalogue", "音乐输入增益："), -1, 0);
    // The hidden radio that carries the same address.
    gain.members = {"SysMusInputLevel", "SysMusInputLevel2", "SysMusInputLevel3"};
    t.push_back(gain);
  }
  const char* volumeCaptions[] = {
      DSP_TRANSLATE_NOOP("Catalogue", "音乐起始音量："), DSP_TRANSLATE_NOOP("Catalogue", "音乐最大音量："),
      DSP_TRANSLATE_NOOP("Catalogue", "话筒起始音量："), DSP_TRANSLATE_NOOP("Catalogue", "话筒最大音量："),
      DSP_TRANSLATE_NOOP("Catalogue", "效果起始音量："), DSP_TRANSLATE_NOOP("Catalogue", "效果最大音量：")};
  const char* volumeNames[] = {"SysMusStartVol", "SysMusMaxVol",   "SysMicStartVol",
                               "SysMicMaxVol",   "SysEffStartVol", "SysEffMaxVol"};
  for (int i = 0; i < 6; ++i) {
    ParamEntry v =
        SliderRow(9, 6 + i, std::string(volumeNames[i]) + "Bar", std::string(volumeNames[i]) + "Pane", 84,
                  role::None, volumeCaptions[i], "", -1, i);
    v.hint = i % 2 == 0 ? "1" : "2";  // its role in the trio: start "1", maximum "2"
    t.push_back(v);
  }
  t.push_back(RadioRow(9, 12, {"SysUserBtn", "SysManagerBtn"}, "SysManagerBtn",
                       {DSP_TRANSLATE_NOOP("Catalogue", "用户"), DSP_TRANSLATE_NOOP("Catalogue", "管理员")},
                       "", -1, 0));
  t.push_back(RadioRow(9, 13, {"SysPanelBtn1", "SysPanelBtn2"}, "SysPanelBtn2",
                       {DSP_TRANSLATE_NOOP("Catalogue", "禁用"), DSP_TRANSLATE_NOOP("Catalogue", "开启")},
                       DSP_TRANSLATE_NOOP("Catalogue", "自动键盘锁："), -1, 0));
  t.push_back(RadioRow(9, 14, {"SysInput", "SysInput2"}, "SysInput", {"1", "2"},
                       DSP_TRANSLATE_NOOP("Catalogue", "音乐输入端口："), -1, 0));
  const char* normalCaptions[] = {DSP_TRANSLATE_NOOP("Catalogue", "音乐"),
                                  DSP_TRANSLATE_NOOP("Catalogue", "话筒"),
                                  DSP_TRANSLATE_NOOP("Catalogue", "效果")};
  const char* normalNames[] = {"SysMusNormalVol", "SysMicNormalVol", "SysEffNormalVol"};
  for (int i = 0; i < 3; ++i) {
    ParamEntry v =
        SliderRow(9, 32 + i, std::string(normalNames[i]) + "Bar", std::string(normalNames[i]) + "Pane", 84,
                  role::None, normalCaptions[i], "", -1, i);
    v.hint = "0";  // the current volume of its trio
    t.push_back(v);
  }
  return t;
}

}  // namespace

const std::vector<ParamEntry>& Catalogue() {
  static const std::vector<ParamEntry> table = MakeCatalogue();
  return table;
}

const std::vector<BandSet>& BandSets() {
  static const std::vector<BandSet> sets{
      {0, "Mus", "Mus", "Mus", 10},   {1, "Mic", "MIc", "Mic", 15}, {3, "Echo", "Echo", "Eff", 3},
      {5, "Main", "Main", "Main", 5}, {6, "Sub", "Sub", "Sub", 3},  {7, "Center", "Center", "Center", 5},
      {8, "Sur", "Sur", "Sur", 5},
  };
  return sets;
}

const BandSet* BandSetOf(int channel) {
  for (const BandSet& set : BandSets()) {
    if (set.channel == channel) return &set;
  }
  return nullptr;
}

BandNames NamesOfBand(const BandSet& set, int band) {
  const std::string n = std::to_string(band);
  const std::string& p = set.prefix;
  const std::string& s = set.spinPrefix;
  return BandNames{p + "ModeBox" + n,  p + "PEQBtn" + n,        p + "LSQBtn" + n,
                   p + "HSQBtn" + n,   p + "FreEdit" + n,       s + "FreUpDownBtn" + n,
                   p + "GainEdit" + n, s + "GainUpDownBtn" + n, p + "EQGainBar" + n,
                   p + "QEdit" + n,    s + "QUpDownBtn" + n,    set.labelPrefix + "EQPointLabel" + n};
}

int PageChannel(int page) {
  static constexpr int kChannels[] = {0, 1, 3, 5, 7, 6, 8};
  return page >= 0 && page < 7 ? kChannels[page] : 9;
}

const char* PageTitle(int page) {
  static constexpr const char* kTitles[] = {
      DSP_TRANSLATE_NOOP("Catalogue", "音乐"),     DSP_TRANSLATE_NOOP("Catalogue", "麦克风"),
      DSP_TRANSLATE_NOOP("Catalogue", "效果"),     DSP_TRANSLATE_NOOP("Catalogue", "主输出"),
      DSP_TRANSLATE_NOOP("Catalogue", "中置输出"), DSP_TRANSLATE_NOOP("Catalogue", "超低音输出"),
      DSP_TRANSLATE_NOOP("Catalogue", "后置输出"), DSP_TRANSLATE_NOOP("Catalogue", "系统")};
  return page >= 0 && page < 8 ? kTitles[page] : "";
}

int PageOfChannel(int channel) {
  static constexpr int kPages[] = {0, 1, 1, 2, 2, 3, 5, 4, 6, 7};
  return channel >= 0 && channel <= 9 ? kPages[channel] : -1;
}

const char* ChannelGroupTitle(int channel) {
  switch (channel) {
    case 1:
      return DSP_TRANSLATE_NOOP("Catalogue", "A组");
    case 2:
      return DSP_TRANSLATE_NOOP("Catalogue", "B组");
    case 3:
      return DSP_TRANSLATE_NOOP("Catalogue", "回声");
    case 4:
      return DSP_TRANSLATE_NOOP("Catalogue", "混响");
    default:
      return "";
  }
}

const char* BandFieldCaption(int field) {
  static constexpr const char* kCaptions[] = {
      DSP_TRANSLATE_NOOP("Catalogue", "类型"), DSP_TRANSLATE_NOOP("Catalogue", "频率"),
      DSP_TRANSLATE_NOOP("Catalogue", "增益"), DSP_TRANSLATE_NOOP("Catalogue", "Q值"),
      DSP_TRANSLATE_NOOP("Catalogue", "Q值")};
  return field >= 0 && field < 5 ? kCaptions[field] : "";
}

}  // namespace dsp
