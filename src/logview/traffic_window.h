#pragma once
// The traffic view: a window listing the traffic log with time stamps, with
// buttons to save it to a text file (for support) and to clear it. The save
// question and the message after it go through replaceable hooks, so tests
// never block on a dialog.

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace dsp {

class TrafficLog;

class TrafficWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TrafficWindow(TrafficLog& log, QWidget* parent = nullptr);

  // Asks where to save; an empty answer cancels. Default: a file dialog.
  std::function<QString(const QString& suggestion)> AskSavePath;
  // Tells the user that the save failed. Default: a warning box.
  std::function<void(const QString& text)> ShowError;

  // Shows the window (raised and activated if it is already open).
  void Open();
  // The save button: asks for a file and writes the log to it.
  void Save();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Append(const QString& line);
  void Reload();

  TrafficLog& log_;
  QPlainTextEdit* text_;
  QLabel* note_;
  bool stale_ = false;  // entries came while the window was closed
};

}  // namespace dsp
