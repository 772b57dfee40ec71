// The statement loop: command dispatch, the commands the loop runs itself (RETURN, IF, SELECT,
// method calls), the error path and the trace.
#include "interpreter/Interpreter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "interpreter/CommandTable.h"
#include "interpreter/NestingGuard.h"
#include "interpreter/Numbers.h"
#include "interpreter/ScriptHost.h"
#include "interpreter/TextCompare.h"
#include "support/Conversions.h"

namespace qm {

namespace {

const std::string kNoLocation;

// Handler group of every code below the method codes, from the command list. Codes without a
// command fall to the method call like the codes above them (with a negative method index).
constexpr uint8_t kMethodCall = 0xFF;
constexpr auto kGroupByCode = [] {
  std::array<uint8_t, kFirstMethodCode> groups{};
  groups.fill(kMethodCall);
#define QM_COMMAND_GROUP(code, name, group, shape, meaning) \
  groups[code] = static_cast<uint8_t>(HandlerGroup::group);
  QM_COMMAND_LIST(QM_COMMAND_GROUP)
#undef QM_COMMAND_GROUP
  return groups;
}();

// The start-up check of the command list, done by the compiler: every listed code routes to a
// group the dispatch switch below handles (the switch has no default, so -Wswitch refuses an
// unhandled group), and no listed code is mistaken for a method call.
constexpr bool everyCommandRouted() {
  for (int code = 0; code < kFirstMethodCode; ++code) {
    const uint8_t g = kGroupByCode[code];
    if (g != kMethodCall && g > static_cast<uint8_t>(HandlerGroup::If)) return false;
  }
#define QM_COMMAND_CHECK(code, name, group, shape, meaning) \
  if (kGroupByCode[code] == kMethodCall) return false;
  QM_COMMAND_LIST(QM_COMMAND_CHECK)
#undef QM_COMMAND_CHECK
  return true;
}
static_assert(everyCommandRouted(), "a command code has no handler group");

bool numbersCompare(uint32_t op, double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return false;  // operator 1 included
  switch (op) {
    case 1: return a != b;
    case 2: return a == b;
    case 3: return a > b;
    case 4: return a < b;
    case 5: return a >= b;
    case 6: return a <= b;
    default: return false;
  }
}

void appendJsonString(std::string& out, std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

}  // namespace

double ScriptResult::toNumber() const {
  switch (kind) {
    case Kind::Number: return number;
    case Kind::Text: return leadingNumber(text);
    case Kind::None: break;
  }
  return 0;
}

std::string ScriptResult::toText() const {
  switch (kind) {
    case Kind::Number: return FormatNumber(number);
    case Kind::Text: return text;
    case Kind::None: break;
  }
  return {};
}

Interpreter::Interpreter(GameGlobals& globals, ScriptHost& host)
    : g_(globals), host_(host), scriptLocation_(&kNoLocation) {
  decodeTables();
}

void Interpreter::decodeExpressions() {
  std::size_t total = 0;
  for (const QMMathExpression& e : g_.MathExpressions) total += e.vars.size();
  terms_.reserve(total);
  std::vector<std::size_t> starts;
  starts.reserve(g_.MathExpressions.size());
  for (const QMMathExpression& e : g_.MathExpressions) {
    starts.push_back(terms_.size());
    // Records the reader cannot produce (no term, too few operators) keep an empty span and are
    // evaluated from the record as stored, failing where that fails.
    if (e.vars.empty() || e.signs.size() + 1 < e.vars.size()) continue;
    for (std::size_t k = 0; k < e.vars.size(); ++k) {
      const uint32_t p = e.vars[k];
      TermRec t{TermRec::Other, k > 0 ? e.signs[k - 1] : uint8_t(0), p, 0.0};
      if (p < operands_.size()) {
        const OperandRec& op = operands_[p];
        if (op.kind == static_cast<uint8_t>(OperandKind::NumVariable)) {
          t.kind = TermRec::Variable;
          t.index = op.value;
        } else if (op.kind == static_cast<uint8_t>(OperandKind::NumLiteral) &&
                   op.value < g_.NumberLiterals.size()) {
          t.kind = TermRec::Literal;
          t.literal = g_.NumberLiterals[op.value];
        }
      }
      terms_.push_back(t);
    }
  }
  expressions_.reserve(g_.MathExpressions.size());
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : terms_.size();
    const std::span<const TermRec> terms(terms_.data() + starts[i], end - starts[i]);
    bool leavesOnly = !terms.empty();
    for (const TermRec& t : terms) leavesOnly = leavesOnly && t.kind != TermRec::Other;
    expressions_.push_back({terms, leavesOnly});
  }
}

void Interpreter::decodeTables() {
  const std::size_t n = std::min({g_.ParamType.size(), g_.ParamValue.size(), g_.ParamPtr.size()});
  operands_.resize(n);
  for (std::size_t p = 0; p < n; ++p)
    operands_[p] = {g_.ParamType[p], g_.ParamValue[p], g_.ParamPtr[p]};

  std::size_t total = 0;
  for (const QMScript& s : g_.GameScripts) total += s.commands.size();
  commands_.reserve(total);
  for (const QMScript& s : g_.GameScripts) {
    for (std::size_t i = 0; i < s.commands.size(); ++i) {
      CommandRec c{s.commands[i], false, i < s.params.size() ? s.params[i] : ~0u, {}};
      if (i < s.params.size() && c.listIndex < g_.ParameterLists.size()) {
        c.listFound = true;
        c.list = g_.ParameterLists[c.listIndex].list;
      }
      commands_.push_back(c);
    }
  }
  decodeExpressions();
  scripts_.reserve(g_.GameScripts.size());
  std::size_t next = 0;
  for (const QMScript& s : g_.GameScripts) {
    scripts_.emplace_back(commands_.data() + next, s.commands.size());
    next += s.commands.size();
  }
}

ScriptResult Interpreter::ExecuteScript(uint32_t scriptIndex, const std::string& location,
                                        QPainter* graphics) {
  // Restores the caller's location on every way out, the quit request included.
  struct LocationScope {
    const std::string*& current;
    const std::string* saved;
    ~LocationScope() { current = saved; }
  } scope{scriptLocation_, scriptLocation_};
  scriptLocation_ = &location;
  ScriptResult result;
  try {
    // Inside the try: the innermost run reports an overflow, as for any other failure.
    NestingGuard guard(*this);
    runCommands(fastAt(scripts_, scriptIndex), location, graphics, result);
  } catch (const QMError& e) {
    reportFailure(location, e.kind(), " (ExecuteScript)");
  } catch (const std::exception& e) {
    const std::string kind = ExceptionType(e);
    reportFailure(location, kind.empty() ? "UnknownException" : kind.c_str(), " (ExecuteScript)");
  }
  return result;
}

ScriptResult Interpreter::runBlock(uint32_t scriptIndex, const std::string& location,
                                   QPainter* graphics) {
  NestingGuard guard(*this);
  ScriptResult result;
  runCommands(fastAt(scripts_, scriptIndex), location, graphics, result);
  return result;
}

void Interpreter::runCommands(std::span<const CommandRec> commands, const std::string& location,
                              QPainter* graphics, ScriptResult& result) {
  for (const CommandRec& command : commands) {
    if (StopFOR || !Running) return;
    if (!DeathLoc.empty() && textEqualsIgnoreCase(DeathLoc, location)) {
      DeathLoc.clear();
      return;
    }
    if (trace_) [[unlikely]]
      traceCommand(location, command.code);
    if (!command.listFound) [[unlikely]]
      throwIndexFailure(command.listIndex, g_.ParameterLists.size());
    // The assignment fast path comes first, as in the dispatch order of the command list.
    if (command.code == static_cast<uint16_t>(Cmd::SetNumberVariable)) {
      const List list = command.list;
      const uint32_t var = At(list, 0);
      const double x = NewMath(At(list, 1));
      fastAt(g_.NumberVariables, var) = x;
      continue;
    }
    if (runCommand(command.code, command.list, location, graphics, result)) return;
  }
}

bool Interpreter::runCommand(uint16_t code, List list, const std::string& location,
                             QPainter* graphics, ScriptResult& result) {
  const uint8_t group = code < kFirstMethodCode ? kGroupByCode[code] : kMethodCall;
  if (group == kMethodCall) {
    callMethodCommand(code, list, graphics);
    return false;
  }
  // A value from a nested block is passed up and ends this run too.
  const auto passUp = [&result](ScriptResult&& r) {
    if (!r.hasValue()) return false;
    result = std::move(r);
    return true;
  };
  switch (static_cast<HandlerGroup>(group)) {
    case HandlerGroup::Nop: return false;
    case HandlerGroup::SetNumberVariable: return false;  // taken by the caller
    case HandlerGroup::SetString: NewSetStringVariable(At(list, 0), At(list, 1)); return false;
    case HandlerGroup::SetNumber: NewSetVariable(At(list, 0), At(list, 1)); return false;
    case HandlerGroup::Return: result = doReturn(list, location); return true;
    case HandlerGroup::Array: Execute_ArrayCommands(code, list, location); return false;
    case HandlerGroup::Flow: Execute_6to25(code, list, location); return false;
    case HandlerGroup::File: Execute_28to48(code, list, location); return false;
    case HandlerGroup::Socket: Execute_SocketCommands(code, list, location); return false;
    case HandlerGroup::Sprite: Execute_SpriteCommands(code, list, location); return false;
    case HandlerGroup::Movie: Execute_MovieCommands(code, list, location); return false;
    case HandlerGroup::Misc: Execute_MiscCommands(code, list, location); return false;
    case HandlerGroup::Draw: Execute_DrawCommands(code, list, location, graphics); return false;
    case HandlerGroup::For: return passUp(Execute_FORStatement(list, location, graphics));
    case HandlerGroup::Select: return passUp(doSelect(list, location, graphics));
    case HandlerGroup::If: return passUp(doIf(list, location, graphics));
  }
  return false;
}

ScriptResult Interpreter::doReturn(List list, const std::string& location) {
  DeathLoc = location;
  if (list.size() != 1) return {};
  const uint32_t p = list[0];
  if (operand(p).kind < static_cast<uint8_t>(OperandKind::ArgumentList))
    return ScriptResult::ofNumber(NewMath(p));
  return ScriptResult::ofText(NewProcessString(p));
}

ScriptResult Interpreter::doIf(List list, const std::string& location, QPainter* graphics) {
  const uint32_t op = At(list, 1);
  const uint32_t kind = At(list, 3);
  bool holds = false;
  if (kind == 0) {
    const double a = NewMath(At(list, 0));
    if (!Running) return {};
    const double b = NewMath(At(list, 2));
    if (!Running) return {};
    holds = numbersCompare(op, a, b);
  } else if (kind == 2 && (op == 1 || op == 2)) {
    const std::string a = NewProcessString(At(list, 0));
    const std::string b = NewProcessString(At(list, 2));
    if (!Running) return {};
    holds = textEqualsIgnoreCase(a, b) == (op == 2);
  }
  // Texts with an ordering operator, and unknown kinds, compare nothing: the condition is false.
  if (holds) return runBlock(At(list, 4), location, graphics);
  if (list.size() == 6 && list[5] != 0) return runBlock(list[5], location, graphics);
  return {};
}

ScriptResult Interpreter::doSelect(List list, const std::string& location, QPainter* graphics) {
  const uint32_t kind = At(list, 1);
  std::string s;
  double x = 0;
  if (kind == 1)
    s = NewProcessString(At(list, 0));
  else
    x = NewMath(At(list, 0));
  if (!Running) return {};
  const int64_t u = static_cast<int64_t>(list.size()) - 1;
  ScriptResult r;
  bool matched = false;
  if (kind == 0 || kind == 1) {
    for (int64_t j = 2; j <= u - 1; j += 2) {
      const bool match =
          kind == 1 ? textEqualsIgnoreCase(NewProcessString(list[j]), s) : NewMath(list[j]) == x;
      if (match) {
        r = runBlock(list[j + 1], location, graphics);
        matched = true;
        break;
      }
    }
  }
  if (!matched && u % 2 == 0) r = runBlock(list[u], location, graphics);
  if (!Running) return {};
  return r;
}

void Interpreter::callMethodCommand(uint16_t code, List list, QPainter* graphics) {
  // Codes without a command give a negative index, which no table has.
  const int64_t index = int64_t(code) - kFirstMethodCode;
  RunNew(fastRef(g_.Methods, static_cast<uint64_t>(index)), list, graphics);
}

void Interpreter::traceCommand(const std::string& location, uint16_t code) {
  std::string name;
  if (const CommandInfo* info = findCommand(code)) {
    name = info->name;
  } else {
    const uint64_t m = code >= kFirstMethodCode ? code - kFirstMethodCode : ~uint64_t(0);
    name = m < g_.Methods.size() && g_.Methods[m] ? "Call " + g_.Methods[m]->Name : "?";
  }
  std::string line = R"({"ev":"cmd","loc":)";
  appendJsonString(line, location);
  line += R"(,"code":)";
  line += std::to_string(code);
  line += R"(,"name":)";
  appendJsonString(line, name);
  line += '}';
  host_.LogLine(line);
}

void Interpreter::reportFailure(const std::string& location, const char* kind, const char* suffix) {
  ShowError(location, 0, std::string(kind) + suffix);
}

void Interpreter::ShowError(const std::string& location, int64_t line, const std::string& message) {
  Running = false;
  host_.ShowError(location, line, message);
}

}  // namespace qm
