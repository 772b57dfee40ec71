#include "sprites/LiveSprites.h"

#include <cassert>

#include "interpreter/TextCompare.h"

namespace qm {

int64_t SpriteCount(const SpriteLibrary& Sprites) {
  return Sprites.empty() ? 0 : int64_t(Sprites.size()) - 1;
}

const QMSprite* GetSprite(const SpriteLibrary& Sprites, std::string_view name) {
  for (size_t i = 1; i < Sprites.size(); ++i)
    if (Sprites[i] && textEqualsIgnoreCase(Sprites[i]->Name, name)) return Sprites[i].get();
  return nullptr;
}

void LiveSprites::Open() {
  GameSprites.clear();
  GameSprites.resize(size_t(kLastSlot) + 1);
}

QMSprite* LiveSprites::At(int64_t n) const {
  if (n < 1 || n >= int64_t(GameSprites.size())) return nullptr;
  return GameSprites[size_t(n)].get();
}

void LiveSprites::Create(int64_t n, std::unique_ptr<QMSprite> sprite) {
  assert(n >= 1 && n <= kLastSlot);
  if (int64_t(GameSprites.size()) <= n) GameSprites.resize(size_t(kLastSlot) + 1);
  GameSprites[size_t(n)] = std::move(sprite);
  if (HighestSprite < n) HighestSprite = n;
}

void LiveSprites::Replace(int64_t n, std::unique_ptr<QMSprite> sprite) {
  assert(n >= 1 && n <= kLastSlot);
  if (int64_t(GameSprites.size()) <= n) GameSprites.resize(size_t(kLastSlot) + 1);
  GameSprites[size_t(n)] = std::move(sprite);
}

void LiveSprites::Delete(int64_t n) {
  QMSprite* s = At(n);
  if (!s) return;
  s->Final = QImage();
  s->TimeToDraw = false;
  GameSprites[size_t(n)].reset();
  if (HighestSprite == n) HighestSprite = n - 1;
}

bool LiveSprites::SetPosition(int64_t n, bool vertical, int64_t value) {
  QMSprite* s = At(n);
  if (!s) return false;
  s->TimeToDraw = true;
  (vertical ? s->y : s->x) = value;
  return true;
}

}  // namespace qm
