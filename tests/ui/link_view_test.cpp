// What the link shows on the screen through the window's LinkView: status
// text and dialog, messages, link buttons, mode list, log and device code.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>

#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "panels/picture_button.h"
#include "ui_fixture.h"

namespace dsp {
namespace {

class LinkViewTest : public StartedWindow {
 protected:
  void SetUp() override {
    StartedWindow::SetUp();
    view = std::make_unique<WindowLinkView>(*window, dialog);
    view->SetMessageSink(
        [this](const QString& caption, const QString& text) { messages << caption + "|" + text; });
  }
  StatusDialog dialog;
  std::unique_ptr<WindowLinkView> view;
  QStringList messages;
};

TEST(StatusDialogTest, HasItsCaptionSizeAndFixedLine) {
  StatusDialog dialog;
  EXPECT_EQ(dialog.objectName(), QStringLiteral("TForm2"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设备状态"));
  EXPECT_EQ(dialog.size(), QSize(306, 85));
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(dialog.StatusText(), QStringLiteral("设备未连接"));
  EXPECT_NE(dialog.findChild<QProgressBar*>(QStringLiteral("RzProgressStatus1")), nullptr);
  bool found = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    found = found || label->text() == QStringLiteral("请稍等,可能需要几秒钟才能完成操作！");
  }
  EXPECT_TRUE(found);
}

TEST_F(LinkViewTest, StatusTextDialogAndVisibility) {
  view->SetStatusText("设备搜索...");
  EXPECT_EQ(window->LinkLabel()->text(), QStringLiteral("设备搜索..."));
  view->UpdateStatusDialog("连接中...", 38);
  EXPECT_EQ(dialog.StatusText(), QStringLiteral("连接中..."));
  EXPECT_EQ(dialog.Percent(), 38);
  view->SetStatusDialogVisible(true);
  EXPECT_TRUE(dialog.isVisible());
  view->SetStatusDialogVisible(false);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LinkViewTest, MessagesGoToTheSinkWithTheirCaption) {
  view->ShowMessage("连接失败!");
  view->ShowMessage("已断开连接!");
  EXPECT_EQ(messages, QStringList({"提示|连接失败!", "提示|已断开连接!"}));
}

TEST_F(LinkViewTest, LinkButtonsLightTheStateShown) {
  auto* link = W<PictureButton>("LinkBtn");
  auto* unlink = W<PictureButton>("UnLinkBtn");
  auto lit = [](PictureButton* b) {
    return b->picture(PictureButton::Normal).cacheKey() == b->picture(PictureButton::Pressed).cacheKey();
  };
  auto dark = [](PictureButton* b) {
    return b->picture(PictureButton::Normal).cacheKey() == b->picture(PictureButton::Disabled).cacheKey();
  };
  EXPECT_TRUE(lit(unlink) && dark(link));  // not linked at start-up
  view->ShowLinkButtons(true);
  EXPECT_TRUE(lit(link) && dark(unlink));
  view->ShowLinkButtons(false);
  EXPECT_TRUE(lit(unlink) && dark(link));
}

TEST_F(LinkViewTest, ModeListIsRebuiltFromTheNamesKeepingTheSelection) {
  auto* box = W<QComboBox>("SysModeBox");
  box->setCurrentIndex(11);
  store.ModeNames[0] = "Party";
  store.ModeNames[11] = "Club";
  view->RebuildModeList();
  ASSERT_EQ(box->count(), 15);
  EXPECT_EQ(box->itemText(0), QStringLiteral("1-Party"));
  EXPECT_EQ(box->itemText(2), QStringLiteral("3-"));
  EXPECT_EQ(box->itemText(11), QStringLiteral("12-Club"));
  EXPECT_EQ(box->currentIndex(), 11);
}

TEST_F(LinkViewTest, LogDeviceCodeTimersAndRefreshAreForwarded) {
  view->AppendLog("RX FE BB");
  view->AppendLog("RX FE AA");
  EXPECT_EQ(window->Log()->toPlainText(), QStringLiteral("RX FE BB\nRX FE AA"));
  view->ClearLog();
  EXPECT_TRUE(window->Log()->toPlainText().isEmpty());
  view->ShowDeviceId("1234ABCD");
  EXPECT_EQ(W<QLabel>("DeviceIDLabel")->text(), QStringLiteral("1234ABCD"));
  std::vector<std::pair<LinkTimer, bool>> timers;
  view->TimerControl = [&timers](LinkTimer t, bool on) { timers.emplace_back(t, on); };
  view->SetTimerRunning(LinkTimer::Hold, true);
  view->SetTimerRunning(LinkTimer::Scan, false);
  const std::vector<std::pair<LinkTimer, bool>> expected{{LinkTimer::Hold, true}, {LinkTimer::Scan, false}};
  EXPECT_EQ(timers, expected);
  store.SetDevice(3, DeviceIndex(3, 7, 0), 40);  // echo delay
  view->RefreshFromStore(3);
  EXPECT_EQ(W<QSlider>("EchoTimeBar")->value(), 40);
  EXPECT_EQ(W<QLabel>("EchoTimePane")->text(), QStringLiteral("80"));
}

}  // namespace
}  // namespace dsp
