#include "link/qt_serial_port.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QSerialPortInfo>

namespace dsp {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
}

QtSerialPort::~QtSerialPort() { Close(); }

void QtSerialPort::SetName(const std::string& name) {
  name_ = name;
  port_.setPortName(QString::fromStdString(name));
}

std::string QtSerialPort::Name() const { return name_; }

void QtSerialPort::Open() {
  if (name_.empty()) throw SerialPortError("no port name");
  if (port_.isOpen()) port_.close();
  port_.setPortName(QString::fromStdString(name_));
  port_.setBaudRate(57600);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.setReadBufferSize(0);  // the queue is drained by the parser
  if (!port_.open(QIODevice::ReadWrite))
    throw SerialPortError("cannot open " + name_ + ": " + port_.errorString().toStdString());
  // Settings are applied again after opening: some drivers only take them on
  // an open port. Modem lines are best effort (a pseudo-terminal has none).
  port_.setBaudRate(57600);
  port_.setDataTerminalReady(true);
  port_.setRequestToSend(true);
  port_.clearError();
}

void QtSerialPort::Close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::IsOpen() const { return port_.isOpen(); }

void QtSerialPort::Write(const Bytes& bytes) {
  if (!port_.isOpen()) throw SerialPortError("port not open");
  const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  qint64 written = port_.write(data);
  if (written != data.size()) throw SerialPortError("write failed: " + port_.errorString().toStdString());
  // Writes complete before returning, as callers expect of a serial port.
  QDeadlineTimer deadline(1000);
  while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
  }
  if (port_.bytesToWrite() > 0) throw SerialPortError("write timed out");
}

Bytes QtSerialPort::Read(std::size_t n) {
  Bytes out;
  if (!port_.isOpen() || n == 0) return out;
  reading_ = true;
  QDeadlineTimer deadline(ReadTimeoutMs(n));
  while (out.size() < n) {
    if (port_.bytesAvailable() > 0) {
      QByteArray chunk = port_.read(static_cast<qint64>(n - out.size()));
      out.insert(out.end(), chunk.begin(), chunk.end());
      continue;
    }
    if (deadline.hasExpired()) break;
    if (!port_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      if (deadline.hasExpired() || port_.error() == QSerialPort::ResourceError) break;
    }
  }
  reading_ = false;
  if (arrivedWhileReading_) {
    arrivedWhileReading_ = false;
    // Bytes that came in during the read deserve a notification of their
    // own, after the current handler has returned.
    QMetaObject::invokeMethod(this, &QtSerialPort::notifyIfWaiting, Qt::QueuedConnection);
  }
  return out;
}

std::size_t QtSerialPort::BytesAvailable() const {
  return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

void QtSerialPort::onReadyRead() {
  if (reading_) {
    arrivedWhileReading_ = true;
    return;
  }
  notifyIfWaiting();
}

void QtSerialPort::notifyIfWaiting() {
  const std::size_t waiting = BytesAvailable();
  if (waiting > 0) NotifyArrival(waiting);
}

std::vector<std::string> QtSerialPort::AvailablePortNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names.push_back(info.systemLocation().toStdString());
  return names;
}

}  // namespace dsp
