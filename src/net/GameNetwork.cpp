#include "net/GameNetwork.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <algorithm>

#include "net/EZprotocol.h"
#include "net/QMSocketGroup.h"
#include "net/SocketMessages.h"

namespace qm {

GameNetwork::GameNetwork(SocketListener& listener, QObject* parent)
    : QObject(parent), listener_(listener) {}

GameNetwork::~GameNetwork() {
  // Children go while the table they report to still exists.
  for (QMSocketGroup* group : groups_) delete group;
  groups_.clear();
  const auto rest = findChildren<QObject*>(Qt::FindDirectChildrenOnly);
  for (QObject* child : rest) delete child;
}

EZprotocol* GameNetwork::GameSockets(int64_t index) const {
  if (index < 0 || index >= kSocketCount) return nullptr;
  return sockets_[size_t(index)];
}

EZprotocol& GameNetwork::CreateSocket(int64_t index, bool raw) {
  auto* socket = new EZprotocol(*this, this);
  socket->MyIDnum = index + 1;
  socket->rawSocket = raw;
  QPointer<EZprotocol> previous = sockets_.at(size_t(index));
  sockets_[size_t(index)] = socket;
  if (previous) previous->retire();
  return *socket;
}

void GameNetwork::FreeSocket(int64_t index) {
  QPointer<EZprotocol> socket = sockets_.at(size_t(index));
  sockets_[size_t(index)] = nullptr;
  if (socket) socket->retire();
}

int64_t GameNetwork::registerInRange(EZprotocol& socket, int64_t beginid, int64_t endid) {
  for (int64_t index = std::max<int64_t>(beginid, 0);
       index <= std::min<int64_t>(endid, kSocketCount - 1); ++index) {
    if (!sockets_[size_t(index)]) {
      sockets_[size_t(index)] = &socket;
      return index + 1;
    }
  }
  return -1;
}

void GameNetwork::releaseNumber(EZprotocol& socket) {
  const int64_t index = socket.MyIDnum - 1;
  if (index >= 0 && index < kSocketCount && sockets_[size_t(index)] == &socket)
    sockets_[size_t(index)] = nullptr;
}

void GameNetwork::forget(EZprotocol& socket) {
  for (auto& entry : sockets_)
    if (entry == &socket) entry = nullptr;
}

std::string GameNetwork::CheckNewGroup(int64_t F, int64_t L, int64_t P) const {
  if (!(1 <= F && F < L && L <= kSocketCount)) return SocketMessages::kInvalidGroupRange;
  if (P < 1024 || P > 65535) return SocketMessages::InvalidPortNumber(P);
  // Only the new range's two ends are compared with each existing range.
  for (const QMSocketGroup* group : groups_) {
    const auto inside = [group](int64_t n) {
      return n >= group->beginid + 1 && n <= group->endid + 1;
    };
    if (inside(F) || inside(L)) return SocketMessages::kGroupConflict;
  }
  for (int64_t n = F; n <= L; ++n)
    if (sockets_[size_t(n - 1)]) return SocketMessages::kGroupMembersExist;
  return {};
}

std::string GameNetwork::OpenSocketGroup(int64_t F, int64_t L, int64_t P, bool raw) {
  auto* group = new QMSocketGroup(*this, this);
  groups_.push_back(group);
  group->raw = raw;
  group->beginid = F - 1;
  group->endid = L - 1;
  group->MaximumSocketsConnected = L + 1 - F;
  group->MinimumSocketsAvailable = group->MaximumSocketsConnected / 2;
  group->Listen(P);
  return LocalAddressText();
}

bool GameNetwork::CloseSocketGroup(int64_t F, int64_t L) {
  const auto found = std::find_if(groups_.begin(), groups_.end(), [&](QMSocketGroup* g) {
    return g->beginid == F - 1 && g->endid == L - 1;
  });
  if (found == groups_.end()) return false;
  QMSocketGroup* group = *found;
  group->close();
  group->KillMembers();
  groups_.erase(found);
  // A script of one of its members may be on the stack.
  group->deleteLater();
  return true;
}

void GameNetwork::CloseAll() {
  for (QMSocketGroup* group : groups_) group->close();
  for (auto& socket : sockets_)
    if (socket) socket->closeConnection();
}

std::string GameNetwork::LocalAddressText() {
  const auto interfaces = QNetworkInterface::allInterfaces();
  for (const QNetworkInterface& itf : interfaces) {
    const auto flags = itf.flags();
    if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
        (flags & QNetworkInterface::IsLoopBack))
      continue;
    for (const QNetworkAddressEntry& entry : itf.addressEntries()) {
      const QHostAddress ip = entry.ip();
      if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
        return ip.toString().toStdString();
    }
  }
  return "127.0.0.1";
}

} // namespace qm
