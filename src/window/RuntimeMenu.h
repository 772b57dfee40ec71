#pragma once
// The player's menu bar: File, Edit, the game's own menu and Help. Every window of the player
// carries one (the game window, the desktop shield, the prompt, the About window and the text
// window); the bar is hidden in all of them when the game hides the menu bar.
#include <QMenuBar>
#include <QString>

class QAction;
class QMenu;

namespace qm {

struct GameGlobals;
struct QMGameMenuItem;

class RuntimeMenu : public QMenuBar {
  Q_OBJECT
 public:
  explicit RuntimeMenu(QWidget* parent = nullptr);

  QMenu* FileMenu = nullptr;
  QAction* FileNew = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileBarOne = nullptr;
  QAction* FileClose = nullptr;
  QAction* FileSave = nullptr;
  QAction* UntitledMenu1 = nullptr;
  QAction* FileQuit = nullptr;

  QMenu* EditMenu = nullptr;
  QAction* EditUndo = nullptr;
  QAction* UntitledMenu0 = nullptr;
  QAction* EditCut = nullptr;
  QAction* EditCopy = nullptr;
  QAction* EditPaste = nullptr;
  QAction* EditClear = nullptr;
  QAction* EditSelectAll = nullptr;

  QMenu* GameMenu = nullptr;
  QAction* UntitledMenu6 = nullptr;

  QMenu* HelpMenu = nullptr;
  QAction* GameHelp = nullptr;
  QAction* AboutGame = nullptr;

  // Start-up shaping from the game's settings: which File items and whether the game menu show,
  // and the game menu's title.
  void Shape(const GameGlobals& g);
  // Visibility and shaping from the running game's settings (nothing before a game is loaded).
  void applySettings();
  // Appends a game menu item after the placeholder.
  QAction* AppendGameItem(const QMGameMenuItem& item);

  // A menu by title and an item by text, as people name them: '&' marks and letter case are
  // ignored, and "..." stands for the ellipsis character.
  QMenu* findMenu(const QString& title) const;
  QAction* findItem(const QString& menuTitle, const QString& itemText) const;

  // True when the running game hides the menu bar.
  static bool MenuBarHidden();
};

}  // namespace qm
