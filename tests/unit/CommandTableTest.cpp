#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"

namespace qm {
namespace {

static_assert(static_cast<uint16_t>(Cmd::GoCard) == 20);
static_assert(static_cast<uint16_t>(Cmd::If2) == 90);
static_assert(static_cast<uint16_t>(NumFn::Round) == 0);
static_assert(static_cast<uint16_t>(StrFn0::LastKeyUp) == 17);

// The dispatcher's routing, written out independently of the table: rows tested in order.
struct Route {
  int first;
  int last;
  HandlerGroup group;
};
constexpr Route kRoutes[] = {
    {75, 75, HandlerGroup::SetNumberVariable},
    {2, 2, HandlerGroup::SetString},
    {3, 3, HandlerGroup::SetNumber},
    {49, 49, HandlerGroup::Return},
    {4, 5, HandlerGroup::Array},
    {81, 81, HandlerGroup::Array},
    {85, 85, HandlerGroup::Array},
    {107, 110, HandlerGroup::Array},
    {115, 116, HandlerGroup::Array},
    {119, 120, HandlerGroup::Array},
    {6, 18, HandlerGroup::Flow},
    {20, 25, HandlerGroup::Flow},
    {28, 48, HandlerGroup::File},
    {50, 54, HandlerGroup::Socket},
    {106, 106, HandlerGroup::Socket},
    {111, 111, HandlerGroup::Socket},
    {55, 69, HandlerGroup::Sprite},
    {113, 113, HandlerGroup::Sprite},
    {118, 118, HandlerGroup::Sprite},
    {70, 74, HandlerGroup::Movie},
    {26, 27, HandlerGroup::Misc},
    {76, 80, HandlerGroup::Misc},
    {82, 82, HandlerGroup::Misc},
    {91, 91, HandlerGroup::Misc},
    {95, 105, HandlerGroup::Draw},
    {112, 112, HandlerGroup::Draw},
    {114, 114, HandlerGroup::Draw},
    {117, 117, HandlerGroup::Draw},
    {86, 86, HandlerGroup::For},
    {19, 19, HandlerGroup::Select},
    {88, 88, HandlerGroup::If},
    {90, 90, HandlerGroup::If},
    {0, 0, HandlerGroup::Nop},
};

const Route* routeOf(int code) {
  for (const Route& r : kRoutes)
    if (code >= r.first && code <= r.last) return &r;
  return nullptr;  // method call
}

TEST(CommandTable, EveryCodeRoutesToItsHandlerGroup) {
  const std::set<int> noCommand = {1, 83, 84, 87, 89, 92, 93, 94};
  for (int code = 0; code < kFirstMethodCode; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    const CommandInfo* info = findCommand(static_cast<uint16_t>(code));
    if (noCommand.count(code)) {
      EXPECT_EQ(info, nullptr);
      EXPECT_EQ(routeOf(code), nullptr);
      continue;
    }
    ASSERT_NE(info, nullptr);
    ASSERT_NE(routeOf(code), nullptr);
    EXPECT_EQ(info->code, code);
    EXPECT_EQ(info->group, routeOf(code)->group) << handlerGroupName(info->group);
  }
  EXPECT_EQ(allCommands().size(), kFirstMethodCode - noCommand.size());
  for (uint16_t code : {121, 122, 1000, 65535}) EXPECT_EQ(findCommand(code), nullptr) << code;
}

TEST(CommandTable, NamesAreUniqueAndRoundTrip) {
  std::set<std::string_view> names;
  for (const CommandInfo& info : allCommands()) {
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    EXPECT_EQ(findCommandByName(info.name), &info) << info.name;
  }
  EXPECT_EQ(findCommandByName("gocard"), nullptr);  // case matters
  EXPECT_EQ(findCommandByName(""), nullptr);
  EXPECT_STREQ(findCommandByName("SpriteCreate")->shape, "nt[nnnn]");
}

// Allowed characters, balanced optional brackets, and a repeat group only at the very end.
::testing::AssertionResult validShape(std::string_view shape) {
  int depth = 0;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const char c = shape[i];
    if (c == '[') {
      ++depth;
    } else if (c == ']') {
      if (--depth < 0) return ::testing::AssertionFailure() << "unbalanced ]";
    } else if (c == '(') {
      const std::size_t close = shape.find(')', i);
      if (close != shape.size() - 1 || close == i + 1)
        return ::testing::AssertionFailure() << "repeat group must be final and non-empty";
    } else if (c != ')' && std::string_view("ntx@avsr").find(c) == std::string_view::npos) {
      return ::testing::AssertionFailure() << "bad character '" << c << "'";
    }
  }
  if (depth != 0) return ::testing::AssertionFailure() << "unclosed [";
  return ::testing::AssertionSuccess();
}

// Number of positions, optional ones included, for shapes without a repeat group.
std::size_t positions(std::string_view shape) {
  std::size_t n = 0;
  for (char c : shape)
    if (c != '[' && c != ']') ++n;
  return n;
}

TEST(CommandTable, ShapesAreWellFormed) {
  for (const CommandInfo& info : allCommands())
    EXPECT_TRUE(validShape(info.shape)) << info.name << " \"" << info.shape << "\"";
  EXPECT_FALSE(validShape("n(xs)t"));
  EXPECT_FALSE(validShape("n[t"));
  EXPECT_FALSE(validShape("nq"));
}

struct FnList {
  const char* label;
  std::span<const FunctionInfo> table;
  bool withParams;
  const FunctionInfo* (*byId)(uint32_t, bool);
  const FunctionInfo* (*byName)(std::string_view, bool);
};

TEST(FunctionTable, ListsAreConsistent) {
  const FnList lists[] = {
      {"NumFn0", numFunctionsNoParams(), false, findNumFunction, findNumFunctionByName},
      {"NumFn", numFunctionsWithParams(), true, findNumFunction, findNumFunctionByName},
      {"StrFn0", strFunctionsNoParams(), false, findStrFunction, findStrFunctionByName},
      {"StrFn", strFunctionsWithParams(), true, findStrFunction, findStrFunctionByName},
  };
  for (const FnList& list : lists) {
    SCOPED_TRACE(list.label);
    std::set<std::string_view> names;
    for (const FunctionInfo& info : list.table) {
      SCOPED_TRACE(info.name);
      EXPECT_TRUE(names.insert(info.name).second);
      EXPECT_EQ(list.byId(info.id, list.withParams), &info);
      EXPECT_EQ(list.byName(info.name, list.withParams), &info);
      EXPECT_TRUE(validShape(info.shape)) << info.shape;
      if (!list.withParams) {
        EXPECT_EQ(info.form, FunctionForm::None);
        EXPECT_STREQ(info.shape, "");
      } else if (info.form == FunctionForm::Single) {
        EXPECT_EQ(positions(info.shape), 1u) << info.shape;
      } else {
        EXPECT_GE(positions(info.shape), 2u) << info.shape;
      }
    }
    EXPECT_EQ(list.byId(64, list.withParams), nullptr);
    EXPECT_EQ(list.byId(0xFFFFFFFFu, list.withParams), nullptr);
  }
}

TEST(FunctionTable, FormsAndGapsFollowTheIdTables) {
  const FunctionInfo* askNumber = findNumFunction(19, true);
  ASSERT_NE(askNumber, nullptr);
  EXPECT_STREQ(askNumber->name, "AskNumber");
  EXPECT_TRUE(servesForm(*askNumber, false));
  EXPECT_TRUE(servesForm(*askNumber, true));

  const FunctionInfo* overlap = findNumFunction(16, true);
  ASSERT_NE(overlap, nullptr);
  EXPECT_FALSE(servesForm(*overlap, false));  // single form yields 0 without a report
  EXPECT_TRUE(servesForm(*overlap, true));
  EXPECT_FALSE(servesForm(*findNumFunction(0, true), true));

  // Unlisted IDs within the range of each list.
  EXPECT_EQ(findNumFunction(29, false), nullptr);
  EXPECT_EQ(findStrFunction(18, false), nullptr);
  EXPECT_EQ(findNumFunction(46, true), nullptr);
  EXPECT_EQ(findStrFunction(24, true), nullptr);

  // The same ID means different functions with and without arguments.
  EXPECT_STREQ(findNumFunction(0, false)->name, "ShiftDown");
  EXPECT_STREQ(findStrFunction(0, true)->name, "Str");
  EXPECT_EQ(findStrFunctionByName("Str", false), nullptr);
}

}  // namespace
}  // namespace qm
