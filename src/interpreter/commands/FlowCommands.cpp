// Flow and navigation commands (codes 6 to 25).
#include "interpreter/Interpreter.h"

namespace qm {

void Interpreter::Execute_6to25(uint16_t code, List list, const std::string& location) {
  (void)code;
  (void)list;
  (void)location;
}

}  // namespace qm
