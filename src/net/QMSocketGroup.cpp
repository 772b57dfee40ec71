#include "net/QMSocketGroup.h"

#include <QHostAddress>
#include <QTimer>
#include <algorithm>

#include "net/EZprotocol.h"
#include "net/GameNetwork.h"
#include "net/SocketListener.h"
#include "net/SocketMessages.h"
#include "platform/EventEdge.h"

namespace qm {

QMSocketGroup::QMSocketGroup(GameNetwork& network, QObject* parent)
    : QTcpServer(parent), network_(network) {}

QMSocketGroup::~QMSocketGroup() {
  close();
  // The accepted sockets go first, while the group they point at still exists.
  const auto members = findChildren<EZprotocol*>(Qt::FindDirectChildrenOnly);
  for (EZprotocol* socket : members) delete socket;
}

bool QMSocketGroup::Listen(int64_t port) {
  // The game names no address: listen on every interface.
  if (port >= 0 && port <= 65535 && listen(QHostAddress::Any, quint16(port))) return true;
  QTimer::singleShot(0, this, [this] {
    AtEventEdge("QMSocketGroup.Error", [this] {
      network_.listener().SocketMessageBox(SocketMessages::kListenError, false);
    });
  });
  return false;
}

void QMSocketGroup::KillMembers() {
  for (int64_t index = beginid; index <= endid; ++index) {
    if (network_.GameSockets(index)) network_.FreeSocket(index);
  }
}

void QMSocketGroup::incomingConnection(qintptr descriptor) {
  auto* socket = new EZprotocol(network_, this);
  socket->group = this;
  socket->rawSocket = raw;
  if (!socket->adopt(descriptor)) {
    delete socket;
    return;
  }
  // A member that leaves makes room for a waiting connection.
  connect(socket, &QAbstractSocket::disconnected, this, &QMSocketGroup::admitWaiting,
          Qt::QueuedConnection);
  connect(socket, &QObject::destroyed, this, &QMSocketGroup::admitWaiting, Qt::QueuedConnection);
  waiting_.push_back(socket);
  admitWaiting();
}

void QMSocketGroup::admitWaiting() {
  const auto gone = [](const QPointer<EZprotocol>& s) {
    return !s || s->state() == QAbstractSocket::UnconnectedState;
  };
  admitted_.erase(std::remove_if(admitted_.begin(), admitted_.end(), gone), admitted_.end());
  while (!waiting_.empty() && int64_t(admitted_.size()) < MaximumSocketsConnected) {
    QPointer<EZprotocol> next = waiting_.front();
    waiting_.pop_front();
    if (!next) continue;
    admitted_.push_back(next);
    next->announceLater();
  }
  if (!isListening()) return;
  if (int64_t(admitted_.size() + waiting_.size()) >= MaximumSocketsConnected) pauseAccepting();
  else resumeAccepting();
}

} // namespace qm
