#include "data/ScriptRecords.h"

#include "data/ByteReader.h"

namespace qm {

const char* operandKindName(uint8_t kind) {
  static const char* const names[] = {
      "NumLiteral",    "NumVariable",      "NumFunction",   "NumFunctionCall", "NumArrayElement",
      "NumMethodCall", "MathExpression",   "NumMethod",     "ArgumentList",    "StrLiteral",
      "StrVariable",   "StrConcatenation", "StrFunction",   "StrFunctionCall", "StrMethodCall",
      "StrMethod",     "StrArrayElement",  "NumArrayRef"};
  return kind < std::size(names) ? names[kind] : "?";
}

int parameterIndexWidth(int64_t paramUpperBound) {
  if (paramUpperBound >= 65536) return 4;
  if (paramUpperBound >= 256) return 2;
  return 1;
}

int listIndexWidth(int64_t listUpperBound) {
  const uint32_t u = static_cast<uint32_t>(listUpperBound); // -1 becomes 0xFFFFFFFF
  if (u <= 255) return 1;
  if (u <= 65535) return 2;
  return 4;
}

void QMScript::Import(ByteReader& in, int listWidth) {
  const uint16_t n = in.u16();
  in.needRecords(n, 2 + uint64_t(listWidth));
  commands.resize(n);
  params.resize(n);
  for (uint16_t i = 0; i < n; ++i) {
    commands[i] = in.u16();
    params[i] = in.uN(listWidth);
  }
}

void QMParameters::Import(ByteReader& in, int elementWidth, int countWidth) {
  const uint32_t c = countWidth == 2 ? in.u16() : in.u8();
  in.needRecords(c, uint64_t(elementWidth));
  list.resize(c);
  for (uint32_t i = 0; i < c; ++i) list[i] = in.uN(elementWidth);
}

void QMMathExpression::Import(ByteReader& in, int elementWidth) {
  const uint32_t b = in.u8();
  signs.resize(b + 1);
  for (uint32_t k = 0; k <= b; ++k) signs[k] = in.u8();
  vars.resize(b + 2);
  for (uint32_t k = 0; k <= b + 1; ++k) vars[k] = in.uN(elementWidth);
}

} // namespace qm
