#include "net/SocketListener.h"

#include "data/GameGlobals.h"

namespace qm {

static_assert(int(CardSocketConnected) == int(GlobalSocketConnected) &&
                  int(CardSocketReceived) == int(GlobalSocketReceived) &&
                  int(CardSocketError) == int(GlobalSocketError),
              "socket events use the same slot in the card's and the game's tables");

int SocketEvent::slot() const {
  switch (kind) {
  case SocketEventKind::Connected: return GlobalSocketConnected;
  case SocketEventKind::Received: return GlobalSocketReceived;
  case SocketEventKind::Error: return GlobalSocketError;
  }
  return GlobalSocketError;
}

void SocketEvent::applyTo(int64_t& SocketID, int64_t& SocketError, std::string& SocketCmdID,
                          std::string& SocketCmdDATA) const {
  switch (kind) {
  case SocketEventKind::Connected: SocketID = socketID; break;
  case SocketEventKind::Received:
    // Direct sockets deliver no identifier and leave the last one in place.
    if (!id.empty()) SocketCmdID = id;
    SocketCmdDATA = data;
    SocketID = socketID;
    break;
  case SocketEventKind::Error:
    SocketID = socketID;
    SocketError = error;
    break;
  }
}

} // namespace qm
