// Miscellaneous commands: timers, text style, beep, leaving a loop.
#include "interpreter/CommandTable.h"
#include "interpreter/Interpreter.h"

namespace qm {

void Interpreter::Execute_MiscCommands(uint16_t code, List list, const std::string& location) {
  (void)list;
  (void)location;
  switch (static_cast<Cmd>(code)) {
    case Cmd::ExitFor: StopFOR = true; return;
    default: return;
  }
}

}  // namespace qm
