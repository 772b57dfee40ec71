#include "sprites/QMSprite.h"

#include <QColor>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

#include "sprites/PictureEffects.h"
#include "sprites/SpriteRendering.h"
#include "support/Errors.h"

namespace qm {

namespace {

constexpr QImage::Format kAlphaFormat = QImage::Format_ARGB32_Premultiplied;
// Largest side and area of a prepared picture; beyond them a picture counts as one that cannot be
// created (QImage's own limits are near these, and nothing larger is ever drawn usefully).
constexpr int64_t kMaxSide = 1 << 20;
constexpr int64_t kMaxPixels = int64_t(1) << 28;

// A new fully transparent picture; null for a width or height below 1.
QImage newPicture(int64_t width, int64_t height) {
  if (width < 1 || height < 1) return {};
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    throw OutOfMemoryException("a sprite picture of " + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels");
  QImage picture(int(width), int(height), kAlphaFormat);
  if (picture.isNull()) throw OutOfMemoryException("no memory for a sprite picture");
  picture.fill(Qt::transparent);
  return picture;
}

// The scaled size: the integer part of the larger of scale / 100 * size and 1.
int64_t scaledSide(double scale, int size) {
  const double v = scale / 100 * size;
  if (!(v > 1)) return 1;  // also not-a-number
  return v >= double(kMaxSide) + 1 ? kMaxSide + 1 : int64_t(v);
}

int clampToInt(int64_t v) {
  constexpr int64_t limit = int64_t(1) << 30;
  return int(std::clamp(v, -limit, limit));
}

// Final turned by degrees about its centre. The turned picture's size keeps the parity of the
// unturned one so that both centres fall on the same pixel grid point.
RotatedPicture rotate(const QImage& picture, double degrees) {
  RotatedPicture r;
  r.radians = 3.141592653589793 * degrees / 180;
  if (picture.isNull()) return r;
  if (!std::isfinite(r.radians)) {
    r.picture = picture;
    return r;
  }
  const int w = picture.width(), h = picture.height();
  const double c = std::abs(std::cos(r.radians)), s = std::abs(std::sin(r.radians));
  auto side = [](double extent, int original) {
    int64_t n = int64_t(std::ceil(extent - 1e-6));
    if (n < 1) n = 1;
    if ((n - original) % 2 != 0) ++n;
    return n;
  };
  const int64_t rw = side(w * c + h * s, w), rh = side(w * s + h * c, h);
  r.picture = newPicture(rw, rh);
  {
    QPainter g(&r.picture);
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    g.translate(double(rw) / 2, double(rh) / 2);
    g.rotate(degrees);
    g.drawImage(QPointF(-double(w) / 2, -double(h) / 2), picture);
  }
  r.offset = QPoint(int((w - rw) / 2), int((h - rh) / 2));
  return r;
}

}  // namespace

std::string QMSprite::RawData(bool) const {
  return {};
}

std::string QMSprite::RawMask(bool) const {
  return {};
}

int64_t QMSprite::Size() const {
  return int64_t(RawData(false).size() + RawMask(false).size());
}

void QMSprite::Constructor() {
  xrepeat = 1;
  yrepeat = 1;
}

void QMSprite::PreparePictureOld() {}

void QMSprite::GenerateAlpha() {
  if (MyPicture.isNull()) {
    MyAlphaPicture = QImage();
    return;
  }
  QImage colours(MyPicture.size(), QImage::Format_RGB32);
  colours.fill(Qt::white);
  {
    QPainter g(&colours);
    g.drawImage(0, 0, MyPicture);
  }
  QImage alpha = colours.convertToFormat(QImage::Format_ARGB32);
  if (!MyMask.isNull()) {
    const QImage mask = MyMask.convertToFormat(QImage::Format_Grayscale8);
    const int rows = std::min(alpha.height(), mask.height());
    const int columns = std::min(alpha.width(), mask.width());
    for (int row = 0; row < rows; ++row) {
      auto* line = reinterpret_cast<QRgb*>(alpha.scanLine(row));
      const uchar* grey = mask.constScanLine(row);
      for (int column = 0; column < columns; ++column)
        line[column] = (line[column] & 0x00FFFFFFu) | (uint32_t(255 - grey[column]) << 24);
    }
  }
  MyAlphaPicture = alpha.convertToFormat(kAlphaFormat);
}

void QMSprite::PreparePicture() {
  // 1. Cut-out. A CutPicture of the right size is reused as it is, so re-preparing draws the
  // source over the previous cut once more.
  if (cutwidth > 0 && cutheight > 0) {
    if (CutPicture.isNull() || CutPicture.width() != cutwidth || CutPicture.height() != cutheight)
      CutPicture = newPicture(cutwidth, cutheight);
    QPainter g(&CutPicture);
    g.drawImage(-clampToInt(xcut), -clampToInt(ycut), MyAlphaPicture);
  } else {
    CutPicture = MyAlphaPicture;
  }

  // 2. Scale, tint, left-right mirror, top-bottom mirror.
  QImage n;
  if (!CutPicture.isNull()) {
    const int w = CutPicture.width(), h = CutPicture.height();
    if (xScale != 100 || yscale != 100) {
      const int64_t sw = scaledSide(xScale, w), sh = scaledSide(yscale, h);
      n = newPicture(sw, sh);
      {
        QPainter g(&n);
        g.setRenderHint(QPainter::SmoothPixmapTransform);
        g.drawImage(QRect(0, 0, int(sw), int(sh)), CutPicture);
      }
    } else {
      n = CutPicture.convertToFormat(kAlphaFormat);
    }
    if (tintvalue >= 1) n = GameMethods::wfxTint(n, tintcolor, tintvalue, 0);
    if (XFlipped) n = GameMethods::wfxFlipHoriz(n, 0);
    if (YFlipped) n = GameMethods::wfxFlipVert(n, 0);
  }

  // 3. Tiling. A count of 1 or less in one direction with more than 1 in the other leaves no
  // width or height: Final is then empty.
  if (!n.isNull() && (xrepeat > 1 || yrepeat > 1)) {
    const int64_t w = n.width(), h = n.height();
    const int64_t columns = std::clamp<int64_t>(xrepeat, 0, kMaxSide + 1);
    const int64_t rows = std::clamp<int64_t>(yrepeat, 0, kMaxSide + 1);
    QImage tiled = newPicture(w * columns, h * rows);
    if (!tiled.isNull()) {
      // Every tile lands on untouched transparent pixels, so copying equals drawing over.
      QPainter g(&tiled);
      g.setCompositionMode(QPainter::CompositionMode_Source);
      for (int64_t ty = 0; ty <= h * rows - 1; ty += h)
        for (int64_t tx = 0; tx <= w * columns - 1; tx += w) g.drawImage(int(tx), int(ty), n);
    }
    Final = tiled;
  } else {
    Final = n;
  }

  // 4. Rotation. At 0 the last turned picture is kept but not drawn.
  if (rotation != 0) FinalPixmap = rotate(Final, rotation);
  PrepareFade();
}

void QMSprite::PrepareFade() {
  const QImage& source = DrawnPicture();
  const double opacity = OpacityForFade(fade);
  // Fully opaque and fully transparent sprites need no faded copy.
  if (source.isNull() || opacity >= 1 || Invisible(opacity)) {
    Faded = {};
    return;
  }
  if (Faded.fade == fade && Faded.source == source.cacheKey() && !Faded.picture.isNull()) return;
  QImage picture = newPicture(source.width(), source.height());
  {
    QPainter g(&picture);
    g.setOpacity(opacity);
    g.drawImage(0, 0, source);
  }
  Faded = {picture, fade, source.cacheKey()};
}

std::unique_ptr<QMSprite> QMSprite::Clone() const {
  auto s = std::make_unique<QMSprite>();
  s->hidden = hidden;
  s->MyMask = MyMask;
  s->MyPicture = MyPicture;
  s->MyAlphaPicture = MyAlphaPicture;
  s->Name = Name;
  s->TimeToDraw = TimeToDraw;
  s->xScale = xScale;
  s->yscale = yscale;
  s->x = x;
  s->y = y;
  s->XFlipped = XFlipped;
  s->YFlipped = YFlipped;
  return s;
}

}  // namespace qm
