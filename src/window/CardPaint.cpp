// Painting the card area: the frames around picture and text, then the card picture, the live
// sprites, the darkened pressed click area and the card's and the game's paint scripts.
#include <QCursor>
#include <QPainter>

#include "interpreter/Interpreter.h"
#include "platform/EventEdge.h"
#include "sprites/SpriteRendering.h"
#include "window/GameCanvas.h"
#include "window/GameWindow.h"

namespace qm {

namespace {
const QColor kFrameColour(0x62, 0x62, 0x62);
constexpr int kCardAreaOrigin = 5;
}  // namespace

void GameWindow::Event_Paint(QPainter& g) {
  if (!Running()) return;
  g.setRenderHint(QPainter::Antialiasing, false);
  // A failure in either half stops this repaint; the game goes on.
  bool boxesDone = false;
  AtEventEdge("GameWindow.DrawBoxes", [&] {
    DrawBoxes(g);
    boxesDone = true;
  });
  if (!boxesDone) return;
  AtEventEdge("GameWindow.DrawPicture", [&] { DrawPicture(g); });
}

void GameWindow::DrawBoxes(QPainter& g) {
  if (globals().WindowSize >= 4 || card < 1) return;
  const QMCard& c = CurrentCardRecord();
  const int w = int(GetWidthOffset()), h = int(GetHeightOffset());
  g.save();
  g.setPen(kFrameColour);
  g.setBrush(Qt::NoBrush);
  // A one-pixel outline whose outer edge is exactly (left, top, width, height).
  auto frame = [&](int left, int top, int width, int height) {
    g.drawRect(left, top, width - 1, height - 1);
  };
  if (c.WidePicture) {
    if (c.FramePict) frame(4, 4, 2 * w + 542, h + 293);
  } else {
    if (c.FramePict) frame(4, 4, w + 269, h + 293);
    if (c.FrameTxt) frame(w + 277, 4, w + 269, h + 293);
  }
  g.restore();
}

void GameWindow::DrawPicture(QPainter& g) {
  if (!MayDrawpicture || !Running()) return;
  const bool framed = globals().WindowSize < 4;
  const QRect area(QPoint(0, 0), BlankPicture.size());
  g.save();
  // Restores the caller's painter however this ends (scripts may throw).
  struct Restore {
    QPainter& g;
    ~Restore() { g.restore(); }
  } restore{g};
  if (framed) {
    g.setClipRect(QRect(QPoint(kCardAreaOrigin, kCardAreaOrigin), BlankPicture.size()));
    g.translate(kCardAreaOrigin, kCardAreaOrigin);
  }

  const QMCard& c = CurrentCardRecord();
  const QColor bg = BackgroundColor();
  if (!c.Picture.isNull()) {
    if (c.Picture.width() < area.width() || c.Picture.height() < area.height())
      g.fillRect(area, bg);
    g.drawImage(QPoint(0, 0), c.Picture);
  } else {
    g.fillRect(area, bg);
  }

  if (c.PaintBehavior == 0) RenderSprites(&g, liveSprites, area.size());

  if (CurrentCA && CurrentCA->Invert) {
    QPoint mouse = canvas_->mapFromGlobal(QCursor::pos());
    if (framed) mouse -= QPoint(kCardAreaOrigin, kCardAreaOrigin);
    if (CurrentCA->InBounds(mouse.x(), mouse.y()))
      g.drawImage(QRect(int(CurrentCA->left), int(CurrentCA->top), int(CurrentCA->width),
                        int(CurrentCA->height)),
                  darkenPic);
  }

  const uint32_t cardPaint = c.CompiledScripts[CardPaint];
  if (mayCallPaintEvent && cardPaint != 0) {
    const std::string location = cardLocation(card, CardPaint);
    interpreter_->ExecuteScript(cardPaint, location, &g);
    if (!Running()) return;
  }

  if (c.PaintBehavior == 1) RenderSprites(&g, liveSprites, area.size());

  // A repaint the card change forces before opening the card runs no script at all.
  const uint32_t gamePaint = globals().CompiledGlobalScripts.at(GlobalPaint);
  if (mayCallPaintEvent && gamePaint != 0) {
    const std::string location = globalSlotLocation(GlobalPaint);
    interpreter_->ExecuteScript(gamePaint, location, &g);
  }
}

}  // namespace qm
