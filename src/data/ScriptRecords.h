#pragma once
// The compiled script records: scripts, parameter lists, arithmetic expressions and the array
// records that scripts size and fill.
#include <cstdint>
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

struct QMScript {
  std::vector<uint16_t> commands;
  std::vector<uint32_t> params; // index in ParameterLists of each command's list
  // listIndexWidth: the parameter-list-index width (1, 2 or 4).
  void Import(ByteReader& in, int listIndexWidth);
};

struct QMParameters {
  std::vector<uint32_t> list;
  void Import(ByteReader& in, int elementWidth, int countWidth);
};

struct QMMathExpression {
  std::vector<uint8_t> signs;
  std::vector<uint32_t> vars; // always one more than signs
  void Import(ByteReader& in, int elementWidth);
};

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
