// Arrays and loops: the counted FOR loop and the array sizing commands.
#include "interpreter/CommandTable.h"
#include "interpreter/Interpreter.h"
#include "interpreter/Numbers.h"
#include "interpreter/TextCompare.h"

namespace qm {

namespace {

constexpr int64_t kMaxArrayElements = 1000000;

}  // namespace

void Interpreter::Execute_ArrayCommands(uint16_t code, List list, const std::string& location) {
  switch (static_cast<Cmd>(code)) {
    case Cmd::DimNumberArray:
    case Cmd::DimStringArray: {
      const int64_t n = truncToInt64(NewMath(At(list, 1)));
      if (!Running) return;
      if (n > kMaxArrayElements) {
        ShowError(location, 0, "Too many elements (maximum 1,000,000).");
        return;
      }
      if (n < 0) {
        ShowError(location, 0, "Too few elements (minimum zero).");
        return;
      }
      const auto count = static_cast<std::size_t>(n);
      if (code == static_cast<uint16_t>(Cmd::DimNumberArray)) {
        std::vector<double>& a = fastAt(g_.NumberArrays, At(list, 0)).thearray;
        a.clear();
        a.resize(count, 0.0);
      } else {
        std::vector<std::string>& a = fastAt(g_.StringArrays, At(list, 0)).thearray;
        a.clear();
        a.resize(count);
      }
      return;
    }
    default: return;
  }
}

ScriptResult Interpreter::Execute_FORStatement(List list, const std::string& location,
                                               QPainter* graphics) {
  const uint32_t var = At(list, 0);
  const int64_t start = truncToInt64(NewMath(At(list, 1)));
  if (!Running) return {};
  const int64_t end = truncToInt64(NewMath(At(list, 2)));
  if (!Running) return {};
  const uint32_t body = At(list, 3);
  // The counter lives here: a body that assigns to the loop variable changes nothing.
  const int64_t step = end < start ? -1 : 1;
  for (int64_t v = start;; v += step) {
    fastAt(g_.NumberVariables, var) = static_cast<double>(v);
    ScriptResult r = runBlock(body, location, graphics);
    if (!Running) return r;
    if (StopFOR) {
      StopFOR = false;
      return {};
    }
    // A RETURN in the body: leave the marker set for the enclosing levels.
    if (!DeathLoc.empty() && textEqualsIgnoreCase(DeathLoc, location)) return r;
    if (v == end) return r;
  }
}

}  // namespace qm
