// The card change (closing and opening scripts, order, the first card's timer) and the painting
// of the card area.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <memory>

#include "interpreter/Interpreter.h"
#include "sprites/QMSprite.h"
#include "tests/unit/ShellTestSupport.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/SelectAllArea.h"

namespace qm::test {
namespace {

// A script that appends its mark to the text variable "trace".
uint32_t traceScript(GameWriter& w, const std::string& mark) {
  return w.script([&w, mark](Script& s) {
    s.SetString(w.textVar("trace"), w.concat({w.textVar("trace"), w.text(mark + " ")}));
  });
}

// Three cards whose open and close scripts, and the game's open script, leave a trace.
struct TracedGame {
  GameWriter w;
  TracedGame() {
    w.CompiledGlobalScripts[GlobalOpenGame] = traceScript(w, "game-open");
    for (int n = 1; n <= 3; ++n) {
      Card& c = w.addCard();
      c.CompiledScripts[CardOpen] = traceScript(w, "open" + std::to_string(n));
      c.CompiledScripts[CardClose] = traceScript(w, "close" + std::to_string(n));
    }
  }
  std::string trace(GameWindow& win) {
    return win.globals().StringVariables.at(w.textVarIndex("trace"));
  }
};

// Serves events until the first card's opening timer has fired.
void waitForOpeningTimer(GameWindow& win) {
  QElapsedTimer clock;
  clock.start();
  while (win.ScriptTimer()->isActive() && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_FALSE(win.ScriptTimer()->isActive());
}

TEST(CardChange, OpeningTimerThenCloseBeforeOpenOnEveryChange) {
  DialogsScope dialogs;
  LogCapture log;
  TracedGame g;
  g.w.begincard = 2;
  StartedGame game;
  GameWindow* win = game.start(g.w);
  ASSERT_NE(win, nullptr);
  // Start-up has shown the card; its opening scripts wait for the timer.
  EXPECT_EQ(win->card, 2);
  EXPECT_EQ(g.trace(*win), "");
  waitForOpeningTimer(*win);
  EXPECT_EQ(g.trace(*win), "game-open open2 ");

  win->ChangeCard(3);
  EXPECT_EQ(g.trace(*win), "game-open open2 close2 open3 ");
  EXPECT_EQ(win->RecentCard, 2);
  // The same card again closes and reopens it.
  win->ChangeCard(3);
  EXPECT_EQ(g.trace(*win), "game-open open2 close2 open3 close3 open3 ");
  EXPECT_EQ(win->RecentCard, 3);
  EXPECT_EQ(win->card, 3);
  EXPECT_TRUE(win->MayDrawpicture);
  EXPECT_FALSE(win->ScriptTimer()->isActive());  // only the first card uses the timer
  std::vector<int> cards;
  for (const QJsonObject& e : log.events("card")) cards.push_back(e["card"].toInt());
  EXPECT_EQ(cards, (std::vector<int>{2, 3, 3}));
  EXPECT_TRUE(dialogs->alerts.empty());
}

TEST(CardChange, CloseScriptThatEndsTheGameStopsTheChange) {
  DialogsScope dialogs;
  LogCapture log;
  TracedGame g;
  // Card 1's close script fails: the error report ends the game.
  g.w.card(1).CompiledScripts[CardClose] = g.w.script([](Script& s) { s.cmd(1); });
  StartedGame game;
  GameWindow* win = game.start(g.w);
  ASSERT_NE(win, nullptr);
  waitForOpeningTimer(*win);
  EXPECT_THROW(win->ChangeCard(2), EndException);
  EXPECT_FALSE(win->Running());
  EXPECT_EQ(win->card, 1);
  EXPECT_EQ(g.trace(*win), "game-open open1 ");
  EXPECT_EQ(log.events("card").size(), 1u);
  ASSERT_EQ(log.events("dialog").size(), 1u);
  EXPECT_EQ(log.events("dialog")[0]["kind"], "error");
}

TEST(CardChange, LayoutOfTextButtonsAndWidePicture) {
  DialogsScope dialogs;
  GameWriter w;
  w.WindowSize = 1;
  Card& text = w.addCard();
  text.RTFText = "{\\rtf1\\ansi Hello {\\b card}}";
  text.addButton("Go", 2).Bold = true;
  text.addButton("Stay");
  text.addButton("Back");
  Card& wide = w.addCard();
  wide.WidePicture = true;
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  EXPECT_EQ(win->GameField()->toPlainText(), "Hello card");
  EXPECT_EQ(win->GameField()->textCursor().position(), 0);
  EXPECT_TRUE(win->GameField()->isVisible());
  EXPECT_EQ(win->PictureWidth, 267);
  EXPECT_EQ(win->BlankPicture.size(), QSize(267, 291));
  // Three buttons: one centred row, the rest hidden.
  const int lefts[3] = {70, 210, 350};
  const char* captions[3] = {"Go", "Stay", "Back"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(win->GameButton(i)->geometry(), QRect(lefts[i], 303, 129, 20)) << i;
    EXPECT_EQ(win->GameButton(i)->text(), captions[i]) << i;
    EXPECT_TRUE(win->GameButton(i)->isVisible()) << i;
  }
  EXPECT_TRUE(win->GameButton(0)->font().bold());
  for (int i = 3; i < 8; ++i) EXPECT_FALSE(win->GameButton(i)->isVisible()) << i;
  EXPECT_EQ(win->ContentSize().height(), 361);

  // A wide picture without buttons: the text area leaves, the window loses the button rows.
  win->ChangeCard(2);
  EXPECT_FALSE(win->GameField()->isVisible());
  EXPECT_EQ(win->GameField()->y(), -500);
  EXPECT_EQ(win->PictureWidth, 540);
  EXPECT_EQ(win->BlankPicture.size(), QSize(540, 291));
  EXPECT_EQ(win->ContentSize().height(), 301);
  // Back to a normal card: the text area returns at its place.
  win->ChangeCard(1);
  EXPECT_TRUE(win->GameField()->isVisible());
  EXPECT_TRUE(win->GameField()->isEnabled());
  EXPECT_EQ(win->GameField()->y(), 6);
  EXPECT_EQ(win->ContentSize().height(), 361);
}

TEST(CardPaint, BackgroundPictureAndFrames) {
  DialogsScope dialogs;
  GameWriter w;
  w.WindowSize = 1;
  w.addPng("pic.png", 100, 50, QColor(255, 0, 0));
  Card& c = w.addCard();
  c.PictureFile = "pic.png";
  c.BGColor = 0x0000FF;
  c.FramePict = true;
  c.FrameTxt = true;
  Card& plain = w.addCard();
  plain.BGColor = 0x00FF00;
  plain.FramePict = true;
  plain.WidePicture = true;
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);

  const QImage shot = win->Content()->grab().toImage();
  const QRgb frame = qRgb(0x62, 0x62, 0x62), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
  struct Pixel {
    int x, y;
    QRgb colour;
  };
  const Pixel pixels[] = {
      {4, 4, frame},      {272, 296, frame},  // picture frame corners: (4, 4, 269, 293)
      {5, 5, red},        {104, 54, red},     // the picture at the area's origin, natural size
      {105, 54, blue},    {104, 55, blue},    // background beside and below it
      {271, 295, blue},                       // the area's last pixel
      {277, 4, frame},    {545, 296, frame},  // text frame (277, 4, 269, 293)
  };
  for (const Pixel& p : pixels)
    EXPECT_EQ(shot.pixel(p.x, p.y) & 0xFFFFFF, p.colour & 0xFFFFFF) << p.x << "," << p.y;

  // A card without picture: its colour fills the whole (wide) area, the wide frame around it.
  win->ChangeCard(2);
  const QImage wide = win->Content()->grab().toImage();
  EXPECT_EQ(wide.pixel(4, 4) & 0xFFFFFF, frame & 0xFFFFFF);
  EXPECT_EQ(wide.pixel(545, 296) & 0xFFFFFF, frame & 0xFFFFFF);
  EXPECT_EQ(wide.pixel(5, 5) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(wide.pixel(544, 295) & 0xFFFFFF, 0x00FF00u);
  EXPECT_TRUE(dialogs->alerts.empty());
}

TEST(CardPaint, PaintBehaviorDecidesWhetherSpritesShow) {
  for (const uint8_t behavior : {0, 1, 2}) {
    SCOPED_TRACE("PaintBehavior " + std::to_string(behavior));
    DialogsScope dialogs;
    GameWriter w;
    w.WindowSize = 1;
    Card& c = w.addCard();
    c.BGColor = 0x0000FF;
    c.PaintBehavior = behavior;
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    auto sprite = std::make_unique<QMSprite>();
    sprite->Final = QImage(10, 10, QImage::Format_ARGB32_Premultiplied);
    sprite->Final.fill(QColor(255, 255, 0));
    sprite->x = 20;
    sprite->y = 20;
    sprite->TimeToDraw = true;
    win->liveSprites.Create(1, std::move(sprite));
    const QImage shot = win->Content()->grab().toImage();
    // Card coordinates start at (5, 5) in the window.
    EXPECT_EQ(shot.pixel(30, 30) & 0xFFFFFF, behavior == 2 ? 0x0000FFu : 0xFFFF00u);
    EXPECT_EQ(shot.pixel(36, 36) & 0xFFFFFF, 0x0000FFu);
  }
}

TEST(CardPaint, PaintScriptsRunOnlyWhenAllowed) {
  DialogsScope dialogs;
  GameWriter w;
  auto counter = [&w](const char* name) {
    return w.script([&w, name](Script& s) {
      s.SetNumberVariable(name, w.expr(w.numVar(name), '+', w.num(1)));
    });
  };
  w.addCard().CompiledScripts[CardPaint] = counter("cardPaints");
  w.CompiledGlobalScripts[GlobalPaint] = counter("gamePaints");
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  auto count = [&](const char* name) {
    return win->globals().NumberVariables.at(w.numVarIndex(name));
  };
  const double cards = count("cardPaints"), games = count("gamePaints");
  win->mayCallPaintEvent = false;
  win->Content()->grab();
  EXPECT_EQ(count("cardPaints"), cards);
  EXPECT_EQ(count("gamePaints"), games);
  win->mayCallPaintEvent = true;
  win->Content()->grab();
  EXPECT_EQ(count("cardPaints"), cards + 1);
  EXPECT_EQ(count("gamePaints"), games + 1);
}

TEST(ScriptTimers, MasterTimerRunsItsScriptUnderItsLocation) {
  DialogsScope dialogs;
  GameWriter w;
  w.addCard();
  const uint32_t tick = traceScript(w, "tick");
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  win->TimerScript = tick;
  win->TimerLoc = "Card 1, Open Card Event";
  win->MasterTimer()->start(int(GameWindow::TicksToMilliseconds(1)));
  QElapsedTimer clock;
  clock.start();
  auto trace = [&] { return win->globals().StringVariables.at(w.textVarIndex("trace")); };
  while (trace().size() < 10 && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  win->MasterTimer()->stop();
  EXPECT_EQ(trace().substr(0, 10), "tick tick ");
  EXPECT_EQ(GameWindow::TicksToMilliseconds(60), 1000);
  EXPECT_EQ(GameWindow::TicksToMilliseconds(1), 16);
  EXPECT_EQ(GameWindow::TicksToMilliseconds(7), 116);
}

}  // namespace
}  // namespace qm::test
