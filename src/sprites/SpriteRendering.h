#pragma once
// Drawing the live sprites over the card (RenderSprites). The card painting calls it once per
// paint at the point the card's PaintBehavior selects, and the draw-sprites command of paint
// scripts calls it again on the same context. It only draws prepared pictures.
#include <QSize>

#include "sprites/LiveSprites.h"

class QPainter;

namespace qm {

// Draws slots 1..HighestSprite in increasing order (higher slots on top). A sprite is drawn when
// it is TimeToDraw, not hidden, and its unrotated Final rectangle passes the inclusive cull
// against area (the card picture's size): x <= width, y <= height, x + Final width >= 0,
// y + Final height >= 0. Each drawn sprite first sets the context's opacity from its fade
// (transparency fade * 100 / 255 percent; fades outside 0..255 act as 0 or 255), and that
// opacity stays in force on the context afterwards. A rotated sprite draws its turned picture
// centred on the centre of its unrotated rectangle.
//
// With no context (g == nullptr) nothing is drawn, and NilObjectException is thrown as soon as a
// sprite would be drawn.
void RenderSprites(QPainter* g, const LiveSprites& sprites, QSize area);

// The context opacity (0..1) for a fade value.
double OpacityForFade(int64_t fade);
// True for an opacity at which the toolkit draws nothing (below half a step of 1/256).
inline bool Invisible(double opacity) {
  return opacity * 256 < 0.5;
}

}  // namespace qm
