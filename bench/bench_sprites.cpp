// Times one paint of a 1024 x 768 card with 1000 live 32 x 32 sprites with alpha (a quarter at
// half opacity, one in ten rotated) next to a plain QPainter loop that draws the same 1000
// prepared pictures onto the same surface (the toolkit's floor). Goal: the player's paint (card
// picture and sprites) within 1.2 times the floor. Also times PreparePicture of a 256 x 256
// sprite with scale, tint, mirror and tiling (goal: under 1 ms).
//
//   bench_sprites [--paints N] [--format rgb32|argb32pm]
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "sprites/LiveSprites.h"
#include "sprites/SpriteRendering.h"

using namespace qm;

namespace {

constexpr int kCardWidth = 1024, kCardHeight = 768, kSprites = 1000;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// On a shared machine the fastest run is the best estimate of the uncontended cost.
double fastest(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

double millis(const QElapsedTimer& t) {
  return double(t.nsecsElapsed()) / 1e6;
}

// A 32 x 32 ball: a colour gradient with a soft round mask.
std::unique_ptr<QMSprite> ballSprite(int hue) {
  auto s = std::make_unique<QMSprite>();
  s->Name = "ball" + std::to_string(hue);
  s->MyPicture = QImage(32, 32, QImage::Format_RGB32);
  s->MyPicture.fill(QColor::fromHsv(hue, 200, 230));
  {
    QPainter g(&s->MyPicture);
    g.fillRect(8, 8, 16, 16, QColor::fromHsv((hue + 120) % 360, 255, 255));
  }
  s->MyMask = QImage(32, 32, QImage::Format_RGB32);
  s->MyMask.fill(Qt::white);
  {
    QPainter g(&s->MyMask);
    QRadialGradient grey(16, 16, 16);
    grey.setColorAt(0, Qt::black);
    grey.setColorAt(0.7, Qt::black);
    grey.setColorAt(1, Qt::white);
    g.setPen(Qt::NoPen);
    g.setBrush(grey);
    g.drawEllipse(0, 0, 32, 32);
  }
  s->GenerateAlpha();
  return s;
}

QImage cardPicture() {
  QImage card(kCardWidth, kCardHeight, QImage::Format_RGB32);
  QPainter g(&card);
  QLinearGradient sky(0, 0, 0, kCardHeight);
  sky.setColorAt(0, QColor(40, 90, 200));
  sky.setColorAt(1, QColor(230, 200, 120));
  g.fillRect(card.rect(), sky);
  return card;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  int paints = 500;
  QImage::Format format = QImage::Format_ARGB32_Premultiplied;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--paints")) paints = std::max(1, std::atoi(argv[i + 1]));
    if (!std::strcmp(argv[i], "--format") && !std::strcmp(argv[i + 1], "rgb32"))
      format = QImage::Format_RGB32;
  }

  // The scene: the library, 1000 live sprites created from it, placed over the card.
  SpriteLibrary library(1);
  for (int hue = 0; hue < 360; hue += 30) library.push_back(ballSprite(hue));
  LiveSprites live;
  live.Open();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> xs(-16, kCardWidth - 16), ys(-16, kCardHeight - 16);
  for (int n = 1; n <= kSprites; ++n) {
    auto s = library[1 + size_t(n) % (library.size() - 1)]->Clone();
    s->xScale = s->yscale = 100;
    s->x = xs(random);
    s->y = ys(random);
    s->TimeToDraw = true;
    if (n % 4 == 0) s->fade = 128;
    if (n % 10 == 3) s->rotation = 15 + n % 60;
    s->PreparePicture();
    live.Create(n, std::move(s));
  }
  // The card picture is kept in the surface's format, as the window keeps it, so drawing it is a
  // plain copy.
  const QImage card = cardPicture().convertToFormat(format);
  QImage surface(kCardWidth, kCardHeight, format);
  const QSize area = card.size();

  // What the floor draws: the same prepared pictures at the same places and opacities.
  struct Item {
    QPoint at;
    double opacity;
    const QImage* picture;
  };
  std::vector<Item> items;
  for (int n = 1; n <= kSprites; ++n) {
    const QMSprite& s = *live.At(n);
    if (s.rotation == 0)
      items.push_back({QPoint(int(s.x), int(s.y)), OpacityForFade(s.fade), &s.Final});
    else
      items.push_back({QPoint(int(s.x), int(s.y)) + s.FinalPixmap.offset, OpacityForFade(s.fade),
                       &s.FinalPixmap.picture});
  }

  auto floorPaint = [&](bool withCard) {
    QPainter g(&surface);
    if (withCard) g.drawImage(0, 0, card);
    for (const Item& item : items) {
      g.setOpacity(item.opacity);
      g.drawImage(item.at, *item.picture);
    }
  };
  auto playerPaint = [&](bool withCard) {
    QPainter g(&surface);
    g.setRenderHint(QPainter::Antialiasing, false);
    if (withCard) g.drawImage(0, 0, card);
    RenderSprites(&g, live, area);
  };

  // Warm up, then run the four paints side by side, interleaved.
  for (int i = 0; i < 20; ++i) {
    floorPaint(true);
    playerPaint(true);
  }
  std::vector<double> floorOnly, floorCard, player, playerSprites;
  for (int i = 0; i < paints; ++i) {
    QElapsedTimer t;
    t.start();
    floorPaint(false);
    floorOnly.push_back(millis(t));
    t.restart();
    playerPaint(false);
    playerSprites.push_back(millis(t));
    t.restart();
    floorPaint(true);
    floorCard.push_back(millis(t));
    t.restart();
    playerPaint(true);
    player.push_back(millis(t));
  }
  std::printf("surface %s, %d paints each, median (fastest) per paint:\n",
              format == QImage::Format_RGB32 ? "RGB32" : "ARGB32_Premultiplied", paints);
  auto line = [&](const char* what, const std::vector<double>& v, const std::vector<double>* base) {
    std::printf("  %-40s %7.3f ms (%7.3f ms)", what, median(v), fastest(v));
    if (base)
      std::printf("  %.2f x floor (%.2f x)", median(v) / median(*base),
                  fastest(v) / fastest(*base));
    std::printf("\n");
  };
  line("floor: 1000 prepared pictures", floorOnly, nullptr);
  line("player: RenderSprites", playerSprites, &floorOnly);
  line("floor + card picture", floorCard, &floorOnly);
  line("player: card picture + RenderSprites", player, &floorOnly);
  std::printf("  goal: player's card picture + sprites within 1.2 x floor\n");

  // PreparePicture of a 256 x 256 sprite: scale 150 %, tint, mirror, 2 x 2 tiles.
  auto big = std::make_unique<QMSprite>();
  big->MyPicture = QImage(256, 256, QImage::Format_RGB32);
  big->MyPicture.fill(QColor(200, 120, 40));
  big->MyMask = QImage(256, 256, QImage::Format_RGB32);
  big->MyMask.fill(Qt::black);
  QPainter(&big->MyMask).fillRect(64, 64, 128, 128, QColor(128, 128, 128));
  big->GenerateAlpha();
  auto s = big->Clone();
  s->xScale = s->yscale = 150;
  s->tintcolor = 0x3060FF;
  s->tintvalue = 100;
  s->XFlipped = true;
  s->xrepeat = s->yrepeat = 2;
  std::vector<double> prepare, prepareUnscaled;
  for (int i = 0; i < 5; ++i) s->PreparePicture();
  for (int i = 0; i < 100; ++i) {
    QElapsedTimer t;
    t.start();
    s->PreparePicture();
    prepare.push_back(millis(t));
  }
  s->xScale = s->yscale = 100;
  for (int i = 0; i < 100; ++i) {
    QElapsedTimer t;
    t.start();
    s->PreparePicture();
    prepareUnscaled.push_back(millis(t));
  }
  std::printf(
      "PreparePicture 256 x 256, scale 150 %%, tint, mirror, 2 x 2 tiles (768 x 768): "
      "%.3f ms (%.3f ms); goal: under 1 ms\n",
      median(prepare), fastest(prepare));
  std::printf(
      "PreparePicture 256 x 256, tint, mirror, 2 x 2 tiles (512 x 512):              "
      "%.3f ms (%.3f ms)\n",
      median(prepareUnscaled), fastest(prepareUnscaled));
  return 0;
}
