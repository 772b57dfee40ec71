#include "window/GameCanvas.h"

#include <QPainter>
#include <QPalette>

namespace qm {

GameCanvas::GameCanvas(QWidget* parent) : QWidget(parent) {
  // White, and the background colour in use: areas nothing paints show it.
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void GameCanvas::paintEvent(QPaintEvent* /*event*/) {
  if (!paint_) return;
  QPainter g(this);
  paint_(g);
}

}  // namespace qm
