#include "sprites/QMSprite.h"

#include <QColor>

namespace qm {

void QMSprite::GenerateAlpha() {
  // Black in the mask is opaque, white transparent, greys in between. Without a mask the
  // picture keeps its own alpha (fully opaque for pictures that have none).
  MyPicture = MyPicture.convertToFormat(QImage::Format_ARGB32);
  if (MyMask.isNull()) return;
  const QImage mask = MyMask.convertToFormat(QImage::Format_Grayscale8);
  for (int y = 0; y < MyPicture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(MyPicture.scanLine(y));
    const uchar* m = y < mask.height() ? mask.constScanLine(y) : nullptr;
    for (int x = 0; x < MyPicture.width(); ++x) {
      const int grey = (m && x < mask.width()) ? m[x] : 0;
      line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), 255 - grey);
    }
  }
}

} // namespace qm
