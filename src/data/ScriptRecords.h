#pragma once
// The compiled script records: scripts, parameter lists, arithmetic expressions and the array
// records that scripts size and fill.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qm {

class ByteReader;

// The operand kinds of the parameter pools.
enum class OperandKind : uint8_t {
  NumLiteral = 0,
  NumVariable = 1,
  NumFunction = 2,
  NumFunctionCall = 3,
  NumArrayElement = 4,
  NumMethodCall = 5,
  MathExpression = 6,
  NumMethod = 7,
  ArgumentList = 8,
  StrLiteral = 9,
  StrVariable = 10,
  StrConcatenation = 11,
  StrFunction = 12,
  StrFunctionCall = 13,
  StrMethodCall = 14,
  StrMethod = 15,
  StrArrayElement = 16,
  NumArrayRef = 17,
};
const char* operandKindName(uint8_t kind); // "?" outside the table

// Scripts, lists and expressions never change after loading, so their arrays are views into
// a few flat pools (ScriptStore) instead of one allocation each: a large game loads in a
// fraction of the time.
struct QMScript {
  std::span<const uint16_t> commands;
  std::span<const uint32_t> params; // index in ParameterLists of each command's list
};

struct QMParameters {
  std::span<const uint32_t> list;
};

struct QMMathExpression {
  std::span<const uint8_t> signs;
  std::span<const uint32_t> vars; // always one more than signs
};

// The storage behind the views above. Filled while loading, never resized afterwards.
struct ScriptStore {
  std::vector<uint16_t> codes;
  std::vector<uint32_t> listIndexes;
  std::vector<uint32_t> listElements;
  std::vector<uint8_t> signs;
  std::vector<uint32_t> terms;
};

// The record readers: each reads `count` records from the stream into the store and the table.
// elementWidth is the parameter-index width, listIndexWidth the parameter-list-index width,
// countWidth the list-count width byte (2: 16-bit counts, else 8-bit).
void ImportParameterLists(ByteReader& in, uint32_t count, int elementWidth, int countWidth,
                          ScriptStore& store, std::vector<QMParameters>& lists);
void ImportScripts(ByteReader& in, uint32_t count, int listIndexWidth, ScriptStore& store,
                   std::vector<QMScript>& scripts);
void ImportMathExpressions(ByteReader& in, uint32_t count, int elementWidth, ScriptStore& store,
                           std::vector<QMMathExpression>& expressions);

struct QMNumArray {
  std::vector<double> thearray;
};

struct QMStrArray {
  std::vector<std::string> thearray;
};

// Width of parameter indexes in lists and expressions, from the upper bound of the parameter
// pool taken as a signed number.
int parameterIndexWidth(int64_t paramUpperBound);
// Width of list indexes in scripts, from the upper bound of the list table taken as an unsigned
// 32-bit number (so an empty table gives 4).
int listIndexWidth(int64_t listUpperBound);

} // namespace qm
