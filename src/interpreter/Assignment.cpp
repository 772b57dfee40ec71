// Assignment: NewSetVariable (numbers) and NewSetStringVariable (texts), to variables, array
// elements and the few built-in values that scripts may assign.
#include "interpreter/FunctionTable.h"
#include "interpreter/Interpreter.h"
#include "interpreter/Numbers.h"
#include "interpreter/ScriptHost.h"
#include "support/Conversions.h"

namespace qm {

namespace {

constexpr int64_t kLastSprite = 1000;

// Element number e (1-based) as a 0-based index, or -1 when it is outside 0..size-1.
int64_t targetIndex(double e, std::size_t size) {
  const int64_t i = truncToInt64(e - 1);
  return (i < 0 || static_cast<uint64_t>(i) >= size) ? -1 : i;
}

}  // namespace

void Interpreter::NewSetVariable(uint32_t target, uint32_t source) {
  const OperandRec& t = operand(target);
  const uint8_t kind = t.kind;
  const uint32_t v = t.value;
  const double x = NewMath(source);
  if (!Running) return;
  switch (static_cast<OperandKind>(kind)) {
    case OperandKind::NumVariable: fastAt(g_.NumberVariables, v) = x; return;
    case OperandKind::NumFunction:
      if (v == static_cast<uint32_t>(NumFn0::WindowTop)) {
        if (x != static_cast<double>(host_.WindowTop())) host_.SetWindowTop(truncToInt64(x));
      } else if (v == static_cast<uint32_t>(NumFn0::WindowLeft)) {
        if (x != static_cast<double>(host_.WindowLeft())) host_.SetWindowLeft(truncToInt64(x));
      } else if (v == static_cast<uint32_t>(NumFn0::CurrentCard)) {
        if (x <= 0 || x >= static_cast<double>(g_.numcards) + 1)
          ShowError(ScriptLocation(), 0, "Invalid card: " + FormatNumber(x));
        else
          host_.ChangeCard(truncToInt64(x));
      }
      return;  // any other function: nothing happens
    case OperandKind::NumFunctionCall: {
      const bool vertical = v == static_cast<uint32_t>(NumFn::SpriteY);
      if (!vertical && v != static_cast<uint32_t>(NumFn::SpriteX))
        throw TypeMismatchException("function " + std::to_string(v) + " is not assignable");
      const int64_t n = truncToInt64(NewMath(t.ptr));
      if (!Running) return;
      if (n < 1 || n > kLastSprite)
        ShowError(ScriptLocation(), 0, "Invalid sprite number: " + std::to_string(n));
      else if (!host_.SpriteExists(n))
        ShowError(ScriptLocation(), 0, "Uninitialized sprite.");
      else
        host_.SetSpritePosition(n, vertical, truncToInt64(x));
      return;
    }
    case OperandKind::NumArrayElement: {
      const double e = NewMath(t.ptr);
      std::vector<double>& a = fastAt(g_.NumberArrays, v).thearray;
      const int64_t i = targetIndex(e, a.size());
      // Unlike a failed read, a failed write leaves the exit marker alone.
      if (i < 0)
        ShowError(ScriptLocation(), 0, "Array out of bounds.");
      else
        a[static_cast<std::size_t>(i)] = x;
      return;
    }
    default:
      throw TypeMismatchException(std::string("cannot assign a number to ") +
                                  operandKindName(kind));
  }
}

void Interpreter::NewSetStringVariable(uint32_t target, uint32_t source) {
  const OperandRec& t = operand(target);
  const uint8_t kind = t.kind;
  const uint32_t v = t.value;
  std::string s = NewProcessString(source);
  if (!Running) return;
  switch (static_cast<OperandKind>(kind)) {
    case OperandKind::StrVariable: fastAt(g_.StringVariables, v) = std::move(s); return;
    case OperandKind::StrFunction:
      if (v != static_cast<uint32_t>(StrFn0::WindowTitle))
        throw TypeMismatchException("function " + std::to_string(v) + " is not assignable");
      host_.SetWindowTitle(s);
      return;
    case OperandKind::StrArrayElement: {
      const double e = NewMath(t.ptr);
      std::vector<std::string>& a = fastAt(g_.StringArrays, v).thearray;
      const int64_t i = targetIndex(e, a.size());
      if (i < 0)
        ShowError(ScriptLocation(), 0, "Array out of bounds.");
      else
        a[static_cast<std::size_t>(i)] = std::move(s);
      return;
    }
    default:
      throw TypeMismatchException(std::string("cannot assign a text to ") + operandKindName(kind));
  }
}

}  // namespace qm
