#pragma once
// The network ports the user added (tcp://HOST:PORT, rfc2217://HOST:PORT),
// remembered between runs in the settings file and scanned like serial
// ports, and the small window that adds and removes them ("网络端口",
// Ctrl+N, or "网络端口..." on the right-click menu of "联机").

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

namespace dsp {

class NetworkPortList {
  Q_DECLARE_TR_FUNCTIONS(NetworkPortList)

 public:
  // Remembered in the INI file `settingsPath`; empty: the user's settings.
  explicit NetworkPortList(QString settingsPath = {});

  const QStringList& Names() const { return names_; }
  // Adds a usable network port name (trimmed); false with the reason
  // (shown to the user) when it is no network address or already listed.
  bool Add(const QString& name, QString* why = nullptr);
  void Remove(const QString& name);

 private:
  void Save() const;

  QString settingsPath_;
  QStringList names_;
};

class NetworkPortsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NetworkPortsDialog(NetworkPortList& ports, QWidget* parent = nullptr);
  // Called after every change of the list.
  std::function<void()> Changed;

  void Add();
  void RemoveSelected();

 private:
  void Reload();

  NetworkPortList& ports_;
  QListWidget* list_;
  QLineEdit* entry_;
  QLabel* problem_;
};

}  // namespace dsp
