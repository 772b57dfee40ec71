#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "data/ByteReader.h"
#include "support/Conversions.h"

namespace qm {
namespace {

using namespace CommonMethods;

TEST(Conversions, NthBitCountsFromTheMostSignificantEnd) {
  EXPECT_TRUE(NthBit(0x3D, 3));
  EXPECT_FALSE(NthBit(0x3D, 1));
  for (int k = 1; k <= 8; ++k) {
    EXPECT_TRUE(NthBit(0x80 >> (k - 1), k)) << k;
    EXPECT_FALSE(NthBit(~(0x80 >> (k - 1)) & 0xFF, k)) << k;
  }
  // Only the low byte is looked at; out-of-range k never reads garbage.
  EXPECT_FALSE(NthBit(0x100, 8));
  EXPECT_FALSE(NthBit(0xFF, 0x7FFFFFFF));
}

TEST(Conversions, BytesToNumbers) {
  EXPECT_EQ(StringToShort(std::string("\x01\x2C", 2)), 300);
  EXPECT_EQ(StringToMedium(std::string("\x01\x00\x02", 3)), 65538);
  EXPECT_EQ(StringToShort(std::string("\xFF\xFF", 2)), 65535);
  EXPECT_EQ(StringToShort(""), 0);
  EXPECT_EQ(BooleanTo1(true), "1");
  EXPECT_EQ(BooleanTo1(false), "0");
  EXPECT_EQ(GameMethods::BooleanToInt(true), 1);
}

TEST(Conversions, ReadMediumReadsThreeBytesBigEndian) {
  const std::string bytes("\x00\x12\x34\x56", 4);
  ByteReader in(bytes);
  EXPECT_EQ(GameMethods::ReadMedium(in), 4660);
  EXPECT_EQ(in.position(), 3u);
  EXPECT_THROW(GameMethods::ReadMedium(in), OutOfBoundsException);
}

TEST(Conversions, GoodStr) {
  struct Case {
    double x;
    const char* text;
  };
  const Case cases[] = {
      {42, "42"},
      {-7, "-7"},
      {0, "0"},
      {2147483647.0, "2147483647"},
      {-2147483648.0, "-2147483648"},
      // Outside the 32-bit range or fractional: the general conversion.
      {2.5, "2.5"},
      {-0.125, "-0.125"},
      {4294967296.0, "4294967296"},
      {2147483648.0, "2147483648"},
      {1e20, "1e+20"},
      {0.1 + 0.2, "0.3"},
      {std::numeric_limits<double>::infinity(), "inf"},
  };
  for (const Case& c : cases) EXPECT_EQ(GameMethods::GoodStr(c.x), c.text) << c.x;
  EXPECT_EQ(GameMethods::GoodStr(std::nan("")), FormatNumber(std::nan("")));
}

} // namespace
} // namespace qm
