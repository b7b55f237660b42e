#include "ports/qt_network_port.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QtGlobal>
#include <algorithm>

#include "ports/telnet_session.h"

#if defined(Q_OS_LINUX)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace dsp {

namespace {

// What a server says before it closes a connection because another client
// holds its device ("Port already in use").
constexpr std::string_view kInUseText = "in use";
constexpr std::size_t kEarlyBytes = 128;
// Writes waiting for the line to come up; the link sends one hello then.
constexpr std::size_t kPendingLimit = 64 * 1024;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kFirstRetryMs = 100;
// A raw connection is taken as up only after this long without a refusal:
// a server whose device is still held says so at once and closes.
constexpr int kRawSettleMs = 200;

// Keep-alive probes of an idle connection: the first after 10 s of quiet,
// then every 5 s, giving up after 3 unanswered ones.
constexpr int kKeepIdleSeconds = 10;
constexpr int kKeepIntervalSeconds = 5;
constexpr int kKeepCount = 3;

}  // namespace

QtNetworkPort::QtNetworkPort(QObject* parent) : QObject(parent) {
  connectTimer_.setSingleShot(true);
  retryTimer_.setSingleShot(true);
  connect(&connectTimer_, &QTimer::timeout, this, &QtNetworkPort::onConnectTimeout);
  connect(&retryTimer_, &QTimer::timeout, this, &QtNetworkPort::startConnect);
  settleTimer_.setSingleShot(true);
  connect(&settleTimer_, &QTimer::timeout, this, [this] {
    if (state_ == State::Negotiating && !session_) lineUp();
  });
  connect(&socket_, &QTcpSocket::connected, this, &QtNetworkPort::onConnected);
  connect(&socket_, &QTcpSocket::readyRead, this, &QtNetworkPort::onReadyRead);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &QtNetworkPort::onError);
  connect(&socket_, &QTcpSocket::disconnected, this, &QtNetworkPort::onDisconnected);
}

QtNetworkPort::~QtNetworkPort() {
  Close();
}

void QtNetworkPort::SetName(const std::string& name) {
  name_ = name;
}

std::string QtNetworkPort::where() const {
  return address_.host + ":" + std::to_string(address_.port);
}

void QtNetworkPort::Open() {
  if (IsOpen()) Close();
  std::string why;
  const auto address = ParsePortName(name_, &why);
  if (!address || address->kind == PortKind::Serial) {
    throw SerialPortError("not a network port name: " + name_ + (why.empty() ? "" : " (" + why + ")"));
  }
  address_ = *address;
  gonePending_ = false;
  goneReason_.reset();
  input_.clear();
  inputStart_ = 0;
  pending_.clear();
  busyRetries_ = 0;
  state_ = State::Connecting;
  connectTimer_.start(kConnectTimeoutMs);
  startConnect();
}

void QtNetworkPort::startConnect() {
  if (state_ != State::Connecting) return;
  early_.clear();
  session_ = address_.kind == PortKind::Rfc2217 ? std::make_unique<telnet::TelnetSession>() : nullptr;
  {
    const QSignalBlocker quiet(&socket_);
    socket_.abort();
  }
  socket_.connectToHost(QString::fromStdString(address_.host), address_.port);
}

void QtNetworkPort::onConnected() {
  if (state_ != State::Connecting) return;
  // Frames are small and answered one at a time: no waiting to fill a
  // segment. Keep-alive tears down a connection whose peer vanished.
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#if defined(Q_OS_LINUX)
  const auto fd = static_cast<int>(socket_.socketDescriptor());
  if (fd >= 0) {
    const int idle = kKeepIdleSeconds, interval = kKeepIntervalSeconds, count = kKeepCount;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
  }
#endif
  state_ = State::Negotiating;
  if (session_) {
    sendRaw(session_->Start());
    // The server may have spoken first.
    drainSocket();
  } else {
    settleTimer_.start(kRawSettleMs);
  }
}

void QtNetworkPort::sendRaw(const Bytes& wire) {
  if (wire.empty()) return;
  socket_.write(reinterpret_cast<const char*>(wire.data()), static_cast<qint64>(wire.size()));
}

bool QtNetworkPort::drainSocket() {
  if (state_ == State::Closed) return false;
  const QByteArray chunk = socket_.readAll();
  if (chunk.isEmpty()) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(chunk.constData());
  const auto size = static_cast<std::size_t>(chunk.size());
  if (inputStart_ > 4096) {
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(inputStart_));
    inputStart_ = 0;
  }
  const std::size_t before = input_.size();
  if (session_) {
    Bytes reply;
    session_->Receive(bytes, size, input_, reply);
    sendRaw(reply);
  } else {
    input_.insert(input_.end(), bytes, bytes + size);
  }
  if (early_.size() < kEarlyBytes && input_.size() > before) {
    const std::size_t take = std::min(kEarlyBytes - early_.size(), input_.size() - before);
    early_.insert(early_.end(), input_.begin() + static_cast<std::ptrdiff_t>(before),
                  input_.begin() + static_cast<std::ptrdiff_t>(before + take));
  }
  if (state_ == State::Negotiating && session_) {
    if (session_->phase() == telnet::TelnetSession::Phase::Failed) {
      fail(SerialPortError(where() + ": " + session_->failure(), PortFault::Other));
    } else if (session_->phase() == telnet::TelnetSession::Phase::Ready) {
      lineUp();
    }
  }
  return input_.size() > before;
}

void QtNetworkPort::lineUp() {
  connectTimer_.stop();
  settleTimer_.stop();
  state_ = State::Up;
  if (!pending_.empty()) {
    const Bytes waiting = std::move(pending_);
    pending_.clear();
    sendRaw(session_ ? telnet::TelnetSession::EncodeData(waiting) : waiting);
    socket_.flush();
  }
  // Bytes the server passed on before the line was up are news now.
  if (BytesAvailable() > 0) notifyArrival();
}

void QtNetworkPort::onReadyRead() {
  if (drainSocket() && state_ == State::Up) notifyArrival();
}

void QtNetworkPort::notifyArrival() {
  if (inCall_ > 0) {
    arrivedInCall_ = true;
    return;
  }
  notifyIfWaiting();
}

void QtNetworkPort::notifyIfWaiting() {
  if (state_ == State::Up && !gonePending_ && BytesAvailable() > 0) NotifyArrival(BytesAvailable());
}

SerialPortError QtNetworkPort::closedReason() const {
  const std::string early(early_.begin(), early_.end());
  if (early.find(kInUseText) != std::string::npos)
    return SerialPortError(where() + ": the server's device is in use by another client", PortFault::Busy);
  return SerialPortError(where() + ": the server closed the connection", PortFault::Closed);
}

void QtNetworkPort::onError(QAbstractSocket::SocketError error) {
  if (state_ == State::Closed || gonePending_) return;
  switch (error) {
    case QAbstractSocket::SocketTimeoutError:
      return;  // a waitFor... call that ran out of time: nothing is wrong
    case QAbstractSocket::HostNotFoundError:
      return fail(SerialPortError("cannot resolve " + address_.host, PortFault::Unresolved));
    case QAbstractSocket::ConnectionRefusedError:
      return fail(SerialPortError(where() + ": connection refused", PortFault::Refused));
    case QAbstractSocket::RemoteHostClosedError:
      return onDisconnected();
    default:
      break;
  }
  const std::string text = socket_.errorString().toStdString();
  if (state_ == State::Up)
    fail(SerialPortError(where() + ": " + text, PortFault::Closed));
  else
    fail(SerialPortError(where() + ": " + text, PortFault::Other));
}

void QtNetworkPort::onDisconnected() {
  if (state_ == State::Closed || gonePending_) return;
  drainSocket();  // a last word from the server: its refusal, or line bytes
  if (state_ == State::Closed || gonePending_) return;
  const SerialPortError why = closedReason();
  // A device held by a session that has only just ended frees within
  // moments: while nothing was sent yet, connect again, waiting longer
  // each time, within the connect time.
  if (why.fault() == PortFault::Busy && Opening() && connectTimer_.isActive()) {
    const int delay = kFirstRetryMs << std::min(busyRetries_, 4);
    if (delay < connectTimer_.remainingTime()) {
      ++busyRetries_;
      state_ = State::Connecting;
      const QSignalBlocker quiet(&socket_);
      socket_.abort();
      retryTimer_.start(delay);
      return;
    }
  }
  fail(why);
}

void QtNetworkPort::onConnectTimeout() {
  if (!Opening() || gonePending_) return;
  fail(SerialPortError(where() + ": no answer within " + std::to_string(kConnectTimeoutMs / 1000) + " s",
                       PortFault::NoAnswer));
}

void QtNetworkPort::fail(const SerialPortError& why) {
  if (state_ == State::Closed || gonePending_) return;
  gonePending_ = true;
  goneReason_ = std::make_unique<SerialPortError>(why);
  connectTimer_.stop();
  retryTimer_.stop();
  settleTimer_.stop();
  // Closed and reported on the next turn of the event loop: not from inside
  // the socket's own signal, nor from inside a Read() or Write() of the
  // link, which stop early once the loss is known.
  QMetaObject::invokeMethod(this, &QtNetworkPort::deviceGone, Qt::QueuedConnection);
}

void QtNetworkPort::deviceGone() {
  if (!gonePending_ || !goneReason_) return;  // closed or reopened in the meantime
  const SerialPortError why = *goneReason_;
  Close();
  NotifyGone(why);
}

void QtNetworkPort::closeSocket() {
  if (socket_.state() == QAbstractSocket::ConnectedState) {
    // Unread bytes would make the close a reset that can drop the last
    // frame sent (a goodbye); read them away and close in order.
    socket_.readAll();
    socket_.disconnectFromHost();
  }
  if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
}

void QtNetworkPort::Close() {
  if (state_ == State::Closed) return;
  state_ = State::Closed;
  gonePending_ = false;
  goneReason_.reset();
  connectTimer_.stop();
  retryTimer_.stop();
  settleTimer_.stop();
  closeSocket();
  session_.reset();
  input_.clear();
  inputStart_ = 0;
  pending_.clear();
  early_.clear();
}

void QtNetworkPort::Write(const Bytes& bytes) {
  if (state_ == State::Closed || gonePending_) throw SerialPortError("port not open");
  if (state_ != State::Up) {
    if (pending_.size() + bytes.size() > kPendingLimit) throw SerialPortError(where() + ": line not up yet");
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return;
  }
  const Bytes wire = session_ ? telnet::TelnetSession::EncodeData(bytes) : bytes;
  ++inCall_;
  const qint64 written =
      socket_.write(reinterpret_cast<const char*>(wire.data()), static_cast<qint64>(wire.size()));
  // Writes complete before returning, as callers expect of a serial port.
  QDeadlineTimer deadline(kWriteTimeoutMs);
  while (written == static_cast<qint64>(wire.size()) && socket_.bytesToWrite() > 0 &&
         !deadline.hasExpired()) {
    if (gonePending_ ||
        !socket_.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
      break;
  }
  --inCall_;
  const bool failed =
      written != static_cast<qint64>(wire.size()) || socket_.bytesToWrite() > 0 || gonePending_;
  if (arrivedInCall_ && inCall_ == 0) {
    arrivedInCall_ = false;
    QMetaObject::invokeMethod(this, &QtNetworkPort::notifyIfWaiting, Qt::QueuedConnection);
  }
  if (failed) throw SerialPortError(where() + ": write failed: " + socket_.errorString().toStdString());
}

Bytes QtNetworkPort::Read(std::size_t n) {
  Bytes out;
  if (state_ != State::Up || n == 0) return out;
  ++inCall_;
  QDeadlineTimer deadline(ReadTimeoutMs(n));
  while (out.size() < n) {
    if (BytesAvailable() > 0) {
      const std::size_t take = std::min(n - out.size(), BytesAvailable());
      const auto from = input_.begin() + static_cast<std::ptrdiff_t>(inputStart_);
      out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(take));
      inputStart_ += take;
      if (inputStart_ == input_.size()) {
        input_.clear();
        inputStart_ = 0;
      }
      continue;
    }
    if (deadline.hasExpired() || state_ != State::Up || gonePending_) break;
    // The readyRead this emits drains the socket into the input.
    if (!socket_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      drainSocket();
      if (BytesAvailable() == 0 &&
          (deadline.hasExpired() || socket_.state() != QAbstractSocket::ConnectedState))
        break;
    }
  }
  --inCall_;
  if (arrivedInCall_ && inCall_ == 0) {
    arrivedInCall_ = false;
    // Bytes that came in during the read deserve a notification of their
    // own, after the current handler has returned.
    QMetaObject::invokeMethod(this, &QtNetworkPort::notifyIfWaiting, Qt::QueuedConnection);
  }
  return out;
}

}  // namespace dsp
