#include "system/prompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>

namespace dsp {

Answer AskWithMessageBox(QWidget* parent, const QString& caption, const QString& text,
                         QuestionButtons buttons, const QuestionDetails& details) {
  const bool okCancel = buttons == QuestionButtons::OkCancel;
  QMessageBox box(QMessageBox::Question, caption, text,
                  okCancel ? (QMessageBox::Ok | QMessageBox::Cancel) : (QMessageBox::Yes | QMessageBox::No),
                  parent);
  if (!details.informative.isEmpty()) box.setInformativeText(details.informative);
  if (!details.details.isEmpty()) box.setDetailedText(details.details);
  if (!details.pictures.empty()) {
    // The pictures in a row under the texts, across the box.
    auto* row = new QWidget(&box);
    row->setObjectName(QStringLiteral("QuestionPictures"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const QImage& picture : details.pictures) {
      auto* label = new QLabel(row);
      label->setPixmap(QPixmap::fromImage(picture));
      layout->addWidget(label);
    }
    layout->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
      grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
  box.setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::No);
  box.setDefaultButton(okCancel ? QMessageBox::Ok : QMessageBox::Yes);
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  if (okCancel) return clicked == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
  return clicked == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace dsp
