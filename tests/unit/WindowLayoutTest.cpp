// The game window as built and as start-up shapes it: size codes, controls, frame, menus,
// placement.
#include <gtest/gtest.h>
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "interpreter/Interpreter.h"
#include "tests/unit/ShellTestSupport.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/RuntimeMenu.h"
#include "window/SelectAllArea.h"
#include "window/WindowSizes.h"

namespace qm::test {
namespace {

void oneCard(GameWriter& w) {
  w.addCard();
}

struct SizeCase {
  int code;
  int width, height;
  int64_t pictureHeight;
  bool buttonsShown;
  QRect field;
};

TEST(WindowLayout, SizeCodesGiveWindowPictureAndTextArea) {
  const SizeCase cases[] = {
      {0, 508, 295, 225, true, {258, 6, 244, 223}},
      {1, 550, 361, 291, true, {279, 6, 265, 289}},
      {2, 638, 385, 315, true, {323, 6, 309, 313}},
      {3, 800, 431, 361, true, {404, 6, 390, 359}},
      {4, 640, 480, 480, false, {324, 6, 310, 408}},
      {5, 800, 600, 600, false, {404, 6, 390, 528}},
      {6, 1024, 768, 768, false, {516, 6, 502, 696}},
      {7, 640, 400, 400, false, {324, 6, 310, 328}},
      {8, 800, 500, 500, false, {404, 6, 390, 428}},
      {9, 1024, 640, 640, false, {516, 6, 502, 568}},
      // Codes outside 0 to 9 run as code 1.
      {10, 550, 361, 291, true, {279, 6, 265, 289}},
      {255, 550, 361, 291, true, {279, 6, 265, 289}},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE("size code " + std::to_string(c.code));
    DialogsScope dialogs;
    GameWriter w;
    w.WindowSize = uint8_t(c.code);
    oneCard(w);
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    // The card has no buttons: where buttons can show, their two rows are cut off the window.
    const int height = c.buttonsShown ? c.height - 60 : c.height;
    EXPECT_EQ(win->ContentSize(), QSize(c.width, height));
    EXPECT_EQ(win->Content()->grab().size(), QSize(c.width, height));
    EXPECT_EQ(win->PictureHeight, c.pictureHeight);
    EXPECT_EQ(win->GameField()->geometry(), c.field);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(!win->GameButton(i)->isHidden(), c.buttonsShown) << i;
    EXPECT_TRUE(dialogs->alerts.empty());
  }
}

TEST(WindowLayout, OffsetTablesAndOtherCodes) {
  EXPECT_EQ(GameMethods::GetWidthOffset(6), 237);
  EXPECT_EQ(GameMethods::GetHeightOffset(0), -66);
  EXPECT_EQ(GameMethods::GetWidthOffset(-1), 0);
  EXPECT_EQ(GameMethods::GetHeightOffset(12), 0);
  EXPECT_EQ(ContentSizeFor(6), QSize(1024, 768));
  EXPECT_EQ(PictureHeightFor(2), 315);
}

TEST(WindowLayout, ControlsOfSizeCodeOneAsBuilt) {
  DialogsScope dialogs;
  GameWriter w;
  w.WindowSize = 1;
  oneCard(w);
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  const QRect buttons[8] = {{5, 303, 129, 20},   {142, 303, 129, 20}, {279, 303, 129, 20},
                            {416, 303, 129, 20}, {5, 333, 129, 20},   {142, 333, 129, 20},
                            {279, 333, 129, 20}, {416, 333, 129, 20}};
  const char* captions[8] = {" ", "", "", " ", " ", " ", " ", " "};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(win->GameButton(i)->geometry(), buttons[i]) << i;
    EXPECT_EQ(win->GameButton(i)->text(), captions[i]) << i;
    EXPECT_EQ(win->GameButton(i)->index(), i);
    EXPECT_TRUE(win->GameButton(i)->isEnabled());
  }
  EXPECT_EQ(win->TheMovie()->geometry(), QRect(271, 324, 0, 0));
  EXPECT_TRUE(win->TheMovie()->isHidden());
  EXPECT_TRUE(win->GameField()->isReadOnly());
  EXPECT_EQ(win->GameField()->font().family(), "geneva");
  EXPECT_EQ(win->GameField()->font().pointSize(), 12);

  // Tab order: button 4, 3, 1, the text area, button 0, 2, 5, 6, 7.
  QWidget* expected[] = {win->GameButton(4), win->GameButton(3), win->GameButton(1),
                         win->GameField(),   win->GameButton(0), win->GameButton(2),
                         win->GameButton(5), win->GameButton(6), win->GameButton(7)};
  // The next of these controls in the focus chain (the text area's own parts are skipped).
  auto nextControl = [&](QWidget* from) -> QWidget* {
    for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain())
      if (std::find(std::begin(expected), std::end(expected), w) != std::end(expected)) return w;
    return nullptr;
  };
  for (size_t i = 1; i < std::size(expected); ++i)
    EXPECT_EQ(nextControl(expected[i - 1]), expected[i]) << i;

  EXPECT_FALSE(win->MasterTimer()->isActive());
  EXPECT_EQ(win->MasterTimer()->interval(), 1000);
  EXPECT_TRUE(win->ScriptTimer()->isSingleShot());
  EXPECT_EQ(win->ScriptTimer()->interval(), 1);
  EXPECT_EQ(win->liveSprites.GameSprites.size(), 1001u);
  EXPECT_EQ(win->Cards().size(), 2u);
  // darkenPic: one black pixel, half transparent.
  ASSERT_EQ(win->darkenPic.size(), QSize(1, 1));
  const QRgb dot = win->darkenPic.pixel(0, 0);
  EXPECT_EQ(qRed(dot) | qGreen(dot) | qBlue(dot), 0);
  EXPECT_NEAR(qAlpha(dot), 127, 1);
}

TEST(WindowLayout, CentreTruncatesTowardZero) {
  EXPECT_EQ(Tools::CentredPosition({1024, 768}, {551, 361}).x(), 236);
  EXPECT_EQ(Tools::CentredPosition({1024, 768}, {551, 361}).y(), 203);
  // Wider than the screen: -112.5 becomes -112, not -113.
  EXPECT_EQ(Tools::CentredPosition({800, 800}, {1025, 1025}), QPoint(-112, -112));
}

TEST(WindowLayout, RunGamePlacesTheWindow) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  for (const bool centred : {false, true}) {
    SCOPED_TRACE(centred ? "centred" : "not centred");
    DialogsScope dialogs;
    LogCapture log;
    GameWriter w;
    w.Centered = centred;
    w.thegamename = "Castle";
    oneCard(w);
    w.addCard();
    w.begincard = 2;
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    const QSize size = win->geometry().size();
    const QPoint centre = Tools::CentredPosition(screen, size);
    EXPECT_EQ(win->Position().x(), centre.x());
    EXPECT_EQ(win->Position().y(), centred ? centre.y() : 51);
    EXPECT_TRUE(win->isVisible());
    EXPECT_TRUE(win->mayDoMoved);
    EXPECT_TRUE(win->Running());
    EXPECT_EQ(win->card, 2);
    EXPECT_EQ(win->windowTitle(), "Castle");
    // The first card's opening scripts wait for the timer.
    EXPECT_TRUE(win->ScriptTimer()->isActive());
    const auto events = log.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], QJsonObject({{"ev", "start"}, {"game", "Castle"}, {"cards", 2}}));
    EXPECT_EQ(events[1], QJsonObject({{"ev", "card"}, {"card", 2}}));
  }
}

TEST(WindowLayout, FrameAndMenuBarFollowTheSettings) {
  struct Case {
    bool hidetitlebar, hidemenubar;
  };
  for (const Case c : {Case{false, false}, Case{true, true}}) {
    DialogsScope dialogs;
    GameWriter w;
    w.WindowSize = 1;
    w.hidetitlebar = c.hidetitlebar;
    w.hidemenubar = c.hidemenubar;
    w.addCard().addButton("OK");  // a card with buttons keeps the full height
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    const Qt::WindowFlags flags = win->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(bool(flags & Qt::FramelessWindowHint), c.hidetitlebar);
    if (!c.hidetitlebar) {
      EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    }
    EXPECT_EQ(win->Menu()->isHidden(), c.hidemenubar);
    EXPECT_EQ(RuntimeMenu::MenuBarHidden(), c.hidemenubar);
    // The window is its content plus the menu bar when there is one.
    const int menuHeight = c.hidemenubar ? 0 : win->Menu()->height();
    EXPECT_EQ(win->geometry().size(), QSize(550, 361 + menuHeight));
  }
}

TEST(WindowLayout, MenusAreShapedByTheSettings) {
  struct Case {
    bool newMenu, openSave, gameMenu;
  };
  for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, false},
                       Case{true, true, true}}) {
    DialogsScope dialogs;
    GameWriter w;
    w.thegamename = "Castle";
    w.HasNewMenu = c.newMenu;
    w.HasOpenSaveMenus = c.openSave;
    w.HasGameMenu = c.gameMenu;
    w.GameMenuName = "Spells";
    w.addMenuItem("Fireball", "F");
    w.addMenuItem("Frost");
    oneCard(w);
    StartedGame game;
    GameWindow* win = game.start(w);
    ASSERT_NE(win, nullptr);
    RuntimeMenu& m = *win->Menu();
    EXPECT_EQ(m.FileNew->isVisible(), c.newMenu);
    EXPECT_EQ(m.FileOpen->isVisible(), c.openSave);
    EXPECT_EQ(m.FileSave->isVisible(), c.openSave);
    EXPECT_EQ(m.FileBarOne->isVisible(), c.newMenu || c.openSave);
    EXPECT_TRUE(m.FileClose->isVisible());
    EXPECT_TRUE(m.FileQuit->isVisible());
    EXPECT_EQ(m.GameMenu->menuAction()->isVisible(), c.gameMenu);
    EXPECT_EQ(m.GameMenu->title(), c.gameMenu ? "Spells" : "");
    EXPECT_EQ(m.GameHelp->text(), "Castle Help");
    EXPECT_EQ(m.AboutGame->text(), QString::fromUtf8("About Castle\u2026"));
    // The game's items follow the placeholder, in file order.
    const QList<QAction*> items = m.GameMenu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[1]->text(), "Fireball");
    EXPECT_EQ(items[1]->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(items[2]->text(), "Frost");
    EXPECT_TRUE(items[2]->shortcut().isEmpty());
  }
}

TEST(WindowLayout, MenuItemsAreFoundAsPeopleNameThem) {
  RuntimeMenu m;
  EXPECT_EQ(m.findItem("File", "Quit"), m.FileQuit);
  EXPECT_EQ(m.findItem("file", "open..."), m.FileOpen);
  EXPECT_EQ(m.findItem("&Edit", "Select All"), m.EditSelectAll);
  EXPECT_EQ(m.findItem("File", "Nothing"), nullptr);
  EXPECT_EQ(m.findItem("Nope", "Quit"), nullptr);
  EXPECT_EQ(m.FileNew->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_TRUE(m.EditClear->shortcut().isEmpty());
}

}  // namespace
}  // namespace qm::test
