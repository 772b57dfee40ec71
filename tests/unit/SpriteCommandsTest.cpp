// The sprite commands, the sprite functions and the draw commands, driven through a stand-in for
// the interpreter's parameter evaluation that records the order of evaluation.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"
#include "sprites/DrawCommands.h"
#include "sprites/SpriteCommands.h"
#include "sprites/SpriteFunctions.h"
#include "sprites/SpriteRendering.h"
#include "support/Errors.h"

namespace qm {
namespace {

using Value = std::variant<double, std::string>;

// Parameters as plain values. Evaluations are logged as "N<k>" / "T<k>"; a report makes the game
// stop, as the real error report does; stopAt makes evaluating entry k stop the game.
class FakeParams : public CommandParams {
 public:
  FakeParams(std::vector<Value> values) : values_(std::move(values)) {}
  size_t Count() const override { return values_.size(); }
  double Number(size_t k) override { return std::get<double>(evaluate('N', k)); }
  std::string Text(size_t k) override { return std::get<std::string>(evaluate('T', k)); }
  bool Running() const override { return running; }
  void ReportError(const std::string& message, bool /*markExit*/) override {
    reports.push_back(message);
    running = false;
  }

  std::vector<std::string> log;
  std::vector<std::string> reports;
  bool running = true;
  std::optional<size_t> stopAt;

 private:
  const Value& evaluate(char kind, size_t k) {
    log.push_back(kind + std::to_string(k));
    if (k >= values_.size()) throw OutOfBoundsException("parameter " + std::to_string(k));
    if (stopAt == k) running = false;
    return values_[k];
  }
  std::vector<Value> values_;
};

using Log = std::vector<std::string>;

QImage solid(int w, int h, QColor c) {
  QImage p(w, h, QImage::Format_RGB32);
  p.fill(c);
  return p;
}

class SpriteCommandsTest : public ::testing::Test {
 protected:
  SpriteCommandsTest() {
    library.resize(1);
    addLibrary("Ball", solid(10, 10, Qt::red));
    addLibrary("Box", solid(6, 4, Qt::blue));
    live.Open();
  }
  void addLibrary(const std::string& name, QImage picture) {
    auto s = std::make_unique<QMSprite>();
    s->Name = name;
    s->MyPicture = std::move(picture);
    s->GenerateAlpha();
    library.push_back(std::move(s));
  }
  // Runs a command; returns its parameters for inspection.
  FakeParams run(Cmd code, std::vector<Value> values, std::optional<size_t> stopAt = {}) {
    FakeParams p(std::move(values));
    p.stopAt = stopAt;
    RunSpriteCommand(uint16_t(code), p, target);
    return p;
  }
  QMSprite& sprite(int64_t n) {
    QMSprite* s = live.At(n);
    if (!s) throw std::logic_error("no sprite in slot " + std::to_string(n));
    return *s;
  }

  SpriteLibrary library;
  LiveSprites live;
  int repaints = 0;
  SpriteCommandTarget target{live, library, [this] { ++repaints; }};
};

TEST_F(SpriteCommandsTest, SlotNumbersOutsideTheRangeAreReported) {
  struct Case {
    double n;
    const char* report;  // nullptr: accepted
    int64_t slot;
  };
  const Case cases[] = {
      {1, nullptr, 1},
      {1000, nullptr, 1000},
      {1.9, nullptr, 1},
      {0, "Invalid sprite number: 0", 0},
      {1001, "Invalid sprite number: 1001", 0},
      {-3, "Invalid sprite number: -3", 0},
      {-0.5, "Invalid sprite number: 0", 0},
  };
  for (const Case& c : cases) {
    FakeParams p = run(Cmd::SpriteCreate, {c.n, std::string("ball")});
    if (c.report) {
      EXPECT_EQ(p.reports, Log{c.report}) << c.n;
      EXPECT_EQ(p.log, Log{"N0"}) << c.n;  // the name is never evaluated
    } else {
      EXPECT_TRUE(p.reports.empty()) << c.n;
      EXPECT_NE(live.At(c.slot), nullptr) << c.n;
    }
  }
}

TEST_F(SpriteCommandsTest, CreateCopiesALibrarySprite) {
  FakeParams p = run(Cmd::SpriteCreate, {3.0, std::string("BALL")});
  EXPECT_TRUE(p.reports.empty());
  QMSprite& s = sprite(3);
  EXPECT_EQ(s.Name, "Ball");
  EXPECT_EQ(s.xScale, 100);
  EXPECT_EQ(s.Final.size(), QSize(10, 10));
  EXPECT_FALSE(s.TimeToDraw);  // not drawn until a command places it
  EXPECT_EQ(live.HighestSprite, 3);
  EXPECT_EQ(repaints, 0);

  p = run(Cmd::SpriteCreate, {4.0, std::string("Kite")});
  EXPECT_EQ(p.reports, Log{"No sprite by the name of \"Kite\"."});
  EXPECT_EQ(live.At(4), nullptr);

  // Only exactly six parameters cut.
  run(Cmd::SpriteCreate, {5.0, std::string("Ball"), 2.0, 2.0, 4.0, 3.0});
  EXPECT_EQ(sprite(5).Final.size(), QSize(4, 3));
  run(Cmd::SpriteCreate, {6.0, std::string("Ball"), 2.0, 2.0, 4.0, 3.0, 1.0});
  EXPECT_EQ(sprite(6).Final.size(), QSize(10, 10));
  run(Cmd::SpriteCreate, {7.0, std::string("Ball"), 2.0});
  EXPECT_EQ(sprite(7).Final.size(), QSize(10, 10));

  // A stop during the cut values leaves the slot as it was.
  p = run(Cmd::SpriteCreate, {8.0, std::string("Ball"), 2.0, 2.0, 4.0, 3.0}, 3);
  EXPECT_EQ(p.log, (Log{"N0", "T1", "N2", "N3"}));
  EXPECT_EQ(live.At(8), nullptr);
}

TEST_F(SpriteCommandsTest, ReplaceKeepsPlacementAndLook) {
  run(Cmd::SpriteCreate, {2.0, std::string("Ball")});
  QMSprite& old = sprite(2);
  old.x = 11;
  old.y = 12;
  old.xScale = 200;
  old.xrepeat = 2;
  old.XFlipped = true;
  old.tintcolor = 0x00FF00;
  old.tintvalue = 255;
  old.fade = 90;
  old.rotation = 45;
  old.hidden = true;

  FakeParams p = run(Cmd::SpriteReplace, {2.0, std::string("box")});
  EXPECT_TRUE(p.reports.empty());
  QMSprite& s = sprite(2);
  EXPECT_EQ(s.Name, "Box");
  EXPECT_EQ(s.x, 11);
  EXPECT_EQ(s.y, 12);
  EXPECT_EQ(s.Final.size(), QSize(24, 4));  // 6 * 200 % * 2 tiles
  EXPECT_EQ(QColor(s.Final.pixel(0, 0)), QColor(Qt::green));
  EXPECT_EQ(s.fade, 0);  // fade, rotation and hidden are not taken over
  EXPECT_EQ(s.rotation, 0);
  EXPECT_FALSE(s.hidden);
  EXPECT_TRUE(s.TimeToDraw);
  EXPECT_EQ(repaints, 1);

  // The flag: parameter 2 of three, parameter 6 of seven; with six there is none.
  run(Cmd::SpriteReplace, {2.0, std::string("Ball"), 1.0});
  EXPECT_EQ(repaints, 1);
  p = run(Cmd::SpriteReplace, {2.0, std::string("Ball"), 0.0, 0.0, 3.0, 3.0, 1.0});
  EXPECT_EQ(repaints, 1);
  EXPECT_EQ(sprite(2).cutwidth, 3);
  run(Cmd::SpriteReplace, {2.0, std::string("Ball"), 0.0, 0.0, 3.0, 1.0});
  EXPECT_EQ(repaints, 2);

  // An empty slot is reported after the name has been looked up; an unknown name first.
  p = run(Cmd::SpriteReplace, {9.0, std::string("Ball")});
  EXPECT_EQ(p.log, (Log{"N0", "T1"}));
  EXPECT_EQ(p.reports, Log{"Uninitialized sprite."});
  p = run(Cmd::SpriteReplace, {9.0, std::string("Kite")});
  EXPECT_EQ(p.reports, Log{"No sprite by the name of \"Kite\"."});
}

TEST_F(SpriteCommandsTest, ChangesEvaluateValuesThenFindTheSpriteThenReadTheFlag) {
  // Values are evaluated before the slot is looked up.
  FakeParams p = run(Cmd::SpriteMoveTo, {4.0, 1.0, 2.0});
  EXPECT_EQ(p.log, (Log{"N0", "N1", "N2"}));
  EXPECT_EQ(p.reports, Log{"Uninitialized sprite."});

  run(Cmd::SpriteCreate, {4.0, std::string("Ball")});
  p = run(Cmd::SpriteMoveTo, {4.0, 10.9, -0.5, 1.0});
  EXPECT_EQ(p.log, (Log{"N0", "N1", "N2", "N3"}));
  EXPECT_EQ(sprite(4).x, 10);
  EXPECT_EQ(sprite(4).y, 0);
  EXPECT_TRUE(sprite(4).TimeToDraw);
  EXPECT_EQ(repaints, 0);  // flag 1
  run(Cmd::SpriteMoveTo, {4.0, 10.0, 10.0, 2.0});
  EXPECT_EQ(repaints, 1);
  run(Cmd::SpriteMoveTo, {4.0, 10.0, 10.0});
  EXPECT_EQ(repaints, 2);

  // Move by: x truncates the sum, y adds the truncated step.
  run(Cmd::SpriteMoveBy, {4.0, -0.5, -0.5});
  EXPECT_EQ(sprite(4).x, 9);
  EXPECT_EQ(sprite(4).y, 10);
  run(Cmd::SpriteMoveBy, {4.0, 2.5, 2.5});
  EXPECT_EQ(sprite(4).x, 11);
  EXPECT_EQ(sprite(4).y, 12);

  // A stop after a value changes nothing, not even TimeToDraw.
  run(Cmd::SpriteCreate, {5.0, std::string("Ball")});
  p = run(Cmd::SpriteSetFade, {5.0, 100.0}, 1);
  EXPECT_EQ(sprite(5).fade, 0);
  EXPECT_FALSE(sprite(5).TimeToDraw);

  struct Case {
    Cmd code;
    double value;
    std::function<bool(const QMSprite&)> holds;
  };
  const Case cases[] = {
      {Cmd::SpriteSetFade, 128.7, [](const QMSprite& s) { return s.fade == 128; }},
      {Cmd::SpriteSetTilesX, 3, [](const QMSprite& s) { return s.Final.width() == 30; }},
      {Cmd::SpriteSetTilesY, 2, [](const QMSprite& s) { return s.Final.height() == 20; }},
      {Cmd::SpriteSetScaleX, 50,
       [](const QMSprite& s) { return s.xScale == 50 && s.Final.width() == 15; }},
      {Cmd::SpriteSetScaleY, 150,
       [](const QMSprite& s) { return s.yscale == 150 && s.Final.height() == 30; }},
      {Cmd::SpriteSetScale, 100, [](const QMSprite& s) { return s.Final.size() == QSize(30, 20); }},
      {Cmd::SpriteSetFlipX, 1, [](const QMSprite& s) { return s.XFlipped; }},
      {Cmd::SpriteSetFlipX, 2, [](const QMSprite& s) { return !s.XFlipped; }},
      {Cmd::SpriteSetFlipY, 1, [](const QMSprite& s) { return s.YFlipped; }},
      {Cmd::SpriteSetFlipY, -1, [](const QMSprite& s) { return !s.YFlipped; }},
      {Cmd::SpriteSetRotation, 12.5,
       [](const QMSprite& s) { return s.rotation == 12.5 && !s.FinalPixmap.picture.isNull(); }},
  };
  for (const Case& c : cases) {
    const int before = repaints;
    p = run(c.code, {5.0, c.value});
    EXPECT_TRUE(c.holds(sprite(5))) << int(c.code) << " " << c.value;
    EXPECT_TRUE(sprite(5).TimeToDraw);
    EXPECT_EQ(repaints, before + 1);
    p = run(c.code, {5.0, c.value, 1.0});
    EXPECT_EQ(p.log, (Log{"N0", "N1", "N2"}));
    EXPECT_EQ(repaints, before + 1);
  }
}

TEST_F(SpriteCommandsTest, ScaleToThePresentValueDoesNotPrepareAgain) {
  run(Cmd::SpriteCreate, {1.0, std::string("Ball")});
  const qint64 prepared = sprite(1).Final.cacheKey();
  run(Cmd::SpriteSetScaleX, {1.0, 100.0});
  run(Cmd::SpriteSetScale, {1.0, 100.0});
  EXPECT_EQ(sprite(1).Final.cacheKey(), prepared);
  EXPECT_TRUE(sprite(1).TimeToDraw);
  EXPECT_EQ(repaints, 2);
  run(Cmd::SpriteSetScaleY, {1.0, 100.5});
  EXPECT_NE(sprite(1).Final.cacheKey(), prepared);
}

TEST_F(SpriteCommandsTest, HideShowAndDeleteFindTheSpriteFirst) {
  FakeParams p = run(Cmd::SpriteHide, {6.0, 1.0});
  EXPECT_EQ(p.log, Log{"N0"});
  EXPECT_EQ(p.reports, Log{"Uninitialized sprite."});

  run(Cmd::SpriteCreate, {6.0, std::string("Ball")});
  run(Cmd::SpriteCreate, {5.0, std::string("Ball")});
  run(Cmd::SpriteHide, {6.0});
  EXPECT_TRUE(sprite(6).hidden);
  EXPECT_FALSE(sprite(6).TimeToDraw);
  run(Cmd::SpriteShow, {6.0, 1.0});
  EXPECT_FALSE(sprite(6).hidden);
  EXPECT_EQ(repaints, 1);

  run(Cmd::SpriteDelete, {5.0});
  EXPECT_EQ(live.At(5), nullptr);
  EXPECT_EQ(live.HighestSprite, 6);
  run(Cmd::SpriteDelete, {6.0, 1.0});
  EXPECT_EQ(live.HighestSprite, 5);
  EXPECT_EQ(repaints, 2);
  p = run(Cmd::SpriteDelete, {6.0});
  EXPECT_EQ(p.reports, Log{"Uninitialized sprite."});
}

TEST_F(SpriteCommandsTest, TintReadsTheColourWithoutStopping) {
  FakeParams p = run(Cmd::SpriteSetTint, {1.0, 1.0, 2.0, 3.0, 4.0});
  EXPECT_EQ(p.log, Log{"N0"});
  EXPECT_EQ(p.reports, Log{"Uninitialized sprite."});

  run(Cmd::SpriteCreate, {1.0, std::string("Ball")});
  p = run(Cmd::SpriteSetTint, {1.0, 0.0, 0.0, 255.0, 255.0});
  EXPECT_EQ(sprite(1).tintcolor, 0x0000FFu);
  EXPECT_EQ(sprite(1).tintvalue, 255);
  EXPECT_EQ(QColor(sprite(1).Final.pixel(3, 3)), QColor(Qt::blue));
  EXPECT_EQ(repaints, 1);  // five parameters: always a repaint
  EXPECT_FALSE(sprite(1).TimeToDraw);

  // Six with a last 1: no repaint, whatever the red component is.
  run(Cmd::SpriteSetTint, {1.0, 1.0, 0.0, 0.0, 10.0, 1.0});
  EXPECT_EQ(repaints, 1);
  EXPECT_EQ(sprite(1).tintcolor, 0x010000u);

  // A stop in the red component: green and blue are still evaluated and the colour stored.
  p = run(Cmd::SpriteSetTint, {1.0, 300.0, -4.0, 7.9, 20.0}, 1);
  EXPECT_EQ(p.log, (Log{"N0", "N1", "N2", "N3"}));
  EXPECT_EQ(sprite(1).tintcolor, 0xFF0007u);
  EXPECT_EQ(sprite(1).tintvalue, 10);

  // A missing strength is the dispatcher's index failure.
  EXPECT_THROW(run(Cmd::SpriteSetTint, {1.0, 1.0, 2.0, 3.0}), OutOfBoundsException);
}

// ---- Sprite functions ----

class SpriteFunctionsTest : public SpriteCommandsTest {
 protected:
  double call(NumFn id, std::vector<Value> args, FakeParams** out = nullptr) {
    last = std::make_unique<FakeParams>(std::move(args));
    if (out) *out = last.get();
    return SpriteNumberFunction(uint32_t(id), *last, live);
  }
  std::unique_ptr<FakeParams> last;
};

TEST_F(SpriteFunctionsTest, PropertiesAndInvalidNumbers) {
  run(Cmd::SpriteCreate, {2.0, std::string("Box")});
  run(Cmd::SpriteMoveTo, {2.0, 5.0, 6.0});
  run(Cmd::SpriteSetScaleX, {2.0, 50.0});
  run(Cmd::SpriteSetTilesY, {2.0, 3.0});
  run(Cmd::SpriteSetFade, {2.0, 77.0});
  EXPECT_EQ(call(NumFn::SpriteExists, {2.0}), 1);
  EXPECT_EQ(call(NumFn::SpriteWidth, {2.0}), 3);
  EXPECT_EQ(call(NumFn::SpriteHeight, {2.0}), 12);
  EXPECT_EQ(call(NumFn::SpriteXScale, {2.0}), 50);
  EXPECT_EQ(call(NumFn::SpriteXScale2, {2.0}), 50);
  EXPECT_EQ(call(NumFn::SpriteYScale, {2.0}), 100);
  EXPECT_EQ(call(NumFn::SpriteXRepeat, {2.0}), 1);
  EXPECT_EQ(call(NumFn::SpriteYRepeat, {2.0}), 3);
  EXPECT_EQ(call(NumFn::SpriteX, {2.0}), 5);
  EXPECT_EQ(call(NumFn::SpriteY, {2.9}), 6);
  EXPECT_EQ(call(NumFn::SpriteFade, {2.0}), 77);

  // SpriteExists never reports; the others report and yield 0.
  EXPECT_EQ(call(NumFn::SpriteExists, {3.0}), 0);
  EXPECT_TRUE(last->reports.empty());
  EXPECT_EQ(call(NumFn::SpriteX, {3.0}), 0);
  EXPECT_EQ(last->reports, Log{"Invalid sprite number: 3"});
  EXPECT_EQ(call(NumFn::SpriteWidth, {1001.0}), 0);
  EXPECT_EQ(last->reports, Log{"Invalid sprite number: 1001"});
  EXPECT_EQ(call(NumFn::Round, {2.0}), 0);  // not a sprite function
}

TEST_F(SpriteFunctionsTest, OverlapAndContainsExcludeTheEdges) {
  run(Cmd::SpriteCreate, {1.0, std::string("Ball")});  // 10 x 10
  run(Cmd::SpriteCreate, {2.0, std::string("Ball")});
  run(Cmd::SpriteMoveTo, {1.0, 0.0, 0.0});
  run(Cmd::SpriteMoveTo, {2.0, 10.0, 0.0});
  EXPECT_EQ(call(NumFn::SpritesOverlap, {1.0, 2.0}), 0);  // touching edge to edge
  run(Cmd::SpriteMoveTo, {2.0, 9.0, 9.0});
  EXPECT_EQ(call(NumFn::SpritesOverlap, {1.0, 2.0}), 1);
  run(Cmd::SpriteHide, {2.0});
  EXPECT_EQ(call(NumFn::SpritesOverlap, {2.0, 1.0}), 1);  // hidden ones count too
  FakeParams* p;
  EXPECT_EQ(call(NumFn::SpritesOverlap, {7.0, 1.0}, &p), 0);
  EXPECT_EQ(p->log, Log{"N0"});

  struct Case {
    double x, y, result;
  };
  const Case cases[] = {{5, 5, 1},     {0, 5, 0}, {0.5, 0.5, 1}, {10, 5, 0},
                        {9.9, 9.9, 1}, {5, 0, 0}, {5, 10, 0},    {-1, 5, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(call(NumFn::SpriteContains, {1.0, c.x, c.y}), c.result) << c.x << ", " << c.y;
  // y is not evaluated when x lies outside.
  call(NumFn::SpriteContains, {1.0, 20.0, 5.0}, &p);
  EXPECT_EQ(p->log, (Log{"N0", "N1"}));
}

TEST_F(SpriteFunctionsTest, OpacityAtReadsThePreparedAlpha) {
  auto half = std::make_unique<QMSprite>();
  half->Name = "Half";
  half->MyPicture = solid(4, 1, Qt::red);
  QImage mask(4, 1, QImage::Format_RGB32);
  for (int x = 0; x < 4; ++x) mask.setPixel(x, 0, qRgb(x * 85, x * 85, x * 85));
  half->MyMask = mask;
  half->GenerateAlpha();
  library.push_back(std::move(half));
  run(Cmd::SpriteCreate, {1.0, std::string("Half")});
  run(Cmd::SpriteMoveTo, {1.0, 10.0, 20.0});

  EXPECT_DOUBLE_EQ(call(NumFn::SpriteOpacityAt, {1.0, 10.0, 20.0}), 255 / 2.55);  // black: 100
  EXPECT_DOUBLE_EQ(call(NumFn::SpriteOpacityAt, {1.0, 11.5, 20.0}), 170 / 2.55);
  EXPECT_DOUBLE_EQ(call(NumFn::SpriteOpacityAt, {1.0, 13.0, 20.0}), 0);  // white
  EXPECT_DOUBLE_EQ(call(NumFn::SpriteOpacityAt, {1.0, 14.0, 20.0}), 0);  // outside

  FakeParams* p;
  run(Cmd::SpriteHide, {1.0});
  EXPECT_EQ(call(NumFn::SpriteOpacityAt, {1.0, 10.0, 20.0}, &p), 0);
  EXPECT_EQ(p->log, Log{"N0"});

  // A prepared picture left empty by tiling has no mask to read.
  run(Cmd::SpriteSetTilesX, {1.0, 2.0});
  run(Cmd::SpriteSetTilesY, {1.0, 0.0});
  EXPECT_EQ(call(NumFn::SpriteOpacityAt, {1.0, 10.0, 20.0}, &p), 0);
  EXPECT_EQ(p->reports, Log{"Missing sprite mask."});
}

// ---- Draw commands ----

class SpriteDrawCommandsTest : public SpriteCommandsTest {
 protected:
  SpriteDrawCommandsTest() {
    surface.fill(Qt::white);
    draw.resourcesFolder = resources.path();
    draw.defaultFolder = defaults.path();
    draw.repaint = [this] { ++repaints; };
    draw.drawSprites = [this](QPainter* g) { RenderSprites(g, live, surface.size()); };
  }
  // Runs commands on one paint context, as one paint script would.
  void paint(std::vector<std::pair<Cmd, std::vector<Value>>> commands) {
    QPainter g(&surface);
    for (auto& [code, values] : commands) {
      FakeParams p(std::move(values));
      RunDrawCommand(uint16_t(code), p, &g, draw);
      reports.insert(reports.end(), p.reports.begin(), p.reports.end());
    }
  }
  QRgb at(int x, int y) const { return surface.pixel(x, y) & 0xFFFFFF; }

  QImage surface{60, 40, QImage::Format_RGB32};
  QTemporaryDir resources, defaults;
  DrawCommandTarget draw;
  Log reports;
};

TEST_F(SpriteDrawCommandsTest, ShapesUseTheColourAndPenOfTheContext) {
  paint({{Cmd::SetColorCmd, {255.0, 0.0, 0.0}},
         {Cmd::FillRectCmd, {10.9, -0.5, 5.0, 3.0}},  // truncated: x 10, y 0
         {Cmd::SetPenSizeCmd, {2.0, 2.0}},
         {Cmd::SetColorCmd, {0.0, 0.0, 300.0}},
         {Cmd::DrawRectCmd, {30.0, 10.0, 10.0, 8.0}},
         {Cmd::SetPixelCmd, {1.0, 1.0}}});
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(at(10, 0), 0xFF0000u);
  EXPECT_EQ(at(14, 2), 0xFF0000u);
  EXPECT_EQ(at(15, 2), 0xFFFFFFu);
  EXPECT_EQ(at(10, 3), 0xFFFFFFu);
  // A 2-pixel outline inside the rectangle 30..39 x 10..17.
  EXPECT_EQ(at(30, 10), 0x0000FFu);
  EXPECT_EQ(at(31, 13), 0x0000FFu);
  EXPECT_EQ(at(39, 17), 0x0000FFu);
  EXPECT_EQ(at(32, 12), 0xFFFFFFu);
  EXPECT_EQ(at(37, 15), 0xFFFFFFu);
  EXPECT_EQ(at(40, 13), 0xFFFFFFu);
  EXPECT_EQ(at(29, 13), 0xFFFFFFu);
  EXPECT_EQ(at(1, 1), 0x0000FFu);
  EXPECT_EQ(at(0, 1), 0xFFFFFFu);

  // The colour set earlier in the paint is still in force for the next script.
  paint({{Cmd::FillOvalCmd, {40.0, 20.0, 10.0, 10.0}},
         {Cmd::FillRoundRectCmd, {0.0, 20.0, 10.0, 10.0, 4.0, 4.0}},
         {Cmd::DrawLineCmd, {20.0, 30.0, 30.0, 30.0}},
         {Cmd::DrawOvalCmd, {20.0, 10.0, 8.0, 8.0}},
         {Cmd::DrawRoundRectCmd, {0.0, 0.0, 8.0, 8.0, 2.0, 2.0}}});
  EXPECT_EQ(at(45, 25), 0x000000u);  // a fresh context: black
  EXPECT_EQ(at(5, 25), 0x000000u);
  EXPECT_EQ(at(0, 20), 0xFFFFFFu);  // rounded corner
  EXPECT_EQ(at(25, 30), 0x000000u);
  EXPECT_EQ(at(24, 14), 0xFFFFFFu);  // inside the oval outline
  EXPECT_EQ(at(24, 10), 0x000000u);
}

TEST_F(SpriteDrawCommandsTest, TextIsDrawnOnOneLine) {
  paint({{Cmd::SetColorCmd, {0.0, 128.0, 0.0}},
         {Cmd::DrawTextCmd, {std::string("Hello there"), 2.0, 30.0, std::string("Sans"), 14.0}}});
  int green = 0, below = 0;
  for (int y = 0; y < surface.height(); ++y)
    for (int x = 0; x < surface.width(); ++x)
      if (qGreen(at(x, y)) < 250 && qRed(at(x, y)) < 128) (y <= 30 + 4 ? green : below)++;
  EXPECT_GT(green, 20);  // glyph pixels at and above the baseline
  EXPECT_EQ(below, 0);
}

TEST_F(SpriteDrawCommandsTest, WithoutAContextOnlyRepaintWorks) {
  // The parameters are evaluated before the missing context fails.
  FakeParams p({1.0, 2.0, 3.0, 4.0});
  EXPECT_THROW(RunDrawCommand(uint16_t(Cmd::FillRectCmd), p, nullptr, draw), NilObjectException);
  EXPECT_EQ(p.log, (Log{"N0", "N1", "N2", "N3"}));
  // A stop during the parameters ends the command quietly.
  FakeParams stopped({1.0, 2.0, 3.0, 4.0});
  stopped.stopAt = 1;
  RunDrawCommand(uint16_t(Cmd::FillRectCmd), stopped, nullptr, draw);
  EXPECT_EQ(stopped.log, (Log{"N0", "N1"}));

  FakeParams none({});
  RunDrawCommand(uint16_t(Cmd::RepaintCmd), none, nullptr, draw);
  EXPECT_EQ(repaints, 1);

  // Draw sprites fails only when a sprite is to be drawn.
  run(Cmd::SpriteCreate, {1.0, std::string("Ball")});
  EXPECT_NO_THROW(RunDrawCommand(uint16_t(Cmd::DrawSpritesCmd), none, nullptr, draw));
  run(Cmd::SpriteMoveTo, {1.0, 5.0, 5.0});
  EXPECT_THROW(RunDrawCommand(uint16_t(Cmd::DrawSpritesCmd), none, nullptr, draw),
               NilObjectException);
  paint({{Cmd::SetColorCmd, {0.0, 0.0, 0.0}},
         {Cmd::FillRectCmd, {0.0, 0.0, 60.0, 40.0}},
         {Cmd::DrawSpritesCmd, {}}});
  EXPECT_EQ(at(7, 7), 0xFF0000u);  // over the shapes drawn before
}

TEST_F(SpriteDrawCommandsTest, PictureFilesComeFromTheResourcesFolderFirst) {
  auto save = [](const QString& path, QColor c) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(solid(4, 4, c).save(path, "PNG"));
  };
  save(resources.filePath("pics/tile.png"), Qt::red);
  save(defaults.filePath("pics/tile.png"), Qt::blue);
  save(defaults.filePath("only.png"), Qt::green);
  QFile bad(resources.filePath("bad.png"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a picture");
  bad.close();

  paint({{Cmd::DrawPictureFileCmd, {std::string("pics/tile.png"), 2.0, 3.0}},
         {Cmd::DrawPictureFileCmd, {std::string("only.png"), 20.0, 3.0}},
         {Cmd::DrawPictureFileCmd, {defaults.filePath("pics/tile.png").toStdString(), 40.0, 3.0}}});
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(at(2, 3), 0xFF0000u);
  EXPECT_EQ(at(5, 6), 0xFF0000u);
  EXPECT_EQ(at(6, 6), 0xFFFFFFu);
  EXPECT_EQ(at(21, 4), 0x00FF00u);
  EXPECT_EQ(at(41, 4), 0x0000FFu);  // an absolute path is taken as it is

  // Read again on every run: a changed file draws its new pixels.
  save(resources.filePath("pics/tile.png"), Qt::yellow);
  paint({{Cmd::DrawPictureFileCmd, {std::string("pics/tile.png"), 2.0, 3.0}}});
  EXPECT_EQ(at(2, 3), 0xFFFF00u);

  paint({{Cmd::DrawPictureFileCmd, {std::string("gone.png"), 0.0, 0.0}}});
  paint({{Cmd::DrawPictureFileCmd, {std::string("bad.png"), 0.0, 0.0}}});
  EXPECT_EQ(reports, (Log{"Image file is missing.", "Invalid or unsupported image file."}));
  EXPECT_EQ(PictureFileLocation("x.png", "/nowhere", "/base"), "/base/x.png");
  EXPECT_EQ(PictureFileLocation("/tmp/x.png", "/nowhere", "/base"), "/tmp/x.png");
}

}  // namespace
}  // namespace qm
