#pragma once
// The small always-on-top dialog that shows the link status and the
// progress of a transfer.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace dsp {

class StatusDialog : public QDialog {
  Q_OBJECT
 public:
  explicit StatusDialog(QWidget* parent = nullptr);

  // Shows the status text and the percent complete.
  void UpdateStatus(const QString& text, int percent);
  QString StatusText() const;
  int Percent() const;
  // Why the port just tried could not be opened, in a line below the
  // others (the dialog grows for it); empty hides it.
  void ShowPortProblem(const QString& text);
  QString PortProblem() const;

 private:
  QLabel* label_;
  QLabel* problem_;
  QProgressBar* progress_;
};

}  // namespace dsp
