#include "net/EZprotocol.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "interpreter/Numbers.h"
#include "net/GameNetwork.h"
#include "net/NetLimits.h"
#include "net/QMSocketGroup.h"
#include "net/SocketMessages.h"
#include "platform/EventEdge.h"

namespace qm {

namespace {

// The buffer holds a whole frame (the reader waits for complete fields) but no more, so a peer
// that sends faster than scripts take it is slowed down by TCP instead of filling memory.
constexpr qint64 kReadBufferBytes = kMaxFrameBytes + 64 * 1024;

// How long a dropped socket may take to send what was written before it is deleted anyway.
constexpr int kLingerMs = 30000;

// Lengths and digit counts are read leniently: text that does not start with a number is 0,
// and so is a negative number.
int64_t lenientCount(const QByteArray& text) {
  const int64_t value = truncToInt64(leadingNumber(std::string_view(text.constData(),
                                                                    size_t(text.size()))));
  return value < 0 ? 0 : value;
}

} // namespace

// Listens for the one connection of ListenSocket and hands its descriptor to the socket.
class EZprotocol::OneShotServer : public QTcpServer {
public:
  OneShotServer(EZprotocol& owner) : QTcpServer(&owner), owner_(owner) {}

protected:
  void incomingConnection(qintptr descriptor) override {
    if (owner_.listenServer_ != this) return;
    owner_.stopListening();
    if (owner_.adopt(descriptor)) owner_.announceLater();
  }

private:
  EZprotocol& owner_;
};

EZprotocol::EZprotocol(GameNetwork& network, QObject* parent)
    : QTcpSocket(parent), network_(&network) {
  setReadBufferSize(kReadBufferBytes);
  connect(this, &QAbstractSocket::connected, this, [this] {
    if (detached_) return;
    AtEventEdge("EZprotocol.Event_Connected", [this] { Event_Connected(); });
  });
  connect(this, &QIODevice::readyRead, this, [this] {
    if (detached_) return;
    AtEventEdge("EZprotocol.Event_DataAvailable", [this] { Event_DataAvailable(); });
  });
  connect(this, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError code) {
    if (detached_) return;
    AtEventEdge("EZprotocol.Event_Error", [this, code] { onPlatformError(code); });
  });
}

EZprotocol::~EZprotocol() {
  // Close while the whole object still exists: the base destructor's own abort would signal
  // into a half-destroyed object.
  detached_ = true;
  abort();
  network_->forget(*this);
}

void EZprotocol::reportEvent(const SocketEvent& event) {
  network_->listener().SocketEventOccurred(event);
}

// ---- Events ----

void EZprotocol::Event_Error(int64_t code) {
  QPointer<EZprotocol> self(this);
  SocketEvent event;
  event.kind = SocketEventKind::Error;
  event.socketID = MyIDnum;
  event.error = code;
  reportEvent(event);
  if (!self || detached_) return;
  // An accepted connection that failed is over: its number goes to the next one.
  if (group) {
    network_->releaseNumber(*this);
    retire();
  }
}

void EZprotocol::Event_Connected() {
  if (group) {
    MyIDnum = network_->registerInRange(*this, group->beginid, group->endid);
    if (MyIDnum < 0) {
      network_->listener().SocketMessageBox(SocketMessages::kGroupFull, true);
      return;
    }
  }
  newCommand = true;
  connected();
}

void EZprotocol::connected() {
  SocketEvent event;
  event.kind = SocketEventKind::Connected;
  event.socketID = MyIDnum;
  reportEvent(event);
}

void EZprotocol::Event_DataAvailable() {
  if (detached_ || receiving_ || announcePending_) return;
  QPointer<EZprotocol> self(this);
  {
    // Cleared however the scripts end, so that a failed script does not silence the socket.
    struct Receiving {
      QPointer<EZprotocol>& socket;
      explicit Receiving(QPointer<EZprotocol>& s) : socket(s) { socket->receiving_ = true; }
      ~Receiving() {
        if (socket) socket->receiving_ = false;
      }
    } receiving(self);
    while (self && !detached_ && bytesAvailable() > 0) {
      if (rawSocket) {
        const QByteArray bytes = readAll();
        commandReceived(std::string(), bytes.toStdString());
      } else if (!readFrame()) {
        break;
      }
    }
  }
  if (self) deliverDeferredError();
}

bool EZprotocol::readFrame() {
  if (newCommand) {
    if (!skipToMarker()) return false;
    if (bytesAvailable() < 7) return false; // the marker stays until the counts are there
    const QByteArray head = read(7);
    idLength = lenientCount(head.mid(1, 3));
    dataLength = lenientCount(head.mid(4, 3));
    newCommand = false;
    gotID = false;
    gotData = false;
    gotLengths = false;
    if (frameTooLarge()) return refuseFrame();
  }
  if (!gotLengths) {
    if (bytesAvailable() < idLength + dataLength) return false;
    idLength = lenientCount(read(idLength));
    dataLength = lenientCount(read(dataLength));
    gotLengths = true;
    if (frameTooLarge()) return refuseFrame();
  }
  if (!gotID) {
    if (bytesAvailable() < idLength) return false;
    id = read(idLength).toStdString();
    gotID = true;
  }
  if (bytesAvailable() < dataLength) return false;
  data = read(dataLength).toStdString();

  newCommand = true;
  gotID = false;
  gotLengths = false;
  gotData = false;
  // The frame's fields are cleared before the scripts run: a receipt nested in them starts
  // from a clean state.
  const std::string frameId = std::move(id);
  const std::string frameData = std::move(data);
  idLength = 0;
  dataLength = 0;
  id.clear();
  data.clear();
  commandReceived(frameId, frameData);
  return true;
}

bool EZprotocol::skipToMarker() {
  constexpr qint64 kChunk = 64 * 1024;
  while (bytesAvailable() > 0) {
    const QByteArray chunk = peek(std::min(bytesAvailable(), kChunk));
    const qsizetype at = chunk.indexOf(char(0xFC));
    if (at == 0) return true;
    skip(at < 0 ? chunk.size() : at);
    if (at > 0) return true;
  }
  return false;
}

bool EZprotocol::frameTooLarge() const {
  return idLength > kMaxFrameBytes || dataLength > kMaxFrameBytes ||
         idLength + dataLength > kMaxFrameBytes;
}

bool EZprotocol::refuseFrame() {
  // A peer that announces more than the limit is not waited for: the connection ends and the
  // error event follows once the current delivery is over.
  abort();
  if (!deferredError_) deferredError_ = kFrameTooLargeError;
  return false;
}

void EZprotocol::commandReceived(const std::string& id, const std::string& data) {
  SocketEvent event;
  event.kind = SocketEventKind::Received;
  event.socketID = MyIDnum;
  event.id = id;
  event.data = data;
  reportEvent(event);
}

void EZprotocol::onPlatformError(QAbstractSocket::SocketError code) {
  // An error that arrives while a delivery is running (or before the connection event) waits
  // until the bytes that came before it have been reported.
  if (receiving_ || announcePending_) {
    if (!deferredError_) deferredError_ = int64_t(code);
    return;
  }
  Event_Error(int64_t(code));
}

void EZprotocol::deliverDeferredError() {
  if (!deferredError_ || detached_) return;
  const int64_t code = *deferredError_;
  deferredError_.reset();
  Event_Error(code);
}

// ---- Sending ----

QByteArray EZprotocol::Frame(std::string_view id, std::string_view data) {
  const std::string li = std::to_string(id.size());
  const std::string ld = std::to_string(data.size());
  char counts[8];
  std::snprintf(counts, sizeof counts, "%03zu%03zu", li.size(), ld.size());
  QByteArray frame;
  frame.reserve(qsizetype(7 + li.size() + ld.size() + id.size() + data.size()));
  frame.append(char(0xFC));
  frame.append(counts, 6);
  frame.append(li.data(), qsizetype(li.size()));
  frame.append(ld.data(), qsizetype(ld.size()));
  frame.append(id.data(), qsizetype(id.size()));
  frame.append(data.data(), qsizetype(data.size()));
  return frame;
}

void EZprotocol::sendCommand(const std::string& id, const std::string& data) {
  if (!isOpen()) return;
  write(Frame(id, data));
}

void EZprotocol::writeBytes(std::string_view bytes) {
  if (!isOpen() || bytes.empty()) return;
  write(bytes.data(), qint64(bytes.size()));
}

// ---- Connecting, listening, closing ----

void EZprotocol::connectTo(const std::string& host, int64_t port) {
  stopListening();
  if (state() != QAbstractSocket::UnconnectedState) abort();
  deferredError_.reset();
  if (port < 0 || port > 65535) {
    postError(kBadPortError);
    return;
  }
  connectToHost(QString::fromStdString(host), quint16(port));
}

std::string EZprotocol::Listen(int64_t port) {
  stopListening();
  if (state() != QAbstractSocket::UnconnectedState) abort();
  deferredError_.reset();
  auto* server = new OneShotServer(*this);
  int64_t failure = -1;
  if (port < 0 || port > 65535) {
    failure = kBadPortError;
  } else if (!server->listen(QHostAddress::Any, quint16(port))) {
    failure = server->serverError();
  }
  if (failure >= 0) {
    delete server;
    postError(failure);
  } else {
    listenServer_ = server;
  }
  return GameNetwork::LocalAddressText();
}

void EZprotocol::postError(int64_t code) {
  // Reported like any connection failure: as a later event.
  QTimer::singleShot(0, this, [this, code] {
    if (!detached_) AtEventEdge("EZprotocol.Event_Error", [this, code] { Event_Error(code); });
  });
}

void EZprotocol::stopListening() {
  if (!listenServer_) return;
  // The server may be the caller (its incomingConnection): delete it later.
  listenServer_->close();
  listenServer_->deleteLater();
  listenServer_ = nullptr;
}

void EZprotocol::closeConnection() {
  stopListening();
  close();
}

bool EZprotocol::adopt(qintptr descriptor) {
  if (!setSocketDescriptor(descriptor)) return false;
  // Bytes and errors wait for the connection event.
  announcePending_ = true;
  return true;
}

void EZprotocol::announceLater() {
  QMetaObject::invokeMethod(
      this, [this] { AtEventEdge("EZprotocol.Event_Connected", [this] { announce(); }); },
      Qt::QueuedConnection);
}

void EZprotocol::announce() {
  announcePending_ = false;
  if (detached_) return;
  QPointer<EZprotocol> self(this);
  Event_Connected();
  if (!self || detached_) return;
  if (bytesAvailable() > 0) Event_DataAvailable(); // also reports a deferred error
  else deliverDeferredError();
}

void EZprotocol::retire() {
  if (detached_) return;
  detached_ = true;
  stopListening();
  close();
  if (state() == QAbstractSocket::UnconnectedState) {
    deleteLater();
    return;
  }
  connect(this, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
  QTimer::singleShot(kLingerMs, this, &QObject::deleteLater);
}

} // namespace qm
