// The editing model without widgets: parameter names and values, the diff
// of two settings, the undo history, the A/B pair, and the frames that
// bring the processor from one setting to another, sent through the pacing
// to the in-memory processor.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "catalogue/catalogue.h"
#include "editmodel/ab_pair.h"
#include "editmodel/edit_history.h"
#include "editmodel/param_cells.h"
#include "editmodel/settings.h"
#include "editmodel/write_plan.h"
#include "eq/scales.h"
#include "link_rig.h"

namespace dsp {
namespace {

const ParamCell& CellOf(int row, int index) {
  const int id = CellAt(row, index);
  EXPECT_GE(id, 0) << row << "/" << index;
  return ParamCells()[static_cast<std::size_t>(std::max(id, 0))];
}

std::uint16_t Id(int row, int index) {
  return static_cast<std::uint16_t>(CellAt(row, index));
}

// ---------------------------------------------------------------- names and values

struct NamedValue {
  int row, index;
  const char* name;
  std::int32_t value;
  const char* text;
};

TEST(ParamCells, NamesAndValuesOfEveryKindOfParameter) {
  const NamedValue cases[] = {
      {0, 16, "音乐 EQ3 增益", 105, "-3.0dB"},
      {0, 15, "音乐 EQ3 频率", 204, "1000.0Hz"},
      {0, 17, "音乐 EQ3 Q值", 16, "1.00"},
      {0, 8, "音乐 EQ1 Q值(LSEQ/HSEQ)", 28, "2.00"},
      {0, 4, "音乐 EQ1 类型", 1, "LSEQ"},
      {0, 16 + 52, "音乐(舞蹈) EQ3 增益", 120, "0.0dB"},
      {0, 0, "音乐 自动/手动", 1, "手动"},
      {0, 1, "音乐 唱歌/舞蹈", 1, "舞蹈"},
      {0, 3, "音乐 EQ pass", 1, "开"},
      {1, 0, "麦克风 A组 麦克风高通", 0, "Off"},
      {2, 0, "麦克风 B组 麦克风高通", 143, "303.0Hz"},
      {1, 1, "麦克风 A组 麦克风反馈抑制", 0, "OFF"},
      {2, 4 + 5 * 14 + 1, "麦克风 B组 EQ15 频率", 361, "20600.0Hz"},
      {3, 3, "效果 回声 直达声音量", 40, "40%"},
      {4, 3, "效果 混响 直达声音量", 40, "40%"},
      {3, 5, "效果 回声 回声低通", 194, "Off"},
      {3, 0, "效果 回声 回声效果音量 相位", 0, "-"},
      {4, 4, "效果 混响 混响时间", 8, "500ms"},
      {5, 2, "主输出 音乐音量 相位", 1, "+"},
      {5, 3, "主输出(舞蹈) 音乐音量 相位", 0, "-"},
      {5, 21, "主输出 压限释放时间", 3, "Atk x8"},
      {5, 22, "主输出 压限启动电平", 20, "0dBu"},
      {5, 29, "主输出 EQ pass", 0, "关"},
      {6, 8, "超低音输出 高通滤波器模式", 1, "Butterworth 24dB"},
      {6, 12, "超低音输出 高通 Q值", 16, "1.00"},
      {6, 18, "超低音输出 低通 Q值", 0, "0.40"},
      {6, 25, "超低音输出 静音", 1, "开"},
      {7, 18, "中置输出 波特率斜率", 1, "24dB"},
      {8, 24, "后置输出 左通道静音", 0, "关"},
      {9, 6, "系统 音乐起始音量", 30, "30"},
      {9, 32, "系统 音乐音量", 42, "42"},
      {9, 3, "系统 音乐输入增益", 2, "6dB"},
      {9, 13, "系统 自动键盘锁", 1, "开启"},
  };
  for (const NamedValue& c : cases) {
    const ParamCell& cell = CellOf(c.row, c.index);
    EXPECT_EQ(cell.name, c.name) << c.row << "/" << c.index;
    EXPECT_EQ(CellValueText(cell, c.value), c.text) << c.name;
  }
  EXPECT_EQ(ChangeText({Id(0, 16), 105, 120}), "音乐 EQ3 增益 -3.0dB → 0.0dB");
  EXPECT_EQ(ChangeLine({Id(0, 15), 204, 205}), "音乐 EQ3 频率: 1000.0Hz → 1020.0Hz");
}

TEST(ParamCells, EveryWidgetParameterIsACellWithItsOwnName) {
  // Every catalogue row and every band field, in both scene copies.
  auto expectCell = [](int row, int slot) {
    for (int scene = 0; scene < 2; ++scene) {
      const int index = DeviceIndex(row, slot, scene);
      const int id = CellAt(row, index);
      ASSERT_GE(id, 0) << row << "/" << slot << " scene " << scene;
      EXPECT_EQ(ParamCells()[static_cast<std::size_t>(id)].slot, slot);
    }
  };
  for (const ParamEntry& e : Catalogue()) {
    if (e.channel == 9 && (e.slot == 2 || e.slot == 12)) continue;
    expectCell(e.channel, e.slot);
    if (e.channel == 1) expectCell(2, e.slot);
  }
  for (const BandSet& set : BandSets()) {
    for (int row : set.channel == 1 ? std::vector<int>{1, 2} : std::vector<int>{set.channel}) {
      for (int slot = EqBase[row] - 1; slot < EqBase[row] + 5 * set.bands; ++slot) expectCell(row, slot);
    }
  }
  std::set<std::string> names;
  for (const ParamCell& cell : ParamCells()) {
    EXPECT_TRUE(names.insert(cell.name).second) << "twice: " << cell.name;
    EXPECT_LT(cell.index, cell.row <= 8 ? TransferLength[cell.row] : kDeviceSlots) << cell.name;
    EXPECT_EQ(cell.inSetting, cell.row <= 8);
  }
}

TEST(ParamCells, ReservedSlotsTheModeCommandAndTheRightsAreNoCells) {
  EXPECT_EQ(CellAt(0, 2), -1);  // reserved slot of the music channel
  // Index 1 of an output is the dancing copy of slot 0, not slot 1 (no parameter).
  EXPECT_EQ(ParamCells()[Id(5, 1)].name, "主输出(舞蹈) 音乐音量");
  EXPECT_EQ(ParamCells()[Id(5, 1)].slot, 0);
  EXPECT_EQ(CellAt(0, 106), -1);  // the preset file's padding entry
  EXPECT_EQ(CellAt(9, 2), -1);    // mode number: writing it recalls a mode
  EXPECT_EQ(CellAt(9, 12), -1);   // user rights: need the system password
  EXPECT_EQ(CellAt(10, 0), -1);
  EXPECT_EQ(CellAt(-1, 0), -1);
}

TEST(ParamCells, AutomaticModeLocksTheMusicEqAndTheOutputsMix) {
  EXPECT_TRUE(LockedInAutomaticMode(0, 16));
  EXPECT_TRUE(LockedInAutomaticMode(0, 3));
  EXPECT_TRUE(LockedInAutomaticMode(0, 1));
  EXPECT_FALSE(LockedInAutomaticMode(0, 0));  // the mode itself
  EXPECT_TRUE(LockedInAutomaticMode(5, 19));
  EXPECT_FALSE(LockedInAutomaticMode(5, 20));
  EXPECT_TRUE(LockedInAutomaticMode(8, 17));
  EXPECT_FALSE(LockedInAutomaticMode(8, 18));
  EXPECT_FALSE(LockedInAutomaticMode(1, 10));
}

// ---------------------------------------------------------------- diff

Settings Sample(int seed) {
  Settings s;
  for (int row = 0; row < kStoreChannels; ++row)
    for (int i = 0; i < kDeviceSlots; ++i) s.image[row][i] = (seed + row * 31 + i * 7) % 90;
  s.image[0][1] = 0;
  return s;
}

TEST(Diff, EachKindOfParameterIsOneNamedChange) {
  struct Case {
    int row, index;
    std::int32_t after;
    const char* line;
  };
  const Case cases[] = {
      {0, 15, 205, "音乐 EQ3 频率: 1000.0Hz → 1020.0Hz"},
      {0, 16, 135, "音乐 EQ3 增益: 0.0dB → 3.0dB"},
      {0, 6, 0, "音乐 EQ1 增益: 0.0dB → -24.0dB"},
      {6, 8, 4, "超低音输出 高通滤波器模式: Besell 24dB → USER 24dB"},
      {5, 26, 1, "主输出 左通道静音: 关 → 开"},
      {5, 2, 1, "主输出 音乐音量 相位: - → +"},
      {1, 1, 3, "麦克风 A组 麦克风反馈抑制: OFF → 3"},
      {0, 0, 1, "音乐 自动/手动: 自动 → 手动"},
      {9, 33, 50, "系统 话筒音量: 0 → 50"},
  };
  for (const Case& c : cases) {
    Settings before;
    before.image[0][15] = 204;
    before.image[0][16] = 120;
    before.image[0][6] = 120;
    Settings after = before;
    after.image[c.row][c.index] = c.after;
    const auto everything = Diff(before, after, DiffScope::Everything);
    ASSERT_EQ(everything.size(), 1u) << c.line;
    EXPECT_EQ(ChangeLine(everything[0]), c.line);
    EXPECT_EQ(Diff(before, after, DiffScope::Setting).size(), c.row <= 8 ? 1u : 0u) << c.line;
  }
}

TEST(Diff, EqualSettingsAndReservedSlotsChangeNothing) {
  const Settings a = Sample(3);
  Settings b = a;
  b.image[0][2] = 77;   // reserved
  b.image[0][106] = 5;  // padding
  b.image[9][2] = 4;    // mode number
  EXPECT_TRUE(Diff(a, b, DiffScope::Everything).empty());
  const DiffReport report = ReportDiff(Diff(a, b, DiffScope::Setting), 5);
  EXPECT_EQ(report.summary, kSameSettingText);
  EXPECT_TRUE(report.first.empty());
  EXPECT_TRUE(report.all.empty());
}

TEST(Diff, AllDifferentSettingsReportEveryParameterByPage) {
  const Settings a = Sample(1);
  Settings b = a;
  for (const ParamCell& cell : ParamCells()) b.Set(cell, a.Value(cell) + 1);
  const auto changes = Diff(a, b, DiffScope::Setting);
  const auto setting =
      std::count_if(ParamCells().begin(), ParamCells().end(), [](const ParamCell& c) { return c.inSetting; });
  EXPECT_EQ(static_cast<long>(changes.size()), setting);
  EXPECT_EQ(Diff(a, b, DiffScope::Everything).size(), ParamCells().size());

  const auto pages = CountByPage(changes);
  int sum = 0;
  int last = -1;
  std::string expected = "将改变 " + std::to_string(changes.size()) + " 项参数 (";
  for (const PageCount& p : pages) {
    EXPECT_GT(p.page, last);
    EXPECT_LT(p.page, 7);  // the system page holds no part of a setting
    last = p.page;
    sum += p.count;
    expected += std::string(p.page == pages.front().page ? "" : ", ") + PageTitle(p.page) + " " +
                std::to_string(p.count);
  }
  EXPECT_EQ(sum, static_cast<int>(changes.size()));
  EXPECT_EQ(pages.size(), 7u);

  const DiffReport report = ReportDiff(changes, 6);
  EXPECT_EQ(report.summary, expected + ")");
  ASSERT_EQ(report.first.size(), 6u);
  ASSERT_EQ(report.all.size(), changes.size());
  EXPECT_EQ(report.first[0], ChangeLine(changes[0]));
  EXPECT_EQ(report.all.back(), ChangeLine(changes.back()));
}

// ---------------------------------------------------------------- history

EditStep Step(std::vector<CellChange> changes, std::string label = {}) {
  EditStep s;
  s.changes = std::move(changes);
  s.label = std::move(label);
  return s;
}

TEST(EditHistory, AGestureIsOneStepUndoneAndRedoneWhole) {
  EditHistory h;
  EXPECT_FALSE(h.CanUndo());
  EXPECT_EQ(h.UndoText(), "撤销");
  // A drag that moved the frequency and the gain of one band.
  ASSERT_TRUE(h.Record(Step({{Id(0, 15), 204, 210}, {Id(0, 16), 120, 105}})));
  ASSERT_TRUE(h.CanUndo());
  EXPECT_EQ(h.NextUndo()->changes.size(), 2u);
  EXPECT_EQ(h.UndoText(), "撤销: 音乐 EQ3 频率 1000.0Hz → 1120.0Hz 等 2 项参数");
  h.CommitUndo();
  EXPECT_FALSE(h.CanUndo());
  ASSERT_TRUE(h.CanRedo());
  EXPECT_EQ(h.RedoText(), "重做: 音乐 EQ3 频率 1000.0Hz → 1120.0Hz 等 2 项参数");
  h.CommitRedo();
  EXPECT_EQ(h.Position(), 1u);
  EXPECT_FALSE(h.CanRedo());
}

TEST(EditHistory, RefusedUndoStaysAndANewEditCutsTheRedoSteps) {
  EditHistory h;
  h.Record(Step({{Id(5, 0), 10, 20}}));
  h.Record(Step({{Id(5, 0), 20, 30}}));
  h.Record(Step({{Id(5, 0), 30, 40}}));
  // Looking at the next undo moves nothing; only a commit does.
  EXPECT_EQ(h.NextUndo()->changes[0].after, 40);
  EXPECT_EQ(h.NextUndo()->changes[0].after, 40);
  h.CommitUndo();
  h.CommitUndo();
  EXPECT_EQ(h.NextRedo()->changes[0].after, 30);
  h.Record(Step({{Id(5, 4), 0, 1}}));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.StepCount(), 2u);
  EXPECT_EQ(h.NextUndo()->changes[0].cell, Id(5, 4));
  h.CommitUndo();
  EXPECT_EQ(h.NextUndo()->changes[0].after, 20);
}

TEST(EditHistory, StepsWithoutChangesAreNoStepsButAnABSwitchIs) {
  EditHistory h;
  EXPECT_FALSE(h.Record(Step({})));
  EXPECT_FALSE(h.Record(Step({}, "EQ重置")));
  EditStep ab;
  ab.kind = StepKind::AbSwitch;
  ab.label = "A/B: B";
  EXPECT_TRUE(h.Record(ab));
  EXPECT_EQ(h.UndoText(), "撤销: A/B: B");
  EXPECT_TRUE(h.Record(Step({{Id(3, 1), 1, 2}, {Id(3, 3), 1, 2}}, "EQ重置")));
  EXPECT_EQ(h.UndoText(), "撤销: EQ重置 (2 项参数)");
}

TEST(EditHistory, ClearForgetsEverything) {
  EditHistory h;
  h.Record(Step({{Id(5, 0), 1, 2}}));
  h.Record(Step({{Id(5, 0), 2, 3}}));
  h.CommitUndo();
  h.Clear();
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.ChangeCount(), 0u);
}

TEST(EditHistory, BoundedByStepsAndByChangesOldestFirst) {
  struct Case {
    std::size_t maxSteps, maxChanges, changesPerStep, steps;
    std::size_t keptSteps;
  };
  const Case cases[] = {
      {3, 1000, 1, 5, 3},  // the step bound
      {100, 10, 4, 5, 2},  // the change bound: two steps of four fit in ten
      {100, 3, 5, 2, 1},   // one step over the change bound alone is kept
  };
  for (const Case& c : cases) {
    EditHistory h(c.maxSteps, c.maxChanges);
    for (std::size_t s = 0; s < c.steps; ++s) {
      std::vector<CellChange> changes;
      for (std::size_t k = 0; k < c.changesPerStep; ++k)
        changes.push_back({Id(5, 0), static_cast<std::int32_t>(s), static_cast<std::int32_t>(s + 1)});
      h.Record(Step(changes));
    }
    EXPECT_EQ(h.StepCount(), c.keptSteps);
    EXPECT_EQ(h.Position(), c.keptSteps);
    EXPECT_EQ(h.ChangeCount(), c.keptSteps * c.changesPerStep);
    // The newest steps stay: undoing all of them ends at the oldest kept.
    std::int32_t before = -1;
    while (h.CanUndo()) {
      before = h.NextUndo()->changes[0].before;
      h.CommitUndo();
    }
    EXPECT_EQ(before, static_cast<std::int32_t>(c.steps - c.keptSteps));
  }
}

TEST(EditHistory, MemoryGrowsWithTheChangesHeld) {
  EditHistory small;
  EditHistory large;
  for (int s = 0; s < 100; ++s) {
    small.Record(Step({{Id(5, 0), s, s + 1}}));
    std::vector<CellChange> many(50, CellChange{Id(5, 0), s, s + 1});
    large.Record(Step(many));
  }
  EXPECT_GE(large.MemoryBytes(), small.MemoryBytes() + 100 * 49 * sizeof(CellChange));
}

// ---------------------------------------------------------------- A/B

TEST(AbPair, BEqualsAUntilCopiedAndSwitchingSwapsTheSettings) {
  AbPair ab;
  const Settings a = Sample(1);
  EXPECT_EQ(ab.Active(), AbLetter::A);
  EXPECT_FALSE(ab.OtherHeld());
  EXPECT_EQ(ab.Other(a), a);
  // Before the first copy B is A: a switch changes the letter only.
  EXPECT_EQ(ab.Switch(a), a);
  EXPECT_EQ(ab.Active(), AbLetter::B);
  EXPECT_TRUE(ab.OtherHeld());

  Settings b = Sample(2);
  b.image[9] = a.image[9];     // the same processor
  EXPECT_EQ(ab.Switch(b), a);  // back to A; B keeps its edits
  EXPECT_EQ(ab.Active(), AbLetter::A);
  EXPECT_EQ(ab.Other(a), b);

  ab.CopyActive(a);
  EXPECT_EQ(ab.Other(a), a);
  ab.Reset();
  EXPECT_FALSE(ab.OtherHeld());
  EXPECT_EQ(ab.Active(), AbLetter::A);
}

TEST(AbPair, TheSystemValuesStayWithTheProcessor) {
  AbPair ab;
  Settings a = Sample(1);
  Settings b = Sample(2);
  ab.Assign(AbLetter::A, b);
  a.image[9][32] = 11;
  b.image[9][32] = 60;
  const Settings target = ab.Switch(a);
  EXPECT_EQ(target.image[9][32], 11);
  EXPECT_EQ(target.image[5], b.image[5]);
}

// ---------------------------------------------------------------- sending a change of settings

struct SendRig : test::LinkRig {
  SendRig() : LinkRig({"EMU"}) {
    emulator.LoadFactorySetting();
    link.LinkBtnClick(true);
    for (int i = 0; i < 10 && !view.Running(LinkTimer::Transfer); ++i) Scan();
    while (view.Running(LinkTimer::Transfer)) Step();
    link.OnPacingTick = [this] { sender.Pump(); };
  }
  // Ticks the pacing until everything planned went out and was acknowledged.
  void Drain() {
    for (int i = 0; i < 3000; ++i) {
      Hold();
      if (sender.Waiting() == 0 && link.valueQueue().count == 0 && link.eqQueue().count == 0 &&
          link.TxReady == 1 && link.RepeatLast == 0)
        return;
    }
    FAIL() << "the plan did not drain";
  }
  // The value frames and band frames the processor got since `from`, the
  // pacing's repeat of the last value frame not counted.
  std::pair<std::vector<std::pair<int, int>>, std::vector<std::string>> Received(std::size_t values,
                                                                                 std::size_t frames) const {
    std::vector<std::pair<int, int>> v(emulator.valueWrites.begin() + static_cast<long>(values),
                                       emulator.valueWrites.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    std::vector<std::string> bands;
    for (std::size_t i = frames; i < emulator.frameLog.size(); ++i)
      if (emulator.frameLog[i].rfind("FC B1 10 A7 ", 0) == 0)
        bands.push_back(emulator.frameLog[i].substr(12, 11));
    return {v, bands};
  }
  PlanSender sender{store, link};
};

struct SwitchCase {
  const char* what;
  std::function<void(Settings&)> change;
  std::size_t valueFrames;
  std::vector<std::string> bandFrames;  // block and band bytes
  std::size_t deferred;
  int micGroupShown = 0;
};

TEST(PlanSender, ASwitchSendsExactlyWhatDiffers) {
  auto cell = [](Settings& s, int row, int index, std::int32_t v) { s.image[row][index] = v; };
  const SwitchCase cases[] = {
      {"nothing differs", [](Settings&) {}, 0, {}, 0},
      {"one level", [&](Settings& s) { cell(s, 5, 0, 17); }, 1, {}, 0},
      {"three fields of one band",
       [&](Settings& s) {
         cell(s, 0, 15, 200);
         cell(s, 0, 16, 100);
         cell(s, 0, 17, 30);
       },
       0,
       {"00 02 02 00"},
       0},
      {"bands of two pages and two values",
       [&](Settings& s) {
         cell(s, 5, 30 + 6, 150);  // main output band 2 gain
         cell(s, 3, 13 + 1, 100);  // echo band 1 frequency
         cell(s, 3, 1, 12);
         cell(s, 9, 32, s.image[9][32] + 3);
       },
       2,
       {"03 0B 00 00", "05 1C 01 00"},
       0},
      {"a parameter of the scene not playing waits", [&](Settings& s) { cell(s, 0, 16 + 52, 90); }, 0, {}, 1},
      {"the scene changes with its own parameters",
       [&](Settings& s) {
         cell(s, 0, 1, 1);
         cell(s, 0, 16 + 52, 90);
         cell(s, 5, 1, 33);   // main output music level, dancing copy
         cell(s, 0, 16, 70);  // singing copy: waits
       },
       2,
       {"00 02 02 00"},
       1},
      {"a group A band while group B is shown",
       [&](Settings& s) { cell(s, 1, 4 + 5 * 3 + 2, 150); },
       0,
       {"01 02 03 00"},
       0,
       1},
      {"more values than the queue holds",
       [&](Settings& s) {
         for (int row : {3, 4, 5, 6, 7, 8})
           for (const ParamCell& c : ParamCells())
             if (c.row == row && c.kind == CellKind::Value && c.scene <= 0) s.Set(c, s.Value(c) == 1 ? 0 : 1);
       },
       0,  // counted below
       {},
       0},
  };
  for (const SwitchCase& c : cases) {
    SendRig r;
    r.store.MicGroupB = c.micGroupShown;
    r.store.RebuildParamTable(r.store.Scene());
    const Settings from = Capture(r.store);
    Settings to = from;
    c.change(to);
    const auto changes = Diff(from, to, DiffScope::Everything);
    const WritePlan plan = PlanWrites(changes, to.Scene());
    const std::size_t values = r.emulator.valueWrites.size();
    const std::size_t frames = r.emulator.frameLog.size();
    WriteChanges(r.store, changes, true);
    r.sender.Queue(plan);
    r.Drain();
    const auto [valueFrames, bandFrames] = r.Received(values, frames);
    const std::size_t expectedValues =
        std::string(c.what) == "more values than the queue holds" ? plan.values.size() : c.valueFrames;
    EXPECT_EQ(valueFrames.size(), expectedValues) << c.what;
    EXPECT_EQ(bandFrames, c.bandFrames) << c.what;
    EXPECT_EQ(r.sender.Deferred(), c.deferred) << c.what;
    if (!plan.values.empty() && plan.values.front() == Id(0, 1)) {
      EXPECT_EQ(valueFrames.front(), std::make_pair(0x0001, 1)) << c.what << ": the scene goes first";
    }
    // The processor holds every parameter of the scene it plays.
    for (const ParamCell& cell : ParamCells()) {
      if (cell.scene >= 0 && cell.scene != to.Scene()) continue;
      ASSERT_EQ(r.emulator.image[cell.row][cell.index], to.Value(cell)) << c.what << ": " << cell.name;
    }
    // The page still shows the group it showed.
    EXPECT_EQ(r.store.Param(0x0100), r.store.Device(c.micGroupShown ? 2 : 1, 0)) << c.what;
  }
}

TEST(PlanSender, AWaitingParameterGoesOutWhenItsScenePlays) {
  SendRig r;
  const Settings from = Capture(r.store);
  Settings to = from;
  to.image[0][16 + 52] = 91;      // music band 3 gain, dancing
  to.image[5][30 + 2 + 1] = 140;  // main band 1 gain: one copy for both scenes
  const auto changes = Diff(from, to, DiffScope::Everything);
  WriteChanges(r.store, changes, true);
  r.sender.Queue(PlanWrites(changes, 0));
  r.Drain();
  EXPECT_EQ(r.sender.Deferred(), 1u);
  EXPECT_NE(r.emulator.image[0][16 + 52], 91);
  EXPECT_EQ(r.emulator.image[5][33], 140);
  // The user picks the dancing scene: the scene's frame, then its band.
  const std::size_t frames = r.emulator.frameLog.size();
  r.link.WriteParam(0x0001, 1);
  r.store.SceneFlag = 1;
  r.store.RebuildParamTable(1);
  r.Drain();
  EXPECT_EQ(r.sender.Deferred(), 0u);
  EXPECT_EQ(r.emulator.image[0][16 + 52], 91);
  const auto [values, bands] = r.Received(r.emulator.valueWrites.size(), frames);
  EXPECT_EQ(bands, std::vector<std::string>{"00 02 02 00"});
}

TEST(PlanSender, NothingPlannedReachesAProcessorAfterDrop) {
  SendRig r;
  Settings to = Capture(r.store);
  for (const ParamCell& c : ParamCells())
    if (c.row == 5 && c.kind == CellKind::Value) to.Set(c, 3);
  const auto changes = Diff(Capture(r.store), to, DiffScope::Everything);
  WriteChanges(r.store, changes, true);
  r.emulator.faults.silentAfter = r.emulator.framesReceived;  // the line goes quiet
  r.sender.Queue(PlanWrites(changes, 0));
  ASSERT_GT(r.sender.Waiting(), 0u);
  r.sender.Drop();
  EXPECT_EQ(r.sender.Waiting(), 0u);
  EXPECT_EQ(r.sender.Deferred(), 0u);
}

TEST(Pacer, AQueuedGroupABandKeepsItsValuesWhenGroupBIsShownBeforeItGoesOut) {
  SendRig r;
  const int gain = MakeAddress(1, EqSlot(1, 2, 2));
  r.store.SetDevice(2, EqSlot(1, 2, 2), 60);  // group B's gain differs
  r.link.WriteParam(0x0500, 5);               // in flight: the band waits
  r.link.WriteEqBand(gain, 150);
  // The user shows group B before the band went out.
  r.store.MicGroupB = 1;
  r.store.RebuildParamTable(r.store.Scene());
  r.Drain();
  EXPECT_EQ(r.emulator.image[1][EqSlot(1, 2, 2)], 150);
  EXPECT_NE(r.emulator.image[2][EqSlot(1, 2, 2)], 150);
}

}  // namespace
}  // namespace dsp
