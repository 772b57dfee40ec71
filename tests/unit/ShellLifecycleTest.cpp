// Start-up and shutdown: load failures, the close scripts on Quit and on closing the window,
// the script error report, the desktop shield.
#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include "dialogs/DesktopShield.h"
#include "dialogs/DialogTools.h"
#include "interpreter/Interpreter.h"
#include "platform/EventEdge.h"
#include "tests/unit/ShellTestSupport.h"
#include "window/GameCanvas.h"
#include "window/RuntimeMenu.h"

namespace qm::test {
namespace {

constexpr const char* kLoadExplanation =
    "Data may be missing or corrupted. This program must now quit.";

TEST(ShellStartup, MissingDataFileIsFatalAndQuitsWithStatusOne) {
  DialogsScope dialogs;
  LogCapture log;
  StartedGame game;
  QTemporaryDir empty;
  EXPECT_EQ(game.startFolder(empty.path()), nullptr);
  EXPECT_TRUE(QuitRequested());
  EXPECT_EQ(QuitStatus(), 1);
  ASSERT_EQ(dialogs->alerts.size(), 1u);
  EXPECT_EQ(dialogs->alerts[0].icon, AlertIcon::Caution);
  EXPECT_TRUE(dialogs->alerts[0].beep);
  const auto events = log.events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], QJsonObject({{"ev", "dialog"},
                                    {"kind", "fatal"},
                                    {"message", "Can't find quillmark.dat."},
                                    {"explanation", kLoadExplanation},
                                    {"answer", "OK"}}));
}

TEST(ShellStartup, MissingSpriteFileIsFatalAfterTheWindowExists) {
  DialogsScope dialogs;
  LogCapture log;
  GameWriter w;
  w.addSprite("Hero", "hero.png");
  w.addCard();
  StartedGame game;
  game.start(w);
  EXPECT_EQ(QuitStatus(), 1);
  const auto events = log.events("dialog");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["message"], "Can't find the sprite picture file for \"Hero\".");
  EXPECT_TRUE(log.events("start").empty());
}

TEST(ShellStartup, HiddenDesktopShowsTheShieldBeforeTheWindow) {
  for (const bool hideMenu : {false, true}) {
    DialogsScope dialogs;
    GameWriter w;
    w.HideDesk = true;
    w.hidemenubar = hideMenu;
    w.addCard();
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    DesktopShield* shield = DesktopShield::Instance();
    ASSERT_NE(shield, nullptr);
    EXPECT_TRUE(shield->isVisible());
    EXPECT_TRUE(shield->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(shield->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(shield->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(shield->menu()->isHidden(), hideMenu);

    // A press on the black area brings the game window back.
    win->hide();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 300), QPointF(10, 300),
                      QPointF(10, 300), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shield, &press);
    EXPECT_TRUE(win->isVisible());
    DesktopShield::Destroy();
  }
}

TEST(ShellStartup, NoShieldWithoutHiddenDesktop) {
  DialogsScope dialogs;
  GameWriter w;
  w.addCard();
  StartedGame game;
  ASSERT_NE(game.start(w), nullptr);
  EXPECT_EQ(DesktopShield::Instance(), nullptr);
}

TEST(ShellStartup, FirstCardOutOfRangeEndsTheGame) {
  for (const int begin : {0, 3}) {
    DialogsScope dialogs;
    LogCapture log;
    GameWriter w;
    w.addCard();
    w.addCard();
    w.begincard = uint16_t(begin);
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    EXPECT_FALSE(win->Running());
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(QuitStatus(), 0);
    const auto events = log.events("dialog");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["kind"], "fatal");
    EXPECT_EQ(events[0]["message"].toString().toStdString(),
              "Invalid card passed to GameWindow.ChangeCard: " + std::to_string(begin));
    EXPECT_TRUE(log.events("card").empty());
  }
}

// A game whose card 1 and global close scripts count their runs.
struct CountingGame {
  GameWriter w;
  CountingGame() {
    Card& c = w.addCard();
    c.CompiledScripts[CardClose] = w.script([&](Script& s) {
      s.SetNumberVariable("cardClosed", w.expr(w.numVar("cardClosed"), '+', w.num(1)));
    });
    w.CompiledGlobalScripts[GlobalCloseGame] = w.script([&](Script& s) {
      s.SetNumberVariable("gameClosed", w.expr(w.numVar("gameClosed"), '+', w.num(1)));
    });
  }
  double var(GameWindow& win, const char* name) {
    return win.globals().NumberVariables.at(w.numVarIndex(name));
  }
};

TEST(ShellShutdown, QuitRunsTheCloseScriptsOnceThenEnds) {
  DialogsScope dialogs;
  CountingGame g;
  StartedGame game;
  GameWindow* win = game.start(g.w);
  ASSERT_NE(win, nullptr);
  win->Menu()->FileQuit->trigger();
  EXPECT_TRUE(QuitRequested());
  EXPECT_EQ(QuitStatus(), 0);
  EXPECT_FALSE(win->Running());
  EXPECT_EQ(g.var(*win, "cardClosed"), 1);
  EXPECT_EQ(g.var(*win, "gameClosed"), 1);

  // After the game stopped, quitting again runs nothing.
  ResetQuitRequest();
  win->Menu()->FileQuit->trigger();
  EXPECT_TRUE(QuitRequested());
  EXPECT_EQ(g.var(*win, "cardClosed"), 1);
  EXPECT_EQ(g.var(*win, "gameClosed"), 1);
}

TEST(ShellShutdown, ClosingTheWindowRunsTheCloseScriptsOnce) {
  DialogsScope dialogs;
  CountingGame g;
  StartedGame game;
  GameWindow* win = game.start(g.w);
  ASSERT_NE(win, nullptr);
  win->close();
  EXPECT_TRUE(QuitRequested());
  EXPECT_FALSE(win->isVisible());
  EXPECT_EQ(g.var(*win, "cardClosed"), 1);
  EXPECT_EQ(g.var(*win, "gameClosed"), 1);
}

TEST(ShellShutdown, ScriptErrorReportStopsTheGameWithoutCloseScripts) {
  DialogsScope dialogs;
  LogCapture log;
  CountingGame g;
  StartedGame game;
  GameWindow* win = game.start(g.w);
  ASSERT_NE(win, nullptr);
  win->TimerScript = 7;
  win->MasterTimer()->start(100);
  bool ended = false;
  try {
    win->interpreter().Running = false;  // the interpreter's half of the report
    win->ShowError("Card 1, Button 2", 0, "Invalid button number: 9");
  } catch (const EndException&) {
    ended = true;
  }
  EXPECT_TRUE(ended);
  EXPECT_TRUE(QuitRequested());
  EXPECT_FALSE(win->Running());
  EXPECT_FALSE(win->MasterTimer()->isActive());
  EXPECT_EQ(win->MasterTimer()->interval(), 0);
  EXPECT_EQ(win->TimerScript, 0u);
  EXPECT_EQ(g.var(*win, "cardClosed"), 0);
  EXPECT_EQ(g.var(*win, "gameClosed"), 0);
  const auto events = log.events("dialog");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(
      events[0],
      QJsonObject({{"ev", "dialog"},
                   {"kind", "error"},
                   {"message", "Sorry, an unexpected error has occurred."},
                   {"explanation", "Event: Card 1, Button 2\nError: Invalid button number: 9"},
                   {"answer", "Quit"}}));
  ASSERT_EQ(dialogs->alerts.size(), 1u);
  EXPECT_EQ(dialogs->alerts[0].okCaption, "Quit");
  EXPECT_TRUE(dialogs->alerts[0].cancelCaption.empty());
  EXPECT_TRUE(dialogs->alerts[0].beep);
}

TEST(ShellShutdown, EventEdgeTurnsTheQuitRequestIntoAQuitAndReportsOtherErrors) {
  DialogsScope dialogs;
  LogCapture log;
  ResetQuitRequest();
  AtEventEdge("GameWindow.HandleCA", [] { throw OutOfBoundsException("index 9"); });
  EXPECT_FALSE(QuitRequested());
  const auto events = log.events("dialog");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["kind"], "exception");
  EXPECT_EQ(events[0]["message"],
            "Sorry, an unexpected \"OutOfBoundsException\" has occurred in GameWindow.HandleCA.");

  AtEventEdge("GameWindow.Moved", [] { throw EndException(0); });
  EXPECT_TRUE(QuitRequested());
  // Once quitting, entry points do nothing.
  bool ran = false;
  AtEventEdge("GameWindow.MouseMove", [&] { ran = true; });
  EXPECT_FALSE(ran);
  ResetQuitRequest();
}

}  // namespace
}  // namespace qm::test
