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

namespace {

// Offsets are recorded while the pools grow; the views are made once the pools stop moving.
struct Extent {
  size_t begin;
  size_t size;
};

template <typename T>
std::span<const T> viewOf(const std::vector<T>& pool, Extent e) {
  return std::span<const T>(pool.data() + e.begin, e.size);
}

} // namespace

// The element loops below decode from a pointer into a run whose length was checked once.

// Fills out[0..n) with elements of width w (1, 2 or 4) from p.
template <int W>
void loadRun(const uint8_t* p, uint32_t* out, size_t n) {
  for (size_t i = 0; i < n; ++i, p += W) out[i] = ByteReader::load(p, W);
}

void loadRun(const uint8_t* p, int width, uint32_t* out, size_t n) {
  switch (width) {
  case 1: loadRun<1>(p, out, n); break;
  case 2: loadRun<2>(p, out, n); break;
  default: loadRun<4>(p, out, n); break;
  }
}

// Lists and scripts are read in two passes: the first checks the records and sums their sizes,
// so the pools are allocated once at their final size.

void ImportParameterLists(ByteReader& in, uint32_t count, int elementWidth, int countWidth,
                          ScriptStore& store, std::vector<QMParameters>& lists) {
  in.needRecords(count, countWidth == 2 ? 2 : 1);
  const size_t start = in.position();
  size_t total = 0;
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t c = countWidth == 2 ? in.u16() : in.u8();
    in.take(size_t(c) * size_t(elementWidth));
    total += c;
  }
  in.seek(start);

  auto& pool = store.listElements;
  size_t at = pool.size();
  pool.resize(at + total);
  lists.resize(count);
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t c = countWidth == 2 ? in.u16() : in.u8();
    const uint8_t* run = in.take(size_t(c) * size_t(elementWidth));
    loadRun(run, elementWidth, pool.data() + at, c);
    lists[k].list = std::span<const uint32_t>(pool.data() + at, c);
    at += c;
  }
}

void ImportScripts(ByteReader& in, uint32_t count, int listWidth, ScriptStore& store,
                   std::vector<QMScript>& scripts) {
  in.needRecords(count, 2);
  const size_t stride = 2 + size_t(listWidth);
  const size_t start = in.position();
  size_t total = 0;
  for (uint32_t k = 0; k < count; ++k) {
    const uint16_t n = in.u16();
    in.take(n * stride);
    total += n;
  }
  in.seek(start);

  size_t at = store.codes.size();
  store.codes.resize(at + total);
  store.listIndexes.resize(at + total);
  // Element 0 is the empty script.
  scripts.assign(uint64_t(count) + 1, QMScript{});
  for (uint32_t k = 0; k < count; ++k) {
    const uint16_t n = in.u16();
    const uint8_t* run = in.take(n * stride);
    // Codes and list indexes alternate in the file.
    for (size_t i = 0; i < n; ++i, run += stride) {
      store.codes[at + i] = uint16_t(ByteReader::load(run, 2));
      store.listIndexes[at + i] = ByteReader::load(run + 2, listWidth);
    }
    scripts[k + 1].commands = std::span<const uint16_t>(store.codes.data() + at, n);
    scripts[k + 1].params = std::span<const uint32_t>(store.listIndexes.data() + at, n);
    at += n;
  }
}

void ImportMathExpressions(ByteReader& in, uint32_t count, int elementWidth, ScriptStore& store,
                           std::vector<QMMathExpression>& expressions) {
  in.needRecords(count, 2 + 2 * uint64_t(elementWidth));
  std::vector<Extent> signExtents(count), termExtents(count);
  for (uint32_t k = 0; k < count; ++k) {
    // The byte is the upper bound of the signs; there is always one more term than signs.
    const uint32_t b = in.u8();
    const uint8_t* signs = in.take(b + 1);
    signExtents[k] = {store.signs.size(), b + 1};
    store.signs.insert(store.signs.end(), signs, signs + b + 1);
    const uint8_t* terms = in.take(size_t(b + 2) * size_t(elementWidth));
    const size_t at = store.terms.size();
    termExtents[k] = {at, b + 2};
    store.terms.resize(at + b + 2);
    loadRun(terms, elementWidth, store.terms.data() + at, b + 2);
  }
  expressions.resize(count);
  for (uint32_t k = 0; k < count; ++k) {
    expressions[k].signs = viewOf(store.signs, signExtents[k]);
    expressions[k].vars = viewOf(store.terms, termExtents[k]);
  }
}

} // namespace qm
