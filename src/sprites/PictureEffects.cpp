#include "sprites/PictureEffects.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

#include "dialogs/DialogTools.h"
#include "support/Errors.h"
#include "support/Random.h"

namespace qm::GameMethods {

namespace {

QImage::Format kindFor(int64_t depth) {
  return depth == 0 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32;
}

[[noreturn]] void flipFailed() {
  DialogTools::Fatal("Sprite could not be flipped.");
  throw EndException(0);
}

// Row pass: row y moves right by s columns, wrapping around.
void rowPass(const QImage& a, QImage& b, ShiftSource& randUpTo) {
  const int w = a.width();
  for (int y = 0; y < a.height(); ++y) {
    const uint32_t s = randUpTo(uint32_t(w - 1)) % uint32_t(w);
    const auto* from = reinterpret_cast<const uint32_t*>(a.constScanLine(y));
    auto* to = reinterpret_cast<uint32_t*>(b.scanLine(y));
    std::copy(from, from + (w - int(s)), to + s);
    std::copy(from + (w - int(s)), from + w, to);
  }
}

// Column pass: column x moves down by s rows, wrapping around.
void columnPass(const QImage& a, QImage& b, ShiftSource& randUpTo) {
  const int h = a.height();
  for (int x = 0; x < a.width(); ++x) {
    const uint32_t s = randUpTo(uint32_t(h - 1)) % uint32_t(h);
    for (int y = 0; y < h; ++y) {
      const auto* from = reinterpret_cast<const uint32_t*>(a.constScanLine(y));
      auto* to = reinterpret_cast<uint32_t*>(b.scanLine(int((uint32_t(y) + s) % uint32_t(h))));
      to[x] = from[x];
    }
  }
}

}  // namespace

QImage wfxFlipHoriz(const QImage& picture, int64_t depth) {
  if (picture.isNull()) return {};
  QImage r = picture.convertToFormat(kindFor(depth)).mirrored(true, false);
  if (r.isNull()) flipFailed();
  return r;
}

QImage wfxFlipVert(const QImage& picture, int64_t depth) {
  if (picture.isNull()) return {};
  QImage r = picture.convertToFormat(kindFor(depth)).mirrored(false, true);
  if (r.isNull()) flipFailed();
  return r;
}

QImage wfxTint(const QImage& picture, QRgb colour, int64_t strength, int64_t depth) {
  if (strength == 0) return picture;
  if (picture.isNull()) return {};
  // The colour's opacity is strength / 255; out-of-range strengths are held to 0..255.
  const int opacity = int(std::clamp<int64_t>(strength, 0, 255));
  QImage r = picture.convertToFormat(kindFor(depth));
  if (!r.isNull() && opacity > 0) {
    QPainter g(&r);
    g.fillRect(r.rect(), QColor(qRed(colour), qGreen(colour), qBlue(colour), opacity));
  }
  if (r.isNull()) {
    DialogTools::MessageBox("Sprite could not be tinted.");
    throw EndException(0);
  }
  return r;
}

QImage DeScramblePictureWith(const QImage& picture, int mode,
                             const std::function<ShiftSource()>& newSource) {
  if (picture.isNull()) return picture;
  const QImage::Format format =
      picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  QImage p = picture.convertToFormat(format);
  QImage scratch(p.size(), format);
  QImage second = mode != 1 ? QImage(p.size(), format) : QImage();
  if (p.isNull() || scratch.isNull() || (mode != 1 && second.isNull()))
    throw OutOfMemoryException("no room to de-scramble a sprite picture");
  ShiftSource shifts;
  switch (mode) {
    case 1:
      shifts = newSource();
      rowPass(p, scratch, shifts);
      return scratch;
    case 2:
      shifts = newSource();
      columnPass(p, second, shifts);
      shifts = newSource();
      rowPass(second, p, shifts);
      return p;
    case 3:
      shifts = newSource();
      rowPass(p, scratch, shifts);
      shifts = newSource();
      columnPass(scratch, second, shifts);
      shifts = newSource();
      rowPass(second, scratch, shifts);
      return scratch;
    default: return p;
  }
}

QImage DeScramblePicture(const QImage& picture, int mode, const std::vector<uint32_t>& key) {
  return DeScramblePictureWith(picture, mode, [&key]() -> ShiftSource {
    return
        [generator = InternalGenerator(key)](uint32_t n) mutable { return generator.RandUpTo(n); };
  });
}

}  // namespace qm::GameMethods
