// The entry points of the number and text function libraries. Every function operand goes
// through these four. Functions not written yet give 0 or the empty text.
#include "interpreter/FunctionTable.h"
#include "interpreter/Interpreter.h"
#include "interpreter/ScriptHost.h"
#include "support/Conversions.h"

namespace qm {

double Interpreter::NumFnNoParams(uint32_t id) {
  switch (static_cast<NumFn0>(id)) {
    case NumFn0::WindowTop: return static_cast<double>(host_.WindowTop());
    case NumFn0::WindowLeft: return static_cast<double>(host_.WindowLeft());
    case NumFn0::CurrentCard: return static_cast<double>(host_.CurrentCard());
    default: return 0;
  }
}

double Interpreter::NumFnWithParams(uint32_t id, uint32_t argument) {
  (void)id;
  (void)argument;
  return 0;
}

std::string Interpreter::StrFnNoParams(uint32_t id) {
  switch (static_cast<StrFn0>(id)) {
    case StrFn0::WindowTitle: return host_.WindowTitle();
    default: return {};
  }
}

std::string Interpreter::StrFnWithParams(uint32_t id, uint32_t argument) {
  switch (static_cast<StrFn>(id)) {
    case StrFn::Str:
      if (operand(argument).kind == static_cast<uint8_t>(OperandKind::ArgumentList))
        return {};  // a form Str does not serve
      return GameMethods::GoodStr(NewMath(argument));
    default: return {};
  }
}

}  // namespace qm
