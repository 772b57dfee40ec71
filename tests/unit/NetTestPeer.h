#pragma once
// Helpers of the network tests: the other end of a connection (a plain QTcpSocket that speaks the
// frame format with its own small encoder and decoder), a listener that records socket events,
// script arguments given as values, and waiting in the event loop. The peer works with blocking
// calls too, so a black-box test can drive a player process from the test process.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "net/SocketCommands.h"
#include "net/SocketListener.h"

namespace qm::test {

// Serves events until the condition holds or the time is up; the condition's last value.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(200);
  }
  return true;
}

// Serves events for a while (to show that something does not happen).
inline void serveFor(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(200);
  }
}

// A TCP port that was free a moment ago (1024..65535).
inline int64_t freePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// A frame built independently of the player's code.
inline QByteArray encodeFrame(const QByteArray& id, const QByteArray& data) {
  const QByteArray li = QByteArray::number(id.size());
  const QByteArray ld = QByteArray::number(data.size());
  return QByteArray(1, char(0xFC)) + QByteArray::number(li.size()).rightJustified(3, '0') +
         QByteArray::number(ld.size()).rightJustified(3, '0') + li + ld + id + data;
}

// Splits well-formed frames off the front of a buffer.
inline std::optional<std::pair<QByteArray, QByteArray>> takeFrame(QByteArray& buffer) {
  if (buffer.size() < 7 || buffer[0] != char(0xFC)) return std::nullopt;
  const int ci = buffer.mid(1, 3).toInt();
  const int cd = buffer.mid(4, 3).toInt();
  if (buffer.size() < 7 + ci + cd) return std::nullopt;
  const int li = buffer.mid(7, ci).toInt();
  const int ld = buffer.mid(7 + ci, cd).toInt();
  const int start = 7 + ci + cd;
  if (buffer.size() < start + li + ld) return std::nullopt;
  std::pair<QByteArray, QByteArray> frame{buffer.mid(start, li), buffer.mid(start + li, ld)};
  buffer.remove(0, start + li + ld);
  return frame;
}

// The far end of a connection, in the test process.
class Peer {
public:
  explicit Peer(QTcpSocket* socket = new QTcpSocket) : socket_(socket) {}

  // Connects with a blocking wait (the other side must be served by another thread or
  // process, or accept in the system's backlog).
  bool connectTo(int64_t port, int timeoutMs = 5000) {
    socket_->connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket_->waitForConnected(timeoutMs);
  }
  // Starts connecting; the test's event loop completes it.
  void startConnecting(int64_t port) {
    socket_->connectToHost(QHostAddress::LocalHost, quint16(port));
  }
  bool isConnected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

  void send(const QByteArray& bytes) {
    socket_->write(bytes);
    socket_->flush();
  }
  void sendFrame(const QByteArray& id, const QByteArray& data) { send(encodeFrame(id, data)); }

  // Everything received so far (serving events).
  QByteArray& received() {
    received_ += socket_->readAll();
    return received_;
  }
  // Waits until n bytes have arrived.
  bool waitForBytes(qsizetype n, int timeoutMs = 5000) {
    return waitUntil([&] { return received().size() >= n; }, timeoutMs);
  }
  // The next whole frame, waiting for it.
  std::optional<std::pair<QByteArray, QByteArray>> nextFrame(int timeoutMs = 5000) {
    std::optional<std::pair<QByteArray, QByteArray>> frame;
    waitUntil([&] { return (frame = takeFrame(received())).has_value(); }, timeoutMs);
    return frame;
  }
  bool waitForDisconnect(int timeoutMs = 5000) {
    return waitUntil(
        [&] {
          received();
          return socket_->state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
  }
  void close() { socket_->close(); }
  QTcpSocket& socket() { return *socket_; }

private:
  std::unique_ptr<QTcpSocket> socket_;
  QByteArray received_;
};

// Accepts connections made by the player's sockets.
class PeerServer {
public:
  PeerServer() { server_.listen(QHostAddress::LocalHost, 0); }
  int64_t port() const { return server_.serverPort(); }
  // The next accepted connection, waiting for it.
  std::unique_ptr<Peer> accept(int timeoutMs = 5000) {
    if (!waitUntil([&] { return server_.hasPendingConnections(); }, timeoutMs)) return nullptr;
    QTcpSocket* socket = server_.nextPendingConnection();
    socket->setParent(nullptr);
    return std::make_unique<Peer>(socket);
  }

private:
  QTcpServer server_;
};

// Records socket events and keeps the window's four socket properties as the events write them.
class RecordingListener : public SocketListener {
public:
  struct Entry {
    SocketEventKind kind;
    int64_t socketID;
    int64_t error;
    std::string id;
    std::string data;
  };

  void SocketEventOccurred(const SocketEvent& event) override {
    event.applyTo(SocketID, SocketError, SocketCmdID, SocketCmdDATA);
    events.push_back({event.kind, event.socketID, event.error, event.id, event.data});
    if (onEvent) onEvent(event);
  }
  void SocketMessageBox(const std::string& message, bool beep) override {
    messageBoxes.push_back(message);
    beeps.push_back(beep);
  }

  std::vector<Entry> of(SocketEventKind kind) const {
    std::vector<Entry> out;
    for (const Entry& e : events)
      if (e.kind == kind) out.push_back(e);
    return out;
  }
  size_t count(SocketEventKind kind) const { return of(kind).size(); }
  bool waitFor(SocketEventKind kind, size_t n, int timeoutMs = 5000) {
    return waitUntil([&] { return count(kind) >= n; }, timeoutMs);
  }

  std::vector<Entry> events;
  std::vector<std::string> messageBoxes;
  std::vector<bool> beeps;
  int64_t SocketID = 0;
  int64_t SocketError = 0;
  std::string SocketCmdID;
  std::string SocketCmdDATA;
  // Acts like a script run by the event (may serve events, touch sockets, ...).
  std::function<void(const SocketEvent&)> onEvent;
};

// Arguments given as values. Evaluations are counted; the running flag can be made to drop
// after a number of evaluations, and every report drops it (as the real report does).
class ValueArgs : public NetScript::Args {
public:
  using Value = std::variant<double, std::string>;
  ValueArgs(std::initializer_list<Value> values) : values_(values) {}

  size_t Count() const override { return values_.size(); }
  double Number(size_t k) override {
    evaluate();
    return std::get<double>(values_.at(k));
  }
  std::string Text(size_t k) override {
    evaluate();
    return std::get<std::string>(values_.at(k));
  }
  bool Running() const override { return running_; }
  void ReportError(const std::string& message, bool markExit) override {
    reports.push_back(message);
    exitMarks.push_back(markExit);
    running_ = false;
  }

  // The game stops during evaluation number n (1-based).
  ValueArgs& stopAtEvaluation(int n) {
    stopAt_ = n;
    return *this;
  }
  std::string onlyReport() const { return reports.size() == 1 ? reports[0] : "<" +
                                     std::to_string(reports.size()) + " reports>"; }

  std::vector<std::string> reports;
  std::vector<bool> exitMarks;
  int evaluations = 0;

private:
  void evaluate() {
    if (++evaluations == stopAt_) running_ = false;
  }
  std::vector<Value> values_;
  bool running_ = true;
  int stopAt_ = -1;
};

} // namespace qm::test
