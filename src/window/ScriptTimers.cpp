// The game window's two timers: ScriptTimer opens the game once, after start-up has shown the
// first card; MasterTimer runs the game's own repeating timer script.
#include <QTimer>

#include "platform/EventEdge.h"
#include "window/GameWindow.h"

namespace qm {

void GameWindow::connectTimers() {
  connect(scriptTimer_, &QTimer::timeout, this, [this] {
    AtEventEdge("GameWindow.ScriptTimer.Action", [this] { ScriptTimer_Action(); });
  });
  connect(masterTimer_, &QTimer::timeout, this, [this] {
    AtEventEdge("GameWindow.MasterTimer.Action", [this] { MasterTimer_Action(); });
  });
}

void GameWindow::ScriptTimer_Action() {
  // A game that ended before the tick arrived has nothing left to open.
  if (!Running()) return;
  const std::string gameLocation = globalSlotLocation(GlobalOpenGame);
  runScript(globals().CompiledGlobalScripts.at(GlobalOpenGame), gameLocation);
  if (!Running()) return;
  const std::string cardOpen = cardLocation(card, CardOpen);
  runScript(CurrentCardRecord().CompiledScripts[CardOpen], cardOpen);
}

void GameWindow::MasterTimer_Action() {
  // A copy: the timer's script may restart the timer and replace TimerLoc while it runs.
  const std::string location = TimerLoc;
  runScript(TimerScript, location);
}

int64_t GameWindow::TicksToMilliseconds(double ticks) {
  return int64_t(ticks * 16.666666667);
}

}  // namespace qm
