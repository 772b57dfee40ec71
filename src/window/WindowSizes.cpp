#include "window/WindowSizes.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <array>

#include "window/GameWindow.h"

namespace qm {

namespace {
struct SizeCode {
  int64_t width;
  int64_t height;
  int64_t pictureHeight;  // fixed for codes 4 to 9
};
constexpr std::array<SizeCode, 10> kSizeCodes = {{
    {-21, -66, 0},
    {0, 0, 0},
    {44, 24, 0},
    {125, 70, 0},
    {45, 119, 480},
    {125, 239, 600},
    {237, 407, 768},
    {45, 39, 400},
    {125, 139, 500},
    {237, 279, 640},
}};

const SizeCode* find(int64_t code) {
  return code >= 0 && code < int64_t(kSizeCodes.size()) ? &kSizeCodes[size_t(code)] : nullptr;
}
}  // namespace

int64_t GameMethods::GetWidthOffset(int64_t windowSize) {
  const SizeCode* c = find(windowSize);
  return c ? c->width : 0;
}

int64_t GameMethods::GetHeightOffset(int64_t windowSize) {
  const SizeCode* c = find(windowSize);
  return c ? c->height : 0;
}

int64_t PictureHeightFor(int64_t windowSize) {
  if (windowSize >= 4 && windowSize <= 9) return kSizeCodes[size_t(windowSize)].pictureHeight;
  return GameMethods::GetHeightOffset(windowSize) + 291;
}

QSize ContentSizeFor(int64_t windowSize) {
  return QSize(int(GameWindow::kBaseWidth + 2 * GameMethods::GetWidthOffset(windowSize)),
               int(GameWindow::kBaseHeight + GameMethods::GetHeightOffset(windowSize)));
}

QPoint Tools::CentredPosition(QSize screen, QSize window) {
  const double top = screen.height() / 2.0 - window.height() / 2.0;
  const double left = screen.width() / 2.0 - window.width() / 2.0;
  return QPoint(int(left), int(top));  // conversion truncates toward zero
}

void Tools::center(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QPoint p = CentredPosition(area.size(), window.geometry().size()) + area.topLeft();
  window.setGeometry(QRect(p, window.geometry().size()));
}

}  // namespace qm
