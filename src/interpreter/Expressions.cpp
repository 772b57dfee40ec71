// Operand evaluation: NewMath (numbers) and NewProcessString (texts).
#include <charconv>
#include <cmath>

#include "interpreter/Interpreter.h"
#include "interpreter/NestingGuard.h"
#include "interpreter/Numbers.h"

namespace qm {

namespace {

constexpr const char* kArrayOutOfBounds = "Array out of bounds.";

// Element number e (1-based) as a 0-based index, or -1 when it is outside 0..size-1.
int64_t elementIndex(double e, std::size_t size) {
  const int64_t i = truncToInt64(e - 1);
  return (i < 0 || static_cast<uint64_t>(i) >= size) ? -1 : i;
}

}  // namespace

double leadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < s.size() && s[i] == '+')
    start = ++i;  // from_chars takes '-' only
  else if (i < s.size() && s[i] == '-')
    ++i;
  const auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  bool any = false;
  while (digit(i)) ++i, any = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (digit(i)) ++i, any = true;
  }
  if (!any) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    if (digit(k)) {
      while (digit(k)) ++k;
      i = k;
    }
  }
  double x = 0;
  const auto [end, ec] = std::from_chars(s.data() + start, s.data() + i, x);
  (void)end;
  // Out of range: from_chars leaves x alone; give the zero or infinity the text stands for.
  if (ec == std::errc::result_out_of_range) {
    const std::string_view t = s.substr(start, i - start);
    const std::size_t e = t.find_first_of("eE");
    if (e != std::string_view::npos && e + 1 < t.size() && t[e + 1] == '-') return 0;
    return t.front() == '-' ? -HUGE_VAL : HUGE_VAL;
  }
  return x;
}

Interpreter::List Interpreter::Arguments(const uint32_t& a) {
  const OperandRec& op = operand(a);
  if (op.kind == static_cast<uint8_t>(OperandKind::ArgumentList))
    return fastAt(g_.ParameterLists, op.value).list;
  return List(&a, 1);
}

double Interpreter::newMathOther(const OperandRec& op) {
  const uint32_t v = op.value;
  switch (static_cast<OperandKind>(op.kind)) {
    case OperandKind::NumLiteral: return fastAt(g_.NumberLiterals, v);
    case OperandKind::NumVariable: return fastAt(g_.NumberVariables, v);
    case OperandKind::NumFunction: return NumFnNoParams(v);
    case OperandKind::NumFunctionCall: {
      NestingGuard guard(*this);
      return NumFnWithParams(v, op.ptr);
    }
    case OperandKind::NumArrayElement: {
      NestingGuard guard(*this);
      return numArrayElement(v, op.ptr);
    }
    case OperandKind::NumMethodCall: {
      NestingGuard guard(*this);
      const List arguments = Arguments(op.ptr);
      return RunNumber(fastRef(g_.Methods, v), arguments);
    }
    case OperandKind::MathExpression: return mathExpression(v);
    case OperandKind::NumMethod: {
      NestingGuard guard(*this);
      return RunNumber(fastRef(g_.Methods, v), {});
    }
    default: return 0;  // texts, argument lists, whole arrays: never converted
  }
}

namespace {

inline double applyOperator(uint8_t sign, double r, double x) {
  if (sign == 0) return r + x;
  if (sign == 2) return r * x;
  if (sign == 1) return r - x;
  if (sign == 3) return r / x;
  if (sign == 4) return integerDivide(r, x);
  return r;  // any other operator: the term was evaluated for its effects only
}

}  // namespace

double Interpreter::mathExpression(uint32_t v) {
  const ExpressionRec& e = fastAt(expressions_, v);
  if (!e.leavesOnly) {
    NestingGuard guard(*this);
    if (e.terms.empty()) [[unlikely]]
      return mathExpressionRecord(g_.MathExpressions[v]);
    return mathExpressionGeneral(e.terms);
  }
  // Variables and literals only: nothing here calls out, so the running result stays in a
  // register and no Running test is needed.
  const std::vector<double>& vars = g_.NumberVariables;
  const auto value = [&vars](const TermRec& t) {
    return t.kind == TermRec::Variable ? fastAt(vars, t.index) : t.literal;
  };
  double r = value(e.terms[0]);
  for (const TermRec& t : e.terms.subspan(1)) r = applyOperator(t.sign, r, value(t));
  return r;
}

double Interpreter::mathExpressionGeneral(std::span<const TermRec> terms) {
  bool stopped = false;
  const auto value = [this, &stopped](const TermRec& t) {
    if (t.kind == TermRec::Variable) return fastAt(g_.NumberVariables, t.index);
    if (t.kind == TermRec::Literal) return t.literal;
    const double x = NewMath(t.index);
    stopped = !Running;
    return x;
  };
  double r = value(terms[0]);
  if (stopped) return 0;
  for (const TermRec& t : terms.subspan(1)) {
    const double x = value(t);
    if (stopped) return 0;
    r = applyOperator(t.sign, r, x);
  }
  return r;
}

// The record as stored, for records the decoding does not take (they fail on their own terms).
double Interpreter::mathExpressionRecord(const QMMathExpression& e) {
  double r = NewMath(fastAt(e.vars, 0));
  if (!Running) return 0;
  for (std::size_t k = 1; k < e.vars.size(); ++k) {
    const double t = NewMath(e.vars[k]);
    if (!Running) return 0;
    const uint8_t op = fastAt(e.signs, k - 1);
    r = op == 0   ? r + t
        : op == 1 ? r - t
        : op == 2 ? r * t
        : op == 3 ? r / t
        : op == 4 ? integerDivide(r, t)
                  : r;
  }
  return r;
}

double Interpreter::numArrayElement(uint32_t v, uint32_t elementParam) {
  const double e = NewMath(elementParam);
  const std::vector<double>& a = fastAt(g_.NumberArrays, v).thearray;
  const int64_t i = elementIndex(e, a.size());
  if (i < 0) {
    DeathLoc = ScriptLocation();
    ShowError(ScriptLocation(), 0, kArrayOutOfBounds);
    return 0;
  }
  return a[static_cast<std::size_t>(i)];
}

std::string Interpreter::NewProcessString(uint32_t p) {
  const OperandRec& op = operand(p);
  const uint8_t kind = op.kind;
  const uint32_t v = op.value;
  switch (static_cast<OperandKind>(kind)) {
    case OperandKind::StrLiteral: return fastAt(g_.StringLiterals, v);
    case OperandKind::StrVariable: return fastAt(g_.StringVariables, v);
    case OperandKind::StrConcatenation: {
      NestingGuard guard(*this);
      return concatenation(v);
    }
    case OperandKind::StrFunction: return StrFnNoParams(v);
    case OperandKind::StrMethod: {
      NestingGuard guard(*this);
      return RunString(fastRef(g_.Methods, v), {});
    }
    case OperandKind::StrFunctionCall: {
      NestingGuard guard(*this);
      return StrFnWithParams(v, op.ptr);
    }
    case OperandKind::StrArrayElement: {
      NestingGuard guard(*this);
      return strArrayElement(v, op.ptr);
    }
    case OperandKind::StrMethodCall: {
      NestingGuard guard(*this);
      const List arguments = Arguments(op.ptr);
      return RunString(fastRef(g_.Methods, v), arguments);
    }
    default:
      throw TypeMismatchException(std::string("operand of kind ") + operandKindName(kind) +
                                  " is not a text");
  }
}

void Interpreter::appendText(std::string& out, uint32_t p) {
  // Literals and variables are appended from where they are, without a temporary copy.
  const OperandRec& op = operand(p);
  if (op.kind == static_cast<uint8_t>(OperandKind::StrLiteral))
    out += fastAt(g_.StringLiterals, op.value);
  else if (op.kind == static_cast<uint8_t>(OperandKind::StrVariable))
    out += fastAt(g_.StringVariables, op.value);
  else
    out += NewProcessString(p);
}

std::string Interpreter::concatenation(uint32_t v) {
  const std::span<const uint32_t> pieces = fastAt(g_.ParameterLists, v).list;
  std::string out;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    appendText(out, pieces[k]);
    if (!Running) return {};
    if (k + 1 < pieces.size()) CooperativeYield();
  }
  return out;
}

std::string Interpreter::strArrayElement(uint32_t v, uint32_t elementParam) {
  const double e = NewMath(elementParam);
  const std::vector<std::string>& a = fastAt(g_.StringArrays, v).thearray;
  const int64_t i = elementIndex(e, a.size());
  if (i < 0) {
    DeathLoc = ScriptLocation();
    ShowError(ScriptLocation(), 0, kArrayOutOfBounds);
    return {};
  }
  return a[static_cast<std::size_t>(i)];
}

}  // namespace qm
