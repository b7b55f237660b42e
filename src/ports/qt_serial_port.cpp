#include "ports/qt_serial_port.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QSerialPortInfo>
#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace dsp {

namespace {

#if defined(Q_OS_UNIX)
// The name of a group, or empty when it has none.
std::string GroupName(gid_t gid) {
  std::vector<char> buffer(4096);
  struct group entry {};
  struct group* found = nullptr;
  while (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < 65536)
    buffer.resize(buffer.size() * 2);
  return found != nullptr && found->gr_name != nullptr ? std::string(found->gr_name) : std::string();
}
#endif

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
  Close();
}

void QtSerialPort::SetName(const std::string& name) {
  name_ = name;
  port_.setPortName(QString::fromStdString(name));
}

std::string QtSerialPort::Name() const {
  return name_;
}

void QtSerialPort::Open() {
  if (name_.empty()) throw SerialPortError("no port name");
  if (port_.isOpen()) port_.close();
  gonePending_ = false;
  port_.setPortName(QString::fromStdString(name_));
  port_.setBaudRate(57600);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.setReadBufferSize(0);  // the queue is drained by the parser
  if (!port_.open(QIODevice::ReadWrite)) throw openError();
  // Settings are applied again after opening: some drivers only take them on
  // an open port. Modem lines are best effort (a pseudo-terminal has none).
  port_.setBaudRate(57600);
  port_.setDataTerminalReady(true);
  port_.setRequestToSend(true);
  port_.clearError();
}

void QtSerialPort::Close() {
  gonePending_ = false;
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::IsOpen() const {
  return port_.isOpen();
}

void QtSerialPort::Write(const Bytes& bytes) {
  if (!port_.isOpen() || gonePending_) throw SerialPortError("port not open");
  const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  qint64 written = port_.write(data);
  if (written != data.size()) throw SerialPortError("write failed: " + port_.errorString().toStdString());
  // Writes complete before returning, as callers expect of a serial port.
  // Bytes arriving meanwhile are notified after the write, never from
  // inside it.
  const bool wasBusy = busy_;
  busy_ = true;
  QDeadlineTimer deadline(1000);
  while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (gonePending_ || !port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
  }
  // Ends the toolkit's write sequence here: left open, it would wake the
  // event loop once more after every frame.
  if (port_.bytesToWrite() == 0 && port_.isOpen()) port_.flush();
  busy_ = wasBusy;
  if (!busy_) NotifyHeldBack();
  if (port_.bytesToWrite() > 0) throw SerialPortError("write timed out");
}

Bytes QtSerialPort::Read(std::size_t n) {
  Bytes out;
  if (!port_.isOpen() || n == 0) return out;
  const bool wasBusy = busy_;
  busy_ = true;
  QDeadlineTimer deadline(ReadTimeoutMs(n));
  while (out.size() < n) {
    if (port_.bytesAvailable() > 0) {
      QByteArray chunk = port_.read(static_cast<qint64>(n - out.size()));
      out.insert(out.end(), chunk.begin(), chunk.end());
      continue;
    }
    if (deadline.hasExpired()) break;
    if (!port_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      if (deadline.hasExpired() || !port_.isOpen() || gonePending_) break;
    }
  }
  busy_ = wasBusy;
  if (!busy_) NotifyHeldBack();
  return out;
}

void QtSerialPort::NotifyHeldBack() {
  if (!arrivedWhileBusy_) return;
  arrivedWhileBusy_ = false;
  // Bytes that came in during a read or write deserve a notification of
  // their own, after the current handler has returned.
  QMetaObject::invokeMethod(this, &QtSerialPort::notifyIfWaiting, Qt::QueuedConnection);
}

std::size_t QtSerialPort::BytesAvailable() const {
  return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

void QtSerialPort::onReadyRead() {
  if (busy_) {
    arrivedWhileBusy_ = true;
    return;
  }
  notifyIfWaiting();
}

void QtSerialPort::notifyIfWaiting() {
  const std::size_t waiting = BytesAvailable();
  if (waiting > 0) NotifyArrival(waiting);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
  // The device vanished: the driver reports a resource error, or (on a
  // pseudo-terminal whose peer closed) every read fails. Left open, the
  // port would be readable on every turn of the event loop.
  if (!port_.isOpen() || gonePending_) return;
  if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
  gonePending_ = true;
  // Closed and reported on the next turn of the event loop: not from inside
  // QSerialPort's own notification, nor from inside a Read() or Write() of
  // the link, which stop early once the loss is known.
  QMetaObject::invokeMethod(this, &QtSerialPort::deviceGone, Qt::QueuedConnection);
}

void QtSerialPort::deviceGone() {
  if (!gonePending_) return;  // closed or reopened in the meantime
  gonePending_ = false;
  port_.close();
  NotifyGone(SerialPortError("device gone: " + name_, PortFault::Missing));
}

SerialPortError QtSerialPort::openError() const {
  const std::string what = "cannot open " + name_ + ": " + port_.errorString().toStdString();
#if defined(Q_OS_UNIX)
  // The device file tells more than the toolkit's error: whether it is
  // there, and whether this user may open it at all. A device that is
  // there and may be opened but was refused is held by another program.
  // A short name ("ttyUSB0") stands for the device in /dev, as the port
  // itself takes it.
  const std::string path = name_.find('/') == std::string::npos ? "/dev/" + name_ : name_;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return SerialPortError(what, PortFault::Missing);
  } else if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
    return SerialPortError(what, PortFault::PermissionDenied, GroupName(info.st_gid));
  } else if (port_.error() == QSerialPort::PermissionError) {
    return SerialPortError(what, PortFault::Busy);
  }
#endif
  switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
      return SerialPortError(what, PortFault::Missing);
    case QSerialPort::PermissionError:
      // Without the device file to look at, a refused open is most often a
      // port that another program holds.
      return SerialPortError(what, PortFault::Busy);
    default:
      return SerialPortError(what, PortFault::Other);
  }
}

std::vector<std::string> QtSerialPort::AvailablePortNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names.push_back(info.systemLocation().toStdString());
  return names;
}

}  // namespace dsp
