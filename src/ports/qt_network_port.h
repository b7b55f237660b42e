#pragma once
// A serial line behind a serial-over-network server, as a SerialPort on
// QTcpSocket. The name says how: tcp://HOST:PORT carries the line's bytes
// as they are, rfc2217://HOST:PORT speaks Telnet with the serial port
// control option (the codec and negotiation are telnet::TelnetSession) and
// sets the server's line to 57600 8N1 first.
//
// Open() starts the connection and returns at once, so no window freezes
// on a slow or silent host: the port is open and Opening() while the name
// is looked up, the connection made and the options negotiated (a raw
// connection settles for a moment instead, long enough for a server to
// refuse it); writes made meanwhile wait and go out when the line is up.
// A server that refuses because its device is still held by a session that
// has only just ended is tried again, waiting longer each time, within the
// connect time. A failure (name not
// found, refused, no answer within kConnectTimeoutMs, the server closing
// the connection, or telling that another client holds its device) closes
// the port and raises the gone notification with the reason, from the
// event loop. Reads wait for the socket (waitForReadyRead) as the serial
// adapter waits for its device.
//
// A connection is never left half-open: closing reads away what is
// unread and closes at once (aborting a connection still being made), a
// connection the server closed is closed here too, and TCP keep-alive
// finds a peer that vanished without a word while nobody writes.

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <string>

#include "ports/port_address.h"
#include "ports/serial_port.h"

namespace dsp {

namespace telnet {
class TelnetSession;
}

class QtNetworkPort : public QObject, public SerialPort {
  Q_OBJECT
 public:
  // Time from Open() until the line is up: name lookup, connection and,
  // for rfc2217://, the option negotiation.
  static constexpr int kConnectTimeoutMs = 4000;

  explicit QtNetworkPort(QObject* parent = nullptr);
  ~QtNetworkPort() override;

  void SetName(const std::string& name) override;
  std::string Name() const override { return name_; }
  // Raises SerialPortError at once only for a name that is no network
  // address; everything else is reported through the gone notification.
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return state_ != State::Closed; }
  void Write(const Bytes& bytes) override;
  Bytes Read(std::size_t n) override;
  std::size_t BytesAvailable() const override { return input_.size() - inputStart_; }
  bool Opening() const override { return state_ == State::Connecting || state_ == State::Negotiating; }

 private:
  enum class State { Closed, Connecting, Negotiating, Up };

  void startConnect();
  void onConnected();
  void onReadyRead();
  void onError(QAbstractSocket::SocketError error);
  void onDisconnected();
  void onConnectTimeout();
  // Reads what the socket holds into the line's input, answering the
  // Telnet negotiation; returns whether line bytes arrived.
  bool drainSocket();
  void lineUp();
  void sendRaw(const Bytes& wire);
  void closeSocket();
  // The connection failed or ended: closing and the gone notification are
  // queued for the next turn of the event loop.
  void fail(const SerialPortError& why);
  void deviceGone();
  // Arrival notification now, or once the current Read()/Write() returns.
  void notifyArrival();
  void notifyIfWaiting();
  SerialPortError closedReason() const;
  std::string where() const;

  QTcpSocket socket_;
  QTimer connectTimer_;
  QTimer retryTimer_;
  QTimer settleTimer_;
  std::string name_;
  PortAddress address_;
  State state_ = State::Closed;
  std::unique_ptr<telnet::TelnetSession> session_;
  Bytes input_;  // line bytes received and not yet read, from inputStart_ on
  std::size_t inputStart_ = 0;
  Bytes pending_;  // line bytes written before the line was up
  Bytes early_;    // the first line bytes of the connection (a server's refusal text)
  int busyRetries_ = 0;
  int inCall_ = 0;  // inside Read() or Write(): notifications are held back
  bool arrivedInCall_ = false;
  bool gonePending_ = false;
  std::unique_ptr<SerialPortError> goneReason_;
};

}  // namespace dsp
