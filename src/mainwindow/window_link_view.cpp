#include "mainwindow/window_link_view.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "editing/edit_session.h"
#include "editing/store_refresh.h"
#include "mainwindow/main_window.h"
#include "mainwindow/status_dialog.h"
#include "store/param_store.h"

namespace dsp {

namespace {
QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
}  // namespace

WindowLinkView::WindowLinkView(MainWindow& window, StatusDialog& dialog)
    : window_(window),
      dialog_(dialog),
      statusLine_(window.findChild<QLabel*>(QStringLiteral("LinkStatusLine"))),
      hintTimer_(new QTimer(&window)) {
  hintTimer_->setSingleShot(true);
  hintTimer_->setInterval(5000);
  QObject::connect(hintTimer_, &QTimer::timeout, &window, [this] { ShowHint(QString()); });
  sink_ = [this](const QString& caption, const QString& text) {
    QMessageBox::information(&window_, caption, text, QMessageBox::Ok);
  };
}

void WindowLinkView::Tap(const std::string& line) {
  if (LogTap) LogTap(line);
}

void WindowLinkView::SetStatusText(const std::string& text) {
  const QString status = Q(text);
  window_.LinkLabel()->setText(status);
  if (status != status_) Tap(tr("状态: %1").arg(status).toStdString());
  status_ = status;
  UpdateStatusLine();
}

void WindowLinkView::ShowPortProblem(const std::string& text) {
  problem_ = Q(text);
  dialog_.ShowPortProblem(problem_);
  UpdateStatusLine();
}

void WindowLinkView::UpdateStatusLine() {
  QLabel* line = statusLine_;
  if (line == nullptr) return;
  // A port problem explains a scan that finds nothing; once linked it is
  // no longer news.
  const bool linked = status_ == QCoreApplication::translate("Link", "设备已连接");
  QString full = problem_.isEmpty() || linked ? status_ : status_ + QStringLiteral("  ") + problem_;
  if (backlog_ > 0) full = tr("等待设备确认: %1").arg(backlog_) + QStringLiteral("  ") + full;
  if (!note_.isEmpty()) full = note_ + QStringLiteral("  ") + full;
  if (!hint_.isEmpty()) full = hint_ + QStringLiteral("  ") + full;
  // The whole text, also when the line shows it shortened.
  line->setAccessibleName(full);
  line->setText(line->fontMetrics().elidedText(full, Qt::ElideRight, line->width()));
}

void WindowLinkView::ShowEditNote(const QString& note) {
  if (note == note_) return;
  note_ = note;
  if (!note.isEmpty()) Tap(tr("编辑: %1").arg(note).toStdString());
  UpdateStatusLine();
}

void WindowLinkView::ShowBacklog(int waiting) {
  if (waiting == backlog_) return;
  backlog_ = waiting;
  UpdateStatusLine();
}

void WindowLinkView::ShowHint(const QString& hint) {
  hint_ = hint;
  if (hint.isEmpty())
    hintTimer_->stop();
  else
    hintTimer_->start();
  UpdateStatusLine();
}

void WindowLinkView::TransferStarted(Transfer kind) {
  window_.Editor().Session().TransferStarted(kind);
}

void WindowLinkView::TransferFinished(Transfer kind) {
  window_.Editor().Session().TransferFinished(kind);
}

void WindowLinkView::TransferBroken(Transfer kind) {
  window_.Editor().Session().TransferBroken(kind);
}

void WindowLinkView::UpdateStatusDialog(const std::string& text, int percent) {
  dialog_.UpdateStatus(Q(text), percent);
}

void WindowLinkView::SetStatusDialogVisible(bool visible) {
  if (visible) {
    dialog_.show();
    dialog_.raise();
  } else {
    dialog_.hide();
  }
}

void WindowLinkView::ShowMessage(const std::string& text) {
  Tap(tr("提示: %1").arg(Q(text)).toStdString());
  if (sink_) sink_(tr("提示"), Q(text));
}

void WindowLinkView::ShowLinkButtons(bool connected) {
  const QString name = connected ? QStringLiteral("LinkBtn") : QStringLiteral("UnLinkBtn");
  window_.Visual().Apply(window_.Registry().Named(name), ButtonVisual::kLinkPair);
}

void WindowLinkView::RefreshFromStore(int which) {
  window_.Refresher().RefreshFromStore(which);
}

void WindowLinkView::RebuildModeList() {
  auto* box = qobject_cast<QComboBox*>(window_.Registry().Named(QStringLiteral("SysModeBox")));
  if (box != nullptr) dsp::RebuildModeList(box, window_.Store(), box->currentIndex());
}

void WindowLinkView::ShowMainWindow() {
  window_.show();
  window_.raise();
}

void WindowLinkView::SetTimerRunning(LinkTimer timer, bool running) {
  if (TimerControl) TimerControl(timer, running);
}

void WindowLinkView::AppendLog(const std::string& line) {
  window_.Log()->appendPlainText(Q(line));
  Tap(line);
}

void WindowLinkView::ClearLog() {
  window_.Log()->clear();
}

void WindowLinkView::ShowDeviceId(const std::string& text) {
  if (auto* label = qobject_cast<QLabel*>(window_.Registry().Named(QStringLiteral("DeviceIDLabel")))) {
    label->setText(Q(text));
  }
}

void WindowLinkView::ShowSelectedPort(int index) {
  // The hidden port list follows the scan; -1 leaves no entry selected.
  window_.PortList()->setCurrentIndex(index);
}

}  // namespace dsp
