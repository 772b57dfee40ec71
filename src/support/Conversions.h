#pragma once
// Small conversions between bytes, bits, texts and numbers shared by the data file reader and
// the script library.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

class ByteReader;

namespace CommonMethods {
// Bit k (1 = 0x80 ... 8 = 0x01) of the low byte of value.
bool NthBit(int64_t value, int64_t k);
std::string BooleanTo1(bool b);
// First byte * 256 + last byte.
int64_t StringToShort(std::string_view s);
// First * 65536 + second * 256 + last.
int64_t StringToMedium(std::string_view s);
} // namespace CommonMethods

namespace GameMethods {
int64_t ReadMedium(ByteReader& in);
inline int64_t BooleanToInt(bool b) { return b ? 1 : 0; }
// A number as scripts show it: whole numbers in the 32-bit range as plain integers, everything
// else through FormatNumber.
std::string GoodStr(double x);
} // namespace GameMethods

// The one general number-to-text conversion of the player (messages, GoodStr's fallback):
// up to 15 significant digits, shortest form ("2.5", "1e+20", "inf", "nan").
std::string FormatNumber(double x);

} // namespace qm
