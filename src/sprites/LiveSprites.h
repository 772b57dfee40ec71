#pragma once
// The game window's sprite collections: the library (Sprites, loaded with the game, element 0
// empty) and the live sprites (GameSprites, slots 1 to 1000) that scripts create from it and
// painting draws.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sprites/QMSprite.h"

namespace qm {

using SpriteLibrary = std::vector<std::unique_ptr<QMSprite>>;

// The number of library sprites (the library's upper bound).
int64_t SpriteCount(const SpriteLibrary& Sprites);
// The first library sprite (from 1 up) whose name equals name ignoring case; the library's own
// object, not a copy. nullptr when no name matches.
const QMSprite* GetSprite(const SpriteLibrary& Sprites, std::string_view name);

struct LiveSprites {
  static constexpr int64_t kLastSlot = 1000;

  // Slot 0 only until Open(); slots 0..1000 after it. Slot 0 is never used.
  std::vector<std::unique_ptr<QMSprite>> GameSprites = std::vector<std::unique_ptr<QMSprite>>(1);
  // Upper bound of the drawing loop: raised to n when slot n is created above it, lowered by one
  // when slot HighestSprite itself is deleted. At least the highest occupied slot, maybe higher.
  int64_t HighestSprite = 0;

  // Empties every slot and makes room for slots 1 to 1000 (the window's open handler).
  void Open();
  // The sprite in slot n; nullptr for an empty slot or an n outside 1..1000.
  QMSprite* At(int64_t n) const;
  // Create: slot n (1..1000) takes the sprite, replacing any that was there; HighestSprite
  // rises to n when below it.
  void Create(int64_t n, std::unique_ptr<QMSprite> sprite);
  // Replace: slot n takes the sprite; HighestSprite is not touched.
  void Replace(int64_t n, std::unique_ptr<QMSprite> sprite);
  // Delete: the sprite's Final is released and TimeToDraw cleared, the slot emptied; when n is
  // HighestSprite it becomes n - 1. An empty or invalid slot is left alone.
  void Delete(int64_t n);
  // The position assignment of scripts: x (or y when vertical) of the sprite in slot n becomes
  // value and the sprite is marked TimeToDraw. False when the slot is empty or invalid.
  bool SetPosition(int64_t n, bool vertical, int64_t value);
};

}  // namespace qm
