// The system page on the emulated processor: the preset library, the device
// modes, the passwords and the keyboard lock, driven through the named
// widgets. Every question is answered by the test; presets live in the
// fixture's temporary folder.

#include "system/system_page.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "editing/page_switcher.h"
#include "eq/scales.h"
#include "link/frames.h"
#include "linked_app.h"
#include "mainwindow/status_dialog.h"
#include "panels/control_registry.h"
#include "panels/widget_props.h"
#include "presets/preset_file.h"
#include "system/mode_panel.h"
#include "system/preset_panel.h"
#include "system/prompts.h"

namespace dsp {
namespace {

namespace fs = std::filesystem;

struct Question {
  QString caption;
  QString text;
  QuestionButtons buttons;
};

class SystemPageTest : public LinkedApp {
 protected:
  // The emulator's default setting reads as manager rights with the keyboard
  // lock on; these tests start from a user without the lock.
  void SetUp() override {
    SetEmulated(0x90C, 0);
    SetEmulated(0x90D, 0);
  }
  void Connect() {
    LinkedApp::Connect();
    app->System().Services().ask = [this](const QString& caption, const QString& text, QuestionButtons b) {
      questions.push_back({caption, text, b});
      if (answers.empty()) return b == QuestionButtons::OkCancel ? Answer::Cancel : Answer::No;
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    };
    QTest::mouseClick(W("FormTabBtn8"), Qt::LeftButton);
  }

  fs::path Dir() const { return fs::path(presetDir.path().toStdString()); }

  // A device image in which nearly every entry differs from its neighbours.
  static ParamStore Distinct(int seed) {
    ParamStore s;
    for (int c = 0; c < PresetChannels; ++c)
      for (int i = 0; i < PresetEntryCount[c]; ++i) s.SetDevice(c, i, (seed + c * 37 + i * 11) % 181);
    s.SetDevice(0, 1, 0);  // the singing scene
    return s;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(Dir() / name, std::ios::binary) << content;
  }

  void Press(const char* button) {
    auto* b = W<QAbstractButton>(button);
    ASSERT_NE(b, nullptr) << button;
    ASSERT_TRUE(b->isEnabled()) << button;
    b->click();
  }
  void Type(const char* field, const QString& keys) { QTest::keyClicks(W(field), keys); }
  void Enter(const char* field) { QTest::keyClick(W(field), Qt::Key_Return); }
  QString Text(const char* field) const { return W<QLineEdit>(field)->text(); }

  // The payload bytes of the last block frame to `address` the emulator got.
  std::vector<int> LastPayload(int address) const {
    for (auto it = emulator.frameLog.rbegin(); it != emulator.frameLog.rend(); ++it) {
      std::vector<int> bytes;
      for (std::size_t p = 0; p + 1 < it->size(); p += 3)
        bytes.push_back(std::stoi(it->substr(p, 2), nullptr, 16));
      if (bytes.size() < 7 || bytes[3] != CmdWrite || bytes[4] * 256 + bytes[5] != address) continue;
      return std::vector<int>(bytes.begin() + 6, bytes.end() - 1);
    }
    return {};
  }
  // The pacing tick after an acknowledgement: runs a recall's or a save's follow-up.
  void AfterAcknowledgement() {
    Flush();
    app->Link().HoldTimerTimer();
  }

  std::vector<Question> questions;
  std::deque<Answer> answers;
};

// ---------------------------------------------------------------- preset library

TEST_F(SystemPageTest, AnEmptyFolderListsNothingAndTheGroupShowsItsFolder) {
  Connect();
  auto* grid = W<QTableWidget>("PresetGrid");
  EXPECT_EQ(grid->rowCount(), 0);
  EXPECT_EQ(Text("FileEdit"), QString());
  EXPECT_EQ(W("SysBackupGrop")->toolTip(), presetDir.path());
  // Saving with an empty name box does nothing.
  Press("SavePresetBtn");
  EXPECT_TRUE(questions.empty());
  EXPECT_TRUE(fs::is_empty(Dir()));
}

TEST_F(SystemPageTest, APresetFolderThatCannotBeMadeIsReported) {
  Write("blocked", "x");  // a file where the folder would go
  const fs::path folder = Dir() / "blocked" / "presets";
  app = std::make_unique<Application>(std::make_unique<EmulatedPort>(emulator, "EMU"),
                                      AppOptions{{}, QString::fromStdString(folder.string())});
  app->LinkTimers().DriveByHand();
  app->View().SetMessageSink([this](const QString&, const QString& text) { messages << text; });
  app->Start();
  QApplication::processEvents();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("预设文件夹无法创建: "))) << messages[0].toStdString();
  EXPECT_EQ(W<QTableWidget>("PresetGrid")->rowCount(), 0);
  EXPECT_EQ(W("SysBackupGrop")->toolTip(), QString::fromStdString(folder.string()));
}

TEST_F(SystemPageTest, ListsPresetFilesAndARowClickTakesTheListedName) {
  for (const char* name : {"b.Wfxr", "A.Wfxr", "x.Wfxrold", "a.bcde.Wfxr", "C.WFXR"}) Write(name, "x");
  Connect();
  auto* grid = W<QTableWidget>("PresetGrid");
  ASSERT_EQ(grid->rowCount(), 4);
  // File names in order ignoring case: "a.bcde.Wfxr" comes before "A.Wfxr".
  const char* listed[] = {"a.bcde", "A", "b", "C"};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(grid->item(row, 0)->text(), QString::number(row));
    EXPECT_EQ(grid->item(row, 1)->text(), QString::fromLatin1(listed[row]));
  }
  // The name box takes the listed name, never the name cut a second time.
  EXPECT_EQ(Text("FileEdit"), QStringLiteral("a.bcde"));
  auto click = [grid](int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, 1)).center());
  };
  click(2);
  EXPECT_EQ(Text("FileEdit"), QStringLiteral("b"));
  EXPECT_TRUE(W("FileEdit")->hasFocus());
  click(0);
  EXPECT_EQ(Text("FileEdit"), QStringLiteral("a.bcde"));
  // Keys typed in the list are discarded.
  grid->setFocus();
  const int row = grid->currentRow();
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(grid->currentRow(), row);
}

TEST_F(SystemPageTest, SaveAddsTheNameAndOverwritingAsksFirst) {
  Write("A.Wfxr", "x");
  Connect();
  auto* grid = W<QTableWidget>("PresetGrid");
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Live"));
  Press("SavePresetBtn");
  EXPECT_TRUE(questions.empty());
  const std::string first = Read(Dir() / "Live.Wfxr");
  EXPECT_EQ(first, BuildPresetFile(Store()));
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("Live"));
  // The saved file's row is selected and its name stays in the box.
  EXPECT_EQ(Text("FileEdit"), QStringLiteral("Live"));
  EXPECT_EQ(grid->currentRow(), 1);

  // The setting changes; saving under the listed name asks, and Cancel writes nothing.
  Store().SetDevice(3, 5, 77);
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Live"));
  answers = {Answer::Cancel};
  Press("SavePresetBtn");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].caption, QStringLiteral("*系统提示*"));
  EXPECT_EQ(questions[0].text, QStringLiteral("文件已存在,覆盖它吗?"));
  EXPECT_EQ(questions[0].buttons, QuestionButtons::OkCancel);
  EXPECT_EQ(Read(Dir() / "Live.Wfxr"), first);

  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Live"));
  answers = {Answer::Ok};
  Press("SavePresetBtn");
  EXPECT_EQ(Read(Dir() / "Live.Wfxr"), BuildPresetFile(Store()));
  EXPECT_NE(Read(Dir() / "Live.Wfxr"), first);
  // A name only differing in letter case is not asked about.
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("live"));
  Press("SavePresetBtn");
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();

  // A name that would leave the folder is refused with a notice.
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("../out"));
  Press("SavePresetBtn");
  EXPECT_EQ(messages, QStringList{QString::fromUtf8(NoticeBadName.chinese)});
  EXPECT_FALSE(fs::exists(Dir().parent_path() / "out.Wfxr"));
}

TEST_F(SystemPageTest, LoadRightAfterASaveLoadsThePresetJustSaved) {
  ASSERT_TRUE(SavePresetFile(Distinct(3), Dir(), "A"));
  ASSERT_TRUE(SavePresetFile(Distinct(8), Dir(), "B"));
  Connect();
  const auto saved = Store().DeviceImage;
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Mine"));
  Press("SavePresetBtn");
  auto* grid = W<QTableWidget>("PresetGrid");
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(grid->item(grid->currentRow(), 1)->text(), QStringLiteral("Mine"));
  EXPECT_EQ(Text("FileEdit"), QStringLiteral("Mine"));

  answers = {Answer::Yes};
  Press("LoadPresetBtn");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].text, QStringLiteral("加载模式：Mine ?"));
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  for (int c = 0; c < PresetChannels; ++c) {
    for (int i = 0; i < TransferLength[c]; ++i) ASSERT_EQ(emulator.image[c][i], saved[c][i]) << c << "/" << i;
  }
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
}

TEST_F(SystemPageTest, LoadUploadsTheFileIntoTheProcessor) {
  const ParamStore file = Distinct(5);
  ASSERT_TRUE(SavePresetFile(file, Dir(), "Club"));
  Connect();
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Club"));
  answers = {Answer::Yes};
  Press("LoadPresetBtn");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].caption, QStringLiteral("Confirm"));
  EXPECT_EQ(questions[0].text, QStringLiteral("加载模式：Club ?"));
  EXPECT_EQ(questions[0].buttons, QuestionButtons::YesNo);
  EXPECT_EQ(app->Link().StatusText(), "下载数据...");
  ASSERT_TRUE(app->TransferTimer().isActive());
  app->Link().Timer2Timer();
  EXPECT_TRUE(app->Dialog().isVisible());
  EXPECT_EQ(app->Dialog().StatusText(), QStringLiteral("下载数据..."));

  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  EXPECT_EQ(emulator.uploads, 9);
  for (int c = 0; c < PresetChannels; ++c) {
    for (int i = 0; i < TransferLength[c]; ++i) {
      ASSERT_EQ(emulator.image[c][i], file.DeviceImage[c][i]) << c << "/" << i;
    }
  }
  // The panels show the loaded setting.
  EXPECT_EQ(W<QSlider>("EchoEffLevelBar")->value(), std::min(Store().Param(0x301), 100));
  EXPECT_EQ(Store().Param(0x301), file.Device(3, DeviceIndex(3, 1, 0)));
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
}

TEST_F(SystemPageTest, OnlyYesLoads) {
  ASSERT_TRUE(SavePresetFile(Distinct(9), Dir(), "Club"));
  Connect();
  const auto image = Store().DeviceImage;
  const std::size_t frames = emulator.frameLog.size();
  answers = {Answer::No};
  Press("LoadPresetBtn");
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(Store().DeviceImage, image);
  EXPECT_FALSE(app->TransferTimer().isActive());
  EXPECT_EQ(emulator.frameLog.size(), frames);
}

TEST_F(SystemPageTest, ADamagedFileChangesNothingAndUploadsNothing) {
  // One data line removed: the total no longer matches.
  const std::string content = BuildPresetFile(Distinct(3));
  const std::size_t cut = content.find("\r\n", content.find("\r\n", content.find("\r\n") + 2) + 2);
  std::string damaged = content;
  damaged.erase(cut, content.find("\r\n", cut + 2) - cut);
  Write("Bad.Wfxr", damaged);
  Connect();
  const auto image = Store().DeviceImage;
  const std::size_t frames = emulator.frameLog.size();
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Bad"));
  answers = {Answer::Yes};
  Press("LoadPresetBtn");
  EXPECT_EQ(messages, QStringList{QString::fromUtf8(NoticeCorrupted.chinese)});
  EXPECT_EQ(Store().DeviceImage, image);
  EXPECT_FALSE(app->TransferTimer().isActive());
  EXPECT_EQ(app->Link().LinkState, 2);
  EXPECT_EQ(emulator.frameLog.size(), frames);
}

TEST_F(SystemPageTest, LoadWhileNotLinkedPutsTheFileIntoTheEditorAndSendsNothing) {
  Connect();
  // The processor's setting with a few values of its own, each in range.
  ParamStore file = Store();
  file.SetDevice(3, 1, 77);
  file.SetDevice(5, 30 + 2, 150);
  file.SetDevice(0, 4 + 5 + 1 + 52, 222);
  ASSERT_TRUE(SavePresetFile(file, Dir(), "Club"));
  app->System().Presets().RefreshPresetList();
  Press("UnLinkBtn");
  const std::size_t frames = emulator.frameLog.size();
  answers = {Answer::Yes, Answer::Yes};
  Press("LoadPresetBtn");  // FileEdit holds "Club"
  EXPECT_TRUE(messages.isEmpty()) << messages.join(',').toStdString();
  for (int c = 0; c < PresetChannels; ++c) EXPECT_EQ(Store().DeviceImage[c], file.DeviceImage[c]) << c;
  EXPECT_EQ(W<QSlider>("EchoEffLevelBar")->value(), 77);
  EXPECT_TRUE(W<QLabel>("LinkStatusLine")->accessibleName().startsWith(QStringLiteral("离线编辑: Club")))
      << W<QLabel>("LinkStatusLine")->accessibleName().toStdString();
  EXPECT_EQ(emulator.frameLog.size(), frames);
  // A missing file still changes nothing.
  const auto image = Store().DeviceImage;
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Missing"));
  Press("LoadPresetBtn");
  EXPECT_EQ(messages.back(), QString::fromUtf8(NoticeFileMissing.chinese));
  EXPECT_EQ(Store().DeviceImage, image);
}

TEST_F(SystemPageTest, LoadWhileTheProcessorIsBusySaysSoAndAnEmptyNameIsAMissingFile) {
  ASSERT_TRUE(SavePresetFile(Distinct(4), Dir(), "Club"));
  Connect();
  // A mode save waits for its acknowledgement: linked, but not idle.
  emulator.faults.silentAfter = emulator.framesReceived;
  ASSERT_TRUE(app->Link().StartModeSave(0, "Wait"));
  const auto image = Store().DeviceImage;
  messages.clear();
  answers = {Answer::Yes};
  Press("LoadPresetBtn");  // FileEdit holds "Club"
  EXPECT_EQ(messages, QStringList{QStringLiteral("设备忙,请稍后再试!")});
  EXPECT_EQ(Store().DeviceImage, image);

  // An empty name box still asks, then finds no file named ".Wfxr".
  W<QLineEdit>("FileEdit")->clear();
  questions.clear();
  answers = {Answer::Yes};
  Press("LoadPresetBtn");
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(messages.back(), QString::fromUtf8(NoticeFileMissing.chinese));
  EXPECT_EQ(Store().DeviceImage, image);
}

// ---------------------------------------------------------------- device modes

TEST_F(SystemPageTest, ChoosingAModeShowsItsName) {
  emulator.modeNames[0] = "Party";
  emulator.modeNames[11] = "Club";
  emulator.modeNames[2] = "";
  Connect();
  auto* box = W<QComboBox>("SysModeBox");
  EXPECT_EQ(box->currentIndex(), 0);
  EXPECT_EQ(Text("PresetModeEdit"), QStringLiteral("Party"));
  EXPECT_EQ(W<QLabel>("CurrentModeLabel")->text(), QStringLiteral("（当前模式：1 ）"));
  box->setCurrentIndex(11);
  EXPECT_EQ(box->itemText(11), QStringLiteral("12-Club"));
  EXPECT_EQ(Text("PresetModeEdit"), QStringLiteral("Club"));
  box->setCurrentIndex(2);
  EXPECT_EQ(Text("PresetModeEdit"), QString());
}

TEST_F(SystemPageTest, RecallWritesTheSlotAndReloadsTheProcessorsSetting) {
  emulator.modeNames[0] = "";
  emulator.modeNames[14] = "Last";
  const ParamStore stored = Distinct(11);
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < kDeviceSlots; ++i) emulator.modeSlots[14][c][i] = stored.DeviceImage[c][i];
  Connect();
  auto* box = W<QComboBox>("SysModeBox");
  for (const auto& [slot, text] : {std::pair{0, "1-"}, std::pair{14, "15-Last"}}) {
    SCOPED_TRACE(slot);
    box->setCurrentIndex(slot);
    questions.clear();
    answers = {Answer::Yes};
    Press("RecallModeBtn");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(questions[0].text, QStringLiteral("模式切换为%1?").arg(QString::fromLatin1(text)));
    EXPECT_EQ(app->Link().StatusText(), "加载中...");
    AfterAcknowledgement();
    EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(0x902, slot));
    const std::size_t frames = emulator.frameLog.size();
    RunLink();
    ASSERT_EQ(app->Link().LinkState, 2);
    // Nine channel block requests followed the recall.
    EXPECT_EQ(emulator.frameLog.size(), frames + 8);
    EXPECT_EQ(W<QLabel>("CurrentModeLabel")->text(), QStringLiteral("（当前模式：%1 ）").arg(slot + 1));
  }
  // The panels show the recalled setting.
  EXPECT_EQ(W<QLineEdit>("MainFreEdit2")->text(),
            QString::fromLatin1(StepText(StepTable::Freq, stored.Device(5, DeviceIndex(5, 0x24, 0)))));

  // No: nothing is written. No link: the slot is only stored.
  const auto writes = emulator.valueWrites;
  answers = {Answer::No};
  Press("RecallModeBtn");
  Flush();
  Press("UnLinkBtn");
  box->setCurrentIndex(3);
  answers = {Answer::Yes};
  Press("RecallModeBtn");
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(Store().Param(0x902), 3);
  EXPECT_EQ(emulator.valueWrites, writes);
}

TEST_F(SystemPageTest, SaveToSlotSendsTheNameAndConfirmsOnTheAcknowledgement) {
  SetEmulated(0x90C, 1);  // manager
  Connect();
  auto* box = W<QComboBox>("SysModeBox");
  EXPECT_TRUE(W("RzBmpButton138")->isEnabled());
  const struct {
    int slot;
    const char* name;
  } cases[] = {{2, "A b"}, {9, "ABCDEFGHIJKLMNOPQRST"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    box->setCurrentIndex(c.slot);
    W<QLineEdit>("PresetModeEdit")->setText(QString::fromLatin1(c.name));
    questions.clear();
    messages.clear();
    answers = {Answer::Yes};
    Press("RzBmpButton138");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, QStringLiteral("保存当前模式为 %1-%2?").arg(c.slot + 1).arg(c.name));
    EXPECT_EQ(questions[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(questions[0].buttons, QuestionButtons::YesNo);
    EXPECT_EQ(app->Link().StatusText(), "保存中...");
    std::vector<int> expected{c.slot, 0};
    for (const char* p = c.name; *p != 0; ++p) expected.push_back(*p - 32);
    expected.resize(22, 0);
    EXPECT_EQ(LastPayload(0x901), expected);
    AfterAcknowledgement();
    EXPECT_EQ(messages, QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(box->currentIndex(), c.slot);
    EXPECT_EQ(box->itemText(c.slot), QStringLiteral("%1-%2").arg(c.slot + 1).arg(c.name));
    EXPECT_EQ(emulator.modeNames[c.slot], c.name);
    EXPECT_EQ(app->Link().LinkState, 2);
  }
  EXPECT_EQ(LastPayload(0x901)[2], 0x21);  // "A": 0x41 - 32; the 20-character name fills all 20 bytes
  // Names only of the characters the processor can store, at most 20.
  auto* name = W<QLineEdit>("PresetModeEdit");
  name->clear();
  QTest::keyClicks(name, QStringLiteral("K"));
  QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("é"));
  QApplication::sendEvent(name, &accented);
  QTest::keyClicks(name, QStringLiteral("1"));
  EXPECT_EQ(name->text(), QStringLiteral("K1"));
  // A name that bypassed the box is refused before anything is asked or sent.
  name->setText(QStringLiteral("唱歌"));
  messages.clear();
  questions.clear();
  Press("RzBmpButton138");
  EXPECT_TRUE(questions.empty());
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("模式名称无效")));
  EXPECT_EQ(emulator.modeNames[9], "ABCDEFGHIJKLMNOPQRST");
}

TEST_F(SystemPageTest, SaveToSlotIsRefusedInUserModeAndWithoutALink) {
  SetEmulated(0x90C, 0);
  Connect();
  EXPECT_FALSE(W("RzBmpButton138")->isEnabled());
  app->System().Modes().SaveModeBtnClick();
  EXPECT_EQ(messages, QStringList{QStringLiteral("用户模式无法执行保存操作!")});
  EXPECT_TRUE(questions.empty());

  // Manager, but the link goes down: nothing is renamed, sent or confirmed later.
  Store().SetParam(0x90C, 1);
  const auto names = Store().ModeNames;
  W<QComboBox>("SysModeBox")->setCurrentIndex(1);
  W<QLineEdit>("PresetModeEdit")->setText(QStringLiteral("New"));
  Press("UnLinkBtn");
  messages.clear();
  app->System().Modes().SaveModeBtnClick();
  EXPECT_EQ(messages, QStringList{QStringLiteral("设备未连接")});
  EXPECT_TRUE(questions.empty());

  // The link lost while the question is open.
  app->Link().LinkBtnClick(true);
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  Store().SetParam(0x90C, 1);
  messages.clear();
  app->System().Services().ask = [this](const QString&, const QString&, QuestionButtons) {
    app->Link().SetLinkStatus(7);
    return Answer::Yes;
  };
  W<QLineEdit>("PresetModeEdit")->setText(QStringLiteral("New"));
  app->System().Modes().SaveModeBtnClick();
  // The loss itself shows in the status line while the link looks for the
  // processor again; only the refusal is a message.
  EXPECT_EQ(messages, QStringList{QStringLiteral("设备未连接")});
  EXPECT_EQ(Store().ModeNames, names);
  EXPECT_EQ(app->Link().PendingAction, 0);
  EXPECT_EQ(LastPayload(0x901), std::vector<int>{});
}

TEST_F(SystemPageTest, AModeNameCharacterTheProcessorCannotKeepIsExplainedOncePerAttempt) {
  Connect();
  const QString why = QStringLiteral("模式名称只能使用英文字母、数字和符号");
  auto* name = W<QLineEdit>("PresetModeEdit");
  name->clear();
  name->setFocus();
  QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("é"));
  // The hint is told in the title strip's status line: a tooltip under the
  // name box covered the mode buttons, and the next click on either only
  // closed it.
  QApplication::sendEvent(name, &accented);
  EXPECT_FALSE(QToolTip::isVisible());
  EXPECT_TRUE(W<QLabel>("LinkStatusLine")->accessibleName().startsWith(why))
      << W<QLabel>("LinkStatusLine")->accessibleName().toStdString();
  const std::size_t asked = questions.size();
  answers = {Answer::No};
  Press("RecallModeBtn");
  EXPECT_EQ(questions.size(), asked + 1) << "the click reached the button";

  QStringList hints;
  app->System().Modes().ShowNameHint = [&hints](const QString& text) { hints << text; };
  QTest::keyClicks(name, QStringLiteral("Ab 1"));
  EXPECT_TRUE(hints.isEmpty());
  QApplication::sendEvent(name, &accented);
  EXPECT_EQ(hints, QStringList{why});
  // An input method's text of several characters is one attempt.
  QInputMethodEvent composed;
  composed.setCommitString(QStringLiteral("唱歌"));
  QApplication::sendEvent(name, &composed);
  EXPECT_EQ(hints, (QStringList{why, why}));
  // So is a paste.
  QApplication::clipboard()->setText(QStringLiteral("x唱"));
  name->paste();
  EXPECT_EQ(hints, (QStringList{why, why, why}));
  EXPECT_EQ(name->text(), QStringLiteral("Ab 1"));
  // A full name refuses any further character for its length: no such hint.
  QTest::keyClicks(name, QStringLiteral("CDEFGHIJKLMNOPQR"));
  ASSERT_EQ(name->text().size(), 20);
  QTest::keyClicks(name, QStringLiteral("S"));
  EXPECT_EQ(name->text(), QStringLiteral("Ab 1CDEFGHIJKLMNOPQR"));
  EXPECT_EQ(hints, (QStringList{why, why, why}));
}

// ---------------------------------------------------------------- passwords

TEST_F(SystemPageTest, SystemPasswordEntryUnlocksTheRightsChoice) {
  Connect();
  auto* rights = W("SysUserMangerGrop");
  Type("SysPassEdit", QStringLiteral("12ab34-56"));
  EXPECT_EQ(Text("SysPassEdit"), QStringLiteral("123456"));  // letters are discarded
  Press("SysPassOkBtn");
  EXPECT_EQ(Text("SysPassEdit"), QString());
  EXPECT_TRUE(rights->isEnabled());
  EXPECT_EQ(LastPayload(0x904), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(messages.isEmpty());

  // A pick locks the choice again.
  Press("SysManagerBtn");
  EXPECT_FALSE(rights->isEnabled());

  Type("SysPassEdit", QStringLiteral("123450"));
  Press("SysPassOkBtn");
  EXPECT_EQ(messages, QStringList{QStringLiteral("密码错误!")});
  EXPECT_EQ(Text("SysPassEdit"), QString());
  EXPECT_FALSE(rights->isEnabled());

  // The right password while not linked: cleared, nothing else.
  Press("UnLinkBtn");
  messages.clear();
  const std::size_t frames = emulator.frameLog.size();
  Type("SysPassEdit", QStringLiteral("123456"));
  Press("SysPassOkBtn");
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(Text("SysPassEdit"), QString());
  EXPECT_FALSE(rights->isEnabled());
  EXPECT_EQ(emulator.frameLog.size(), frames);
}

struct ChangeGroupCase {
  const char* old;
  const char* first;
  const char* second;
  int length;
  int command;
  std::string ParamStore::*stored;
  std::string ProcessorEmulator::*emulated;
};

const ChangeGroupCase kGroups[] = {
    {"SysPanelLabel1", "NewSysPassLabel1", "NewSysPassLabel2", 6, 0x904, &ParamStore::SystemPassword,
     &ProcessorEmulator::systemPassword},
    {"PassPanelLabel1", "NewPassLabel1", "NewPassLabel2", 4, 0x905, &ParamStore::LockPassword,
     &ProcessorEmulator::lockPassword},
};

TEST_F(SystemPageTest, PasswordChangeGroups) {
  Connect();
  for (const ChangeGroupCase& g : kGroups) {
    SCOPED_TRACE(g.old);
    const QString stored = QString::fromStdString(Store().*g.stored);
    ASSERT_EQ(stored.size(), g.length);
    const QString fresh = QStringLiteral("975310").left(g.length);
    const QString other = QStringLiteral("864200").left(g.length);
    auto fill = [&](const QString& first, const QString& second) {
      Type(g.old, stored);
      // The check sees the fields as they were before each key: the last
      // digit of the old password has not been looked at yet.
      EXPECT_FALSE(W(g.first)->isEnabled());
      Enter(g.old);  // the key after the old password enables the first new field
      EXPECT_TRUE(W(g.first)->isEnabled());
      EXPECT_FALSE(W(g.second)->isEnabled());
      Type(g.first, first);
      Enter(g.first);
      Type(g.second, second);
      Enter(g.second);
    };
    auto idle = [&] {
      EXPECT_EQ(Text(g.old), QString());
      EXPECT_EQ(Text(g.first), QString());
      EXPECT_EQ(Text(g.second), QString());
      EXPECT_FALSE(W(g.first)->isEnabled());
      EXPECT_FALSE(W(g.second)->isEnabled());
    };

    // A wrong old password enables nothing.
    Type(g.old, QStringLiteral("000000").left(g.length));
    Enter(g.old);
    EXPECT_FALSE(W(g.first)->isEnabled());
    W<QLineEdit>(g.old)->clear();

    // Mismatching new passwords.
    messages.clear();
    fill(fresh, other);
    EXPECT_EQ(messages, QStringList{QStringLiteral("密码不一致!")});
    EXPECT_EQ(QString::fromStdString(Store().*g.stored), stored);
    idle();

    // The old password again: reset without a message or a command.
    messages.clear();
    std::size_t frames = emulator.frameLog.size();
    fill(stored, stored);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(emulator.frameLog.size(), frames);
    idle();

    // A new password typed twice.
    fill(fresh, fresh);
    Flush();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QString::fromStdString(Store().*g.stored), fresh);
    EXPECT_EQ(QString::fromStdString(emulator.*g.emulated), fresh);
    std::vector<int> digits;
    for (QChar c : fresh) digits.push_back(c.digitValue());
    EXPECT_EQ(LastPayload(g.command), digits);
    idle();
  }
}

TEST_F(SystemPageTest, ShortPasswordsAndLettersInAChangeGroup) {
  Connect();
  // A letter changes no text but runs the check: the old password is recognised.
  Type("PassPanelLabel1", QStringLiteral("1234"));
  Type("PassPanelLabel1", QStringLiteral("x"));
  EXPECT_EQ(Text("PassPanelLabel1"), QStringLiteral("1234"));
  EXPECT_TRUE(W("NewPassLabel1")->isEnabled());
  // Three digits do nothing: the second field stays disabled.
  Type("NewPassLabel1", QStringLiteral("567"));
  Enter("NewPassLabel1");
  Enter("NewPassLabel1");
  EXPECT_FALSE(W("NewPassLabel2")->isEnabled());
  EXPECT_EQ(Store().LockPassword, "1234");
  EXPECT_TRUE(messages.isEmpty());

  // Not linked: nothing starts.
  W<QLineEdit>("PassPanelLabel1")->clear();
  W<QLineEdit>("NewPassLabel1")->clear();
  W("NewPassLabel1")->setEnabled(false);
  Press("UnLinkBtn");
  Type("PassPanelLabel1", QStringLiteral("1234"));
  Enter("PassPanelLabel1");
  EXPECT_FALSE(W("NewPassLabel1")->isEnabled());
}

// ---------------------------------------------------------------- keyboard lock

TEST_F(SystemPageTest, KeyboardLockPromptOncePerConnectionAndUnlock) {
  SetEmulated(0x90D, 1);
  LinkedApp::Connect();
  auto* prompt = W("FirstCheckGrop");
  EXPECT_TRUE(prompt->isVisible());
  EXPECT_EQ(app->Window().Pages().CurrentPage(), 0x0907);
  EXPECT_FALSE(W("TopTileGrop")->isEnabled());
  EXPECT_FALSE(W("FormPageItem")->isEnabled());
  EXPECT_FALSE(W("AdvPanel1")->isVisible());
  EXPECT_EQ(app->Link().FirstDownloadMarker, 2);
  EXPECT_TRUE(W("PanelPassWordEdit")->hasFocus());

  Type("PanelPassWordEdit", QStringLiteral("1111"));
  Press("UnlockOkBtn");
  EXPECT_TRUE(prompt->isVisible());
  EXPECT_EQ(Text("PanelPassWordEdit"), QString());
  EXPECT_TRUE(messages.isEmpty());

  Type("PanelPassWordEdit", QStringLiteral("12a34"));
  Press("UnlockOkBtn");
  EXPECT_FALSE(prompt->isVisible());
  EXPECT_TRUE(W("TopTileGrop")->isEnabled());
  EXPECT_TRUE(W("FormPageItem")->isEnabled());
  EXPECT_EQ(messages, QStringList{QStringLiteral("解锁成功")});

  // Later refreshes of the same connection leave the pages unlocked.
  app->Window().Refresher().RefreshFromStore(20);
  EXPECT_FALSE(prompt->isVisible());

  // The next connection asks again.
  app->Link().LinkBtnClick(true);
  RunLink();
  EXPECT_TRUE(prompt->isVisible());
  EXPECT_FALSE(W("TopTileGrop")->isEnabled());
}

TEST_F(SystemPageTest, RadioPairsShowTheirChoiceWhileThePagesAreLocked) {
  // The music input port on either member; the lock prompt disables the pages.
  for (int port : {1, 0}) {
    SCOPED_TRACE(port);
    SetEmulated(0x90D, 1);
    SetEmulated(0x90E, port);
    if (app == nullptr) {
      LinkedApp::Connect();
    } else {
      app->Link().LinkBtnClick(true);
      RunLink();
    }
    ASSERT_TRUE(W("FirstCheckGrop")->isVisible());
    auto look = [this](const char* name) {
      EXPECT_FALSE(W(name)->isEnabled()) << name;
      return W(name)->grab().toImage();
    };
    const struct {
      const char* chosen;
      const char* other;
    } pairs[] = {{"SysPanelBtn2", "SysPanelBtn1"},  // the lock: on
                 {"SysUserBtn", "SysManagerBtn"},   // user rights
                 {port == 1 ? "SysInput2" : "SysInput", port == 1 ? "SysInput" : "SysInput2"}};
    const QImage lit = look("SysPanelBtn2");
    const QImage unlit = look("SysPanelBtn1");
    ASSERT_NE(lit, unlit);
    for (const auto& pair : pairs) {
      EXPECT_EQ(look(pair.chosen), lit) << pair.chosen;
      EXPECT_EQ(look(pair.other), unlit) << pair.other;
    }
  }
}

TEST_F(SystemPageTest, TheWheelStepsNoFieldWhileThePagesAreLocked) {
  Connect();
  QTest::mouseClick(W("FormTabBtn1"), Qt::LeftButton);
  auto* field = W<QLineEdit>("MusFreEdit1");
  QTest::mouseClick(field, Qt::LeftButton);
  const int address = Tag(field);
  const int before = Store().Param(address);
  SetEmulated(0x90D, 1);
  app->Link().LinkBtnClick(true);
  RunLink();
  ASSERT_TRUE(W("FirstCheckGrop")->isVisible());
  const std::size_t frames = emulator.frameLog.size();
  QWidget* prompt = W("FirstCheckGrop");
  const QPoint at(prompt->width() / 2, 4);
  QWheelEvent wheel(QPointF(at), QPointF(prompt->mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(prompt, &wheel);
  Flush();
  EXPECT_EQ(Store().Param(address), before);
  EXPECT_EQ(emulator.frameLog.size(), frames);
}

TEST_F(SystemPageTest, APresetLoadedOfflineRaisesNoLockPromptTheNextDownloadDoes) {
  // The lock turned on while linked, manager rights: the last processor's
  // settings, kept while offline.
  Connect();
  ASSERT_TRUE(SavePresetFile(Distinct(5), Dir(), "Club"));
  app->Link().WriteParam(0x90D, 1);
  app->Link().WriteParam(0x90C, 1);
  RunLink();
  Press("UnLinkBtn");
  ASSERT_FALSE(app->Link().Connected());
  W<QLineEdit>("FileEdit")->setText(QStringLiteral("Club"));
  answers = {Answer::Yes, Answer::Yes};
  Press("LoadPresetBtn");
  ASSERT_EQ(Store().Param(0x90D), 1);
  auto* prompt = W("FirstCheckGrop");
  EXPECT_FALSE(prompt->isVisible()) << "no processor to unlock";
  EXPECT_TRUE(W("TopTileGrop")->isEnabled());
  EXPECT_TRUE(W("FormPageItem")->isEnabled());
  // Offline editing goes on: the mode name takes text, and saving a mode
  // says why it cannot.
  auto* name = W<QLineEdit>("PresetModeEdit");
  name->clear();
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("Night"));
  EXPECT_EQ(name->text(), QStringLiteral("Night"));
  messages.clear();
  Press("RzBmpButton138");
  EXPECT_EQ(messages, QStringList{QStringLiteral("设备未连接")});
  // The next connection's download asks, as it always did.
  SetEmulated(0x90D, 1);
  app->Link().LinkBtnClick(true);
  RunLink();
  EXPECT_TRUE(prompt->isVisible());
  EXPECT_FALSE(W("FormPageItem")->isEnabled());
}

TEST_F(SystemPageTest, NoPromptWithTheLockOff) {
  SetEmulated(0x90D, 0);
  LinkedApp::Connect();
  EXPECT_FALSE(W("FirstCheckGrop")->isVisible());
  EXPECT_TRUE(W("TopTileGrop")->isEnabled());
  EXPECT_EQ(app->Window().Pages().CurrentPage(), 0x0000);
}

// ---------------------------------------------------------------- volume rules

TEST_F(SystemPageTest, EachVolumeGroupKeepsBelowItsMaximum) {
  const struct {
    const char* current;
    const char* start;
    const char* maximum;
    int currentAddress;
    int startAddress;
    int maximumAddress;
  } groups[] = {{"SysMusNormalVolBar", "SysMusStartVolBar", "SysMusMaxVolBar", 0x920, 0x906, 0x907},
                {"SysMicNormalVolBar", "SysMicStartVolBar", "SysMicMaxVolBar", 0x921, 0x908, 0x909},
                {"SysEffNormalVolBar", "SysEffStartVolBar", "SysEffMaxVolBar", 0x922, 0x90A, 0x90B}};
  for (const auto& g : groups) {
    SetEmulated(g.maximumAddress, 40);
    SetEmulated(g.startAddress, 10);
    SetEmulated(g.currentAddress, 30);
  }
  Connect();
  for (const auto& g : groups) {
    SCOPED_TRACE(g.current);
    emulator.valueWrites.clear();
    W<QSlider>(g.maximum)->setValue(20);
    Flush();
    EXPECT_EQ(emulator.valueWrites,
              (std::vector<std::pair<int, int>>{{g.currentAddress, 20}, {g.maximumAddress, 20}}));
    W<QSlider>(g.start)->setValue(60);
    EXPECT_EQ(W<QSlider>(g.start)->value(), 20);
    W<QSlider>(g.current)->setValue(10);
    W<QSlider>(g.current)->setValue(50);  // one step up per change
    EXPECT_EQ(W<QSlider>(g.current)->value(), 11);
    Flush();
    EXPECT_EQ(emulator.valueWrites.back(), std::make_pair(g.currentAddress, 11));
  }
  // A refresh above the maximum shows the values and sends nothing.
  SetEmulated(0x920, 70);
  app->Link().LinkBtnClick(true);
  const std::size_t writes = emulator.valueWrites.size();
  RunLink();
  Flush();
  EXPECT_EQ(W<QSlider>("SysMusNormalVolBar")->value(), 70);
  EXPECT_EQ(W<QSlider>("SysMusMaxVolBar")->value(), 20);
  EXPECT_EQ(emulator.valueWrites.size(), writes);
}

// ---------------------------------------------------------------- operating modes

TEST_F(SystemPageTest, AutomaticModeLocksTheOutputsMixPhaseAndCrossover) {
  SetEmulated(0x000, 1);  // manual
  Connect();
  ControlRegistry& registry = app->Window().Registry();
  // The controls of the first 20 slots of channels 5..7 and 18 of channel 8,
  // value panes aside.
  auto locked = [&](bool enabled) {
    for (int channel : {5, 6, 7, 8}) {
      for (int slot = 0; slot < (channel == 8 ? 18 : 20); ++slot) {
        const int address = MakeAddress(channel, slot);
        for (QWidget* w : {registry.PrimaryControl(address), registry.CompanionControl(address),
                           registry.StepperControl(address)}) {
          if (w == nullptr || registry.IsFiller(w) || KindOf(w) == WidgetKind::ValuePane) continue;
          if (w->objectName().endsWith(QLatin1String("userQBar"))) continue;  // follows its filter type
          EXPECT_EQ(w->isEnabled(), enabled) << w->objectName().toStdString();
        }
      }
    }
  };
  locked(true);
  W<QAbstractButton>("AutoModeBtn")->click();
  Flush();
  EXPECT_EQ(Emulated(0x000), 0);
  locked(false);
  EXPECT_FALSE(W("MusScrollBox")->isEnabled());
  EXPECT_FALSE(W("SingModeBtn")->isEnabled());
  EXPECT_FALSE(W("DiscoModeBtn")->isEnabled());
  // Both slope buttons, the value panes and the equalisers of the outputs stay as they are.
  EXPECT_FALSE(W("MainMusHPslope")->isEnabled());
  EXPECT_FALSE(W("MainMusHPslope2")->isEnabled());
  EXPECT_TRUE(W("MainMusLevelPane")->isEnabled());
  EXPECT_TRUE(W("MainFreEdit1")->isEnabled());
  W<QAbstractButton>("ManulModeBtn")->click();
  Flush();
  EXPECT_EQ(Emulated(0x000), 1);
  locked(true);
  EXPECT_TRUE(W("MusScrollBox")->isEnabled());
  EXPECT_TRUE(W("SingModeBtn")->isEnabled());
}

}  // namespace
}  // namespace dsp

namespace dsp {
namespace {

// The default question box: only the affirmative button says yes; Escape or
// closing the box answers No (or Cancel).
TEST(QuestionBox, ClosingOrEscapeNeverAnswersYes) {
  const struct {
    QuestionButtons buttons;
    std::function<void(QWidget*)> act;
    Answer expected;
  } cases[] = {
      {QuestionButtons::YesNo, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }, Answer::No},
      {QuestionButtons::YesNo, [](QWidget* box) { box->close(); }, Answer::No},
      {QuestionButtons::YesNo, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }, Answer::Yes},
      {QuestionButtons::OkCancel, [](QWidget* box) { box->close(); }, Answer::Cancel},
      {QuestionButtons::OkCancel, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }, Answer::Ok},
  };
  for (const auto& c : cases) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        acted = true;
        c.act(box);
      }
    });
    EXPECT_EQ(AskWithMessageBox(nullptr, QStringLiteral("提示"), QStringLiteral("?"), c.buttons), c.expected);
    EXPECT_TRUE(acted);
  }
}

}  // namespace
}  // namespace dsp
