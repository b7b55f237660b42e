#include "mainwindow/status_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "link/device_link.h"
#include "panels/skin.h"
#include "panels/ui_text.h"

namespace dsp {

StatusDialog::StatusDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(tr("设备状态"));
  setFixedSize(306, 85);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xE8, 0xE8, 0xE8));
  setPalette(palette);
  setStyleSheet(QStringLiteral(
      "QLabel { color: #202020; background: transparent; }"
      "QProgressBar { border: 1px solid #909090; background: #ffffff; color: #202020; text-align: center; }"
      "QProgressBar::chunk { background: #a0a0a0; }"));

  label_ = new QLabel(CoreText("Link", kNotLinkedText), this);
  label_->setObjectName(QStringLiteral("LinkLabel"));
  label_->setFont(skin::UiFont(13, true));
  label_->setAlignment(Qt::AlignCenter);
  label_->setGeometry(8, 6, 290, 20);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("RzProgressStatus1"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setFont(skin::UiFont(11));
  progress_->setGeometry(12, 30, 282, 20);

  auto* note = new QLabel(tr("请稍等,可能需要几秒钟才能完成操作！"), this);
  note->setObjectName(QStringLiteral("StatusNoteLabel"));
  note->setFont(skin::UiFont(12));
  note->setAlignment(Qt::AlignCenter);
  note->setGeometry(8, 56, 290, 22);

  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("PortProblemLabel"));
  problem_->setFont(skin::UiFont(12));
  problem_->setStyleSheet(QStringLiteral("color: #a00000;"));
  problem_->setAlignment(Qt::AlignCenter);
  problem_->setWordWrap(true);
  problem_->setGeometry(8, 82, 290, 40);
  problem_->hide();

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void StatusDialog::UpdateStatus(const QString& text, int percent) {
  label_->setText(text);
  progress_->setValue(std::clamp(percent, 0, 100));
}

void StatusDialog::ShowPortProblem(const QString& text) {
  // isHidden, not isVisible: the dialog itself is hidden during a
  // background scan, and the same problem comes every second.
  if (text == problem_->text() && problem_->isHidden() == text.isEmpty()) return;
  problem_->setText(text);
  problem_->setVisible(!text.isEmpty());
  setFixedSize(306, text.isEmpty() ? 85 : 126);
}

QString StatusDialog::PortProblem() const {
  return problem_->text();
}

QString StatusDialog::StatusText() const {
  return label_->text();
}
int StatusDialog::Percent() const {
  return progress_->value();
}

}  // namespace dsp
