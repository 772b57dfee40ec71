#pragma once
// The sprite commands of scripts (codes 55 to 69, 113 and 118): create, replace, move, fade,
// tile, scale, mirror, rotate, tint, hide, show and delete live sprites. Parameters are
// evaluated through CommandParams in the order each command reads them, with a running check
// after each evaluation (none between the three colour components of the tint); messages go
// through CommandParams::Report and end the command.
//
// Wiring: Interpreter::Execute_SpriteCommands(code, list, location) builds a CommandParams over
// (list, location) and calls RunSpriteCommand with the game window's live sprites, library and
// repaint request.
#include <cstdint>
#include <functional>

#include "interpreter/CommandParams.h"
#include "sprites/LiveSprites.h"

namespace qm {

struct SpriteCommandTarget {
  LiveSprites& sprites;
  const SpriteLibrary& library;
  // Asks the game window to redraw its whole area at the next opportunity, without erasing.
  std::function<void()> repaint;
};

// Runs one sprite command; a code that is not a sprite command does nothing.
void RunSpriteCommand(uint16_t code, CommandParams& params, SpriteCommandTarget& target);

// The 0xRRGGBB colour of the tint command: each component held to 0..255.
uint32_t TintColour(int64_t red, int64_t green, int64_t blue);

}  // namespace qm
