// File, button and field commands (codes 28 to 48).
#include "interpreter/Interpreter.h"

namespace qm {

void Interpreter::Execute_28to48(uint16_t code, List list, const std::string& location) {
  (void)code;
  (void)list;
  (void)location;
}

}  // namespace qm
