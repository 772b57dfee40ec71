#include "net/SocketCommands.h"

#include <QPointer>
#include <limits>

#include "interpreter/CommandTable.h"
#include "interpreter/Numbers.h"
#include "net/EZprotocol.h"
#include "net/GameNetwork.h"
#include "net/SocketMessages.h"
#include "net/UrlFetch.h"
#include "support/Conversions.h"

namespace qm::NetScript {

namespace {

// A command's socket number n as its index: n - 1 compared in floating point (so 2.7 selects
// index 1), or -1 outside 0..99.
int64_t commandIndex(double n) {
  const double index = n - 1;
  if (!(index >= 0 && index < double(GameNetwork::kSocketCount))) return -1;
  return int64_t(index);
}

// A function's socket index: s - 1 truncated.
int64_t functionIndex(double s) { return truncToInt64(s - 1); }

bool validIndex(int64_t i) { return i >= 0 && i < GameNetwork::kSocketCount; }

// i + 1 as the message shows it.
std::string numberOfIndex(int64_t i) {
  return std::to_string(i == std::numeric_limits<int64_t>::max() ? i : i + 1);
}

void socketCommand(uint16_t code, Args& args, GameNetwork& network) {
  const double n = args.Number(0);
  if (!args.Running()) return;
  const int64_t index = commandIndex(n);
  if (index < 0) {
    args.ReportError(SocketMessages::InvalidSocketNumber(FormatNumber(n)), false);
    return;
  }
  if (code == uint16_t(Cmd::SocketCreate)) {
    bool raw = false;
    if (args.Count() == 2) {
      const double flag = args.Number(1);
      if (!args.Running()) return;
      raw = flag == 1;
    }
    network.CreateSocket(index, raw);
    return;
  }

  // Evaluations below may run scripts that free or replace the socket; the object found here
  // is the one the command acts on, as long as it exists.
  QPointer<EZprotocol> socket = network.GameSockets(index);
  if (!socket) {
    args.ReportError(SocketMessages::UninitializedSocket(FormatNumber(n)), false);
    return;
  }
  switch (Cmd(code)) {
  case Cmd::SocketConnectCmd: {
    const std::string host = args.Text(1);
    if (!args.Running()) return;
    const double port = args.Number(2);
    if (!args.Running()) return;
    if (socket) socket->connectTo(host, truncToInt64(port));
    break;
  }
  case Cmd::SocketSendCommand: {
    // The mode is checked before the texts are evaluated.
    if (socket->rawSocket) {
      args.ReportError(SocketMessages::kCantSendToDirect, false);
      return;
    }
    const std::string id = args.Text(1);
    if (!args.Running()) return;
    const std::string data = args.Text(2);
    if (!args.Running()) return;
    if (socket) socket->sendCommand(id, data);
    break;
  }
  case Cmd::SocketWriteCmd: {
    if (!socket->rawSocket) {
      args.ReportError(SocketMessages::kCantWriteToCommand, false);
      return;
    }
    const std::string bytes = args.Text(1);
    if (!args.Running()) return;
    if (socket) socket->writeBytes(bytes);
    break;
  }
  case Cmd::SocketClose: socket->closeConnection(); break;
  case Cmd::SocketFree: network.FreeSocket(index); break;
  default: break;
  }
}

void groupClose(Args& args, GameNetwork& network) {
  const int64_t F = truncToInt64(args.Number(0));
  if (!args.Running()) return;
  const int64_t L = truncToInt64(args.Number(1));
  if (!args.Running()) return;
  if (!network.CloseSocketGroup(F, L)) args.ReportError(SocketMessages::kInvalidGroupRange, false);
}

// The socket a number function addresses, or nullptr after its report.
EZprotocol* functionSocket(Args& args, GameNetwork& network, bool mustExist) {
  const int64_t i = functionIndex(args.Number(0));
  if (!validIndex(i)) {
    args.ReportError(SocketMessages::InvalidSocketNumber(numberOfIndex(i)), true);
    return nullptr;
  }
  EZprotocol* socket = network.GameSockets(i);
  if (!socket && mustExist) args.ReportError(SocketMessages::SocketDoesntExist(i + 1), true);
  return socket;
}

} // namespace

void Execute_SocketCommands(uint16_t code, Args& args, GameNetwork& network) {
  switch (Cmd(code)) {
  case Cmd::SocketCreate:
  case Cmd::SocketConnectCmd:
  case Cmd::SocketSendCommand:
  case Cmd::SocketClose:
  case Cmd::SocketFree:
  case Cmd::SocketWriteCmd: socketCommand(code, args, network); break;
  case Cmd::SocketGroupClose: groupClose(args, network); break;
  default: break;
  }
}

double SocketConnected(Args& args, GameNetwork& network) {
  const EZprotocol* socket = functionSocket(args, network, true);
  return socket && socket->IsConnected() ? 1 : 0;
}

double SocketExists(Args& args, GameNetwork& network) {
  const int64_t i = functionIndex(args.Number(0));
  if (!validIndex(i)) {
    args.ReportError(SocketMessages::InvalidSocketNumber(numberOfIndex(i)), true);
    return 0;
  }
  return network.GameSockets(i) ? 1 : 0;
}

std::string ListenSocket(Args& args, GameNetwork& network) {
  const double s = args.Number(0);
  const int64_t i = functionIndex(s);
  const double p = args.Number(1);
  if (!args.Running()) return {};
  if (!validIndex(i)) {
    args.ReportError(SocketMessages::InvalidSocketNumber(numberOfIndex(i)), false);
    return {};
  }
  EZprotocol* socket = network.GameSockets(i);
  if (!socket) {
    args.ReportError(SocketMessages::UninitializedSocket(FormatNumber(s)), false);
    return {};
  }
  return socket->Listen(truncToInt64(p));
}

std::string OpenSocketGroup(Args& args, GameNetwork& network) {
  const int64_t F = truncToInt64(args.Number(0));
  if (!args.Running()) return {};
  const int64_t L = truncToInt64(args.Number(1));
  if (!args.Running()) return {};
  const int64_t P = truncToInt64(args.Number(2));
  if (!args.Running()) return {};
  const std::string refusal = network.CheckNewGroup(F, L, P);
  if (!refusal.empty()) {
    args.ReportError(refusal, false);
    return {};
  }
  bool raw = false;
  if (args.Count() == 4) {
    const double flag = args.Number(3);
    if (!args.Running()) return {};
    raw = flag == 1;
  }
  return network.OpenSocketGroup(F, L, P, raw);
}

std::string FetchURL(Args& args, int64_t& UrlContentsErr) {
  const std::string url = args.Text(0);
  if (!args.Running()) return {};
  int64_t timeout = 10;
  if (args.Count() >= 2) {
    timeout = truncToInt64(args.Number(1));
    if (!args.Running()) return {};
  }
  return _GETURL(url, timeout, UrlContentsErr);
}

} // namespace qm::NetScript
