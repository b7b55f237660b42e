#pragma once
// The real serial port: SerialPort on top of QSerialPort. Arrival
// notifications are delivered on the thread that owns the object (the UI
// thread), from QSerialPort's readyRead signal. A device that goes away
// while open (QSerialPort's ResourceError, or a pseudo-terminal whose peer
// closed, which reads as end of file for ever) closes the port and raises
// the gone notification once, from the event loop.

#include <QObject>
#include <QSerialPort>
#include <string>
#include <vector>

#include "ports/serial_port.h"

namespace dsp {

class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT
 public:
  explicit QtSerialPort(QObject* parent = nullptr);
  ~QtSerialPort() override;

  void SetName(const std::string& name) override;
  std::string Name() const override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  void Write(const Bytes& bytes) override;
  Bytes Read(std::size_t n) override;
  std::size_t BytesAvailable() const override;

  // The machine's serial ports as the operating system lists them, by the
  // path that opens them (e.g. /dev/ttyUSB0, COM3).
  static std::vector<std::string> AvailablePortNames();

 private:
  void onReadyRead();
  void onError(QSerialPort::SerialPortError error);
  void notifyIfWaiting();
  // Queues the notification held back during a read or write, if any.
  void NotifyHeldBack();
  // Closes the vanished device and raises the gone notification.
  void deviceGone();
  // Why the last open failed, from the device file when the platform can
  // tell (missing, busy, permission and the owning group).
  SerialPortError openError() const;

  QSerialPort port_;
  std::string name_ = "COM1";
  bool busy_ = false;  // inside Read() or Write(): notifications are held back
  bool arrivedWhileBusy_ = false;
  bool gonePending_ = false;  // the device is gone; closing and notifying is queued
};

}  // namespace dsp
