// The command families of the sprite, draw, movie and socket subsystems. Each subsystem takes its
// entry point over (and removes it here) when its commands are written; until then a code does
// nothing, as for any handler that does not know a code.
#include "interpreter/Interpreter.h"

namespace qm {

void Interpreter::Execute_SocketCommands(uint16_t code, List list, const std::string& location) {
  (void)code;
  (void)list;
  (void)location;
}

void Interpreter::Execute_SpriteCommands(uint16_t code, List list, const std::string& location) {
  (void)code;
  (void)list;
  (void)location;
}

void Interpreter::Execute_MovieCommands(uint16_t code, List list, const std::string& location) {
  (void)code;
  (void)list;
  (void)location;
}

void Interpreter::Execute_DrawCommands(uint16_t code, List list, const std::string& location,
                                       QPainter* graphics) {
  (void)code;
  (void)list;
  (void)location;
  (void)graphics;
}

}  // namespace qm
