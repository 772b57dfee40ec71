// User-defined methods: argument binding to the global parameter variables and the run of the
// method's script under its own location text.
#include "interpreter/Interpreter.h"

namespace qm {

namespace {

template <typename Result, typename Body>
Result guarded(Interpreter& in, const char* suffix, Body body) {
  try {
    return body();
  } catch (const QMError& e) {
    in.ShowError(in.ScriptLocation(), 0, std::string(e.kind()) + suffix);
  } catch (const std::exception& e) {
    const std::string kind = ExceptionType(e);
    in.ShowError(in.ScriptLocation(), 0, (kind.empty() ? "UnknownException" : kind) + suffix);
  }
  return Result{};
}

}  // namespace

void Interpreter::bindArguments(const QMMethod& method, List arguments) {
  // One at a time: a later argument that reads an earlier formal parameter sees its new value.
  // More arguments than formal parameters is an index failure on ParamsArr.
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const uint32_t formal = fastAt(method.ParamsArr, i);
    if (operand(formal).kind == static_cast<uint8_t>(OperandKind::StrVariable)) {
      NewSetStringVariable(formal, arguments[i]);
    } else {
      const double x = NewMath(arguments[i]);
      fastAt(g_.NumberVariables, operand(formal).value) = x;
    }
  }
}

ScriptResult Interpreter::runMethodBody(const QMMethod& method, List arguments,
                                        QPainter* graphics) {
  bindArguments(method, arguments);
  ScriptResult r = ExecuteScript(method.compiledScript, method.NameMethod, graphics);
  // A RETURN inside the method ends only the method.
  if (Running) DeathLoc.clear();
  return r;
}

void Interpreter::RunNew(const QMMethod& method, List arguments, QPainter* graphics) {
  guarded<int>(*this, " (QMMethod.Run)", [&] {
    runMethodBody(method, arguments, graphics);
    return 0;
  });
}

double Interpreter::RunNumber(const QMMethod& method, List arguments) {
  return guarded<double>(*this, " (QMMethod.RunNumber)", [&] {
    const ScriptResult r = runMethodBody(method, arguments, nullptr);
    return Running ? r.toNumber() : 0.0;
  });
}

std::string Interpreter::RunString(const QMMethod& method, List arguments) {
  return guarded<std::string>(*this, " (QMMethod.RunString)", [&] {
    ScriptResult r = runMethodBody(method, arguments, nullptr);
    if (!Running) return std::string();
    return r.kind == ScriptResult::Kind::Text ? std::move(r.text) : r.toText();
  });
}

}  // namespace qm
