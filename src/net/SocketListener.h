#pragma once
// What the game hears from its sockets. Connections report their events through this interface;
// the game window implements it: it writes its socket properties and runs the current card's and
// the game's socket scripts. Tests implement it with a recorder.
#include <cstdint>
#include <string>

namespace qm {

enum class SocketEventKind : uint8_t { Connected, Received, Error };

// One connection, receipt or error, as the connection reports it.
struct SocketEvent {
  SocketEventKind kind = SocketEventKind::Connected;
  // MyIDnum of the connection: its socket number 1..100, or -1 for an accepted connection that
  // found no free number in its group.
  int64_t socketID = 0;
  // Error: the platform's code (QAbstractSocket::SocketError value, see docs/network.md).
  int64_t error = 0;
  // Received: the identifier (empty for direct sockets) and the data bytes. The data is text
  // in UTF-8 as far as the game is concerned; the identifier is plain bytes.
  std::string id;
  std::string data;

  // The script slot of the event, the same number in the card's and the game's slot tables
  // (CardSocketConnected / GlobalSocketConnected and so on).
  int slot() const;

  // Writes the game window's socket properties as the event does:
  //   Connected: SocketID.
  //   Received:  SocketCmdID (only when the identifier is not empty), SocketCmdDATA, SocketID.
  //   Error:     SocketID, SocketError.
  void applyTo(int64_t& SocketID, int64_t& SocketError, std::string& SocketCmdID,
               std::string& SocketCmdDATA) const;
};

class SocketListener {
public:
  virtual ~SocketListener() = default;

  // A socket event. The game window:
  //   1. event.applyTo(SocketID, SocketError, SocketCmdID, SocketCmdDATA);
  //   2. runs the current card's script in event.slot() with cardLocation(card, event.slot())
  //      ("Card 3, Socket Received Event");
  //   3. if the game still runs, the global script in event.slot() with
  //      globalSlotLocation(event.slot()) ("Global Socket Received Event").
  // Called on the user-interface thread at a Qt entry point that catches everything, so it may
  // throw (EndException included). Scripts run here may free, replace or close any socket,
  // including the one reporting.
  virtual void SocketEventOccurred(const SocketEvent& event) = 0;

  // A plain message box from the network; not a script error, the game goes on. The messages
  // (net/SocketMessages.h): "Socket Group Fatal Error", after the system beep (beep is true),
  // when a connection reaches a group whose numbers are all in use (no script runs for it);
  // "Listen error!" when a socket group cannot listen on its port (the group stays open).
  virtual void SocketMessageBox(const std::string& message, bool beep) = 0;
};

} // namespace qm
