// The interpreter's view of the game window (ScriptHost) and the script error report.
#include <QTimer>

#include "dialogs/DialogTools.h"
#include "platform/AutomationLog.h"
#include "platform/QuitRequest.h"
#include "support/ThrottledYield.h"
#include "window/GameCanvas.h"
#include "window/GameWindow.h"

namespace qm {

void GameWindow::ShowError(const std::string& location, int64_t /*line*/,
                           const std::string& message) {
  SetRunning(false);
  masterTimer_->stop();
  masterTimer_->setInterval(0);
  TimerScript = 0;
  DialogTools::ScriptErrorReport(location, message);
  CloseUpGame(true);
}

int64_t GameWindow::WindowLeft() const {
  return Position().x();
}

int64_t GameWindow::WindowTop() const {
  return Position().y();
}

void GameWindow::SetWindowLeft(int64_t left) {
  MoveTo(int(left), Position().y());
}

void GameWindow::SetWindowTop(int64_t top) {
  MoveTo(Position().x(), int(top));
}

std::string GameWindow::WindowTitle() const {
  return windowTitle().toStdString();
}

void GameWindow::SetWindowTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

bool GameWindow::SpriteExists(int64_t n) const {
  return liveSprites.At(n) != nullptr;
}

int64_t GameWindow::SpritePosition(int64_t n, bool vertical) const {
  const QMSprite* s = liveSprites.At(n);
  return s ? (vertical ? s->y : s->x) : 0;
}

void GameWindow::SetSpritePosition(int64_t n, bool vertical, int64_t value) {
  // The whole card area is redrawn, without erasing, at the next opportunity.
  if (liveSprites.SetPosition(n, vertical, value)) canvas_->update();
}

void GameWindow::ServeEvents() {
  ServePendingEvents();
  // A quit requested by an event served here ends the script that yielded.
  ThrowIfQuitting();
}

void GameWindow::LogLine(std::string_view line) {
  Log().rawLine(line);
}

}  // namespace qm
