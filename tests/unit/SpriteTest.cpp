#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <limits>
#include <memory>

#include "sprites/LiveSprites.h"
#include "sprites/QMSprite.h"
#include "sprites/SpriteRendering.h"
#include "support/Errors.h"

namespace qm {
namespace {

QImage solid(int w, int h, QColor c, QImage::Format f = QImage::Format_RGB32) {
  QImage p(w, h, f);
  p.fill(c);
  return p;
}

// Straight ARGB of one pixel.
QRgb at(const QImage& p, int x, int y) {
  return p.convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

// A library sprite as the loader leaves it: picture, optional mask, alpha generated.
std::unique_ptr<QMSprite> librarySprite(const std::string& name, QImage picture, QImage mask = {}) {
  auto s = std::make_unique<QMSprite>();
  s->Name = name;
  s->MyPicture = std::move(picture);
  s->MyMask = std::move(mask);
  s->GenerateAlpha();
  return s;
}

// A live sprite at natural scale, prepared and placed.
std::unique_ptr<QMSprite> liveSprite(QImage picture, int64_t x, int64_t y) {
  auto s = librarySprite("s", std::move(picture))->Clone();
  s->xScale = s->yscale = 100;
  s->x = x;
  s->y = y;
  s->TimeToDraw = true;
  s->PreparePicture();
  return s;
}

TEST(Sprite, GenerateAlphaTakesOpacityFromTheMask) {
  QImage picture(3, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(200, 10, 10));
  picture.setPixel(1, 0, qRgb(10, 200, 10));
  picture.setPixel(2, 0, qRgb(10, 10, 200));
  QImage mask(3, 1, QImage::Format_RGB32);
  mask.setPixel(0, 0, qRgb(0, 0, 0));        // opaque
  mask.setPixel(1, 0, qRgb(255, 255, 255));  // transparent
  mask.setPixel(2, 0, qRgb(128, 128, 128));  // half
  auto s = librarySprite("m", picture, mask);
  EXPECT_EQ(at(s->MyAlphaPicture, 0, 0), qRgba(200, 10, 10, 255));
  EXPECT_EQ(qAlpha(at(s->MyAlphaPicture, 1, 0)), 0);
  EXPECT_EQ(qAlpha(at(s->MyAlphaPicture, 2, 0)), 127);
  EXPECT_NEAR(qBlue(at(s->MyAlphaPicture, 2, 0)), 200, 2);
  EXPECT_EQ(s->MyAlphaPicture.format(), QImage::Format_ARGB32_Premultiplied);
  // The source pictures stay as loaded.
  EXPECT_EQ(s->MyPicture.pixel(1, 0), qRgb(10, 200, 10));

  // No mask: fully opaque, even where the picture file itself is transparent (drawn over
  // white); a smaller mask leaves the rest opaque.
  QImage withAlpha = solid(2, 1, QColor(0, 0, 0, 0), QImage::Format_ARGB32);
  withAlpha.setPixel(1, 0, qRgba(0, 0, 255, 255));
  auto bare = librarySprite("b", withAlpha);
  EXPECT_EQ(at(bare->MyAlphaPicture, 0, 0), qRgba(255, 255, 255, 255));
  EXPECT_EQ(at(bare->MyAlphaPicture, 1, 0), qRgba(0, 0, 255, 255));
  auto partial = librarySprite("p", solid(2, 2, Qt::red), solid(1, 1, Qt::white));
  EXPECT_EQ(qAlpha(at(partial->MyAlphaPicture, 0, 0)), 0);
  EXPECT_EQ(qAlpha(at(partial->MyAlphaPicture, 1, 1)), 255);
}

TEST(Sprite, PreparedSizes) {
  struct Case {
    double xScale, yscale;
    int64_t xrepeat, yrepeat;
    QSize source, final;
  };
  const Case cases[] = {
      {100, 100, 1, 1, {20, 10}, {20, 10}},
      {0, 100, 1, 1, {20, 10}, {1, 10}},     // never below 1
      {150, 100, 1, 1, {33, 10}, {49, 10}},  // 49.5 truncated
      {-50, 50, 1, 1, {20, 10}, {1, 5}},
      {100, 33.3, 1, 1, {20, 10}, {20, 3}},
      {100, 100, 3, 1, {20, 10}, {60, 10}},
      {50, 100, 2, 3, {20, 10}, {20, 30}},   // scaled before tiling
      {100, 100, 0, 0, {20, 10}, {20, 10}},  // both counts below 2: no tiling
      {100, 100, 3, 0, {20, 10}, {0, 0}},    // no height: an empty picture
      {100, 100, -2, 4, {20, 10}, {0, 0}},
  };
  for (const Case& c : cases) {
    auto s = liveSprite(solid(c.source.width(), c.source.height(), Qt::red), 0, 0);
    s->xScale = c.xScale;
    s->yscale = c.yscale;
    s->xrepeat = c.xrepeat;
    s->yrepeat = c.yrepeat;
    s->PreparePicture();
    EXPECT_EQ(s->Final.size(), c.final)
        << c.xScale << " " << c.yscale << " " << c.xrepeat << " " << c.yrepeat;
  }
  // Sizes no picture can have are reported as an error of the command, not a crash.
  auto huge = liveSprite(solid(20, 10, Qt::red), 0, 0);
  huge->xrepeat = 1000000000;
  EXPECT_THROW(huge->PreparePicture(), OutOfMemoryException);
  huge->xrepeat = 1;
  huge->xScale = 1e12;
  EXPECT_THROW(huge->PreparePicture(), OutOfMemoryException);
}

TEST(Sprite, ExtremeValuesGiveDefinedPictures) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const int64_t lowest = std::numeric_limits<int64_t>::min();
  auto s = liveSprite(solid(8, 6, Qt::red), 0, 0);
  s->xScale = nan;
  s->yscale = -std::numeric_limits<double>::infinity();
  s->PreparePicture();
  EXPECT_EQ(s->Final.size(), QSize(1, 1));
  s->xScale = s->yscale = 100;
  s->xcut = lowest;
  s->ycut = std::numeric_limits<int64_t>::max();
  s->cutwidth = 3;
  s->cutheight = 2;
  s->tintvalue = std::numeric_limits<int64_t>::max();
  s->tintcolor = 0xFFFFFFFF;
  s->rotation = nan;
  s->PreparePicture();
  EXPECT_EQ(s->Final.size(), QSize(3, 2));
  EXPECT_EQ(at(s->Final, 0, 0), qRgba(255, 255, 255, 255));  // full tint over an empty cut
  EXPECT_EQ(s->FinalPixmap.picture.size(), QSize(3, 2));
  s->rotation = 1e300;
  EXPECT_NO_THROW(s->PreparePicture());
}

TEST(Sprite, PreparedPixels) {
  // 2 x 1: red, then green at half opacity.
  QImage picture(2, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 255, 0));
  QImage mask(2, 1, QImage::Format_RGB32);
  mask.setPixel(0, 0, qRgb(0, 0, 0));
  mask.setPixel(1, 0, qRgb(128, 128, 128));
  auto lib = librarySprite("two", picture, mask);
  auto fresh = [&] {
    auto s = lib->Clone();
    s->xScale = s->yscale = 100;
    return s;
  };

  // Untransformed: a picture of its own with the alpha picture's pixels.
  auto plain = fresh();
  plain->PreparePicture();
  EXPECT_EQ(at(plain->Final, 0, 0), at(lib->MyAlphaPicture, 0, 0));
  EXPECT_EQ(at(plain->Final, 1, 0), at(lib->MyAlphaPicture, 1, 0));

  // Mirrored, then tiled: red-green becomes green-red twice.
  auto mirrored = fresh();
  mirrored->XFlipped = true;
  mirrored->xrepeat = 2;
  mirrored->PreparePicture();
  ASSERT_EQ(mirrored->Final.size(), QSize(4, 1));
  for (int x : {0, 2}) {
    EXPECT_EQ(qGreen(at(mirrored->Final, x, 0)), 255) << x;
    EXPECT_EQ(qAlpha(at(mirrored->Final, x, 0)), 127) << x;
    EXPECT_EQ(at(mirrored->Final, x + 1, 0), qRgba(255, 0, 0, 255)) << x;
  }

  // Full tint turns even the half-transparent pixel into the opaque tint colour.
  auto tinted = fresh();
  tinted->tintcolor = 0x0000FF;
  tinted->tintvalue = 255;
  tinted->YFlipped = true;
  tinted->PreparePicture();
  EXPECT_EQ(at(tinted->Final, 0, 0), qRgba(0, 0, 255, 255));
  EXPECT_EQ(at(tinted->Final, 1, 0), qRgba(0, 0, 255, 255));
  // The shared source pictures are never drawn into.
  EXPECT_EQ(at(lib->MyAlphaPicture, 1, 0), at(plain->Final, 1, 0));
}

TEST(Sprite, CutOut) {
  QImage picture(4, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) picture.setPixel(x, y, qRgb(x * 60, y * 60, 0));
  QImage mask = solid(4, 4, Qt::black);
  mask.setPixel(3, 3, qRgb(128, 128, 128));
  auto lib = librarySprite("grid", picture, mask);
  auto s = lib->Clone();
  s->xScale = s->yscale = 100;
  // The rectangle (2, 2, 3, 3) reaches one pixel beyond the source's right and bottom edges.
  s->xcut = 2;
  s->ycut = 2;
  s->cutwidth = 3;
  s->cutheight = 3;
  s->PreparePicture();
  ASSERT_EQ(s->Final.size(), QSize(3, 3));
  EXPECT_EQ(at(s->Final, 0, 0), qRgba(120, 120, 0, 255));
  EXPECT_EQ(at(s->Final, 1, 0), qRgba(180, 120, 0, 255));
  EXPECT_EQ(qAlpha(at(s->Final, 2, 0)), 0);  // beyond the source: transparent
  EXPECT_EQ(qAlpha(at(s->Final, 0, 2)), 0);
  EXPECT_EQ(qAlpha(at(s->Final, 1, 1)), 127);

  // A cut of the same size is reused without clearing: preparing again draws the source over
  // the previous cut once more, so half-transparent pixels gain opacity.
  s->PreparePicture();
  EXPECT_EQ(qAlpha(at(s->Final, 1, 1)), 191);
  EXPECT_EQ(qAlpha(at(s->Final, 2, 2)), 0);

  // Without a cut-out (a size of 0 either way) the whole picture is used.
  auto whole = lib->Clone();
  whole->xScale = whole->yscale = 100;
  whole->cutwidth = 2;
  whole->PreparePicture();
  EXPECT_EQ(whole->Final.size(), QSize(4, 4));
}

TEST(Sprite, CloneCopiesOnlyTheListedProperties) {
  auto lib = librarySprite("Src", solid(4, 2, Qt::red), solid(4, 2, Qt::black));
  QMSprite& o = *lib;
  o.hidden = true;
  o.TimeToDraw = true;
  o.xScale = 50;
  o.yscale = 60;
  o.x = 7;
  o.y = -8;
  o.XFlipped = true;
  o.YFlipped = true;
  o.fade = 100;
  o.xrepeat = 4;
  o.yrepeat = 5;
  o.xcut = 1;
  o.cutwidth = 2;
  o.cutheight = 2;
  o.tintvalue = 9;
  o.tintcolor = 0x123456;
  o.rotation = 30;
  o.scrambled = true;
  o.PreparePicture();

  auto c = o.Clone();
  EXPECT_TRUE(c->hidden);
  EXPECT_TRUE(c->TimeToDraw);
  EXPECT_EQ(c->Name, "Src");
  EXPECT_EQ(c->xScale, 50);
  EXPECT_EQ(c->yscale, 60);
  EXPECT_EQ(c->x, 7);
  EXPECT_EQ(c->y, -8);
  EXPECT_TRUE(c->XFlipped);
  EXPECT_TRUE(c->YFlipped);
  // The same picture data, not copies.
  EXPECT_EQ(c->MyPicture.cacheKey(), o.MyPicture.cacheKey());
  EXPECT_EQ(c->MyMask.cacheKey(), o.MyMask.cacheKey());
  EXPECT_EQ(c->MyAlphaPicture.cacheKey(), o.MyAlphaPicture.cacheKey());
  // Everything else as constructed.
  EXPECT_EQ(c->fade, 0);
  EXPECT_EQ(c->xrepeat, 1);
  EXPECT_EQ(c->yrepeat, 1);
  EXPECT_EQ(c->xcut, 0);
  EXPECT_EQ(c->cutwidth, 0);
  EXPECT_EQ(c->cutheight, 0);
  EXPECT_EQ(c->tintvalue, 0);
  EXPECT_EQ(c->tintcolor, 0u);
  EXPECT_EQ(c->rotation, 0);
  EXPECT_FALSE(c->scrambled);
  EXPECT_TRUE(c->Final.isNull());
  EXPECT_TRUE(c->CutPicture.isNull());
  EXPECT_TRUE(c->FinalPixmap.picture.isNull());
}

TEST(Sprite, LibraryLookUpIgnoresCaseAndTakesTheFirstMatch) {
  SpriteLibrary library(1);
  library.push_back(librarySprite("Hero", solid(1, 1, Qt::red)));
  library.push_back(librarySprite("hero", solid(2, 2, Qt::red)));
  library.push_back(librarySprite("Ünïcode", solid(3, 3, Qt::red)));
  EXPECT_EQ(SpriteCount(library), 3);
  EXPECT_EQ(GetSprite(library, "HERO"), library[1].get());
  EXPECT_EQ(GetSprite(library, "üNÏCODE"), library[3].get());
  EXPECT_EQ(GetSprite(library, "Villain"), nullptr);
  EXPECT_EQ(GetSprite(SpriteLibrary(1), "Hero"), nullptr);
}

TEST(Sprite, HighestSpriteRisesOnCreateAndFallsByOneOnDelete) {
  LiveSprites live;
  live.Open();
  ASSERT_EQ(live.GameSprites.size(), 1001u);
  auto make = [] { return liveSprite(solid(1, 1, Qt::red), 0, 0); };
  live.Create(5, make());
  live.Create(3, make());
  EXPECT_EQ(live.HighestSprite, 5);
  live.Replace(9, make());
  EXPECT_EQ(live.HighestSprite, 5);
  live.Delete(3);
  EXPECT_EQ(live.HighestSprite, 5);
  EXPECT_EQ(live.At(3), nullptr);
  live.Delete(5);
  EXPECT_EQ(live.HighestSprite, 4);  // even though slot 4 is empty
  live.Create(1000, make());
  EXPECT_EQ(live.HighestSprite, 1000);
  EXPECT_EQ(live.At(0), nullptr);
  EXPECT_EQ(live.At(1001), nullptr);
  EXPECT_FALSE(live.SetPosition(4, false, 1));
  EXPECT_TRUE(live.SetPosition(9, true, 42));
  EXPECT_EQ(live.At(9)->y, 42);
  EXPECT_TRUE(live.At(9)->TimeToDraw);
}

class SpriteRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live.Open();
    surface.fill(Qt::white);
  }
  QMSprite& put(int64_t slot, QImage picture, int64_t x, int64_t y) {
    live.Create(slot, liveSprite(std::move(picture), x, y));
    return *live.At(slot);
  }
  void render() {
    QPainter g(&surface);
    RenderSprites(&g, live, surface.size());
    opacityAfter = g.opacity();
  }
  // Whether the sprites pass the cull: with no context the first sprite to draw throws.
  bool drawsAnything() {
    try {
      RenderSprites(nullptr, live, surface.size());
      return false;
    } catch (const NilObjectException&) {
      return true;
    }
  }
  LiveSprites live;
  QImage surface{100, 80, QImage::Format_ARGB32_Premultiplied};
  double opacityAfter = -1;
};

TEST_F(SpriteRenderTest, CullIsInclusiveAtTheAreaEdges) {
  struct Case {
    int64_t x, y;
    bool drawn;
  };
  // A 20 x 10 sprite on a 100 x 80 area.
  const Case cases[] = {
      {-20, 0, true},  {-21, 0, false}, {0, -10, true}, {0, -11, false}, {100, 0, true},
      {101, 0, false}, {0, 80, true},   {0, 81, false}, {40, 30, true},
  };
  QMSprite& s = put(1, solid(20, 10, Qt::red), 0, 0);
  for (const Case& c : cases) {
    s.x = c.x;
    s.y = c.y;
    EXPECT_EQ(drawsAnything(), c.drawn) << c.x << ", " << c.y;
  }
  // Not yet placed by a command, or hidden: not drawn.
  s.x = s.y = 0;
  s.TimeToDraw = false;
  EXPECT_FALSE(drawsAnything());
  s.TimeToDraw = true;
  s.hidden = true;
  EXPECT_FALSE(drawsAnything());
  // Slots above HighestSprite are not looked at.
  s.hidden = false;
  live.HighestSprite = 0;
  EXPECT_FALSE(drawsAnything());
}

TEST_F(SpriteRenderTest, HigherSlotsDrawOnTop) {
  put(7, solid(10, 10, Qt::blue), 5, 5);
  put(3, solid(10, 10, Qt::red), 0, 0);
  render();
  EXPECT_EQ(at(surface, 2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(at(surface, 7, 7), qRgb(0, 0, 255));  // overlap: slot 7 wins
  EXPECT_EQ(at(surface, 12, 12), qRgb(0, 0, 255));
  EXPECT_EQ(at(surface, 30, 30), qRgb(255, 255, 255));
}

TEST_F(SpriteRenderTest, FadeSetsTheTransparencyAndLeavesItInForce) {
  put(1, solid(10, 10, Qt::black), 0, 0).fade = 128;
  put(2, solid(10, 10, Qt::black), 20, 0).fade = 0;
  put(3, solid(10, 10, Qt::black), 40, 0).fade = 255;
  put(4, solid(10, 10, Qt::black), 500, 0).fade = 64;  // culled: does not touch the context
  render();
  // 128 * 100 / 255 = 50.196 % transparent.
  EXPECT_NEAR(qRed(at(surface, 5, 5)), 128, 1);
  EXPECT_EQ(at(surface, 25, 5), qRgb(0, 0, 0));
  EXPECT_EQ(at(surface, 45, 5), qRgb(255, 255, 255));
  EXPECT_DOUBLE_EQ(opacityAfter, OpacityForFade(255));
  // A sprite faded once beforehand draws the same pixels as one faded while drawing.
  const QImage drawnFading = surface.copy();
  for (int n : {1, 2, 3}) live.At(n)->PrepareFade();
  EXPECT_FALSE(live.At(1)->Faded.picture.isNull());
  surface.fill(Qt::white);
  render();
  EXPECT_EQ(surface, drawnFading);
  EXPECT_DOUBLE_EQ(opacityAfter, OpacityForFade(255));
  EXPECT_NEAR(OpacityForFade(128), 1 - 0.50196, 1e-5);
  EXPECT_EQ(OpacityForFade(-40), 1.0);
  EXPECT_EQ(OpacityForFade(1000), 0.0);
}

TEST_F(SpriteRenderTest, RotationTurnsAboutTheCentreOfTheUnrotatedRectangle) {
  // 40 x 20: left half red, right half blue; turned 90 degrees at (30, 20).
  QImage picture = solid(40, 20, Qt::red);
  QPainter(&picture).fillRect(20, 0, 20, 20, Qt::blue);
  QMSprite& s = put(1, picture, 30, 20);
  s.rotation = 90;
  s.PreparePicture();
  render();
  // Centred on (50, 30): the turned 20 x 40 picture covers x 40..59, y 10..49. Turning is
  // clockwise on screen, so the left half now lies on top.
  EXPECT_EQ(at(surface, 50, 20), qRgb(255, 0, 0));
  EXPECT_EQ(at(surface, 50, 40), qRgb(0, 0, 255));
  EXPECT_EQ(at(surface, 41, 11), qRgb(255, 0, 0));
  EXPECT_EQ(at(surface, 58, 48), qRgb(0, 0, 255));
  EXPECT_EQ(at(surface, 39, 30), qRgb(255, 255, 255));
  EXPECT_EQ(at(surface, 60, 30), qRgb(255, 255, 255));
  EXPECT_EQ(at(surface, 50, 9), qRgb(255, 255, 255));
  EXPECT_EQ(at(surface, 50, 50), qRgb(255, 255, 255));
  // The cull uses the unrotated rectangle: x + 40 >= 0.
  s.x = -40;
  EXPECT_TRUE(drawsAnything());
  s.x = -41;
  EXPECT_FALSE(drawsAnything());

  // Back to 0 (without preparing again): drawn unrotated from Final.
  s.x = 30;
  s.rotation = 0;
  surface.fill(Qt::white);
  render();
  EXPECT_EQ(at(surface, 35, 25), qRgb(255, 0, 0));
  EXPECT_EQ(at(surface, 65, 25), qRgb(0, 0, 255));
  EXPECT_EQ(at(surface, 50, 45), qRgb(255, 255, 255));
}

TEST_F(SpriteRenderTest, EmptyPicturesDrawNothing) {
  QMSprite& s = put(1, solid(10, 10, Qt::red), 10, 10);
  s.xrepeat = 3;
  s.yrepeat = 0;
  s.PreparePicture();
  s.rotation = 45;
  s.PreparePicture();
  render();
  EXPECT_EQ(at(surface, 15, 15), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace qm
