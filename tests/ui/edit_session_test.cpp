// Undo and redo, A/B compare, offline editing and the load question, driven
// through the real widgets of the application linked to the emulator.

#include "editing/edit_session.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "editmodel/settings.h"
#include "editmodel/write_plan.h"
#include "eq/scales.h"
#include "graph/band_point.h"
#include "graph/eq_graph.h"
#include "graph/graph_image.h"
#include "linked_app.h"
#include "mainwindow/window_link_view.h"
#include "panels/control_registry.h"
#include "panels/picture_button.h"
#include "presets/preset_file.h"
#include "system/preset_panel.h"
#include "system/system_page.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;

struct AskedQuestion {
  QString text;
  QuestionDetails details;
};

class EditSessionTest : public LinkedApp {
 protected:
  void SetUp() override { emulator.LoadFactorySetting(); }
  void Start() {
    Connect();
    Flush();
    app->System().Services().askDetailed = [this](const QString&, const QString& text,
                                                  const QuestionDetails& details, QuestionButtons) {
      questions.push_back({text, details});
      return Answer::Yes;
    };
    ShowPage(0);
  }

  EditSession& Session() { return app->Window().Editor().Session(); }
  void ShowPage(int page) {
    app->Window().Pages().FormTabBtn1Click(app->Window().Registry().PageTabs()[page]);
    QApplication::processEvents();
  }
  void Click(const char* name) {
    auto* b = W<QAbstractButton>(name);
    ASSERT_NE(b, nullptr) << name;
    b->click();
    QApplication::processEvents();
  }
  // Clicks a band field, replaces its text by typing and presses Enter.
  void Type(const char* name, const QString& text) {
    auto* field = W<QLineEdit>(name);
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  // Ctrl+Z (or Ctrl+Shift+Z) as the keyboard gives it to the focused widget.
  void Keys(Qt::KeyboardModifiers modifiers) {
    QApplication::setActiveWindow(&app->Window());
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &app->Window();
    QTest::keyClick(focus, Qt::Key_Z, modifiers);
    QApplication::processEvents();
  }
  void LoadPreset(const char* name) {
    W<QLineEdit>("FileEdit")->setText(QString::fromUtf8(name));
    Click("LoadPresetBtn");
  }
  void SavePreset(const char* name) {
    W<QLineEdit>("FileEdit")->setText(QString::fromUtf8(name));
    Click("SavePresetBtn");
  }
  fs::path Dir() const { return fs::path(presetDir.path().toStdString()); }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // The processor's setting as the editing model sees it.
  Settings Processor() const {
    Settings s;
    s.image = emulator.image;
    return s;
  }
  // A setting the processor could hold: its own with a few values changed,
  // each within its control's range, in both scenes.
  ParamStore Prepared() {
    ParamStore file = Store();
    file.SetDevice(3, 1, 77);                // echo effect level
    file.SetDevice(5, 30 + 2, 150);          // main output band 1 gain
    file.SetDevice(0, 4 + 5 + 2, 140);       // music band 2 gain, singing
    file.SetDevice(0, 4 + 5 + 2 + 52, 100);  // ... and dancing
    return file;
  }
  // Distinct value writes and band frames the processor got since the marks.
  std::size_t ValueFramesSince(std::size_t from) const {
    std::vector<std::pair<int, int>> v(emulator.valueWrites.begin() + static_cast<long>(from),
                                       emulator.valueWrites.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v.size();
  }
  // Every parameter of the scene the processor plays holds `s`'s value.
  void ExpectProcessorPlays(const Settings& s, const char* what) {
    for (const ParamCell& cell : ParamCells()) {
      if (!cell.inSetting || (cell.scene >= 0 && cell.scene != s.Scene())) continue;
      ASSERT_EQ(emulator.image[cell.row][cell.index], s.Value(cell)) << what << ": " << cell.name;
    }
  }
  QString StatusLine() { return W<QLabel>("LinkStatusLine")->accessibleName(); }

  std::vector<AskedQuestion> questions;
};

TEST_F(EditSessionTest, AGraphDragIsOneStepAndUndoSendsTheBandBack) {
  Start();
  auto* point = W<BandPoint>("EP3");
  const QPoint home = point->pos();
  const Settings before = Capture(Store());
  const QPoint start = point->pos() + QPoint(point->width() / 2, point->height() / 2);
  QTest::mousePress(point, Qt::LeftButton, {}, start - point->pos());
  for (int i = 1; i <= 8; ++i) QTest::mouseMove(point, start + QPoint(60, -40) * i / 8 - point->pos());
  QTest::mouseRelease(point, Qt::LeftButton, {}, start + QPoint(60, -40) - point->pos());
  Flush();
  const Settings dragged = Capture(Store());
  const auto changes = Diff(before, dragged, DiffScope::Everything);
  ASSERT_EQ(changes.size(), 2u) << "frequency and gain of band 3";
  EXPECT_EQ(Session().History().StepCount(), 1u);
  EXPECT_TRUE(W<QWidget>("UndoBtn")->isEnabled());
  EXPECT_FALSE(W<QWidget>("RedoBtn")->isEnabled());
  EXPECT_TRUE(W<QWidget>("UndoBtn")->toolTip().startsWith(QStringLiteral("撤销: 音乐 EQ3 频率 ")))
      << W<QWidget>("UndoBtn")->toolTip().toStdString();

  // Ctrl+Z in the window, the focus on the gain field the drag selected.
  const std::size_t from = emulator.frameLog.size();
  Keys(Qt::ControlModifier);
  Flush();
  EXPECT_TRUE(Diff(before, Capture(Store()), DiffScope::Everything).empty());
  const auto frames = BandFrames(from);
  ASSERT_EQ(frames.size(), 1u) << "one band frame, however many frames the drag sent";
  EXPECT_EQ(frames[0].block, EqBlockAddress[0]);
  EXPECT_EQ(frames[0].band, 2);
  ExpectProcessorPlays(before, "undone");
  EXPECT_EQ(point->pos(), home);
  EXPECT_EQ(W<QLineEdit>("MusGainEdit3")->text(), QString::fromStdString(RoleText(role::BandGain, 120)));
  EXPECT_FALSE(W<QWidget>("UndoBtn")->isEnabled());

  // Ctrl+Shift+Z puts the drag back.
  Keys(Qt::ControlModifier | Qt::ShiftModifier);
  Flush();
  EXPECT_TRUE(Diff(dragged, Capture(Store()), DiffScope::Everything).empty());
  ExpectProcessorPlays(dragged, "redone");
  EXPECT_NE(point->pos(), home);
}

TEST_F(EditSessionTest, LoadQuestionTellsTheChangesAndUndoOfTheLoadFollowsTheScene) {
  Start();
  const Settings before = Capture(Store());
  const ParamStore file = Prepared();
  ASSERT_TRUE(SavePresetFile(file, Dir(), "Club"));
  LoadPreset("Club");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].text, QStringLiteral("加载模式：Club ?"));
  const QStringList informative = questions[0].details.informative.split(QLatin1Char('\n'));
  EXPECT_EQ(informative.front(), QStringLiteral("将改变 4 项参数 (音乐 2, 效果 1, 主输出 1)"));
  const QStringList details = questions[0].details.details.split(QLatin1Char('\n'));
  ASSERT_EQ(details.size(), 4);
  EXPECT_TRUE(details.contains(QStringLiteral("效果 回声 回声效果音量: %1% → 77%").arg(before.image[3][1])))
      << questions[0].details.details.toStdString();
  EXPECT_TRUE(details.contains(QStringLiteral("音乐(舞蹈) EQ2 增益: 0.0dB → -4.0dB")));
  // A small picture for each equaliser page whose curve the file changes
  // (music and main output; the echo level is no curve): the file's curve
  // bright over the current one, faint, where they part.
  const std::vector<QImage>& pictures = questions[0].details.pictures;
  ASSERT_EQ(pictures.size(), 2u);
  for (const QImage& picture : pictures) {
    EXPECT_EQ(picture.size(), QSize(220, 80));
    int bright = 0;
    int faint = 0;
    for (int y = 18; y < picture.height(); ++y) {  // below the caption
      for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, y);
        if (c.blue() < c.green()) continue;  // the grid is green
        if (c.blue() > 200) ++bright;
        if (c.blue() > 40 && c.blue() < 140) ++faint;
      }
    }
    EXPECT_GT(bright, 100);
    EXPECT_GT(faint, 20);
  }
  EXPECT_NE(pictures[0], pictures[1]);
  RunLink();
  ExpectProcessorPlays(Capture(file), "loaded");
  EXPECT_EQ(Session().History().StepCount(), 1u);
  EXPECT_TRUE(W<QWidget>("UndoBtn")->toolTip().startsWith(QStringLiteral("撤销: 加载预设 Club (4 项参数)")));

  // Undo: one value frame and one frame per band, for the scene that plays.
  const std::size_t values = emulator.valueWrites.size();
  const std::size_t frames = emulator.frameLog.size();
  Click("UndoBtn");
  Flush();
  EXPECT_TRUE(Diff(before, Capture(Store()), DiffScope::Everything).empty());
  EXPECT_EQ(ValueFramesSince(values), 1u);
  EXPECT_EQ(BandFrames(frames).size(), 2u);
  ExpectProcessorPlays(before, "undone");
  EXPECT_EQ(emulator.image[0][4 + 5 + 2 + 52], 100) << "the dancing copy waits for its scene";
  // Choosing the dancing scene sends it.
  Click("DiscoModeBtn");
  Flush();
  EXPECT_EQ(emulator.image[0][4 + 5 + 2 + 52], before.image[0][4 + 5 + 2 + 52]);

  // The same file again: the question says it changes nothing.
  Click("SingModeBtn");
  Flush();
  LoadPreset("Club");
  RunLink();
  LoadPreset("Club");
  EXPECT_EQ(questions.back().details.informative, QString::fromUtf8(kSameSettingText));
  EXPECT_TRUE(questions.back().details.details.isEmpty());
}

TEST_F(EditSessionTest, OfflineEditsAreSavedByteForByteAndUndoGivesTheFileBack) {
  Start();
  const ParamStore file = Prepared();
  ASSERT_TRUE(SavePresetFile(file, Dir(), "Club"));
  Click("UnLinkBtn");
  const std::size_t frames = emulator.frameLog.size();
  LoadPreset("Club");
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("离线编辑: Club"))) << StatusLine().toStdString();
  ShowPage(0);
  Type("MusGainEdit3", QStringLiteral("-3"));
  EXPECT_TRUE(Session().OfflineUnsaved());

  ParamStore expected = file;
  expected.SetDevice(0, 4 + 10 + 2, 105);  // band 3 gain -3.0 dB, singing
  SavePreset("Edited");
  EXPECT_EQ(Read(Dir() / "Edited.Wfxr"), BuildPresetFile(expected));
  EXPECT_FALSE(Session().OfflineUnsaved());

  // Undo the edit, then the load: the file and then the setting before it.
  Click("UndoBtn");
  SavePreset("Again");
  EXPECT_EQ(Read(Dir() / "Again.Wfxr"), Read(Dir() / "Club.Wfxr"));
  EXPECT_EQ(emulator.frameLog.size(), frames) << "nothing is sent without a link";
}

TEST_F(EditSessionTest, ALinkArrivingWithUnsavedOfflineEditsKeepsThemAsBAndOnDisk) {
  Start();
  ASSERT_TRUE(SavePresetFile(Prepared(), Dir(), "Club"));
  Click("UnLinkBtn");
  LoadPreset("Club");
  ShowPage(0);
  Type("MusGainEdit3", QStringLiteral("-3"));
  const Settings offline = Capture(Store());
  ASSERT_TRUE(Session().History().CanUndo());

  messages.clear();
  Click("LinkBtn");
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  // The processor's setting is current, A; one message tells both.
  EXPECT_TRUE(Diff(Processor(), Capture(Store()), DiffScope::Setting).empty());
  EXPECT_EQ(Session().Active(), AbLetter::A);
  EXPECT_FALSE(Session().History().CanUndo());
  ASSERT_EQ(messages.size(), 1) << messages.join(',').toStdString();
  EXPECT_TRUE(messages[0].contains(QStringLiteral("离线编辑的设置已放入 B"))) << messages[0].toStdString();
  fs::path recovery;
  for (const auto& entry : fs::directory_iterator(Dir())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("离线编辑-", 0) == 0) recovery = entry.path();
  }
  ASSERT_FALSE(recovery.empty());
  EXPECT_TRUE(messages[0].contains(QString::fromStdString(recovery.stem().string())));
  ParamStore kept;
  kept.DeviceImage = offline.image;
  EXPECT_EQ(Read(recovery), BuildPresetFile(kept));
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("设备已连接")));

  // B: exactly the parameters that differ go out.
  const Settings a = Capture(Store());
  const WritePlan plan = PlanWrites(Diff(a, offline, DiffScope::Setting), offline.Scene());
  const std::size_t values = emulator.valueWrites.size();
  const std::size_t frames = emulator.frameLog.size();
  Click("AbBBtn");
  Flush();
  EXPECT_EQ(Session().Active(), AbLetter::B);
  EXPECT_EQ(W<QAbstractButton>("AbCopyBtn")->text(), QStringLiteral("B→A"));
  EXPECT_TRUE(Diff(offline, Capture(Store()), DiffScope::Setting).empty());
  EXPECT_EQ(ValueFramesSince(values), plan.values.size());
  EXPECT_EQ(BandFrames(frames).size(), plan.bands.size());
  ExpectProcessorPlays(offline, "B");
  EXPECT_EQ(W<QLineEdit>("MusGainEdit3")->text(), QStringLiteral("-3.0"));

  // The switch is one step: undo goes back to A.
  Click("UndoBtn");
  Flush();
  EXPECT_EQ(Session().Active(), AbLetter::A);
  ExpectProcessorPlays(a, "A again");
}

TEST_F(EditSessionTest, BEqualsAUntilCopiedAndASwitchSendsOnlyTheDifference) {
  Start();
  const std::size_t values = emulator.valueWrites.size();
  const std::size_t frames = emulator.frameLog.size();
  Click("AbBBtn");
  Flush();
  EXPECT_EQ(Session().Active(), AbLetter::B);
  EXPECT_EQ(emulator.valueWrites.size(), values);
  EXPECT_EQ(emulator.frameLog.size(), frames) << "B equals A: nothing to send";

  ShowPage(3);
  auto* level = W<QSlider>("MainMusLevelBar");
  const int a = level->value();
  level->setValue(a > 50 ? 20 : 80);
  Flush();
  const int b = level->value();
  const std::size_t afterEdit = emulator.valueWrites.size();
  Click("AbABtn");
  Flush();
  EXPECT_EQ(level->value(), a);
  EXPECT_EQ(ValueFramesSince(afterEdit), 1u);
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x0500, a));
  Click("AbBBtn");
  Flush();
  EXPECT_EQ(level->value(), b);
  EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x0500, b));
  // A→B while B is current copies B into A: a switch changes nothing then.
  Click("AbCopyBtn");
  const std::size_t afterCopy = emulator.valueWrites.size();
  Click("AbABtn");
  Flush();
  EXPECT_EQ(level->value(), b);
  EXPECT_EQ(emulator.valueWrites.size(), afterCopy);
}

TEST_F(EditSessionTest, UndoOfALockedParameterIsRefusedAndStays) {
  Start();
  ASSERT_NE(Store().Param(0x0000), 0) << "the factory setting is manual";
  Type("MusGainEdit1", QStringLiteral("3"));
  Click("AbCopyBtn");  // B holds +3 dB
  Type("MusGainEdit1", QStringLiteral("6"));
  Click("AutoModeBtn");  // A: automatic
  Click("AbBBtn");
  Click("AutoModeBtn");  // B: automatic
  Click("AbABtn");       // both automatic, their music equalisers differ
  Flush();
  const std::size_t position = Session().History().Position();
  const Settings now = Capture(Store());
  Click("UndoBtn");
  EXPECT_EQ(Session().History().Position(), position) << "the step stays";
  EXPECT_EQ(Session().Active(), AbLetter::A);
  EXPECT_TRUE(Diff(now, Capture(Store()), DiffScope::Everything).empty());
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("无法撤销: 自动模式锁定了 音乐 EQ1 增益")))
      << StatusLine().toStdString();
  // In manual mode the same undo goes through.
  Click("ManulModeBtn");
  Click("UndoBtn");  // the manual click
  Click("UndoBtn");  // refused again: automatic once more
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("无法撤销")));
}

TEST_F(EditSessionTest, ALinkLostDuringASwitchLeavesTheWidgetsTrueAndSendsNothingStaleLater) {
  Start();
  Click("AbBBtn");
  ShowPage(3);
  // B differs from A in many values and bands.
  for (const char* name : {"MainMusLevelBar", "MainMicLevelBar", "MainEchoLevelBar", "MainRvbLevelBar"}) {
    auto* s = W<QSlider>(name);
    s->setValue(s->value() > 50 ? 10 : 90);
  }
  Type("MainGainEdit1", QStringLiteral("5"));
  Type("MainGainEdit2", QStringLiteral("-5"));
  Flush();
  const Settings b = Capture(Store());
  // The switch starts; the processor stops answering after two frames.
  emulator.faults.silentAfter = emulator.framesReceived + 2;
  Click("AbABtn");
  const Settings a = Capture(Store());
  for (int i = 0; i < 800 && app->Link().LinkState == 2; ++i) app->Link().HoldTimerTimer();
  ASSERT_NE(app->Link().LinkState, 2);
  // The stores hold A and the widgets show them.
  EXPECT_TRUE(Diff(a, Capture(Store()), DiffScope::Everything).empty());
  EXPECT_EQ(W<QSlider>("MainMusLevelBar")->value(), Store().Param(0x0500));
  EXPECT_NE(Store().Param(0x0500), b.image[5][0]);

  // The processor answers again: the download makes its setting current;
  // nothing of the broken switch follows it.
  emulator.faults.silentAfter = -1;
  const std::size_t values = emulator.valueWrites.size();
  const std::size_t frames = emulator.frameLog.size();
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  Flush();
  EXPECT_EQ(emulator.valueWrites.size(), values);
  EXPECT_TRUE(BandFrames(frames).empty());
  EXPECT_TRUE(Diff(Processor(), Capture(Store()), DiffScope::Setting).empty());
  EXPECT_EQ(W<QSlider>("MainMusLevelBar")->value(), Store().Param(0x0500));
}

TEST_F(EditSessionTest, LockedPagesRefuseUndoAndAnswerAgainAfterTheUnlock) {
  Start();
  ShowPage(3);
  auto* level = W<QSlider>("MainMusLevelBar");
  level->setValue(level->value() > 50 ? 20 : 80);
  Flush();
  ASSERT_TRUE(Session().History().CanUndo());
  W<QWidget>("FirstCheckGrop")->show();  // the keyboard-lock prompt is up
  Click("UndoBtn");
  EXPECT_TRUE(Session().History().CanUndo());
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("无法撤销: 页面已锁定")));
  W<QWidget>("FirstCheckGrop")->hide();
  Click("UndoBtn");
  EXPECT_FALSE(Session().History().CanUndo());
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("设备已连接")));
}

TEST_F(EditSessionTest, ASliderDragAFieldAndAnEqResetAreOneStepEach) {
  Start();
  ShowPage(3);
  const Settings before = Capture(Store());
  auto* level = W<QSlider>("MainMusLevelBar");
  const int y = level->height() / 2;
  auto mouse = [level, y](QEvent::Type type, double at, Qt::MouseButtons buttons) {
    const QPoint p(static_cast<int>(level->width() * at), y);
    QMouseEvent event(type, QPointF(p), QPointF(level->mapToGlobal(p)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(level, &event);
  };
  mouse(QEvent::MouseButtonPress, 0.2, Qt::LeftButton);
  for (double at : {0.3, 0.4, 0.5, 0.6}) mouse(QEvent::MouseMove, at, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, 0.6, Qt::NoButton);
  Flush();
  ASSERT_NE(level->value(), before.image[5][0]);
  EXPECT_EQ(Session().History().StepCount(), 1u) << "press to release is one step";
  Type("MainGainEdit1", QStringLiteral("4"));
  Click("EQResetBtn");
  Flush();
  EXPECT_EQ(Session().History().StepCount(), 3u);
  EXPECT_TRUE(W<QWidget>("UndoBtn")->toolTip().startsWith(QStringLiteral("撤销: EQ重置 主输出 (1 项参数)")))
      << W<QWidget>("UndoBtn")->toolTip().toStdString();
  for (int i = 0; i < 3; ++i) Click("UndoBtn");
  Flush();
  EXPECT_TRUE(Diff(before, Capture(Store()), DiffScope::Everything).empty());
  ExpectProcessorPlays(before, "all undone");
  EXPECT_EQ(level->value(), before.image[5][0]);
}

TEST_F(EditSessionTest, TheHistorySurvivesALostAndRegainedLinkAndAModeRecallClearsIt) {
  Start();
  Type("MusGainEdit1", QStringLiteral("2"));
  Flush();
  ASSERT_TRUE(Session().History().CanUndo());
  emulator.faults.silentAfter = emulator.framesReceived;
  for (int i = 0; i < 800 && app->Link().LinkState == 2; ++i) app->Link().HoldTimerTimer();
  ASSERT_NE(app->Link().LinkState, 2);
  emulator.faults.silentAfter = -1;
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  EXPECT_TRUE(Session().History().CanUndo()) << "the processor still holds what the stores hold";
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();

  ShowPage(7);
  W<QComboBox>("SysModeBox")->setCurrentIndex(1);
  Flush();  // the recall goes out at once, not behind another frame
  Click("RecallModeBtn");
  Flush();
  app->Link().HoldTimerTimer();
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  ASSERT_EQ(emulator.valueWrites.back(), std::make_pair(0x902, 1));
  EXPECT_FALSE(Session().History().CanUndo()) << Session().History().UndoText();
  EXPECT_FALSE(W<QWidget>("UndoBtn")->isEnabled());
}

// The "差异" list beside A and B: the parameters in which the other letter
// differs from the current one, by page, as the load question says them.
TEST_F(EditSessionTest, TheDifferenceListNamesWhatAAndBDoNotShare) {
  Start();
  auto list = [this] {
    Click("AbDiffBtn");
    auto* dialog = W<QDialog>("AbDiffDialog");
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog != nullptr && dialog->isVisible());
    return std::make_pair(W<QLabel>("AbDiffSummary")->text(), W<QPlainTextEdit>("AbDiffList")->toPlainText());
  };
  auto [same, empty] = list();
  EXPECT_EQ(same, QStringLiteral("A 与 B 相同"));
  EXPECT_TRUE(empty.isEmpty());

  Click("AbCopyBtn");  // B holds the current setting
  const QString before = W<QLineEdit>("MusGainEdit3")->text();
  Type("MusGainEdit3", QStringLiteral("-3"));
  ShowPage(3);
  auto* level = W<QSlider>("MainMusLevelBar");
  const int a = level->value();
  const int b = a > 50 ? 20 : 80;
  level->setValue(b);
  Flush();
  QApplication::processEvents();
  auto [summary, text] = list();
  EXPECT_EQ(summary, QStringLiteral("2 项参数不同 (A → B)"));
  const ParamCell& levelCell = ParamCells()[static_cast<std::size_t>(CellOfSlot(5, 0))];
  const QString expected = QStringLiteral("音乐 (1)\n  音乐 EQ3 增益: -3.0dB → %1dB\n主输出 (1)\n  %2: %3 → %4")
                               .arg(before)
                               .arg(QString::fromStdString(levelCell.name))
                               .arg(QString::fromStdString(CellValueText(levelCell, b)))
                               .arg(QString::fromStdString(CellValueText(levelCell, a)));
  EXPECT_EQ(text, expected);
  // Only one list is open at a time.
  QApplication::processEvents();
  EXPECT_EQ(app->Window().findChildren<QDialog*>(QStringLiteral("AbDiffDialog")).size(), 1);
}

// "核对设备": the processor's memory changed behind the window's back (a
// front panel, another program). The read leaves the window alone and
// lists the differences; the answers send the window's values of exactly
// those parameters, or take the processor's as one undo step.
class VerifyTest : public EditSessionTest {
 protected:
  // Two parameters changed in the processor only: a value and a band.
  void ChangeBehindTheWindow() {
    emulator.image[3][1] = 77;   // echo effect level
    emulator.image[5][32] = 150;  // main output band 1 gain
  }
  // Ctrl+Shift+V, then the nine block reads to their end.
  void VerifyByKey() {
    QApplication::setActiveWindow(&app->Window());
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &app->Window();
    QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    RunLink();
    QApplication::processEvents();
  }
  QDialog* Dialog() const { return W<QDialog>("VerifyDialog"); }
};

TEST_F(VerifyTest, SendingTheWindowsSettingsWritesExactlyTheDifferences) {
  Start();
  const Settings window = Capture(Store());
  ChangeBehindTheWindow();
  const Settings processor = Processor();
  const std::size_t frames = emulator.frameLog.size();
  const std::size_t values = emulator.valueWrites.size();
  const std::size_t steps = Session().History().StepCount();

  VerifyByKey();
  // Nine block requests, and the window still shows its own setting.
  EXPECT_EQ(emulator.frameLog.size() - frames, 9u);
  EXPECT_EQ(Capture(Store()), window);
  EXPECT_EQ(app->Link().LinkState, 2);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_TRUE(Dialog()->isVisible());
  EXPECT_EQ(W<QLabel>("VerifySummary")->text(), QStringLiteral("2 项参数与设备中的不同 (设备 → 本机)"));
  const QString list = W<QPlainTextEdit>("VerifyList")->toPlainText();
  const auto differences = Diff(processor, window, DiffScope::Setting);
  ASSERT_EQ(differences.size(), 2u);
  for (const CellChange& change : differences)
    EXPECT_TRUE(list.contains(QString::fromStdString(ChangeLine(change)))) << list.toStdString();
  EXPECT_TRUE(list.startsWith(QStringLiteral("效果 (1)\n  "))) << list.toStdString();
  EXPECT_TRUE(list.contains(QStringLiteral("\n主输出 (1)\n  "))) << list.toStdString();

  const std::size_t readDone = emulator.frameLog.size();
  Click("VerifySendBtn");
  Flush();
  EXPECT_EQ(Dialog(), nullptr);
  ExpectProcessorPlays(window, "sent");
  EXPECT_EQ(ValueFramesSince(values), 1u) << "the echo level alone";
  const auto bands = BandFrames(readDone);
  ASSERT_EQ(bands.size(), 1u) << "the main output's band 1 alone";
  EXPECT_EQ(bands[0].block, EqBlockAddress[5]);
  EXPECT_EQ(bands[0].band, 0);
  EXPECT_EQ(Capture(Store()), window);
  EXPECT_EQ(Session().History().StepCount(), steps);
  EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

TEST_F(VerifyTest, TakingTheProcessorsSettingsIsOneUndoStepAndSendsNothing) {
  Start();
  const Settings window = Capture(Store());
  ChangeBehindTheWindow();
  const Settings processor = Processor();
  Click("VerifyBtn");
  RunLink();
  QApplication::processEvents();
  ASSERT_NE(Dialog(), nullptr);
  const std::size_t frames = emulator.frameLog.size();
  const std::size_t steps = Session().History().StepCount();

  Click("VerifyTakeBtn");
  Flush();
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_TRUE(Diff(processor, Capture(Store()), DiffScope::Setting).empty());
  EXPECT_EQ(emulator.frameLog.size(), frames) << "the processor holds these values already";
  EXPECT_EQ(Session().History().StepCount(), steps + 1);
  EXPECT_EQ(W<QWidget>("UndoBtn")->toolTip(), QStringLiteral("撤销: 采用设备设置 (2 项参数) (Ctrl+Z)"));
  // The widgets show the processor's values.
  ShowPage(2);
  EXPECT_EQ(W<QSlider>("EchoEffLevelBar")->value(), 77);
  ExpectProcessorPlays(processor, "taken");

  // Undo: the window's values come back, and go to the processor.
  Click("UndoBtn");
  Flush();
  EXPECT_EQ(Capture(Store()), window);
  ExpectProcessorPlays(window, "undone");
}

TEST_F(VerifyTest, CancelLeavesBothAloneEqualSaysSoAndUnlinkedSaysNotConnected) {
  Start();
  // The same setting on both sides.
  VerifyByKey();
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_EQ(messages, QStringList{QStringLiteral("本机设置与设备中的设置相同")});
  messages.clear();

  const Settings window = Capture(Store());
  ChangeBehindTheWindow();
  const Settings processor = Processor();
  VerifyByKey();
  ASSERT_NE(Dialog(), nullptr);
  const std::size_t frames = emulator.frameLog.size();
  const std::size_t steps = Session().History().StepCount();
  Click("VerifyCancelBtn");
  Flush();
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_EQ(Capture(Store()), window);
  EXPECT_EQ(Processor(), processor);
  EXPECT_EQ(emulator.frameLog.size(), frames);
  EXPECT_EQ(Session().History().StepCount(), steps);
  EXPECT_TRUE(messages.isEmpty());

  Click("UnLinkBtn");
  const std::size_t goodbye = emulator.frameLog.size();
  Click("VerifyBtn");
  EXPECT_EQ(messages, QStringList{QStringLiteral("设备未连接")});
  EXPECT_EQ(emulator.frameLog.size(), goodbye);
  EXPECT_EQ(Dialog(), nullptr);
}

// While A and B differ, the graph shows the other letter's curve faintly
// behind the current one (an offscreen render of the canvas).
TEST_F(EditSessionTest, TheOtherLettersCurveShowsFaintlyBehindWhileTheyDiffer) {
  Start();
  ShowPage(0);
  Click("AbCopyBtn");  // B holds the current setting
  Type("MusGainEdit3", QStringLiteral("12"));
  Type("MusFreEdit3", QStringLiteral("1000"));
  Flush();
  GraphImage* image = app->Window().Graph().Image();
  app->Window().Graph().DrawEq(AllBands, 0);
  const GraphGeometry geometry = image->Geometry();
  auto curveOf = [&](const Settings& settings) {
    ParamStore shown;
    shown.DeviceImage = settings.image;
    shown.RebuildParamTable(settings.Scene());
    BandSlots bands;
    return bands.DrawEq(shown, AllBands, 0, geometry, false).curve;
  };
  const std::vector<CurvePoint> current = curveOf(Capture(Store()));
  const std::vector<CurvePoint> ghost = curveOf(Session().OtherSetting());
  ASSERT_NE(current, ghost);
  // The same drawing once A and B are equal again (A unchanged): the
  // pictures differ exactly along the ghost, faintly.
  const QImage with = image->Picture();
  Click("AbCopyBtn");
  app->Window().Graph().DrawEq(AllBands, 0);
  const QImage without = image->Picture();
  const qreal ratio = with.devicePixelRatio();
  auto brighter = [&](const CurvePoint& p, int dy) {
    int most = 0;
    for (int dx = -2; dx <= 2; ++dx)
      for (int d = -2; d <= 2; ++d) {
        const QPoint at = QPoint(p.x + dx, p.y + dy + d) * ratio;
        most = std::max(most, with.pixelColor(at).blue() - without.pixelColor(at).blue());
      }
    return most;
  };
  int checked = 0;
  for (std::size_t i = 0; i < current.size(); ++i) {
    if (ghost[i].y - current[i].y < 30) continue;
    ++checked;
    EXPECT_GT(brighter(ghost[i], 0), 25) << i;
    EXPECT_LT(brighter(ghost[i], 0), 160) << "faintly, " << i;
    EXPECT_EQ(brighter(ghost[i], -12), 0) << "nothing beside the ghost, " << i;
  }
  EXPECT_GT(checked, 5);
  // Equal letters draw no ghost: the current curve alone, as before any edit.
  EXPECT_EQ(without, [&] {
    app->Window().Graph().DrawEq(AllBands, 0);
    return image->Picture();
  }());
}

// "导出报告..." writes the current setting's report; a file that cannot be
// written is said in a message.
TEST_F(EditSessionTest, TheWindowExportsTheReportOfTheCurrentSetting) {
  Start();
  ASSERT_NE(W<QAbstractButton>("ReportBtn"), nullptr);
  EXPECT_EQ(W<QAbstractButton>("ReportBtn")->text(), QStringLiteral("导出报告..."));
  const fs::path file = Dir() / "room.pdf";
  ASSERT_TRUE(app->Window().ExportReport(QString::fromStdString(file.string())));
  const std::string pdf = Read(file);
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_FALSE(app->Window().ExportReport(QString::fromStdString((Dir() / "missing" / "r.pdf").string())));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("报告无法写入"))) << messages[0].toStdString();
}

}  // namespace
}  // namespace dsp
