#pragma once
// Turns a loaded game back into readable text: settings, libraries, cards, methods, menu items,
// pools, lists and every script one command a line. Never throws on bad indexes: what cannot be
// resolved is shown as such.
#include <cstdint>
#include <ostream>
#include <string>

#include "data/GameData.h"

namespace qm::tools {

// An operand (parameter index p) written as an expression, e.g. Round(num[2] + 1).
std::string describeOperand(const GameGlobals& g, uint32_t p);
// One command with its decoded parameter list, e.g. "GoCard 2".
std::string describeCommand(const GameGlobals& g, uint16_t code, uint32_t listIndex);
// The whole game.
void dumpGame(std::ostream& out, const GameData& game);

} // namespace qm::tools
