// Method calls and assignment targets through the real dispatch.
#include <cmath>

#include "InterpreterFixture.h"
#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"

namespace qm::test {
namespace {

TEST_F(InterpreterTest, MethodArgumentBinding) {
  // Pair(a, b) records a * 10 + b.
  const MethodRef pair = w.addMethod("Pair", {w.numVar("a"), w.numVar("b")}, [&](Script& s) {
    s.SetNumberVariable("r", w.expr(w.numVar("a"), '*', w.num(10), '+', w.numVar("b")));
  });
  const Script fewer = w.script([&](Script& s) {
    s.SetNumberVariable("b", w.num(7));
    s.CallMethod(pair, {w.num(5)});
  });
  // Bound one at a time: the second argument reads the first parameter's new value.
  const Script oneAtATime = w.script([&](Script& s) {
    s.CallMethod(pair, {w.num(3), w.expr(w.numVar("a"), '+', w.num(1))});
  });
  load();
  run(fewer);
  EXPECT_EQ(num("r"), 57);
  run(oneAtATime);
  EXPECT_EQ(num("r"), 34);
  EXPECT_EQ(num("a"), 3);  // parameters are globals and keep their values
  EXPECT_TRUE(messages().empty());
}

TEST_F(InterpreterTest, MethodResultsAndConversions) {
  const MethodRef greet = w.addMethod("Greet", {w.textVar("who")}, [&](Script& s) {
    s.Return(w.concat({w.text("Hi "), w.textVar("who")}));
  });
  const MethodRef textNumber =
      w.addMethod("TextNumber", {}, [&](Script& s) { s.Return(w.text("42.5 apples")); });
  const MethodRef half = w.addMethod("Half", {}, [&](Script& s) { s.Return(w.num(2.5)); });
  const MethodRef nothing =
      w.addMethod("Nothing", {}, [&](Script& s) { s.SetNumberVariable("ran", w.num(1)); });
  // A RETURN deep in nested blocks ends the method with its value; the caller goes on.
  const MethodRef nested = w.addMethod("Nested", {}, [&](Script& s) {
    s.If(w.num(1), "=", w.num(1), [&](Script& t) {
      t.For("i", w.num(1), w.num(3), [&](Script& b) { b.Return(w.num(9)); });
      t.SetNumberVariable("notReached", w.num(1));
    });
    s.SetNumberVariable("notReached", w.num(1));
  });
  runScript([&](Script& s) {
    s.SetString(w.textVar("greeting"), w.textMethod(greet, w.text("Bob")));
    s.SetNumberVariable("textAsNumber", w.expr(w.numMethod(textNumber), '+', w.num(1)));
    s.SetString(w.textVar("numberAsText"), w.textMethod(half));
    s.SetNumberVariable("noneAsNumber", w.numMethod(nothing));
    s.SetString(w.textVar("noneAsText"),
                w.concat({w.text("["), w.textMethod(nothing), w.text("]")}));
    s.SetNumberVariable("nested", w.numMethod(nested));
    s.SetNumberVariable("callerGoesOn", w.num(1));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(text("greeting"), "Hi Bob");
  EXPECT_EQ(text("who"), "Bob");
  EXPECT_EQ(num("textAsNumber"), 43.5);
  EXPECT_EQ(text("numberAsText"), "2.5");
  EXPECT_EQ(num("noneAsNumber"), 0);
  EXPECT_EQ(text("noneAsText"), "[]");
  EXPECT_EQ(num("nested"), 9);
  EXPECT_EQ(num("notReached"), 0);
  EXPECT_EQ(num("callerGoesOn"), 1);
  EXPECT_EQ(in->DeathLoc, "");
}

TEST_F(InterpreterTest, RecursionOverwritesTheGlobalParameters) {
  // Fact(m): IF m <= 1 RETURN 1; t = m * Fact(m - 1); RETURN t. m is read before the inner call
  // overwrites it. Down(n) reads n after the inner call, when every level has left n at 1.
  const auto recursive = [&](const char* name, const char* param, bool paramFirst) {
    const MethodRef m = w.addMethod(name, {w.numVar(param)}, Block());
    w.method(m).compiledScript = w.script([&, m](Script& s) {
      s.If(w.numVar(param), "<=", w.num(1), [&](Script& t) { t.Return(w.num(1)); });
      const Operand inner = w.numMethod(m, w.expr(w.numVar(param), '-', w.num(1)));
      s.SetNumberVariable("t", paramFirst ? w.expr(w.numVar(param), '*', inner)
                                          : w.expr(inner, '*', w.numVar(param)));
      s.Return(w.numVar("t"));
    });
    return m;
  };
  const MethodRef fact = recursive("Fact", "m", true);
  const MethodRef down = recursive("Down", "n", false);
  // RETURN sets the exit marker before it evaluates its value, so a method calling itself in
  // its RETURN operand finds the marker at once: the inner run does nothing and gives 0.
  const MethodRef inReturn = w.addMethod("InReturn", {w.numVar("k")}, Block());
  w.method(inReturn).compiledScript = w.script([&](Script& s) {
    s.If(w.numVar("k"), "<=", w.num(1), [&](Script& t) { t.Return(w.num(1)); });
    s.Return(
        w.expr(w.numVar("k"), '*', w.numMethod(inReturn, w.expr(w.numVar("k"), '-', w.num(1)))));
  });
  runScript([&](Script& s) {
    s.SetNumberVariable("fact", w.numMethod(fact, w.num(5)));
    s.SetNumberVariable("down", w.numMethod(down, w.num(5)));
    s.SetNumberVariable("inReturn", w.numMethod(inReturn, w.num(5)));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(num("fact"), 120);
  EXPECT_EQ(num("down"), 1);
  EXPECT_EQ(num("n"), 1);
  EXPECT_EQ(num("inReturn"), 0);
  EXPECT_EQ(num("k"), 4);
}

TEST(InterpreterMethodFailures, ExtraArgumentsAreAnIndexFailureOfTheCallingOperation) {
  struct Case {
    const char* what;
    std::function<void(GameWriter&, Script&, MethodRef)> call;
    std::string message;
  };
  const Case cases[] = {
      {"command",
       [](GameWriter& w, Script& s, MethodRef m) {
         s.CallMethod(m, {w.num(1), w.num(2), w.num(3)});
       },
       "OutOfBoundsException (QMMethod.Run)"},
      {"number operand",
       [](GameWriter& w, Script& s, MethodRef m) {
         s.SetNumberVariable("x", w.numMethod(m, {w.num(1), w.num(2), w.num(3)}));
       },
       "OutOfBoundsException (QMMethod.RunNumber)"},
      {"text operand",
       [](GameWriter& w, Script& s, MethodRef m) {
         s.SetString(w.textVar("t"), w.textMethod(m, {w.num(1), w.num(2), w.num(3)}));
       },
       "OutOfBoundsException (QMMethod.RunString)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame t;
    const MethodRef m = t.w.addMethod("Two", {t.w.numVar("p"), t.w.numVar("q")},
                                      [&](Script& s) { s.SetNumberVariable("ran", t.w.num(1)); });
    t.runScript([&](Script& s) {
      c.call(t.w, s, m);
      s.SetNumberVariable("after", t.w.num(1));
    });
    ASSERT_EQ(t.host.reports.size(), 1u);
    EXPECT_EQ(t.host.reports[0].message, c.message);
    EXPECT_EQ(t.host.reports[0].location, kLoc);
    // The two formal parameters were bound before the third failed; the body never ran.
    EXPECT_EQ(t.num("p"), 1);
    EXPECT_EQ(t.num("q"), 2);
    EXPECT_EQ(t.num("ran"), 0);
    EXPECT_EQ(t.num("after"), 0);
  }
}

TEST_F(InterpreterTest, AssignmentToWindowAndCard) {
  w.addCard();
  w.addCard();  // three cards
  runScript([&](Script& s) {
    s.SetNumber(w.numFn(NumFn0::WindowTop), w.num(50));  // equal: no move
    s.SetNumber(w.numFn(NumFn0::WindowTop), w.num(12.9));
    s.SetNumber(w.numFn(NumFn0::WindowLeft), w.num(-3.7));
    s.SetNumber(w.numFn(NumFn0::CurrentCard), w.num(2.7));
    s.SetNumber(w.numFn(NumFn0::CurrentCard), w.num(0.5));  // passes the check: card 0
    s.SetNumber(w.numFn(NumFn0::Ticks), w.num(5));          // not assignable: nothing
    s.SetNumberVariable("top", w.numFn(NumFn0::WindowTop));
    s.SetString(w.textFn(StrFn0::WindowTitle), w.text("New title"));
    s.SetString(w.textVar("title"), w.textFn(StrFn0::WindowTitle));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(host.moves, (std::vector<std::pair<char, int64_t>>{{'T', 12}, {'L', -3}}));
  EXPECT_EQ(host.cardChanges, (std::vector<int64_t>{2, 0}));
  EXPECT_EQ(num("top"), 12);
  EXPECT_EQ(text("title"), "New title");
}

TEST_F(InterpreterTest, AssignmentToSpritesAndArrays) {
  host.sprites = {3, 1000};
  runScript([&](Script& s) {
    s.SetNumber(w.numFn(NumFn::SpriteX, w.num(3)), w.num(12.7));
    s.SetNumber(w.numFn(NumFn::SpriteY, w.num(1000.9)), w.num(-5));
    s.cmd(Cmd::DimStringArray, {raw(w.textArrayIndex("names")), w.num(2)});
    s.SetString(w.textElem("names", w.num(2.5)), w.text("second"));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(host.spritePositions,
            (std::map<std::pair<int64_t, bool>, int64_t>{{{3, false}, 12}, {{1000, true}, -5}}));
  EXPECT_EQ(g().StringArrays.at(w.textArrayIndex("names")).thearray,
            (std::vector<std::string>{"", "second"}));
}

// Assignments that report or fail: the message, whether the marker was set, and that the target
// kept its value.
struct AssignCase {
  const char* what;
  std::function<void(GameWriter&, Script&)> build;
  std::string message;
  bool markerSet = false;
};

TEST(InterpreterAssignmentFailures, MessagesAndMarker) {
  const auto arr = [](GameWriter& w, Script& s) {
    s.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("a")), w.num(2)});
  };
  const AssignCase cases[] = {
      {"card 0",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn0::CurrentCard), w.num(0)); },
       "Invalid card: 0"},
      {"card past the last",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn0::CurrentCard), w.num(2)); },
       "Invalid card: 2"},
      {"negative card",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn0::CurrentCard), w.num(-1.5)); },
       "Invalid card: -1.5"},
      {"sprite 1001",
       [](GameWriter& w, Script& s) {
         s.SetNumber(w.numFn(NumFn::SpriteX, w.num(1001)), w.num(1));
       },
       "Invalid sprite number: 1001"},
      {"sprite 0.5",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn::SpriteY, w.num(0.5)), w.num(1)); },
       "Invalid sprite number: 0"},
      {"no such sprite",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn::SpriteX, w.num(4)), w.num(1)); },
       "Uninitialized sprite."},
      {"write element 0",
       [=](GameWriter& w, Script& s) {
         arr(w, s);
         s.SetNumber(w.numElem("a", w.num(0)), w.num(1));
       },
       "Array out of bounds."},
      {"write element past the end",
       [=](GameWriter& w, Script& s) {
         arr(w, s);
         s.SetString(w.textElem("t", w.num(1)), w.text("x"));
       },
       "Array out of bounds."},
      {"read element 0 sets the marker",
       [=](GameWriter& w, Script& s) {
         arr(w, s);
         s.SetNumberVariable("y", w.numElem("a", w.num(0)));
       },
       "Array out of bounds.", true},
      {"read text element 3 sets the marker",
       [](GameWriter& w, Script& s) { s.SetString(w.textVar("t"), w.textElem("t", w.num(3))); },
       "Array out of bounds.", true},
      {"source failure leaves the target",
       [=](GameWriter& w, Script& s) {
         arr(w, s);
         s.SetNumber(w.numVar("x"), w.numElem("a", w.num(3)));
       },
       "Array out of bounds.", true},
      {"text to a number variable",
       [](GameWriter& w, Script& s) { s.SetString(w.numVar("x"), w.text("1")); },
       "TypeMismatchException (ExecuteScript)"},
      {"number to a text variable",
       [](GameWriter& w, Script& s) { s.SetNumber(w.textVar("t"), w.num(1)); },
       "TypeMismatchException (ExecuteScript)"},
      {"number to a literal", [](GameWriter& w, Script& s) { s.SetNumber(w.num(3), w.num(1)); },
       "TypeMismatchException (ExecuteScript)"},
      {"number to a non-position function",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numFn(NumFn::Sqrt, w.num(4)), w.num(1)); },
       "TypeMismatchException (ExecuteScript)"},
      {"text to another text function",
       [](GameWriter& w, Script& s) { s.SetString(w.textFn(StrFn0::LongDate), w.text("x")); },
       "TypeMismatchException (ExecuteScript)"},
  };
  for (const AssignCase& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame t;
    t.host.sprites = {3};
    t.runScript([&](Script& s) {
      s.SetNumberVariable("x", t.w.num(7));
      c.build(t.w, s);
    });
    EXPECT_EQ(t.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(t.in->DeathLoc, c.markerSet ? kLoc : "");
    EXPECT_EQ(t.num("x"), 7);
    EXPECT_TRUE(t.host.cardChanges.empty());
    EXPECT_TRUE(t.host.spritePositions.empty());
  }
}

}  // namespace
}  // namespace qm::test
