#pragma once
// The number functions of scripts that read live sprites (IDs 6 to 17, 37 and 42). The argument
// list comes through CommandParams (argument k is entry k; the single-argument form has one
// entry). A sprite number outside 1..1000 or naming an empty slot is reported as
// "Invalid sprite number: " + the number and yields 0 (SpriteExists reports nothing). Every
// evaluation is followed by a running check; a stopped game yields 0.
//
// Wiring: NumFnWithParams routes these IDs, in the form each is defined for, to
// SpriteNumberFunction over a CommandParams for the call's arguments.
#include <cstdint>

#include "interpreter/CommandParams.h"
#include "sprites/LiveSprites.h"

namespace qm {

// True for the IDs SpriteNumberFunction serves.
bool IsSpriteNumberFunction(uint32_t id);

double SpriteNumberFunction(uint32_t id, CommandParams& args, const LiveSprites& sprites);

// SpriteOpacityAt reads the prepared picture's alpha channel as its mask: the opacity in percent
// (alpha / 2.55, not rounded) of Final's pixel at (px, py), relative to the sprite's top-left
// corner. Points outside the picture are fully transparent (0).
double OpacityAt(const QMSprite& sprite, int64_t px, int64_t py);

}  // namespace qm
