#include "system/prompts.h"

#include <QMessageBox>

namespace dsp {

Answer AskWithMessageBox(QWidget* parent, const QString& caption, const QString& text,
                         QuestionButtons buttons, const QuestionDetails& details) {
  const bool okCancel = buttons == QuestionButtons::OkCancel;
  QMessageBox box(QMessageBox::Question, caption, text,
                  okCancel ? (QMessageBox::Ok | QMessageBox::Cancel) : (QMessageBox::Yes | QMessageBox::No),
                  parent);
  if (!details.informative.isEmpty()) box.setInformativeText(details.informative);
  if (!details.details.isEmpty()) box.setDetailedText(details.details);
  box.setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::No);
  box.setDefaultButton(okCancel ? QMessageBox::Ok : QMessageBox::Yes);
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  if (okCancel) return clicked == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
  return clicked == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace dsp
