// The statement loop through the real dispatch: RETURN and the exit marker, FOR, failures and
// their reports, the location life cycle, the nesting limit and the trace.
#include "InterpreterFixture.h"
#include "interpreter/CommandTable.h"

namespace qm::test {
namespace {

using Kind = ScriptResult::Kind;

TEST_F(InterpreterTest, ReturnValues) {
  const Script number = w.script([&](Script& s) { s.Return(w.expr(w.num(1), '+', w.num(1))); });
  const Script textValue = w.script([&](Script& s) { s.Return(w.text("t")); });
  const Script none = w.script([&](Script& s) { s.Return(); });
  // RETURN 0 inside an IF is a value: it ends the enclosing level too.
  const Script zero = w.script([&](Script& s) {
    s.If(w.num(1), "=", w.num(1), [&](Script& t) { t.Return(w.num(0)); });
    s.SetNumberVariable("after", w.num(1));
  });
  load();
  // Nothing clears the marker after a top-level RETURN: each run uses a location of its own.
  const ScriptResult r1 = run(number, "A");
  EXPECT_EQ(r1.kind, Kind::Number);
  EXPECT_EQ(r1.number, 2);
  EXPECT_EQ(in->DeathLoc, "A");
  const ScriptResult r2 = run(textValue, "B");
  EXPECT_EQ(r2.kind, Kind::Text);
  EXPECT_EQ(r2.text, "t");
  EXPECT_EQ(run(none, "C").kind, Kind::None);
  const ScriptResult r4 = run(zero, "D");
  EXPECT_EQ(r4.kind, Kind::Number);
  EXPECT_EQ(r4.number, 0);
  EXPECT_EQ(num("after"), 0);
}

TEST_F(InterpreterTest, ReturnWithoutValueInNestedIfEndsBothBlocks) {
  runScript([&](Script& s) {
    s.If(w.num(1), "=", w.num(1), [&](Script& outer) {
      outer.If(w.num(1), "=", w.num(1), [&](Script& inner) { inner.Return(); });
      outer.SetNumberVariable("inOuterBlock", w.num(1));
    });
    s.SetNumberVariable("afterOuterIf", w.num(1));
  });
  EXPECT_EQ(num("inOuterBlock"), 0);
  EXPECT_EQ(num("afterOuterIf"), 1);
  EXPECT_EQ(in->DeathLoc, "");
}

TEST_F(InterpreterTest, MarkerLeftSetStopsTheNextRunOfTheSameLocation) {
  // RETURN in an IF that is the script's last command: nobody reaches the marker check.
  const Script returns =
      w.script([&](Script& s) { s.If(w.num(1), "=", w.num(1), [&](Script& t) { t.Return(); }); });
  const Script counts = w.script(
      [&](Script& s) { s.SetNumberVariable("runs", w.expr(w.numVar("runs"), '+', w.num(1))); });
  const MethodRef nop = w.addMethod("Nop", {}, [&](Script& s) { s.cmd(Cmd::Nop); });
  const Script callsMethod = w.script([&](Script& s) { s.CallMethod(nop); });
  load();
  run(returns);
  EXPECT_EQ(in->DeathLoc, kLoc);
  run(counts, "Card 2, Open Card Event");  // another location runs
  EXPECT_EQ(num("runs"), 1);
  run(counts, "CARD 1, open card EVENT");  // same location, any case: returns at once
  EXPECT_EQ(num("runs"), 1);
  EXPECT_EQ(in->DeathLoc, "");
  run(counts);
  EXPECT_EQ(num("runs"), 2);

  // A method run clears a marker left set.
  run(returns);
  EXPECT_EQ(in->DeathLoc, kLoc);
  run(callsMethod, "Global Mouse Down Event");
  EXPECT_EQ(in->DeathLoc, "");
  EXPECT_TRUE(messages().empty());
}

TEST_F(InterpreterTest, ForLoops) {
  runScript([&](Script& s) {
    const auto record = [&](const char* sum) {
      // sum = sum * 10 + i records the order of the passes
      return Block([&, sum](Script& b) {
        b.SetNumberVariable(sum, w.expr(w.numVar(sum), '*', w.num(10), '+', w.numVar("i")));
      });
    };
    s.For("i", w.num(1), w.num(3), record("up"));
    s.For("i", w.num(3), w.num(1), record("down"));
    s.For("i", w.num(2), w.num(2), record("once"));
    s.For("i", w.num(1), w.num(2.9), record("truncated"));
    // Assigning the loop variable changes neither the passes nor the value after the loop.
    s.For("j", w.num(1), w.num(3), [&](Script& b) {
      b.SetNumberVariable("passes", w.expr(w.numVar("passes"), '+', w.num(1)));
      b.SetNumberVariable("j", w.num(100));
    });
    s.SetNumberVariable("jAfter", w.numVar("j"));
    // ExitFor inside an IF leaves only the innermost loop; the commands after it run.
    s.For("k", w.num(1), w.num(10), [&](Script& b) {
      b.If(w.numVar("k"), "=", w.num(4), [&](Script& t) { t.cmd(Cmd::ExitFor); });
      b.SetNumberVariable("kSeen", w.numVar("k"));
    });
    s.SetNumberVariable("afterExit", w.num(1));
  });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(num("up"), 123);
  EXPECT_EQ(num("down"), 321);
  EXPECT_EQ(num("once"), 2);
  EXPECT_EQ(num("truncated"), 12);
  EXPECT_EQ(num("passes"), 3);
  EXPECT_EQ(num("jAfter"), 100);
  EXPECT_EQ(num("kSeen"), 3);
  EXPECT_EQ(num("afterExit"), 1);
  EXPECT_FALSE(in->StopFOR);
}

TEST_F(InterpreterTest, ReturnInsideForLeavesTheMarkerForTheEnclosingLevel) {
  const Script withoutValue = w.script([&](Script& s) {
    s.For("i", w.num(1), w.num(5),
          [&](Script& b) { b.If(w.numVar("i"), "=", w.num(3), [&](Script& t) { t.Return(); }); });
    s.SetNumberVariable("after", w.num(1));
  });
  const Script withValue = w.script([&](Script& s) {
    s.For("j", w.num(1), w.num(5), [&](Script& b) {
      b.If(w.numVar("j"), "=", w.num(2), [&](Script& t) { t.Return(w.text("two")); });
    });
  });
  load();
  EXPECT_EQ(run(withoutValue).kind, Kind::None);
  EXPECT_EQ(num("i"), 3);
  EXPECT_EQ(num("after"), 0);
  EXPECT_EQ(in->DeathLoc, "");  // cleared by the script's own next command check
  EXPECT_EQ(run(withValue).text, "two");
  EXPECT_EQ(num("j"), 2);
}

// A failure inside a command is reported by the innermost run with its kind and suffix.
struct FailureCase {
  const char* what;
  std::function<void(GameWriter&, Script&)> build;
  std::string message;
};

TEST(InterpreterFailures, ReportedByTheInnermostRun) {
  const FailureCase cases[] = {
      {"code 1", [](GameWriter&, Script& s) { s.cmd(1); }, "OutOfBoundsException (ExecuteScript)"},
      {"code 89", [](GameWriter&, Script& s) { s.cmd(89); },
       "OutOfBoundsException (ExecuteScript)"},
      {"code 121 calls the empty method 0", [](GameWriter&, Script& s) { s.cmd(121); },
       "NilObjectException (ExecuteScript)"},
      {"number in a concatenation",
       [](GameWriter& w, Script& s) {
         s.SetString(w.textVar("t"), w.concat({w.text("a"), w.num(1)}));
       },
       "TypeMismatchException (ExecuteScript)"},
      {"list shorter than the command needs",
       [](GameWriter& w, Script& s) { s.cmd(Cmd::SetNumber, {w.numVar("x")}); },
       "OutOfBoundsException (ExecuteScript)"},
      {"list index outside the table", [](GameWriter&, Script& s) { s.cmdList(Cmd::Nop, 999); },
       "OutOfBoundsException (ExecuteScript)"},
      {"operand outside the pools",
       [](GameWriter& w, Script& s) { s.SetNumber(w.numVar("x"), Operand(200)); },
       "OutOfBoundsException (ExecuteScript)"},
      {"variable outside the table",
       [](GameWriter& w, Script& s) {
         s.SetNumber(w.operand(OperandKind::NumVariable, 77), w.num(1));
       },
       "OutOfBoundsException (ExecuteScript)"},
      {"script index outside the table",
       [](GameWriter& w, Script& s) { s.If(w.num(1), "=", w.num(1), Block(4000u)); },
       "OutOfBoundsException (ExecuteScript)"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame t;
    t.runScript([&](Script& s) {
      c.build(t.w, s);
      s.SetNumberVariable("after", t.w.num(1));
    });
    ASSERT_EQ(t.host.reports.size(), 1u);
    EXPECT_EQ(t.host.reports[0].message, c.message);
    EXPECT_EQ(t.host.reports[0].location, kLoc);
    EXPECT_EQ(t.host.reports[0].line, 0);
    EXPECT_FALSE(t.in->Running);
    EXPECT_EQ(t.num("after"), 0);
    EXPECT_EQ(t.in->ScriptLocation(), "");
  }
}

TEST_F(InterpreterTest, FailureInANestedBlockStopsEveryLevel) {
  runScript([&](Script& s) {
    s.If(w.num(1), "=", w.num(1), [&](Script& t) {
      t.If(w.num(1), "=", w.num(1), [&](Script& u) { u.cmd(89); });
      t.SetNumberVariable("a", w.num(1));
    });
    s.SetNumberVariable("b", w.num(1));
  });
  EXPECT_EQ(messages(), std::vector<std::string>{"OutOfBoundsException (ExecuteScript)"});
  EXPECT_EQ(num("a"), 0);
  EXPECT_EQ(num("b"), 0);
}

TEST_F(InterpreterTest, LocationIsRestoredAfterEveryReturn) {
  const MethodRef m = w.addMethod("Helper", {}, [&](Script& s) { s.Return(w.num(1)); });
  const Script empty = w.script();
  const Script callsThenFails = w.script([&](Script& s) {
    s.SetNumberVariable("x", w.numMethod(m));
    s.CallMethod(m);
    s.cmd(89);
  });
  const Script failsInMethod = w.script();
  const MethodRef bad = w.addMethod("Bad", {}, [&](Script& s) { s.cmd(89); });
  w.scriptAt(failsInMethod).CallMethod(bad);
  load();
  EXPECT_EQ(run(empty).kind, Kind::None);
  EXPECT_EQ(in->ScriptLocation(), "");
  run(callsThenFails);
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].location, kLoc);
  EXPECT_EQ(in->ScriptLocation(), "");

  in->Running = true;
  host.reports.clear();
  run(failsInMethod, "Global Key Down Event");
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].location, "Bad Method");
  EXPECT_EQ(host.reports[0].message, "OutOfBoundsException (ExecuteScript)");
  EXPECT_EQ(in->ScriptLocation(), "");
}

TEST_F(InterpreterTest, Code122CallsMethodOne) {
  const MethodRef first =
      w.addMethod("First", {}, [&](Script& s) { s.SetNumberVariable("called", w.num(1)); });
  ASSERT_EQ(first.index, 1u);
  runScript([&](Script& s) { s.cmd(122); });
  EXPECT_EQ(num("called"), 1);
  EXPECT_TRUE(messages().empty());
}

TEST_F(InterpreterTest, StopFlagsEndEveryLevel) {
  // Running false: nothing runs. StopFOR set outside any loop: nothing runs and it stays set.
  const Script s = w.script([&](Script& sc) { sc.SetNumberVariable("x", w.num(1)); });
  load();
  in->Running = false;
  run(s);
  EXPECT_EQ(num("x"), 0);
  in->Running = true;
  in->StopFOR = true;
  run(s);
  EXPECT_EQ(num("x"), 0);
  EXPECT_TRUE(in->StopFOR);
}

TEST(InterpreterNesting, UnboundedRecursionIsAStackOverflow) {
  struct Case {
    const char* what;
    std::function<void(GameWriter&, Script&)> build;
  };
  const Case cases[] = {
      {"method calling itself in an operand",
       [](GameWriter& w, Script& s) {
         const MethodRef m = w.addMethod("Again", {}, Block());
         w.method(m).compiledScript = w.script(
             [&](Script& b) { b.SetNumberVariable("x", w.expr(w.numMethod(m), '+', w.num(1))); });
         s.SetNumberVariable("x", w.numMethod(m));
       }},
      {"text method calling itself",
       [](GameWriter& w, Script& s) {
         const MethodRef m = w.addMethod("Again", {}, Block());
         w.method(m).compiledScript = w.script([&](Script& b) {
           b.SetString(w.textVar("t"), w.concat({w.text("a"), w.textMethod(m)}));
         });
         s.SetString(w.textVar("t"), w.textMethod(m));
       }},
      {"block running itself",
       [](GameWriter& w, Script& s) {
         Script self = w.script();
         self.If(w.num(1), "=", w.num(1), self);
         s.If(w.num(1), "=", w.num(1), self);
       }},
      {"expression containing itself",
       [](GameWriter& w, Script& s) {
         const Operand one = w.num(1);
         const Operand self(w.parameterCount());
         ASSERT_EQ(w.exprCodes({one, self}, {0}).index, self.index);
         s.SetNumberVariable("x", self);
       }},
      {"concatenation containing itself",
       [](GameWriter& w, Script& s) {
         const Operand a = w.text("a");
         const Operand self(w.parameterCount());
         ASSERT_EQ(w.concat({a, self}).index, self.index);
         s.SetString(w.textVar("t"), self);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame t;
    t.runScript([&](Script& s) { c.build(t.w, s); });
    EXPECT_EQ(t.messages(), std::vector<std::string>{"StackOverflowException (ExecuteScript)"});
    EXPECT_EQ(t.in->nesting(), 0);
    EXPECT_EQ(t.in->ScriptLocation(), "");
  }
}

TEST(InterpreterNesting, DeepButBoundedRecursionRuns) {
  // Count(n): IF n > 0 THEN c = Count(n - 1) + 1: RETURN c. A few nesting levels per call, so
  // a recursion of kMaxNesting / 8 calls stays inside the limit.
  TestGame t;
  GameWriter& w = t.w;
  const MethodRef count = w.addMethod("Count", {w.numVar("n")}, Block());
  w.method(count).compiledScript = w.script([&](Script& b) {
    b.If(w.numVar("n"), ">", w.num(0), [&](Script& then) {
      then.SetNumberVariable(
          "c", w.expr(w.numMethod(count, w.expr(w.numVar("n"), '-', w.num(1))), '+', w.num(1)));
      then.Return(w.numVar("c"));
    });
    b.Return(w.num(0));
  });
  t.runScript(
      [&](Script& s) { s.SetNumberVariable("r", w.numMethod(count, w.num(kMaxNesting / 8))); });
  EXPECT_TRUE(t.messages().empty());
  EXPECT_EQ(t.num("r"), kMaxNesting / 8);
  EXPECT_EQ(t.in->nesting(), 0);
}

TEST_F(InterpreterTest, TraceWritesOneJsonLinePerCommand) {
  const MethodRef m = w.addMethod("Tool", {}, [&](Script& s) { s.cmd(Cmd::Nop); });
  const Script s = w.script([&](Script& sc) {
    sc.SetNumberVariable("x", w.num(1));
    sc.CallMethod(m);
  });
  load();
  run(s);
  EXPECT_TRUE(host.log.empty());  // off by default
  in->SetTrace(true);
  run(s, "Card \"1\"\\ Open");
  EXPECT_EQ(host.log,
            (std::vector<std::string>{
                R"({"ev":"cmd","loc":"Card \"1\"\\ Open","code":75,"name":"SetNumberVariable"})",
                R"({"ev":"cmd","loc":"Card \"1\"\\ Open","code":122,"name":"Call Tool"})",
                R"({"ev":"cmd","loc":"Tool Method","code":0,"name":"Nop"})",
            }));
}

TEST_F(InterpreterTest, DimSizeChecks) {
  const Script s = w.script([&](Script& sc) {
    sc.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("a")), w.num(2.9)});
    sc.cmd(Cmd::DimStringArray, {raw(w.textArrayIndex("t")), w.num(-0.5)});
    sc.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("big")), w.num(1000000)});
  });
  const Script tooMany = w.script([&](Script& sc) {
    sc.cmd(Cmd::DimNumberArray, {raw(w.numArrayIndex("a")), w.num(1000001)});
  });
  load();
  run(s);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(g().NumberArrays.at(w.numArrayIndex("a")).thearray, std::vector<double>(2, 0.0));
  EXPECT_TRUE(g().StringArrays.at(w.textArrayIndex("t")).thearray.empty());
  EXPECT_EQ(g().NumberArrays.at(w.numArrayIndex("big")).thearray.size(), 1000000u);
  run(tooMany);
  EXPECT_EQ(messages(), std::vector<std::string>{"Too many elements (maximum 1,000,000)."});
  EXPECT_EQ(g().NumberArrays.at(w.numArrayIndex("a")).thearray.size(), 2u);
}

}  // namespace
}  // namespace qm::test
