#include "sprites/DrawCommands.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>

#include "interpreter/CommandTable.h"
#include "interpreter/Numbers.h"
#include "support/Errors.h"
#include "support/FilePaths.h"

namespace qm {

namespace {

// Coordinates far outside any surface draw nothing either way; holding them keeps Qt's integer
// arithmetic safe.
int held(int64_t v) {
  constexpr int64_t limit = int64_t(1) << 28;
  return int(std::clamp(v, -limit, limit));
}

QRect rectOf(int64_t x, int64_t y, int64_t width, int64_t height) {
  return QRect(held(x), held(y), held(width), held(height));
}

QColor colourOf(const QPainter& g) {
  return g.pen().color();
}

int penOf(const QPainter& g) {
  return std::max(1, int(g.pen().widthF()));
}

// An outline pen of the drawing colour; shapes drawn with it get no fill.
void outlinePen(QPainter& g, int thickness) {
  QPen pen(colourOf(g), thickness);
  pen.setJoinStyle(Qt::MiterJoin);
  g.save();
  g.setPen(pen);
  g.setBrush(Qt::NoBrush);
}

void fillOnly(QPainter& g) {
  const QColor c = colourOf(g);
  g.save();
  g.setPen(Qt::NoPen);
  g.setBrush(c);
}

}  // namespace

void SetDrawColor(QPainter& g, int64_t red, int64_t green, int64_t blue) {
  auto c = [](int64_t v) { return int(std::clamp<int64_t>(v, 0, 255)); };
  QPen pen = g.pen();
  pen.setColor(QColor(c(red), c(green), c(blue)));
  g.setPen(pen);
}

void SetPenSize(QPainter& g, int64_t width, int64_t /*height*/) {
  QPen pen = g.pen();
  pen.setWidth(int(std::clamp<int64_t>(width, 1, 1 << 16)));
  g.setPen(pen);
}

void DrawOval(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height) {
  if (width < 1 || height < 1) return;
  const int p = penOf(g);
  const QRectF r =
      QRectF(rectOf(x, y, width, height)).adjusted(p / 2.0, p / 2.0, -p / 2.0, -p / 2.0);
  outlinePen(g, p);
  g.drawEllipse(r);
  g.restore();
}

void FillOval(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height) {
  if (width < 1 || height < 1) return;
  fillOnly(g);
  g.drawEllipse(rectOf(x, y, width, height));
  g.restore();
}

void DrawRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height) {
  if (width < 1 || height < 1) return;
  const QRect r = rectOf(x, y, width, height);
  const int p = penOf(g);
  const QColor c = colourOf(g);
  if (2 * p >= r.width() || 2 * p >= r.height()) {
    g.fillRect(r, c);
    return;
  }
  // Four bands that do not overlap, so a transparent context blends each pixel once.
  g.fillRect(QRect(r.left(), r.top(), r.width(), p), c);
  g.fillRect(QRect(r.left(), r.bottom() - p + 1, r.width(), p), c);
  g.fillRect(QRect(r.left(), r.top() + p, p, r.height() - 2 * p), c);
  g.fillRect(QRect(r.right() - p + 1, r.top() + p, p, r.height() - 2 * p), c);
}

void FillRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height) {
  if (width < 1 || height < 1) return;
  g.fillRect(rectOf(x, y, width, height), colourOf(g));
}

void DrawLine(QPainter& g, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  outlinePen(g, penOf(g));
  g.drawLine(QPoint(held(x1), held(y1)), QPoint(held(x2), held(y2)));
  g.restore();
}

void DrawRoundRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height,
                   int64_t cornerWidth, int64_t cornerHeight) {
  if (width < 1 || height < 1) return;
  const int p = penOf(g);
  const QRectF r =
      QRectF(rectOf(x, y, width, height)).adjusted(p / 2.0, p / 2.0, -p / 2.0, -p / 2.0);
  outlinePen(g, p);
  g.drawRoundedRect(r, std::max<double>(0, held(cornerWidth)) / 2,
                    std::max<double>(0, held(cornerHeight)) / 2);
  g.restore();
}

void FillRoundRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height,
                   int64_t cornerWidth, int64_t cornerHeight) {
  if (width < 1 || height < 1) return;
  fillOnly(g);
  g.drawRoundedRect(rectOf(x, y, width, height), std::max<double>(0, held(cornerWidth)) / 2,
                    std::max<double>(0, held(cornerHeight)) / 2);
  g.restore();
}

void DrawText(QPainter& g, std::string_view text, int64_t x, int64_t y, std::string_view font,
              double size) {
  // Sized like the text measurement function of scripts, so widths agree with drawn text.
  QFont f(QString::fromUtf8(font.data(), qsizetype(font.size())));
  if (size > 0) f.setPointSizeF(std::min(size, 10000.0));
  g.setFont(f);
  g.drawText(QPoint(held(x), held(y)), QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void SetPixel(QPainter& g, int64_t x, int64_t y) {
  g.fillRect(QRect(held(x), held(y), 1, 1), colourOf(g));
}

QString PictureFileLocation(std::string_view name, const QString& resourcesFolder,
                            const QString& defaultFolder) {
  const QString inResources = childPath(resourcesFolder, name);
  if (pathExists(inResources)) return inResources;
  const QString path = QString::fromUtf8(name.data(), qsizetype(name.size()));
  if (path.startsWith('/')) return path;
  return defaultFolder + "/" + path;
}

void RunDrawCommand(uint16_t code, CommandParams& params, QPainter* g, DrawCommandTarget& target) {
  // Integer parameters 0..count-1, each followed by a running check.
  std::array<int64_t, 6> v{};
  auto integers = [&](size_t first, size_t count) {
    for (size_t k = first; k < first + count; ++k) {
      v[k] = truncToInt64(params.Number(k));
      if (!params.Running()) return false;
    }
    return true;
  };
  auto context = [&]() -> QPainter& {
    if (!g) throw NilObjectException("no drawing context outside a paint script");
    return *g;
  };

  switch (Cmd(code)) {
    case Cmd::DrawOvalCmd:
      if (integers(0, 4)) DrawOval(context(), v[0], v[1], v[2], v[3]);
      break;
    case Cmd::SetColorCmd:
      if (integers(0, 3)) SetDrawColor(context(), v[0], v[1], v[2]);
      break;
    case Cmd::SetPenSizeCmd:
      if (integers(0, 2)) SetPenSize(context(), v[0], v[1]);
      break;
    case Cmd::FillOvalCmd:
      if (integers(0, 4)) FillOval(context(), v[0], v[1], v[2], v[3]);
      break;
    case Cmd::DrawRectCmd:
      if (integers(0, 4)) DrawRect(context(), v[0], v[1], v[2], v[3]);
      break;
    case Cmd::FillRectCmd:
      if (integers(0, 4)) FillRect(context(), v[0], v[1], v[2], v[3]);
      break;
    case Cmd::DrawLineCmd:
      if (integers(0, 4)) DrawLine(context(), v[0], v[1], v[2], v[3]);
      break;
    case Cmd::DrawTextCmd: {
      const std::string text = params.Text(0);
      if (!params.Running() || !integers(1, 2)) return;
      const std::string font = params.Text(3);
      if (!params.Running() || !integers(4, 1)) return;
      DrawText(context(), text, v[1], v[2], font, double(v[4]));
      break;
    }
    case Cmd::DrawRoundRectCmd:
      if (integers(0, 6)) DrawRoundRect(context(), v[0], v[1], v[2], v[3], v[4], v[5]);
      break;
    case Cmd::FillRoundRectCmd:
      if (integers(0, 6)) FillRoundRect(context(), v[0], v[1], v[2], v[3], v[4], v[5]);
      break;
    case Cmd::RepaintCmd:
      if (target.repaint) target.repaint();
      break;
    case Cmd::SetPixelCmd:
      if (integers(0, 2)) SetPixel(context(), v[0], v[1]);
      break;
    case Cmd::DrawPictureFileCmd: {
      const std::string name = params.Text(0);
      if (!params.Running() || !integers(1, 2)) return;
      const QString path = PictureFileLocation(name, target.resourcesFolder, target.defaultFolder);
      if (!pathExists(path)) {
        params.Report("Image file is missing.");
        return;
      }
      QImage picture;
      if (!picture.load(path)) {
        params.Report("Invalid or unsupported image file.");
        return;
      }
      context().drawImage(held(v[1]), held(v[2]), picture);
      break;
    }
    case Cmd::DrawSpritesCmd:
      if (target.drawSprites) target.drawSprites(g);
      break;
    default: break;
  }
}

}  // namespace qm
