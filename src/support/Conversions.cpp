#include "support/Conversions.h"

#include <cmath>
#include <cstdio>

#include "data/ByteReader.h"

namespace qm {

namespace CommonMethods {

bool NthBit(int64_t value, int64_t k) {
  const uint32_t v = static_cast<uint32_t>(value);
  const int64_t shift = 8 - k;
  if (shift < 0 || shift > 31) return false;
  return (v >> shift) & 1u;
}

std::string BooleanTo1(bool b) { return b ? "1" : "0"; }

int64_t StringToShort(std::string_view s) {
  if (s.empty()) return 0;
  return int64_t(uint8_t(s.front())) * 256 + uint8_t(s.back());
}

int64_t StringToMedium(std::string_view s) {
  if (s.empty()) return 0;
  const uint8_t second = s.size() > 1 ? uint8_t(s[1]) : 0;
  return int64_t(uint8_t(s.front())) * 65536 + int64_t(second) * 256 + uint8_t(s.back());
}

} // namespace CommonMethods

namespace GameMethods {

int64_t ReadMedium(ByteReader& in) { return in.u24(); }

std::string GoodStr(double x) {
  // Only whole numbers that survive the trip through a 32-bit integer print as integers.
  if (std::isfinite(x) && x >= -2147483648.0 && x <= 2147483647.0) {
    const int32_t i = static_cast<int32_t>(x);
    if (static_cast<double>(i) == x) return std::to_string(i);
  }
  return FormatNumber(x);
}

} // namespace GameMethods

std::string FormatNumber(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  return buf;
}

} // namespace qm
