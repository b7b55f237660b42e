#pragma once
// The running application: the parameter store, the main window, the link
// to the processor on a real serial port with its three timers, and the
// status dialog, wired together.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "i18n/language.h"
#include "store/param_store.h"
#include "venue/rooms_file.h"

namespace dsp {

class DeviceLink;
class LinkWriter;
class QtLinkTimers;
class MainWindow;
class NetworkPortList;
class NetworkPortsDialog;
class SerialPort;
class StatusDialog;
class SystemPage;
class TrafficLog;
class TrafficTap;
class TrafficWindow;
class WindowLinkView;

// What the command line may set.
struct AppOptions {
  QStringList ports;  // tried first when scanning for the processor
  QString presetDir;  // the preset folder; empty: the default folder
  // The settings file (the remembered network ports); empty: the user's.
  QString settingsPath = {};
  // A rooms file whose rooms the title strip offers (--rooms); empty: the
  // one remembered in the settings, if any.
  QString roomsFile = {};
};

class Application {
  Q_DECLARE_TR_FUNCTIONS(Application)

 public:
  explicit Application(AppOptions options);
  // The same on a given port (an in-process emulator in tests).
  Application(std::unique_ptr<SerialPort> port, AppOptions options);
  // Only ports to try first; everything else at its default.
  explicit Application(QStringList extraPorts);
  Application(std::unique_ptr<SerialPort> port, QStringList extraPorts);
  ~Application();

  const AppOptions& Options() const { return options_; }

  // Shows the main window; its first show runs the start-up sequence.
  void Start();

  ParamStore& Store() { return store_; }
  MainWindow& Window() { return *window_; }
  StatusDialog& Dialog() { return *dialog_; }
  WindowLinkView& View() { return *view_; }
  DeviceLink& Link() { return *link_; }
  QtLinkTimers& LinkTimers() { return *timers_; }
  QTimer& ScanTimer();
  QTimer& TransferTimer();
  QTimer& HoldTimer();
  // The system page's presets, modes, passwords and keyboard lock.
  SystemPage& System() { return *system_; }
  TrafficLog& Traffic() { return *traffic_; }
  TrafficWindow& TrafficView() { return *trafficWindow_; }
  // The remembered network ports and the window that edits them.
  NetworkPortList& NetworkPorts() { return *networkPorts_; }
  NetworkPortsDialog& NetworkPortsWindow() { return *networkDialog_; }

  // The rooms of the rooms file in use (empty without one), and why the
  // file was refused (empty when it was read).
  const std::vector<RoomEntry>& Rooms() const { return rooms_; }
  const QString& RoomsProblem() const { return roomsProblem_; }
  // Links to room `index` of Rooms(): says goodbye to the processor linked
  // now, scans that room's port only and names the room in the title; -1
  // goes back to every port. The room chooser in the title strip
  // ("RoomChooser") does this.
  void ChooseRoom(int index);
  // The room chosen, -1 for none.
  int ChosenRoom() const { return room_; }

 private:
  // The ports to scan: those of the command line first, then the
  // remembered network ports, then the machine's serial ports.
  std::vector<std::string> PortNames() const;
  // The hidden port list shows `names`.
  void ShowPortList(const std::vector<std::string>& names);
  // Lists the ports into the hidden list and the link.
  void FillPortList();
  // Reads the rooms file (the option's, else the remembered one) and builds
  // the room chooser.
  void SetUpRooms();
  void ShowRoomInTitle();

  AppOptions options_;
  InstalledTranslation texts_;  // the core's texts in the window's language
  ParamStore store_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<TrafficLog> traffic_;
  std::unique_ptr<TrafficTap> tap_;  // the link's port: port_ with its traffic recorded
  std::unique_ptr<TrafficWindow> trafficWindow_;
  std::unique_ptr<NetworkPortList> networkPorts_;
  std::unique_ptr<NetworkPortsDialog> networkDialog_;
  std::unique_ptr<StatusDialog> dialog_;
  std::unique_ptr<WindowLinkView> view_;
  std::unique_ptr<DeviceLink> link_;
  std::unique_ptr<LinkWriter> writer_;
  std::unique_ptr<SystemPage> system_;
  std::unique_ptr<QtLinkTimers> timers_;
  std::vector<RoomEntry> rooms_;
  QString roomsProblem_;
  int room_ = -1;
  QString baseTitle_;
};

}  // namespace dsp
