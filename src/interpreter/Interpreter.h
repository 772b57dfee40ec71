#pragma once
// The script interpreter: runs compiled scripts against the game tables and reaches the window
// only through ScriptHost. One instance per game, held by the game window; all state here is
// shared by every script run, nested runs started by yields and dialogs included.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/GameGlobals.h"
#include "interpreter/HotAccess.h"
#include "interpreter/ScriptHost.h"
#include "support/Errors.h"
#include "support/ThrottledYield.h"

class QPainter;

namespace qm {

// The value of a script run: none, a number or a text. Only RETURN makes one.
struct ScriptResult {
  enum class Kind : uint8_t { None, Number, Text };
  Kind kind = Kind::None;
  double number = 0;
  std::string text;

  static ScriptResult none() { return {}; }
  static ScriptResult ofNumber(double x) { return {Kind::Number, x, {}}; }
  static ScriptResult ofText(std::string s) { return {Kind::Text, 0, std::move(s)}; }
  bool hasValue() const { return kind != Kind::None; }
  // The general value conversions: a text gives the number written at its start (else 0), a
  // number its FormatNumber text; none gives 0 and "".
  double toNumber() const;
  std::string toText() const;
};

// Nesting limit of the recursive paths (script runs, nested blocks, method calls, expression and
// text evaluation). Reaching it raises StackOverflowException long before the thread's stack is
// at risk: the costliest cycle (a method calling itself as a command) takes about 0.6 KB of stack
// per level in optimised builds and 2.5 KB under AddressSanitizer, so the limit stays within
// 3 MB of the default 8 MB stack, with room left for the error dialog.
inline constexpr int kMaxNesting = 1000;

class Interpreter {
 public:
  // A command's or a call's parameter list, read in place.
  using List = std::span<const uint32_t>;

  // The game's script tables and operand pools must be complete (loaded) when the interpreter is
  // made: they never change afterwards, and the interpreter keeps a decoding of them.
  Interpreter(GameGlobals& globals, ScriptHost& host);
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  GameGlobals& globals() { return g_; }
  ScriptHost& host() { return host_; }

  // ---- Shared interpreter state ----
  // True while the game runs; any error report makes it false and every run stops.
  bool Running = false;
  // The loop-break flag: set by ExitFor, consumed by the innermost FOR statement.
  bool StopFOR = false;
  // The exit marker: empty, or the location whose run must stop at its next command.
  std::string DeathLoc;
  // Location of the script now running (empty outside any run). Reports of command and
  // function handlers name it.
  const std::string& ScriptLocation() const { return *scriptLocation_; }

  // ---- Running scripts ----
  // Runs GameScripts(scriptIndex) under the location text. Failures raised inside are reported
  // with " (ExecuteScript)"; EndException passes through. graphics is the paint context of paint
  // scripts, nullptr otherwise; it is handed on to nested blocks, methods and draw commands.
  // The location must outlive the call (it is referenced, not copied).
  ScriptResult ExecuteScript(uint32_t scriptIndex, const std::string& location, QPainter* graphics);

  // ---- Operands ----
  double NewMath(uint32_t p);
  std::string NewProcessString(uint32_t p);
  // The arguments of a function or method call whose operand has ParamPtr a: the elements of
  // its ArgumentList, or a alone (the span then points at the caller's a).
  List Arguments(const uint32_t& a);
  // Element k of a list; an absent element is an index failure.
  static uint32_t At(List list, uint64_t k);

  // ---- Assignment ----
  void NewSetVariable(uint32_t target, uint32_t source);
  void NewSetStringVariable(uint32_t target, uint32_t source);

  // ---- Methods ----
  // Arguments are parameter indexes evaluated in the caller's context, bound one at a time to
  // the formal parameters (global variables). An empty list binds nothing.
  void RunNew(const QMMethod& method, List arguments, QPainter* graphics);
  double RunNumber(const QMMethod& method, List arguments);
  std::string RunString(const QMMethod& method, List arguments);

  // ---- Functions (the one entry point of the function library) ----
  double NumFnNoParams(uint32_t id);
  double NumFnWithParams(uint32_t id, uint32_t argument);
  std::string StrFnNoParams(uint32_t id);
  std::string StrFnWithParams(uint32_t id, uint32_t argument);

  // ---- Command families (code, the command's list, the location of the running script) ----
  void Execute_6to25(uint16_t code, List list, const std::string& location);
  void Execute_28to48(uint16_t code, List list, const std::string& location);
  void Execute_ArrayCommands(uint16_t code, List list, const std::string& location);
  void Execute_SocketCommands(uint16_t code, List list, const std::string& location);
  void Execute_SpriteCommands(uint16_t code, List list, const std::string& location);
  void Execute_MovieCommands(uint16_t code, List list, const std::string& location);
  void Execute_MiscCommands(uint16_t code, List list, const std::string& location);
  void Execute_DrawCommands(uint16_t code, List list, const std::string& location,
                            QPainter* graphics);
  ScriptResult Execute_FORStatement(List list, const std::string& location, QPainter* graphics);

  // ---- Errors and services ----
  // The script error report: Running becomes false, then the host shows it and ends the game.
  void ShowError(const std::string& location, int64_t line, const std::string& message);
  // Serves pending events through the host, at most once per throttle interval.
  void CooperativeYield() {
    if (yield_.due()) host_.ServeEvents();
  }
  // --trace: every command run is written to the host's log as one JSON line.
  void SetTrace(bool on) { trace_ = on; }
  bool trace() const { return trace_; }

  // Current nesting level of the recursive paths (0 outside any run).
  int nesting() const { return depth_; }

 private:
  friend class NestingGuard;
  // Read-only decodings of tables that never change once loaded: one record per operand instead
  // of three pools, and each command with its list already looked up.
  struct OperandRec {
    uint8_t kind;
    uint32_t value;
    uint32_t ptr;
  };
  struct CommandRec {
    uint16_t code;
    bool listFound;  // false: listIndex is outside ParameterLists (an index failure if run)
    uint32_t listIndex;
    List list;
  };
  // A term of an arithmetic expression with its operand decoded: a variable, a literal (its
  // value copied, literals never change) or anything else (evaluated through NewMath).
  struct TermRec {
    enum Kind : uint8_t { Variable, Literal, Other };
    Kind kind;
    uint8_t sign;    // operator combining the running result with this term (unused for term 0)
    uint32_t index;  // variable index, or the term's parameter index for Other
    double literal;
  };
  struct ExpressionRec {
    std::span<const TermRec> terms;  // empty: a malformed record, evaluated as stored
    bool leavesOnly;                 // only variables and literals: nothing can call out
  };
  void decodeTables();
  void decodeExpressions();
  double mathExpressionRecord(const QMMathExpression& e);
  double mathExpressionGeneral(std::span<const TermRec> terms);
  const OperandRec& operand(uint32_t p) const { return fastAt(operands_, p); }
  // A nested block (THEN, ELSE, a case, a loop body) of the run under way. It runs under that
  // run's location, so it needs neither a location swap nor a failure boundary of its own: a
  // failure inside it is reported by the enclosing run with the same location and suffix, and
  // every level stops as it would after the block's own report.
  ScriptResult runBlock(uint32_t scriptIndex, const std::string& location, QPainter* graphics);
  // Runs the commands; a value to pass up (or a RETURN) is left in result.
  void runCommands(std::span<const CommandRec> commands, const std::string& location,
                   QPainter* graphics, ScriptResult& result);
  // Every command but the fast path; true when the run must end (result then holds its value).
  [[gnu::noinline]] bool runCommand(uint16_t code, List list, const std::string& location,
                                    QPainter* graphics, ScriptResult& result);
  ScriptResult doIf(List list, const std::string& location, QPainter* graphics);
  ScriptResult doSelect(List list, const std::string& location, QPainter* graphics);
  ScriptResult doReturn(List list, const std::string& location);
  void callMethodCommand(uint16_t code, List list, QPainter* graphics);
  void traceCommand(const std::string& location, uint16_t code);
  void reportFailure(const std::string& location, const char* kind, const char* suffix);
  double newMathOther(const OperandRec& op);
  double mathExpression(uint32_t v);
  std::string concatenation(uint32_t v);
  void appendText(std::string& out, uint32_t p);
  double numArrayElement(uint32_t v, uint32_t elementParam);
  std::string strArrayElement(uint32_t v, uint32_t elementParam);
  void bindArguments(const QMMethod& method, List arguments);
  ScriptResult runMethodBody(const QMMethod& method, List arguments, QPainter* graphics);

  GameGlobals& g_;
  ScriptHost& host_;
  std::vector<OperandRec> operands_;
  std::vector<CommandRec> commands_;
  std::vector<std::span<const CommandRec>> scripts_;
  std::vector<TermRec> terms_;
  std::vector<ExpressionRec> expressions_;
  const std::string* scriptLocation_;
  int depth_ = 0;
  bool trace_ = false;
  ThrottledYield yield_;
};

// Literals and variables, the common operands, are read inline; the rest out of line.
inline double Interpreter::NewMath(uint32_t p) {
  const OperandRec& op = operand(p);
  if (op.kind == 1) return fastAt(g_.NumberVariables, op.value);
  if (op.kind == 0) return fastAt(g_.NumberLiterals, op.value);
  if (op.kind == 6) return mathExpression(op.value);
  return newMathOther(op);
}

inline uint32_t Interpreter::At(List list, uint64_t k) {
  return fastAt(list, k);
}

}  // namespace qm
