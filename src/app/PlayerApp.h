#pragma once
// The application: its open handler loads the game, builds the game window and runs the game;
// automation (replay, timeout) hangs off it.
#include <QString>
#include <memory>
#include <vector>

#include "app/Replay.h"

namespace qm {

class GameWindow;
class ReplayDriver;
class ScriptedDialogs;

class PlayerApp {
 public:
  // dialogs: the non-interactive dialogs of a replay run (nullptr otherwise). With endAfterStart
  // the run ends once start-up's events are handled, as after an empty replay.
  PlayerApp(QString resourcesFolder, std::vector<ReplayCommand> replay, ScriptedDialogs* dialogs,
            bool endAfterStart);
  ~PlayerApp();
  PlayerApp(const PlayerApp&) = delete;
  PlayerApp& operator=(const PlayerApp&) = delete;

  // The application's open handler: load, RunGame, then the replay. Call it from inside the
  // event loop: every way it ends is a quit request.
  void Open();
  // The game is over: stop the timers and take the windows down.
  void Shutdown();
  // The timeout: the game stops where it is.
  void TimedOut();

  GameWindow* window() const { return window_.get(); }
  // --trace: every command run goes to the log.
  void SetTrace(bool on) { trace_ = on; }

 private:
  void startUp();

  QString folder_;
  std::vector<ReplayCommand> replay_;
  ScriptedDialogs* dialogs_;
  std::unique_ptr<ScriptedDialogs> ownDialogs_;  // answers queue when none was given
  bool replayRequested_;
  bool trace_ = false;
  std::unique_ptr<GameWindow> window_;
  std::unique_ptr<ReplayDriver> driver_;
};

}  // namespace qm
