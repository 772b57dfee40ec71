// Interpreter workloads: each is a game built with the game writer and loaded by the real reader;
// only the script run is timed (best of several runs). One line per workload:
//   NAME SECONDS RESULT
// the same format as the Lua equivalents in bench/lua, so run_interpreter_bench.sh can put them
// side by side.
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "data/GameLoader.h"
#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"
#include "interpreter/Interpreter.h"
#include "support/Conversions.h"
#include "testsupport/GameWriter.h"

namespace {

using namespace qm;
using namespace qm::test;

class BenchHost : public ScriptHost {
 public:
  void ShowError(const std::string& location, int64_t, const std::string& message) override {
    std::fprintf(stderr, "script error in %s: %s\n", location.c_str(), message.c_str());
    std::exit(1);
  }
  void ServeEvents() override {}
};

struct Workload {
  const char* name;
  // Fills the writer and returns the script to run.
  std::function<uint32_t(GameWriter&)> build;
  // The value to print after the run, to check the work was done.
  std::function<std::string(GameWriter&, GameGlobals&)> result;
};

std::string numberResult(GameWriter& w, GameGlobals& g, const char* var) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f", g.NumberVariables.at(w.numVarIndex(var)));
  return buf;
}

const Workload kWorkloads[] = {
    {"for_loop",
     [](GameWriter& w) {
       return w.script([&](Script& s) {
         s.SetNumberVariable("x", w.num(3));
         s.For("i", w.num(1), w.num(10000000), [&](Script& body) {
           body.SetNumberVariable("r", w.expr(w.numVar("i"), '*', w.num(2), '+', w.numVar("x")));
         });
       });
     },
     [](GameWriter& w, GameGlobals& g) { return numberResult(w, g, "r"); }},
    {"concat",
     [](GameWriter& w) {
       return w.script([&](Script& s) {
         s.For("i", w.num(1), w.num(1000000), [&](Script& body) {
           body.SetString(w.textVar("s"),
                          w.concat({w.text("Item "), w.textFn(StrFn::Str, w.numVar("i"))}));
         });
       });
     },
     [](GameWriter& w, GameGlobals& g) { return g.StringVariables.at(w.textVarIndex("s")); }},
    {"method_calls",
     [](GameWriter& w) {
       const MethodRef addOne = w.addMethod("AddOne", {w.numVar("n")}, [&](Script& s) {
         s.Return(w.expr(w.numVar("n"), '+', w.num(1)));
       });
       return w.script([&](Script& s) {
         s.SetNumberVariable("sum", w.num(0));
         s.For("i", w.num(1), w.num(1000000), [&](Script& body) {
           body.SetNumberVariable("sum",
                                  w.expr(w.numVar("sum"), '+', w.numMethod(addOne, w.numVar("i"))));
         });
       });
     },
     [](GameWriter& w, GameGlobals& g) { return numberResult(w, g, "sum"); }},
    {"array",
     [](GameWriter& w) {
       return w.script([&](Script& s) {
         s.SetNumberVariable("sum", w.num(0));
         s.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("a")), w.num(1000000)});
         s.For("i", w.num(1), w.num(1000000),
               [&](Script& body) { body.SetNumber(w.numElem("a", w.numVar("i")), w.numVar("i")); });
         s.For("i", w.num(1), w.num(1000000), [&](Script& body) {
           body.SetNumberVariable("sum",
                                  w.expr(w.numVar("sum"), '+', w.numElem("a", w.numVar("i"))));
         });
       });
     },
     [](GameWriter& w, GameGlobals& g) { return numberResult(w, g, "sum"); }},
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  const char* only = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else
      only = argv[i];
  }
  for (const Workload& wl : kWorkloads) {
    if (only && std::strcmp(only, wl.name) != 0) continue;
    GameWriter w;
    w.addCard();
    const uint32_t script = wl.build(w);
    auto game = LoadGameFromBytes(w.bytes(), QString());
    BenchHost host;
    double best = 1e300;
    std::string result;
    for (int r = 0; r < runs; ++r) {
      Interpreter in(game->globals, host);
      in.Running = true;
      const auto t0 = std::chrono::steady_clock::now();
      in.ExecuteScript(script, "Bench", nullptr);
      const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
      best = std::min(best, dt.count());
      result = wl.result(w, game->globals);
    }
    std::printf("%s %.4f %s\n", wl.name, best, result.c_str());
  }
  return 0;
}
