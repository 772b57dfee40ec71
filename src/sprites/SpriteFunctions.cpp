#include "sprites/SpriteFunctions.h"

#include <string>

#include "interpreter/FunctionTable.h"
#include "interpreter/Numbers.h"

namespace qm {

namespace {

class SpriteFunction {
 public:
  SpriteFunction(CommandParams& args, const LiveSprites& sprites) : a_(args), s_(sprites) {}

  double run(uint32_t id) {
    switch (NumFn(id)) {
      case NumFn::SpriteExists: {
        const int64_t n = truncToInt64(a_.Number(0));
        if (!a_.Running()) return 0;
        return s_.At(n) ? 1 : 0;
      }
      case NumFn::SpriteWidth: return property(id);
      case NumFn::SpriteHeight: return property(id);
      case NumFn::SpriteXScale: return property(id);
      case NumFn::SpriteXRepeat: return property(id);
      case NumFn::SpriteYRepeat: return property(id);
      case NumFn::SpriteYScale: return property(id);
      case NumFn::SpriteX: return property(id);
      case NumFn::SpriteY: return property(id);
      case NumFn::SpriteFade: return property(id);
      case NumFn::SpriteXScale2: return property(id);
      case NumFn::SpritesOverlap: return overlap();
      case NumFn::SpriteContains: return contains();
      case NumFn::SpriteOpacityAt: return opacityAt();
      default: return 0;
    }
  }

 private:
  // Argument k as a valid sprite; nullptr (after the report, if any) otherwise.
  const QMSprite* sprite(size_t k) {
    const int64_t n = truncToInt64(a_.Number(k));
    if (!a_.Running()) return nullptr;
    const QMSprite* s = s_.At(n);
    if (!s) a_.Report("Invalid sprite number: " + std::to_string(n));
    return s;
  }

  double property(uint32_t id) {
    const QMSprite* s = sprite(0);
    if (!s) return 0;
    switch (NumFn(id)) {
      case NumFn::SpriteWidth: return s->Final.width();
      case NumFn::SpriteHeight: return s->Final.height();
      case NumFn::SpriteXScale:
      case NumFn::SpriteXScale2: return s->xScale;
      case NumFn::SpriteXRepeat: return double(s->xrepeat);
      case NumFn::SpriteYRepeat: return double(s->yrepeat);
      case NumFn::SpriteYScale: return s->yscale;
      case NumFn::SpriteX: return double(s->x);
      case NumFn::SpriteY: return double(s->y);
      case NumFn::SpriteFade: return double(s->fade);
      default: return 0;
    }
  }

  double overlap() {
    const QMSprite* a = sprite(0);
    if (!a) return 0;
    const QMSprite* b = sprite(1);
    if (!b) return 0;
    const double ax = double(a->x), ay = double(a->y), aw = a->Final.width(),
                 ah = a->Final.height();
    const double bx = double(b->x), by = double(b->y), bw = b->Final.width(),
                 bh = b->Final.height();
    return ax < bx + bw && bx < ax + aw && by < ay + ah && ay < by + bh ? 1 : 0;
  }

  // All edges exclusive; y is evaluated only when x lies inside.
  double contains() {
    const QMSprite* s = sprite(0);
    if (!s) return 0;
    const double px = a_.Number(1);
    if (!a_.Running()) return 0;
    const double sx = double(s->x), sy = double(s->y);
    if (px >= sx + s->Final.width() || px <= sx) return 0;
    const double py = a_.Number(2);
    if (!a_.Running()) return 0;
    return sy < py && py < sy + s->Final.height() ? 1 : 0;
  }

  double opacityAt() {
    const QMSprite* s = sprite(0);
    if (!s) return 0;
    if (s->Final.isNull()) {
      a_.Report("Missing sprite mask.");
      return 0;
    }
    if (s->hidden) return 0;
    const double px = a_.Number(1);
    if (!a_.Running()) return 0;
    const double py = a_.Number(2);
    if (!a_.Running()) return 0;
    int64_t rx, ry;  // relative to the sprite; a difference beyond 64 bits lies outside it
    if (__builtin_sub_overflow(truncToInt64(px), s->x, &rx) ||
        __builtin_sub_overflow(truncToInt64(py), s->y, &ry))
      return 0;
    return OpacityAt(*s, rx, ry);
  }

  CommandParams& a_;
  const LiveSprites& s_;
};

}  // namespace

bool IsSpriteNumberFunction(uint32_t id) {
  return (id >= 6 && id <= 17) || id == 37 || id == 42;
}

double SpriteNumberFunction(uint32_t id, CommandParams& args, const LiveSprites& sprites) {
  if (!IsSpriteNumberFunction(id)) return 0;
  return SpriteFunction(args, sprites).run(id);
}

double OpacityAt(const QMSprite& sprite, int64_t px, int64_t py) {
  const QImage& f = sprite.Final;
  if (px < 0 || py < 0 || px >= f.width() || py >= f.height()) return 0;
  const int c = 255 - qAlpha(f.pixel(int(px), int(py)));  // the mask's grey: 255 transparent
  return (255 - c) / 2.55;
}

}  // namespace qm
