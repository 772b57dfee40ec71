#pragma once
// The narrow seam through which the interpreter reaches the game window and the dialogs. The
// game window implements it for the real player; tests use a small recording stand-in. Only what
// scripts read or change on screen is here; everything has a harmless default except ShowError.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  // The script error report. The interpreter has already set its Running flag false when this is
  // called (Interpreter::ShowError); the real implementation stops the master timer, shows the
  // report ("Event: " location, "Error: " message) and ends the game (CloseUpGame), which may
  // throw EndException. The line number is always 0 from the interpreter and is not shown.
  virtual void ShowError(const std::string& location, int64_t line, const std::string& message) = 0;

  // Game window position (screen coordinates of its content area) and title.
  virtual int64_t WindowLeft() const { return 0; }
  virtual int64_t WindowTop() const { return 0; }
  virtual void SetWindowLeft(int64_t /*left*/) {}
  virtual void SetWindowTop(int64_t /*top*/) {}
  virtual std::string WindowTitle() const { return {}; }
  virtual void SetWindowTitle(const std::string& /*title*/) {}

  // The current card number and the card change (closing and opening scripts, repaint). The
  // interpreter checks the range 1..numcards before calling ChangeCard; ChangeCard itself
  // rejects card 0.
  virtual int64_t CurrentCard() const { return 0; }
  virtual void ChangeCard(int64_t /*card*/) {}

  // Live sprites 1..1000. SpriteExists: a sprite is in slot n. SpritePosition: its x (or y when
  // vertical). SetSpritePosition: sets x (or y), marks the sprite TimeToDraw and asks for a
  // repaint of the whole window without erasing. The interpreter range-checks n and reports
  // "Uninitialized sprite." itself when SpriteExists is false.
  virtual bool SpriteExists(int64_t /*n*/) const { return false; }
  virtual int64_t SpritePosition(int64_t /*n*/, bool /*vertical*/) const { return 0; }
  virtual void SetSpritePosition(int64_t /*n*/, bool /*vertical*/, int64_t /*value*/) {}

  // Serves pending events (cooperative yield). The interpreter calls it through its throttle
  // (support/ThrottledYield.h), never per element. Default: QCoreApplication::processEvents
  // when an application object exists.
  virtual void ServeEvents();

  // One line for the automation log (--log); the --trace lines come through here, already
  // formatted as JSON without the line end.
  virtual void LogLine(std::string_view /*line*/) {}
};

}  // namespace qm
