#include "sprites/SpriteCommands.h"

#include <algorithm>
#include <limits>
#include <string>

#include "interpreter/CommandTable.h"
#include "interpreter/Numbers.h"

namespace qm {

namespace {

int64_t saturatingAdd(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_add_overflow(a, b, &r))
    return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  return r;
}

class SpriteCommand {
 public:
  SpriteCommand(CommandParams& params, SpriteCommandTarget& target) : p_(params), t_(target) {}

  void run(uint16_t code) {
    if (!((code >= 55 && code <= 69) || code == 113 || code == 118)) return;
    // Common prologue: the slot number.
    if (!number(0, n_)) return;
    slot_ = truncToInt64(n_);
    if (slot_ < 1 || slot_ > LiveSprites::kLastSlot) {
      p_.Report("Invalid sprite number: " + std::to_string(slot_));
      return;
    }
    switch (Cmd(code)) {
      case Cmd::SpriteCreate: create(); break;
      case Cmd::SpriteReplace: replace(); break;
      case Cmd::SpriteMoveTo:
      case Cmd::SpriteMoveBy:
      case Cmd::SpriteSetFade:
      case Cmd::SpriteSetTilesX:
      case Cmd::SpriteSetTilesY:
      case Cmd::SpriteSetScaleX:
      case Cmd::SpriteSetScaleY:
      case Cmd::SpriteSetScale:
      case Cmd::SpriteSetFlipX:
      case Cmd::SpriteSetFlipY:
      case Cmd::SpriteSetRotation: change(Cmd(code)); break;
      case Cmd::SpriteDelete:
      case Cmd::SpriteHide:
      case Cmd::SpriteShow: showHideDelete(Cmd(code)); break;
      case Cmd::SpriteSetTint: tint(); break;
      default: break;
    }
  }

 private:
  // Evaluates number k; false when the game stopped.
  bool number(size_t k, double& out) {
    out = p_.Number(k);
    return p_.Running();
  }
  bool integer(size_t k, int64_t& out) {
    double v;
    if (!number(k, v)) return false;
    out = truncToInt64(v);
    return true;
  }

  QMSprite* needSprite() {
    QMSprite* s = t_.sprites.At(slot_);
    if (!s) p_.Report("Uninitialized sprite.");
    return s;
  }

  const QMSprite* librarySprite(const std::string& name) {
    const QMSprite* l = GetSprite(t_.library, name);
    if (!l) p_.Report("No sprite by the name of \"" + name + "\".");
    return l;
  }

  // The optional no-repaint flag at position k: exactly 1 asks for no repaint.
  void repaintUnlessFlag(size_t k) {
    if (p_.Count() > k) {
      double flag;
      if (!number(k, flag)) return;
      if (flag == 1) return;
    }
    repaint();
  }
  void repaint() {
    if (t_.repaint) t_.repaint();
  }

  bool readCut(QMSprite& s) {
    return integer(2, s.xcut) && integer(3, s.ycut) && integer(4, s.cutwidth) &&
           integer(5, s.cutheight);
  }

  void create() {
    const std::string name = p_.Text(1);
    if (!p_.Running()) return;
    const QMSprite* l = librarySprite(name);
    if (!l) return;
    std::unique_ptr<QMSprite> s = l->Clone();
    s->xScale = 100;
    s->yscale = 100;
    if (p_.Count() == 6 && !readCut(*s)) return;
    s->PreparePicture();
    s->hidden = false;
    t_.sprites.Create(slot_, std::move(s));
  }

  void replace() {
    const std::string name = p_.Text(1);
    if (!p_.Running()) return;
    const QMSprite* l = librarySprite(name);
    if (!l) return;
    std::unique_ptr<QMSprite> s = l->Clone();
    const QMSprite* o = needSprite();
    if (!o) return;
    s->xScale = o->xScale;
    s->yscale = o->yscale;
    s->XFlipped = o->XFlipped;
    s->YFlipped = o->YFlipped;
    s->xrepeat = o->xrepeat;
    s->yrepeat = o->yrepeat;
    s->x = o->x;
    s->y = o->y;
    s->tintcolor = o->tintcolor;
    s->tintvalue = o->tintvalue;
    const size_t count = p_.Count();
    if (count >= 6 && !readCut(*s)) return;
    // The flag is read with the other parameters, before the slot changes.
    bool noRepaint = false;
    if (count == 3 || count == 7) {
      double flag;
      if (!number(count == 3 ? 2 : 6, flag)) return;
      noRepaint = flag == 1;
    }
    QMSprite& placed = *s;
    t_.sprites.Replace(slot_, std::move(s));
    placed.PreparePicture();
    placed.hidden = false;
    placed.TimeToDraw = true;
    if (!noRepaint) repaint();
  }

  // Codes 57 to 66 and 118: values first, then the slot, TimeToDraw, the change, the flag.
  void change(Cmd code) {
    const bool twoValues = code == Cmd::SpriteMoveTo || code == Cmd::SpriteMoveBy;
    double v1, v2 = 0;
    if (!number(1, v1)) return;
    if (twoValues && !number(2, v2)) return;
    QMSprite* s = needSprite();
    if (!s) return;
    s->TimeToDraw = true;
    switch (code) {
      case Cmd::SpriteMoveTo:
        s->x = truncToInt64(v1);
        s->y = truncToInt64(v2);
        break;
      case Cmd::SpriteMoveBy:
        // x truncates the sum, y adds the truncated step: the axes differ for fractions.
        s->x = truncToInt64(double(s->x) + v1);
        s->y = saturatingAdd(s->y, truncToInt64(v2));
        break;
      case Cmd::SpriteSetFade:
        s->fade = truncToInt64(v1);
        s->PrepareFade();  // not a preparation of the picture: a faded copy to draw faster
        break;
      case Cmd::SpriteSetTilesX:
        s->xrepeat = truncToInt64(v1);
        s->PreparePicture();
        break;
      case Cmd::SpriteSetTilesY:
        s->yrepeat = truncToInt64(v1);
        s->PreparePicture();
        break;
      case Cmd::SpriteSetScaleX:
        if (s->xScale != v1) {
          s->xScale = v1;
          s->PreparePicture();
        }
        break;
      case Cmd::SpriteSetScaleY:
        if (s->yscale != v1) {
          s->yscale = v1;
          s->PreparePicture();
        }
        break;
      case Cmd::SpriteSetScale:
        if (!(s->xScale == v1 && s->yscale == v1)) {
          s->xScale = v1;
          s->yscale = v1;
          s->PreparePicture();
        }
        break;
      case Cmd::SpriteSetFlipX:
        s->XFlipped = v1 == 1;
        s->PreparePicture();
        break;
      case Cmd::SpriteSetFlipY:
        s->YFlipped = v1 == 1;
        s->PreparePicture();
        break;
      case Cmd::SpriteSetRotation:
        s->rotation = v1;
        s->PreparePicture();
        break;
      default: break;
    }
    repaintUnlessFlag(twoValues ? 3 : 2);
  }

  // Codes 67 to 69: the slot is looked up before anything else is evaluated.
  void showHideDelete(Cmd code) {
    QMSprite* s = needSprite();
    if (!s) return;
    if (code == Cmd::SpriteDelete)
      t_.sprites.Delete(slot_);
    else
      s->hidden = code == Cmd::SpriteHide;
    repaintUnlessFlag(1);
  }

  void tint() {
    QMSprite* s = needSprite();
    if (!s) return;
    // No running check between the three components.
    const int64_t red = truncToInt64(p_.Number(1));
    const int64_t green = truncToInt64(p_.Number(2));
    const int64_t blue = truncToInt64(p_.Number(3));
    s->tintcolor = TintColour(red, green, blue);
    if (!p_.Running()) return;
    if (!integer(4, s->tintvalue)) return;
    s->PreparePicture();
    if (p_.Count() == 5) {
      repaint();
      return;
    }
    repaintUnlessFlag(5);
  }

  CommandParams& p_;
  SpriteCommandTarget& t_;
  double n_ = 0;
  int64_t slot_ = 0;
};

}  // namespace

uint32_t TintColour(int64_t red, int64_t green, int64_t blue) {
  auto c = [](int64_t v) { return uint32_t(std::clamp<int64_t>(v, 0, 255)); };
  return c(red) << 16 | c(green) << 8 | c(blue);
}

void RunSpriteCommand(uint16_t code, CommandParams& params, SpriteCommandTarget& target) {
  SpriteCommand(params, target).run(code);
}

}  // namespace qm
