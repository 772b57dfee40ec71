#pragma once
// What a command handler of a subsystem (sprites, draw commands, the movie, sockets) needs of
// the interpreter: its parameters, evaluated on demand in the order the handler asks for them,
// the game's running flag, and the script error report. The interpreter implements it over a
// command's parameter list (NewMath, NewProcessString, Running, ShowError with the script's
// location); tests implement it over plain values and record the order of evaluation.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qm {

class CommandParams {
 public:
  virtual ~CommandParams() = default;
  // The number of entries in the list (1 for a function's single-argument form).
  virtual size_t Count() const = 0;
  // Entry k evaluated as a number / as a text. An entry beyond the list throws
  // OutOfBoundsException (the dispatcher reports it).
  virtual double Number(size_t k) = 0;
  virtual std::string Text(size_t k) = 0;
  // The game's running flag; false once any error has been reported.
  virtual bool Running() const = 0;
  // ShowError(ScriptLocation, 0, message); with markExit the exit marker DeathLoc is set to
  // ScriptLocation first. May throw (the game ends).
  virtual void ReportError(const std::string& message, bool markExit) = 0;
  void Report(const std::string& message) { ReportError(message, false); }
};

}  // namespace qm
