#include "mainwindow/application.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <cstdio>
#include <memory>

#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/param_writer.h"
#include "editing/store_refresh.h"
#include "graph/graph_paint.h"
#include "link/device_link.h"
#include "link/frames.h"
#include "ports/qt_any_port.h"
#include "link/qt_link_timers.h"
#include "ports/qt_serial_port.h"
#include "logview/traffic_log.h"
#include "logview/traffic_tap.h"
#include "logview/traffic_window.h"
#include "mainwindow/main_window.h"
#include "mainwindow/network_ports.h"
#include "mainwindow/status_dialog.h"
#include "mainwindow/window_link_view.h"
#include "panels/picture_button.h"
#include "presets/preset_library.h"
#include "system/mode_panel.h"
#include "system/system_page.h"

namespace dsp {

namespace {

constexpr const char* kRoomsFileKey = "rooms/file";

std::unique_ptr<QSettings> OpenAppSettings(const QString& path) {
  if (!path.isEmpty()) return std::make_unique<QSettings>(path, QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("dsp-control"),
                                     QStringLiteral("dsp-control"));
}

std::filesystem::path LocalPath(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The portable preset folder may be used when it, or the nearest folder
// of its path that exists, may be written.
bool PortableFolderWritable(const QString& exeDir) {
  for (const QString& path :
       {exeDir + QStringLiteral("/Mode/J4100Mode"), exeDir + QStringLiteral("/Mode"), exeDir}) {
    const QFileInfo info(path);
    if (info.exists()) return info.isDir() && info.isWritable();
  }
  return false;
}

// The folder given on the command line, else the portable folder beside the
// executable when it may be written, else the user's application data.
std::filesystem::path PresetFolder(const AppOptions& options) {
  const QString exeDir = QCoreApplication::applicationDirPath();
  QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (appData.isEmpty())
    appData = QDir::homePath() + QStringLiteral("/.") + QCoreApplication::applicationName();
  return ChoosePresetFolder(LocalPath(options.presetDir), LocalPath(exeDir), PortableFolderWritable(exeDir),
                            LocalPath(appData));
}

}  // namespace

Application::Application(AppOptions options) : Application(MakePort(), std::move(options)) {}

Application::Application(QStringList extraPorts) : Application(AppOptions{std::move(extraPorts), {}}) {}

Application::Application(std::unique_ptr<SerialPort> port, QStringList extraPorts)
    : Application(std::move(port), AppOptions{std::move(extraPorts), {}}) {}

Application::Application(std::unique_ptr<SerialPort> port, AppOptions options)
    : options_(std::move(options)) {
  // The main window first, then the link with its port and timers, then the
  // status dialog.
  window_ = std::make_unique<MainWindow>(store_);
  port_ = std::move(port);
  traffic_ = std::make_unique<TrafficLog>();
  tap_ = std::make_unique<TrafficTap>(
      *port_, [this](const std::string& line) { traffic_->Add(QString::fromStdString(line)); }, texts_);
  dialog_ = std::make_unique<StatusDialog>();
  view_ = std::make_unique<WindowLinkView>(*window_, *dialog_);
  view_->LogTap = [this](const std::string& line) {
    tap_->FlushReceived();
    traffic_->Add(QString::fromStdString(line));
  };
  link_ = std::make_unique<DeviceLink>(store_, *tap_, *view_);
  // After a loss of link the processor is looked for again in the
  // background, on the ports as they are listed at that moment.
  link_->SetAutoReconnect(true);
  link_->ListPorts = [this] {
    std::vector<std::string> names = PortNames();
    ShowPortList(names);
    return names;
  };

  // The traffic view: from its title-strip button and with Ctrl+L.
  trafficWindow_ = std::make_unique<TrafficWindow>(*traffic_);
  if (auto* button = window_->findChild<PictureButton*>(QStringLiteral("LogViewBtn"))) {
    QObject::connect(button, &QAbstractButton::clicked, [this] { trafficWindow_->Open(); });
  }
  auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), window_.get());
  shortcut->setObjectName(QStringLiteral("TrafficShortcut"));
  shortcut->setContext(Qt::ApplicationShortcut);
  QObject::connect(shortcut, &QShortcut::activated, [this] { trafficWindow_->Open(); });

  // Network ports added by the user: remembered, scanned like serial ports.
  // A port added while nothing is linked is tried at once.
  networkPorts_ = std::make_unique<NetworkPortList>(options_.settingsPath);
  networkDialog_ = std::make_unique<NetworkPortsDialog>(*networkPorts_, window_.get());
  networkDialog_->Changed = [this] {
    FillPortList();
    if (link_->StatusText() == kNotLinkedText) window_->Hooks().startLink();
  };
  auto openNetworkPorts = [this] {
    networkDialog_->show();
    networkDialog_->raise();
    networkDialog_->activateWindow();
  };
  auto* networkShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+N")), window_.get());
  networkShortcut->setObjectName(QStringLiteral("NetworkPortsShortcut"));
  networkShortcut->setContext(Qt::ApplicationShortcut);
  QObject::connect(networkShortcut, &QShortcut::activated, openNetworkPorts);
  if (auto* button = window_->findChild<PictureButton*>(QStringLiteral("LinkBtn"))) {
    auto* action = new QAction(tr("网络端口... (Ctrl+N)"), button);
    action->setObjectName(QStringLiteral("NetworkPortsAction"));
    QObject::connect(action, &QAction::triggered, openNetworkPorts);
    button->addAction(action);
    button->setContextMenuPolicy(Qt::ActionsContextMenu);
  }

  // The link's timers wake only while they have work: an idle link once
  // a second for its heartbeat.
  timers_ = std::make_unique<QtLinkTimers>(*link_);
  view_->TimerControl = [this](LinkTimer timer, bool running) { timers_->SetRunning(timer, running); };

  // The connect and disconnect buttons: the pair shows which was pressed,
  // then the link starts or stops.
  for (const char* name : {"LinkBtn", "UnLinkBtn"}) {
    auto* button = window_->findChild<PictureButton*>(QString::fromLatin1(name));
    if (button == nullptr) continue;
    const bool connect = QLatin1String(name) == QLatin1String("LinkBtn");
    QObject::connect(button, &QAbstractButton::clicked, [this, button, connect] {
      window_->Visual().Apply(button, ButtonVisual::kLinkPair);
      link_->LinkBtnClick(connect);
    });
  }

  window_->Hooks().startLink = [this] {
    FillPortList();
    window_->Visual().Apply(window_->findChild<PictureButton*>(QStringLiteral("LinkBtn")),
                            ButtonVisual::kLinkPair);
    link_->LinkBtnClick(true);
    // The first port is tried as soon as the window is up, not a scan
    // period later.
    timers_->ScanAtOnce();
  };
  // Every change made on the panels goes to the processor through the link.
  writer_ = std::make_unique<LinkWriter>(*link_);
  window_->Pipeline().SetWriter(writer_.get());
  // Undo, redo and A/B switches go out through the same pacing; the session
  // tells in the status line.
  window_->Editor().Session().SetLink(link_.get());
  // A report made while linked names the processor.
  window_->ReportDevice = [this] { return link_ && link_->Connected() ? link_->DeviceId : std::string(); };
  window_->Editor().Session().ShowNote = [this](const QString& note) { view_->ShowEditNote(note); };
  // The panels' messages ("error") go through the same box as the link's,
  // so one replaceable sink sees every message of the application.
  window_->Pipeline().ShowMessage = [this](const QString& text) { view_->ShowMessage(text.toStdString()); };
  system_ = std::make_unique<SystemPage>(window_->Editor(), store_, *link_, *view_, PresetFolder(options_));
  // The load question's curve pictures are painted by the graph's code.
  system_->Services().curvePictures = [](const ParamStore& now, const ParamStore& file) {
    return CurveComparisons(now, file, QSize(220, 80));
  };
  system_->Services().sendText = [this](int address, const std::string& digits) {
    try {
      SendTextCommand(*tap_, address, digits);
    } catch (const SerialPortError& e) {
      view_->AppendLog(std::string("write failed: ") + e.what());
    }
  };
  // A character the mode name cannot keep is told in the status line: a
  // tooltip under the name field would cover the mode buttons below it.
  system_->Modes().ShowNameHint = [this](const QString& text) { view_->ShowHint(text); };
  window_->Hooks().preparePresets = [this] { system_->PreparePresets(); };
  window_->Refresher().ShowLockPrompt = [this] { system_->ShowLockPrompt(); };
  SetUpRooms();
  window_->CloseHook = [this] {
    link_->OnCloseRequest();
    for (LinkTimer timer : {LinkTimer::Scan, LinkTimer::Transfer, LinkTimer::Hold})
      timers_->SetRunning(timer, false);
    dialog_->hide();
    trafficWindow_->close();
    networkDialog_->close();
    QCoreApplication::quit();
  };
}

Application::~Application() {
  // The timers drive the link; they go first.
  view_->TimerControl = nullptr;
  timers_.reset();
  // The system page uses the link; it goes before it.
  window_->Refresher().ShowLockPrompt = nullptr;
  system_.reset();
  // The link refers to the view and the port; it goes first, after the
  // panels stopped writing to it.
  window_->Pipeline().SetWriter(nullptr);
  window_->Editor().Session().SetLink(nullptr);
  window_->Editor().Session().ShowNote = nullptr;
  writer_.reset();
  link_.reset();
  view_->LogTap = nullptr;
  tap_.reset();
}

QTimer& Application::ScanTimer() {
  return timers_->Scan();
}

QTimer& Application::TransferTimer() {
  return timers_->Transfer();
}

QTimer& Application::HoldTimer() {
  return timers_->Hold();
}

std::vector<std::string> Application::PortNames() const {
  std::vector<std::string> names;
  // A chosen room: its port only, so that no other room's processor answers.
  if (room_ >= 0 && room_ < static_cast<int>(rooms_.size())) return {rooms_[static_cast<std::size_t>(room_)].port};
  for (const QString& extra : options_.ports) names.push_back(extra.toStdString());
  for (const QString& remembered : networkPorts_->Names()) {
    const std::string name = remembered.toStdString();
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  for (const std::string& name : QtSerialPort::AvailablePortNames()) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

void Application::ShowPortList(const std::vector<std::string>& names) {
  QComboBox* list = window_->PortList();
  list->clear();
  for (const std::string& name : names) list->addItem(QString::fromStdString(name));
}

void Application::FillPortList() {
  const std::vector<std::string> names = PortNames();
  ShowPortList(names);
  link_->SetPortList(names);
}

void Application::Start() {
  window_->show();
}

void Application::SetUpRooms() {
  baseTitle_ = window_->windowTitle();
  const std::unique_ptr<QSettings> settings = OpenAppSettings(options_.settingsPath);
  QString file = options_.roomsFile;
  if (file.isEmpty()) file = settings->value(QLatin1String(kRoomsFileKey)).toString();
  if (file.isEmpty()) return;
  const RoomsParse parse = ReadRoomsFile(LocalPath(file));
  if (!parse.ok()) {
    roomsProblem_ = QString::fromStdString(RoomsErrorLine(file.toStdString(), parse));
    std::fprintf(stderr, "dsp-control: %s\n", qPrintable(roomsProblem_));
    return;
  }
  rooms_ = parse.rooms;
  // A file given on the command line is remembered for the next start.
  if (!options_.roomsFile.isEmpty()) settings->setValue(QLatin1String(kRoomsFileKey), QFileInfo(file).absoluteFilePath());

  // The title text makes room for the chooser.
  if (auto* label = window_->findChild<QLabel*>(QStringLiteral("TitleLabel"))) label->resize(350, label->height());
  auto* chooser = new QComboBox(window_.get());
  chooser->setObjectName(QStringLiteral("RoomChooser"));
  chooser->setGeometry(380, 3, 180, 22);
  chooser->setFocusPolicy(Qt::NoFocus);
  chooser->setToolTip(tr("房间: 选择一个房间即连接到它的端口"));
  chooser->addItem(tr("(所有端口)"));
  for (const RoomEntry& room : rooms_)
    chooser->addItem(QString::fromStdString(room.name), QString::fromStdString(room.port));
  chooser->show();
  QObject::connect(chooser, &QComboBox::activated, [this](int item) { ChooseRoom(item - 1); });
}

void Application::ChooseRoom(int index) {
  if (index < -1 || index >= static_cast<int>(rooms_.size()) || index == room_) return;
  // Goodbye to the processor linked now, then the scan on the room's port.
  link_->LinkBtnClick(false);
  room_ = index;
  if (auto* chooser = window_->findChild<QComboBox*>(QStringLiteral("RoomChooser")))
    chooser->setCurrentIndex(index + 1);
  ShowRoomInTitle();
  // Presets saved while a room is linked are named after it by default.
  if (index >= 0) {
    if (auto* name = window_->findChild<QLineEdit*>(QStringLiteral("FileEdit")))
      name->setText(QString::fromStdString(rooms_[static_cast<std::size_t>(index)].name));
  }
  if (window_->Hooks().startLink) window_->Hooks().startLink();
}

void Application::ShowRoomInTitle() {
  const QString title = room_ < 0 ? baseTitle_
                                  : tr("%1 - 房间 %2").arg(baseTitle_,
                                                          QString::fromStdString(rooms_[static_cast<std::size_t>(room_)].name));
  window_->setWindowTitle(title);
  if (auto* label = window_->findChild<QLabel*>(QStringLiteral("TitleLabel"))) label->setText(title);
}

}  // namespace dsp
