#include "logview/traffic_window.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "logview/traffic_log.h"

namespace dsp {

TrafficWindow::TrafficWindow(TrafficLog& log, QWidget* parent) : QWidget(parent, Qt::Window), log_(log) {
  setObjectName(QStringLiteral("TrafficWindow"));
  setWindowTitle(tr("通信记录"));
  resize(760, 480);
  // Its own plain, light look: it is a tool window, not a skinned page.
  setStyleSheet(
      QStringLiteral("QWidget#TrafficWindow { background: #f0f0f0; }"
                     "QLabel { color: #1a1a1a; background: transparent; }"
                     "QPlainTextEdit { color: #101010; background: #ffffff; border: 1px solid #a0a0a0; }"));

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("TrafficText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setMaximumBlockCount(static_cast<int>(log_.Capacity()));

  auto* save = new QPushButton(tr("保存..."), this);
  save->setObjectName(QStringLiteral("SaveTrafficBtn"));
  auto* clear = new QPushButton(tr("清空"), this);
  clear->setObjectName(QStringLiteral("ClearTrafficBtn"));
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("TrafficNoteLabel"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(note_, 1);
  buttons->addWidget(clear);
  buttons->addWidget(save);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addLayout(buttons);

  AskSavePath = [this](const QString& suggestion) {
    return QFileDialog::getSaveFileName(this, tr("保存通信记录"), suggestion,
                                        tr("文本文件 (*.txt);;所有文件 (*)"));
  };
  ShowError = [this](const QString& text) { QMessageBox::warning(this, tr("提示"), text, QMessageBox::Ok); };

  connect(save, &QPushButton::clicked, this, &TrafficWindow::Save);
  connect(clear, &QPushButton::clicked, this, [this] { log_.Clear(); });
  connect(&log_, &TrafficLog::added, this,
          [this](const TrafficLog::Entry& entry) { Append(TrafficLog::Format(entry)); });
  connect(&log_, &TrafficLog::cleared, this, [this] {
    stale_ = false;
    text_->clear();
    note_->clear();
  });
  Reload();
}

void TrafficWindow::Open() {
  show();
  raise();
  activateWindow();
}

void TrafficWindow::showEvent(QShowEvent* event) {
  if (stale_) Reload();
  QWidget::showEvent(event);
}

void TrafficWindow::Append(const QString& line) {
  // A closed window is filled when it is shown: the link's traffic, a
  // heartbeat a second, costs it nothing meanwhile.
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  // Follow the end only when the user has not scrolled back to read.
  QScrollBar* bar = text_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  text_->appendPlainText(line);
  if (atEnd) bar->setValue(bar->maximum());
}

void TrafficWindow::Reload() {
  stale_ = false;
  text_->clear();
  for (const TrafficLog::Entry& entry : log_.Entries()) text_->appendPlainText(TrafficLog::Format(entry));
}

void TrafficWindow::Save() {
  const QString suggestion = QDir::home().filePath(
      QStringLiteral("dsp-traffic-%1.txt")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
  const QString path = AskSavePath ? AskSavePath(suggestion) : QString();
  if (path.isEmpty()) return;
  QString error;
  if (!log_.Save(path, &error)) {
    note_->setText(tr("保存失败"));
    if (ShowError) ShowError(tr("无法保存通信记录到 %1：%2").arg(path, error));
    return;
  }
  note_->setText(tr("已保存到 %1").arg(path));
}

}  // namespace dsp
