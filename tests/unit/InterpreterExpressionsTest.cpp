// Numbers, texts and conditions through the real dispatch: expressions, IF, SELECT.
#include <cmath>
#include <functional>
#include <limits>

#include "InterpreterFixture.h"
#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"
#include "interpreter/Numbers.h"
#include "interpreter/TextCompare.h"

namespace qm::test {
namespace {

struct NumberCase {
  const char* what;
  std::function<Operand(GameWriter&)> build;
  double expected;  // NaN: expect not-a-number
};

TEST_F(InterpreterTest, NumericExpressionsEvaluateLeftToRight) {
  const double inf = std::numeric_limits<double>::infinity();
  const NumberCase cases[] = {
      {"2 + 3 * 4 without precedence",
       [](GameWriter& w) { return w.expr(w.num(2), '+', w.num(3), '*', w.num(4)); }, 20},
      {"10 - 4 - 3", [](GameWriter& w) { return w.expr(w.num(10), '-', w.num(4), '-', w.num(3)); },
       3},
      {"grouping by a nested term",
       [](GameWriter& w) { return w.expr(w.num(2), '*', w.expr(w.num(3), '+', w.num(4))); }, 14},
      {"7 \\ 2", [](GameWriter& w) { return w.expr(w.num(7), '\\', w.num(2)); }, 3},
      {"-7 \\ 2", [](GameWriter& w) { return w.expr(w.num(-7), '\\', w.num(2)); }, -3},
      {"7.9 \\ 2.9", [](GameWriter& w) { return w.expr(w.num(7.9), '\\', w.num(2.9)); }, 3},
      {"5 \\ 0.4 (divisor truncates to 0)",
       [](GameWriter& w) { return w.expr(w.num(5), '\\', w.num(0.4)); }, 0},
      {"lowest 32-bit \\ -1 saturates",
       [](GameWriter& w) { return w.expr(w.num(-2147483648.0), '\\', w.num(-1)); }, 2147483647},
      {"3e10 \\ 1 saturates", [](GameWriter& w) { return w.expr(w.num(3e10), '\\', w.num(1)); },
       2147483647},
      {"1 / 0", [](GameWriter& w) { return w.expr(w.num(1), '/', w.num(0)); }, inf},
      {"0 / 0", [](GameWriter& w) { return w.expr(w.num(0), '/', w.num(0)); }, NAN},
      {"unknown operator keeps the result",
       [](GameWriter& w) {
         return w.exprCodes({w.num(7), w.num(3)}, {5});
       },
       7},
      {"a text operand counts 0", [](GameWriter& w) { return w.expr(w.num(1), '+', w.text("12")); },
       1},
      {"an argument list operand counts 0", [](GameWriter& w) { return w.args({w.num(5)}); }, 0},
  };
  std::vector<uint32_t> vars;
  const uint32_t s = w.script([&](Script& sc) {
    for (const NumberCase& c : cases) {
      vars.push_back(w.numVarIndex(c.what));
      sc.SetNumberVariable(c.what, c.build(w));
    }
  });
  run(s);
  EXPECT_TRUE(messages().empty());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const double got = g().NumberVariables.at(vars[i]);
    if (std::isnan(cases[i].expected))
      EXPECT_TRUE(std::isnan(got)) << cases[i].what;
    else
      EXPECT_EQ(got, cases[i].expected) << cases[i].what;
  }
}

TEST_F(InterpreterTest, ExpressionTermsAreEvaluatedEvenUnderAnUnknownOperator) {
  // The method in the ignored term still runs; nothing is cached between reads.
  const MethodRef bump = w.addMethod("Bump", {}, [&](Script& s) {
    s.SetNumberVariable("count", w.expr(w.numVar("count"), '+', w.num(1)));
    s.Return(w.num(100));
  });
  runScript([&](Script& s) {
    s.SetNumberVariable(
        "r", w.exprCodes({w.numVar("count"), w.numMethod(bump), w.numVar("count")}, {9, 0}));
  });
  EXPECT_EQ(num("count"), 1);
  EXPECT_EQ(num("r"), 1);  // 0, term ignored, then + the count read after the method
}

TEST_F(InterpreterTest, ArrayElementNumbersTruncateAfterSubtractingOne) {
  runScript([&](Script& s) {
    s.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("a")), w.num(3)});
    s.SetNumber(w.numElem("a", w.num(1)), w.num(10));
    s.SetNumber(w.numElem("a", w.num(2.9)), w.num(20));
    s.SetNumberVariable("first", w.numElem("a", w.num(0.5)));
    s.SetNumberVariable("second", w.numElem("a", w.num(2)));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(num("first"), 10);
  EXPECT_EQ(num("second"), 20);
}

// Each case: IF <a> <op> <b> THEN r = 1 ELSE r = 2.
struct IfCase {
  const char* what;
  std::function<void(GameWriter&, Script&, Block, Block)> build;
  double expected;
};

TEST_F(InterpreterTest, IfConditions) {
  const auto numIf = [](double a, CmpOp op, double b) {
    return [=](GameWriter& w, Script& s, Block t, Block e) { s.If(w.num(a), op, w.num(b), t, e); };
  };
  const auto textIf = [](const char* a, CmpOp op, const char* b) {
    return [=](GameWriter& w, Script& s, Block t, Block e) {
      s.IfText(w.text(a), op, w.text(b), t, e);
    };
  };
  const auto nanIf = [](CmpOp op) {
    return [=](GameWriter& w, Script& s, Block t, Block e) {
      s.If(w.expr(w.num(0), '/', w.num(0)), op, w.num(1), t, e);
    };
  };
  const IfCase cases[] = {
      {"1 <> 2", numIf(1, "<>", 2), 1},
      {"2 <> 2", numIf(2, "<>", 2), 2},
      {"2 = 2", numIf(2, "=", 2), 1},
      {"3 > 2", numIf(3, ">", 2), 1},
      {"2 > 2", numIf(2, ">", 2), 2},
      {"1 < 2", numIf(1, "<", 2), 1},
      {"2 >= 2", numIf(2, ">=", 2), 1},
      {"3 <= 2", numIf(3, "<=", 2), 2},
      {"operator 7", numIf(1, 7, 1), 2},
      {"NaN <> 1 is false", nanIf("<>"), 2},
      {"NaN = 1 is false", nanIf("="), 2},
      {"NaN < 1 is false", nanIf("<"), 2},
      {"texts equal ignoring case", textIf("Hello World", "=", "hELLO wORLD"), 1},
      {"texts <> ignoring case", textIf("Hello", "<>", "HELLO"), 2},
      {"different texts", textIf("abc", "<>", "abd"), 1},
      {"UTF-8 letters ignore case", textIf("\xC3\x89t\xC3\xA9", "=", "\xC3\xA9T\xC3\x89"), 1},
      {"text ordering is false", textIf("a", "<", "b"), 2},
      {"unknown operand kind is false",
       [](GameWriter& w, Script& s, Block t, Block e) {
         s.cmd(Cmd::If, {w.num(1), raw(2), w.num(1), raw(5), raw(t.resolve(w)), raw(e.resolve(w))});
       },
       2},
  };
  std::vector<uint32_t> vars;
  const uint32_t s = w.script([&](Script& sc) {
    for (const IfCase& c : cases) {
      vars.push_back(w.numVarIndex(c.what));
      c.build(w, sc, Block([&, name = std::string(c.what)](Script& t) {
                t.SetNumberVariable(name, w.num(1));
              }),
              Block([&, name = std::string(c.what)](Script& e) {
                e.SetNumberVariable(name, w.num(2));
              }));
    }
  });
  run(s);
  EXPECT_TRUE(messages().empty());
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(g().NumberVariables.at(vars[i]), cases[i].expected) << cases[i].what;
}

TEST_F(InterpreterTest, IfElseIndexOnlyWithUpperBoundFiveAndNotZero) {
  const Script elseBlock = w.script([&](Script& s) { s.SetNumberVariable("else", w.num(1)); });
  runScript([&](Script& s) {
    s.cmd(Cmd::If, {w.num(1), raw(2), w.num(2), raw(0), raw(0)});           // bound 4: no ELSE
    s.cmd(Cmd::If2, {w.num(1), raw(2), w.num(2), raw(0), raw(0), raw(0)});  // ELSE 0: none
    s.SetNumberVariable("after", w.num(1));
    s.cmd(Cmd::If2, {w.num(1), raw(2), w.num(2), raw(0), raw(0), elseBlock});
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(num("after"), 1);
  EXPECT_EQ(num("else"), 1);
}

TEST_F(InterpreterTest, SelectRunsTheFirstMatchOnly) {
  // A case value after the match is a method that would count its evaluation.
  const MethodRef probe = w.addMethod("Probe", {}, [&](Script& s) {
    s.SetNumberVariable("probed", w.num(1));
    s.Return(w.num(2));
  });
  const auto setR = [&](double v) {
    return Block([&, v](Script& s) { s.SetNumberVariable("r", w.num(v)); });
  };
  runScript([&](Script& s) {
    s.Select(w.num(2), {{w.num(1), setR(1)}, {w.num(2), setR(2)}, {w.numMethod(probe), setR(3)}},
             setR(9));
  });
  EXPECT_EQ(num("r"), 2);
  EXPECT_EQ(num("probed"), 0);
}

TEST_F(InterpreterTest, SelectDefaultAndKinds) {
  const char* names[] = {"default by even bound", "no default by odd bound", "text ignores case",
                         "other kind matches nothing"};
  const auto set = [&](const char* name, double v) {
    return Block([&, name, v](Script& s) { s.SetNumberVariable(name, w.num(v)); });
  };
  runScript([&](Script& s) {
    s.Select(w.num(5), {{w.num(1), set(names[0], 1)}}, set(names[0], 9));
    s.Select(w.num(5), {{w.num(1), set(names[1], 1)}, {w.num(2), set(names[1], 2)}});
    s.SelectText(w.text("Apple"),
                 {{w.text("pear"), set(names[2], 1)}, {w.text("APPLE"), set(names[2], 2)}},
                 set(names[2], 9));
    s.cmd(Cmd::Select, {w.num(1), raw(7), w.num(1), raw(set(names[3], 1).resolve(w)),
                        raw(set(names[3], 9).resolve(w))});
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(num(names[0]), 9);
  EXPECT_EQ(num(names[1]), 0);
  EXPECT_EQ(num(names[2]), 2);
  EXPECT_EQ(num(names[3]), 9);
}

TEST_F(InterpreterTest, ConcatenationJoinsInOrderAndYieldsThrottled) {
  runScript([&](Script& s) {
    s.SetString(w.textVar("empty"), w.concat({}));
    s.SetString(w.textVar("v"), w.text("x"));
    s.SetString(w.textVar("joined"),
                w.concat({w.text("a"), w.concat({w.textVar("v"), w.text("y")}),
                          w.textFn(StrFn::Str, w.num(-2.5)), w.textFn(StrFn::Str, w.num(7))}));
    s.For("i", w.num(1), w.num(2000), [&](Script& b) {
      b.SetString(w.textVar("loop"), w.concat({w.text("a"), w.text("b"), w.text("c")}));
    });
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(text("empty"), "");
  EXPECT_EQ(text("joined"), "axy-2.57");
  // 4000 yield points in a few milliseconds: events are served a handful of times, not 4000.
  EXPECT_GE(host.served, 1);
  EXPECT_LT(host.served, 100);
}

TEST(InterpreterThrottledYield, DueAtMostOncePerInterval) {
  ThrottledYield hourly(std::chrono::hours(1));
  EXPECT_TRUE(hourly.due());
  EXPECT_FALSE(hourly.due());
  ThrottledYield always(std::chrono::nanoseconds(0));
  EXPECT_TRUE(always.due());
  EXPECT_TRUE(always.due());
}

TEST(InterpreterTextCompare, CaseInsensitiveEquality) {
  struct Case {
    std::string_view a, b;
    bool equal;
  };
  const Case cases[] = {
      {"", "", true},
      {"Card 1, Open Card Event", "CARD 1, open card event", true},
      {"abc", "abcd", false},
      {"a[", "A{", false},  // only letters fold
      {"\xC3\x84"
       "rger",
       "\xC3\xA4"
       "RGER",
       true},  // Ä / ä
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "\xC5\x82\xC3\x93"
       "D\xC5\xB9",
       true},                       // Łódź / łÓDŹ
      {"\xE2\x84\xAA", "k", true},  // Kelvin sign folds to k
      {"\xC3\xA4", "a", false},
      {"\xFF"
       "a",
       "\xFF"
       "A",
       true},  // invalid bytes compare as themselves
      {"\xFF", "\xFE", false},
      {"\xC3", "\xC3\xA4", false},  // truncated sequence
  };
  for (const Case& c : cases) {
    EXPECT_EQ(textEqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(textEqualsIgnoreCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
}

TEST(InterpreterNumbers, TruncationAndLeadingNumbers) {
  EXPECT_EQ(truncToInt64(-0.5), 0);
  EXPECT_EQ(truncToInt64(2.9), 2);
  EXPECT_EQ(truncToInt64(1e300), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(truncToInt64(NAN), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(truncToInt32(-1e12), std::numeric_limits<int32_t>::min());
  const std::pair<const char*, double> texts[] = {{"42", 42},
                                                  {"  -1.5e3xyz", -1500},
                                                  {"+7", 7},
                                                  {".5", 0.5},
                                                  {"12abc", 12},
                                                  {"abc", 0},
                                                  {"", 0},
                                                  {"-", 0},
                                                  {"1e", 1},
                                                  {"3e-400", 0},
                                                  {"-2e400", -HUGE_VAL}};
  for (const auto& [t, x] : texts) EXPECT_EQ(leadingNumber(t), x) << t;
}

}  // namespace
}  // namespace qm::test
