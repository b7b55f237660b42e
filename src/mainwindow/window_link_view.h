#pragma once
// The link's view of the screen: status text and dialog, message boxes,
// link buttons, the diagnostic log, the device code and the link timers.
// Message boxes go through a replaceable sink so tests never block on a
// modal box.

#include <QCoreApplication>
#include <QString>
#include <QTimer>
#include <functional>

#include "i18n/language.h"
#include "link/link_view.h"

class QLabel;

namespace dsp {

class MainWindow;
class StatusDialog;

class WindowLinkView : public LinkView {
  Q_DECLARE_TR_FUNCTIONS(WindowLinkView)

 public:
  using MessageSink = std::function<void(const QString& caption, const QString& text)>;

  WindowLinkView(MainWindow& window, StatusDialog& dialog);

  void SetMessageSink(MessageSink sink) { sink_ = std::move(sink); }
  // Starts or stops one of the link's timers; set by the application.
  std::function<void(LinkTimer, bool)> TimerControl;
  // Receives every diagnostic line, status text and message as well (the
  // traffic log); set by the application.
  std::function<void(const std::string&)> LogTap;

  // The link's texts in the language of the installed translation.
  const Translator& Texts() const override { return texts_; }
  void SetStatusText(const std::string& text) override;
  void UpdateStatusDialog(const std::string& text, int percent) override;
  void SetStatusDialogVisible(bool visible) override;
  void ShowMessage(const std::string& text) override;
  void ShowLinkButtons(bool connected) override;
  void RefreshFromStore(int which) override;
  void RebuildModeList() override;
  void ShowMainWindow() override;
  void SetTimerRunning(LinkTimer timer, bool running) override;
  void AppendLog(const std::string& line) override;
  void ClearLog() override;
  void ShowDeviceId(const std::string& text) override;
  void ShowSelectedPort(int index) override;
  void ShowPortProblem(const std::string& text) override;
  // The editing session hears of every transfer.
  void TransferStarted(Transfer kind) override;
  void TransferFinished(Transfer kind) override;
  void TransferBroken(Transfer kind) override;
  // "等待设备确认: N" in the status line while frames wait; gone at 0.
  void ShowBacklog(int waiting) override;

  // What the editing session tells ("离线编辑: Club", a refused undo); shown
  // in front of the status text, empty for nothing.
  void ShowEditNote(const QString& note);
  // A short hint (a character the mode name cannot keep) at the front of
  // the status line, where it covers no control; it goes after a few
  // seconds or with the next hint.
  void ShowHint(const QString& hint);
  QString Hint() const { return hint_; }

 private:
  InstalledTranslation texts_;
  // The visible status line of the title strip: the status text, and why
  // the last port would not open while that matters.
  void UpdateStatusLine();
  void Tap(const std::string& line);

  MainWindow& window_;
  StatusDialog& dialog_;
  MessageSink sink_;
  QLabel* statusLine_;  // LinkStatusLine of the title strip
  QString status_;
  QString problem_;
  QString note_;
  QString hint_;
  int backlog_ = 0;
  QTimer* hintTimer_;
};

}  // namespace dsp
