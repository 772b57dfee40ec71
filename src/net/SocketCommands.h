#pragma once
// The script side of networking: the socket commands (codes 50 to 54, 106 and 111) and the
// functions SocketConnected, SocketExists, ListenSocket, OpenSocketGroup and FetchURL, with their
// order of evaluation, their checks of the running flag and their messages. The interpreter
// hands each of them its arguments through NetScript::Args (see docs/network.md for the wiring).
#include <cstddef>
#include <cstdint>
#include <string>

#include "interpreter/CommandParams.h"

namespace qm {

class GameNetwork;

namespace NetScript {

// A command's or a function call's arguments, evaluated on demand, and the error report.
using Args = CommandParams;

// Execute_SocketCommands: codes 50..54, 106 and 111; any other code does nothing.
void Execute_SocketCommands(uint16_t code, Args& args, GameNetwork& network);

// Number functions (single-argument form): 1 or 0.
double SocketConnected(Args& args, GameNetwork& network);
double SocketExists(Args& args, GameNetwork& network);

// Text functions (argument lists).
std::string ListenSocket(Args& args, GameNetwork& network);
std::string OpenSocketGroup(Args& args, GameNetwork& network);
// Both forms: the URL, then in the list form the time limit in seconds (10 without it).
std::string FetchURL(Args& args, int64_t& UrlContentsErr);

} // namespace NetScript
} // namespace qm
