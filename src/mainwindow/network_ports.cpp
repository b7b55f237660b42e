#include "mainwindow/network_ports.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <memory>

#include "ports/port_address.h"

namespace dsp {

namespace {

constexpr const char* kKey = "network/ports";

std::unique_ptr<QSettings> OpenSettings(const QString& path) {
  if (!path.isEmpty()) return std::make_unique<QSettings>(path, QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("dsp-control"), QStringLiteral("dsp-control"));
}

}  // namespace

NetworkPortList::NetworkPortList(QString settingsPath) : settingsPath_(std::move(settingsPath)) {
  // Only names that still parse: a hand-edited file cannot add a device path.
  for (const QString& name : OpenSettings(settingsPath_)->value(QLatin1String(kKey)).toStringList()) {
    const auto address = ParsePortName(name.toStdString());
    if (address && address->kind != PortKind::Serial && !names_.contains(name)) names_ << name;
  }
}

bool NetworkPortList::Add(const QString& text, QString* why) {
  const QString name = text.trimmed();
  std::string reason;
  const auto address = ParsePortName(name.toStdString(), &reason);
  if (!address || address->kind == PortKind::Serial) {
    if (why != nullptr)
      *why = address ? tr("请输入 tcp://主机:端口 或 rfc2217://主机:端口")
                     : tr("地址无效: %1").arg(QString::fromStdString(reason));
    return false;
  }
  if (names_.contains(name)) {
    if (why != nullptr) *why = tr("已在列表中");
    return false;
  }
  names_ << name;
  Save();
  return true;
}

void NetworkPortList::Remove(const QString& name) {
  if (names_.removeAll(name) > 0) Save();
}

void NetworkPortList::Save() const {
  auto settings = OpenSettings(settingsPath_);
  settings->setValue(QLatin1String(kKey), names_);
  settings->sync();
}

NetworkPortsDialog::NetworkPortsDialog(NetworkPortList& ports, QWidget* parent)
    : QDialog(parent), ports_(ports) {
  setObjectName(QStringLiteral("NetworkPortsDialog"));
  setWindowTitle(tr("网络端口"));
  setStyleSheet(QStringLiteral("QDialog { background: #f0f0f0; } QLabel { color: #1a1a1a; }"));
  auto* intro =
      new QLabel(tr("串口服务器上的处理器: tcp://主机:端口 (原始 TCP) 或 rfc2217://主机:端口。\n"
                    "列表中的端口与串口一起搜索,并在下次启动时保留。"),
                 this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("NetworkPortList"));
  entry_ = new QLineEdit(this);
  entry_->setObjectName(QStringLiteral("NetworkPortEdit"));
  entry_->setPlaceholderText(QStringLiteral("rfc2217://192.168.1.20:4001"));
  auto* add = new QPushButton(tr("添加"), this);
  add->setObjectName(QStringLiteral("AddNetworkPortBtn"));
  auto* remove = new QPushButton(tr("删除"), this);
  remove->setObjectName(QStringLiteral("RemoveNetworkPortBtn"));
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("NetworkPortProblem"));
  problem_->setStyleSheet(QStringLiteral("color: #a00000;"));

  auto* row = new QHBoxLayout;
  row->addWidget(entry_, 1);
  row->addWidget(add);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(list_, 1);
  layout->addLayout(row);
  layout->addWidget(problem_);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(remove);
  layout->addLayout(bottom);
  resize(420, 300);

  connect(add, &QPushButton::clicked, this, &NetworkPortsDialog::Add);
  connect(entry_, &QLineEdit::returnPressed, this, &NetworkPortsDialog::Add);
  connect(remove, &QPushButton::clicked, this, &NetworkPortsDialog::RemoveSelected);
  Reload();
}

void NetworkPortsDialog::Reload() {
  list_->clear();
  list_->addItems(ports_.Names());
}

void NetworkPortsDialog::Add() {
  QString why;
  if (!ports_.Add(entry_->text(), &why)) {
    problem_->setText(why);
    return;
  }
  problem_->clear();
  entry_->clear();
  Reload();
  if (Changed) Changed();
}

void NetworkPortsDialog::RemoveSelected() {
  QListWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  ports_.Remove(item->text());
  Reload();
  if (Changed) Changed();
}

}  // namespace dsp
