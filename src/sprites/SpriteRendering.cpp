#include "sprites/SpriteRendering.h"

#include <QPainter>
#include <algorithm>

#include "support/Errors.h"

namespace qm {

double OpacityForFade(int64_t fade) {
  const double transparencyPercent = double(fade) * 0.392156862745098;
  return std::clamp(1.0 - transparencyPercent / 100, 0.0, 1.0);
}

void RenderSprites(QPainter* g, const LiveSprites& sprites, QSize area) {
  const int64_t last =
      std::min<int64_t>(sprites.HighestSprite, int64_t(sprites.GameSprites.size()) - 1);
  const auto& live = sprites.GameSprites;
  bool drewAny = false;
  double opacity = 1;
  for (int64_t i = 1; i <= last; ++i) {
    const QMSprite* s = live[size_t(i)].get();
    if (!s || !s->TimeToDraw || s->hidden) continue;
    // The order of the tests keeps x + width from overflowing.
    if (s->x > area.width() || s->y > area.height()) continue;
    if (s->x + s->Final.width() < 0 || s->y + s->Final.height() < 0) continue;
    if (!g) throw NilObjectException("no drawing context for the sprites");
    drewAny = true;
    opacity = OpacityForFade(s->fade);
    const QImage& picture = s->DrawnPicture();
    if (picture.isNull() || Invisible(opacity)) continue;
    QPoint at(int(s->x), int(s->y));
    if (s->rotation != 0) at += s->FinalPixmap.offset;
    const FadedPicture& faded = s->Faded;
    if (opacity < 1 && faded.fade == s->fade && faded.source == picture.cacheKey() &&
        !faded.picture.isNull()) {
      g->setOpacity(1);
      g->drawImage(at, faded.picture);
    } else {
      g->setOpacity(opacity);
      g->drawImage(at, picture);
    }
  }
  // The last drawn sprite's transparency stays in force for whatever the caller draws next.
  if (drewAny) g->setOpacity(opacity);
}

}  // namespace qm
