#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <random>
#include <sstream>
#include <vector>

#include "sprites/PictureEffects.h"
#include "support/Random.h"

namespace qm {
namespace {

using namespace GameMethods;

constexpr QRgb kA = 0xFFFF0000, kB = 0x8000FF00, kC = 0x00000000;

// A one-row picture, straight alpha, from its pixels left to right.
QImage row(std::vector<QRgb> pixels) {
  QImage p(int(pixels.size()), 1, QImage::Format_ARGB32);
  for (size_t i = 0; i < pixels.size(); ++i) p.setPixel(int(i), 0, pixels[i]);
  return p;
}

// Pixels as straight ARGB, whatever the picture's format.
std::vector<QRgb> pixels(const QImage& picture) {
  const QImage p = picture.convertToFormat(QImage::Format_ARGB32);
  std::vector<QRgb> out;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) out.push_back(p.pixel(x, y));
  return out;
}

TEST(InternalGenerator, AlwaysDrawsZeroWhateverTheKey) {
  InternalGenerator g(std::vector<uint32_t>{12345});
  EXPECT_EQ(g.RandUpTo(0), 0u);
  EXPECT_EQ(g.RandUpTo(1), 0u);
  EXPECT_EQ(g.RandUpTo(4294967295u), 0u);
  EXPECT_EQ(g.RandReal3(), 1.0 / 8589934592.0);  // 2^-33

  InternalGenerator other(std::vector<uint32_t>{1, 2, 3});
  for (uint32_t n : {2u, 100u, 65535u}) EXPECT_EQ(g.RandUpTo(n), other.RandUpTo(n));
}

TEST(InternalGenerator, SeedsLikeMersenneTwister) {
  // init_genrand is MT19937's seeding: the standard library's engine holds the same words.
  InternalGenerator g(std::vector<uint32_t>{});
  g.init_genrand(5489u);
  std::mt19937 reference(5489u);
  std::stringstream state;
  state << reference;
  for (int i = 0; i < InternalGenerator::kN; ++i) {
    uint32_t word;
    state >> word;
    ASSERT_EQ(g.mt[size_t(i)], word) << i;
  }
  EXPECT_EQ(g.mti, 624);

  // Seeding by a key ends with the top bit word and differs between keys.
  InternalGenerator a(std::vector<uint32_t>{7}), b(std::vector<uint32_t>{8});
  EXPECT_EQ(a.mt[0], 0x80000000u);
  EXPECT_EQ(a.mti, 624);
  EXPECT_NE(a.mt[1], b.mt[1]);
}

TEST(PictureEffects, MirrorsReverseColumnsAndRows) {
  const QImage abc = row({kA, kB, kC});
  EXPECT_EQ(pixels(wfxFlipHoriz(abc, 0)), (std::vector<QRgb>{kC, kB, kA}));
  EXPECT_EQ(pixels(wfxFlipHoriz(wfxFlipHoriz(abc, 0), 0)), pixels(abc));

  const QImage column = row({kA, kB, kC}).transformed(QTransform().rotate(90));
  ASSERT_EQ(column.size(), QSize(1, 3));
  EXPECT_EQ(pixels(wfxFlipVert(column, 0)), (std::vector<QRgb>{kC, kB, kA}));
  EXPECT_EQ(pixels(wfxFlipVert(wfxFlipVert(column, 0), 0)), pixels(column));

  // Depth 0 gives an alpha picture, any other depth a straight-alpha 32-bit one; the input is
  // left alone.
  EXPECT_EQ(wfxFlipHoriz(abc, 0).format(), QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(wfxFlipVert(abc, 32).format(), QImage::Format_ARGB32);
  EXPECT_EQ(pixels(abc), (std::vector<QRgb>{kA, kB, kC}));
}

TEST(PictureEffects, TintBlendsTheColourOverEveryPixel) {
  const QImage abc = row({kA, kB, kC});
  // Strength 0: the very same picture, not a copy.
  EXPECT_EQ(wfxTint(abc, 0x0000FF, 0, 0).cacheKey(), abc.cacheKey());

  // 255 (and anything above) covers every pixel, transparent ones included, fully.
  for (int64_t strength : {255, 256, 100000}) {
    EXPECT_EQ(pixels(wfxTint(abc, 0x0000FF, strength, 0)), (std::vector<QRgb>(3, 0xFF0000FF)))
        << strength;
  }
  // Half strength: half the colour over the picture; over transparency the colour at half
  // opacity.
  const std::vector<QRgb> half = pixels(wfxTint(abc, 0x0000FF, 128, 0));
  EXPECT_EQ(qAlpha(half[0]), 255);
  EXPECT_NEAR(qRed(half[0]), 127, 1);
  EXPECT_NEAR(qBlue(half[0]), 128, 1);
  EXPECT_NEAR(qAlpha(half[2]), 128, 1);
  EXPECT_EQ(qRgb(qRed(half[2]), qGreen(half[2]), qBlue(half[2])), qRgb(0, 0, 255));
  // Negative strengths tint nothing.
  EXPECT_EQ(pixels(wfxTint(abc, 0x0000FF, -5, 0)), pixels(abc));
  EXPECT_EQ(pixels(abc), (std::vector<QRgb>{kA, kB, kC}));
}

TEST(PictureEffects, DeScramblingWithTheStoredGamesGeneratorIsTheIdentity) {
  QImage p(5, 4, QImage::Format_ARGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) p.setPixel(x, y, qRgba(x * 40, y * 60, 7, 255 - x - y));
  for (int mode : {1, 2, 3}) {
    const QImage d = DeScramblePicture(p, mode, {0xBEEF});
    EXPECT_EQ(d.size(), p.size()) << mode;
    EXPECT_EQ(pixels(d), pixels(p)) << mode;
  }
  const QImage opaque(3, 3, QImage::Format_RGB888);
  EXPECT_EQ(DeScramblePicture(opaque, 2, {1}).format(), QImage::Format_RGB32);
}

TEST(PictureEffects, DeScramblingShiftsRowsAndColumnsCyclically) {
  // 4 x 3 picture whose pixel (x, y) is coded 10 * y + x in its blue channel.
  QImage p(4, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) p.setPixel(x, y, qRgb(0, 0, 10 * y + x));
  auto code = [](const QImage& q, int x, int y) { return qBlue(q.pixel(x, y)); };

  // Mode 2 with column shifts 0 and row shifts of 1: the pixel at column 0 goes to column 1,
  // the one at column W - 1 wraps to column 0.
  int pass = 0;
  std::vector<uint32_t> asked;
  const QImage rows = DeScramblePictureWith(p, 2, [&]() -> ShiftSource {
    const uint32_t shift = pass++ == 0 ? 0 : 1;
    return [&asked, shift](uint32_t n) {
      asked.push_back(n);
      return shift;
    };
  });
  EXPECT_EQ(pass, 2);
  // Columns ask for up to H - 1, rows for up to W - 1.
  EXPECT_EQ(asked, (std::vector<uint32_t>{2, 2, 2, 2, 3, 3, 3}));
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(code(rows, 1, y), 10 * y + 0);
    EXPECT_EQ(code(rows, 0, y), 10 * y + 3);
  }

  // Mode 1 shifts rows only (by 2 here); in mode 3 the middle pass, columns, moves rows down.
  const QImage one = DeScramblePictureWith(p, 1, [] { return [](uint32_t) { return 2u; }; });
  EXPECT_EQ(code(one, 2, 0), 0);
  EXPECT_EQ(code(one, 1, 0), 3);
  pass = 0;
  const QImage three = DeScramblePictureWith(p, 3, [&]() -> ShiftSource {
    const uint32_t shift = pass++ == 1 ? 1 : 0;
    return [shift](uint32_t) { return shift; };
  });
  EXPECT_EQ(pass, 3);
  EXPECT_EQ(code(three, 0, 1), 0);   // row 0 moved to row 1
  EXPECT_EQ(code(three, 0, 0), 20);  // row 2 wrapped to row 0
}

}  // namespace
}  // namespace qm
