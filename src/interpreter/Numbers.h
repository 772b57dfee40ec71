#pragma once
// Truncation of script numbers (doubles) toward zero into integers, defined for every input:
// out-of-range values saturate. Not-a-number gives the lowest value for 64-bit results (so it
// is never a valid index or count) and 0 for 32-bit results.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace qm {

inline int64_t truncToInt64(double x) {
  if (std::isnan(x)) return std::numeric_limits<int64_t>::min();
  if (x >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (x < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

inline int32_t truncToInt32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

// Integer division of script expressions: both sides truncated to 32 bits, a zero divisor gives
// 0, and the one overflowing quotient (lowest / -1) saturates.
inline double integerDivide(double r, double t) {
  const int32_t a = truncToInt32(r);
  const int32_t b = truncToInt32(t);
  if (b == 0) return 0;
  if (a == std::numeric_limits<int32_t>::min() && b == -1)
    return std::numeric_limits<int32_t>::max();
  return static_cast<double>(a / b);
}

// The number written at the start of a text (after blanks), else 0: "12abc" gives 12, "-1.5e3"
// gives -1500, "abc" gives 0. The general text-to-number conversion of script values.
double leadingNumber(std::string_view s);

}  // namespace qm
