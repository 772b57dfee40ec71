#include "dialogs/DesktopShield.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QScreen>

#include "data/GameGlobals.h"
#include "platform/EventEdge.h"
#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {
QPointer<DesktopShield>& shield() {
  static QPointer<DesktopShield> s;
  return s;
}
}  // namespace

DesktopShield::DesktopShield(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setObjectName("DesktopShield");
  menu_ = new RuntimeMenu(this);
  menu_->applySettings();
  setMenuBar(menu_);
  setCentralWidget(new QWidget(this));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  // The menu bar keeps the toolkit's colours.
  menu_->setPalette(QApplication::palette(menu_));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
}

DesktopShield& DesktopShield::Show(const GameGlobals& g) {
  if (!shield()) shield() = new DesktopShield();
  shield()->menu_->Shape(g);
  shield()->menu_->setVisible(!g.hidemenubar);
  shield()->show();
  return *shield();
}

DesktopShield* DesktopShield::Instance() {
  return shield().data();
}

void DesktopShield::Destroy() {
  delete shield().data();
}

bool DesktopShield::IsFrontmost() {
  return shield() && QApplication::activeWindow() == shield().data();
}

void DesktopShield::bringGameToFront() {
  GameWindow* w = GameWindow::Instance();
  if (!w || !w->mayDoMoved) return;
  w->show();
  w->raise();
  w->activateWindow();
}

void DesktopShield::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    AtEventEdge("DesktopShield.Activate", [this] { bringGameToFront(); });
}

void DesktopShield::mousePressEvent(QMouseEvent* event) {
  AtEventEdge("DesktopShield.MouseDown", [this] { bringGameToFront(); });
  event->ignore();  // not handled
}

}  // namespace qm
