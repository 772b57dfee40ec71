#include "dialogs/StringWidth.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace qm::GameMethods {

double StringWidth(const std::string& text, const std::string& font, double size) {
  QImage picture(1, 1, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&picture);
  QFont f(QString::fromStdString(font));
  if (size > 0) f.setPointSizeF(size);
  p.setFont(f);
  return QFontMetricsF(p.font(), &picture).horizontalAdvance(QString::fromStdString(text));
}

}  // namespace qm::GameMethods
