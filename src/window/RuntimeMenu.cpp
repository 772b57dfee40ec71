#include "window/RuntimeMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QVariant>

#include "data/GameGlobals.h"
#include "platform/EventEdge.h"
#include "platform/QuitRequest.h"
#include "window/GameWindow.h"

namespace qm {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text, const char* shortcut = nullptr) {
  QAction* a = menu->addAction(text);
  a->setObjectName(name);
  if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  return a;
}

QAction* separator(QMenu* menu, const char* name) {
  QAction* a = menu->addSeparator();
  a->setObjectName(name);
  return a;
}

// How people name menus and items: without '&' marks, any letter case, "..." for "…".
QString plain(QString text) {
  text.remove('&');
  text.replace(QChar(0x2026), "...");
  return text.trimmed();
}

}  // namespace

RuntimeMenu::RuntimeMenu(QWidget* parent) : QMenuBar(parent) {
  setNativeMenuBar(false);
  FileMenu = addMenu(tr("&File"));
  FileMenu->setObjectName("FileMenu");
  FileNew = item(FileMenu, "FileNew", tr("New"), "Ctrl+N");
  FileOpen = item(FileMenu, "FileOpen", QString::fromUtf8("Open\u2026"), "Ctrl+O");
  FileBarOne = separator(FileMenu, "FileBarOne");
  FileClose = item(FileMenu, "FileClose", tr("Close"), "Ctrl+W");
  FileSave = item(FileMenu, "FileSave", tr("Save"), "Ctrl+S");
  UntitledMenu1 = separator(FileMenu, "UntitledMenu1");
  FileQuit = item(FileMenu, "FileQuit", tr("Quit"), "Ctrl+Q");
  FileQuit->setMenuRole(QAction::QuitRole);

  EditMenu = addMenu(tr("&Edit"));
  EditMenu->setObjectName("EditMenu");
  EditUndo = item(EditMenu, "EditUndo", tr("Undo"), "Ctrl+Z");
  UntitledMenu0 = separator(EditMenu, "UntitledMenu0");
  EditCut = item(EditMenu, "EditCut", tr("Cut"), "Ctrl+X");
  EditCopy = item(EditMenu, "EditCopy", tr("Copy"), "Ctrl+C");
  EditPaste = item(EditMenu, "EditPaste", tr("Paste"), "Ctrl+V");
  EditClear = item(EditMenu, "EditClear", tr("Delete"));
  EditSelectAll = item(EditMenu, "EditSelectAll", tr("Select All"), "Ctrl+A");

  GameMenu = addMenu(QString());
  GameMenu->setObjectName("GameMenu");
  UntitledMenu6 = item(GameMenu, "UntitledMenu6", QString());

  HelpMenu = addMenu(tr("&Help"));
  HelpMenu->setObjectName("HelpMenu");
  GameHelp = item(HelpMenu, "GameHelp", QString(), "Ctrl+?");
  AboutGame = item(HelpMenu, "AboutGame", QString());
  AboutGame->setMenuRole(QAction::AboutRole);

  // Quit from any window of the player takes the game window's quit path.
  connect(FileQuit, &QAction::triggered, this, [] {
    AtEventEdge("App.FileQuit", [] {
      if (GameWindow* w = GameWindow::Instance())
        w->FileQuit_Action();
      else
        RequestQuit(0);
    });
  });
}

void RuntimeMenu::Shape(const GameGlobals& g) {
  FileNew->setVisible(g.HasNewMenu);
  FileOpen->setVisible(g.HasOpenSaveMenus);
  FileSave->setVisible(g.HasOpenSaveMenus);
  FileBarOne->setVisible(g.HasNewMenu || g.HasOpenSaveMenus);
  GameMenu->menuAction()->setVisible(g.HasGameMenu);
  if (g.HasGameMenu) GameMenu->setTitle(QString::fromStdString(g.GameMenuName));
  const QString name = QString::fromStdString(g.thegamename);
  GameHelp->setText(name + tr(" Help"));
  AboutGame->setText(tr("About ") + name + QChar(0x2026));
}

void RuntimeMenu::applySettings() {
  GameWindow* w = GameWindow::Instance();
  if (!w) return;
  Shape(w->globals());
  setVisible(!w->globals().hidemenubar);
}

QAction* RuntimeMenu::AppendGameItem(const QMGameMenuItem& menuItem) {
  QAction* a = GameMenu->addAction(QString::fromStdString(menuItem.text));
  if (!menuItem.shortcut.empty())
    a->setShortcut(QKeySequence("Ctrl+" + QString::fromStdString(menuItem.shortcut)));
  a->setData(QVariant::fromValue(menuItem.compiledScript));
  return a;
}

QMenu* RuntimeMenu::findMenu(const QString& title) const {
  for (QAction* a : actions())
    if (a->menu() && plain(a->text()).compare(plain(title), Qt::CaseInsensitive) == 0)
      return a->menu();
  return nullptr;
}

QAction* RuntimeMenu::findItem(const QString& menuTitle, const QString& itemText) const {
  QMenu* menu = findMenu(menuTitle);
  if (!menu) return nullptr;
  for (QAction* a : menu->actions())
    if (!a->isSeparator() && plain(a->text()).compare(plain(itemText), Qt::CaseInsensitive) == 0)
      return a;
  return nullptr;
}

bool RuntimeMenu::MenuBarHidden() {
  GameWindow* w = GameWindow::Instance();
  return w && w->globals().hidemenubar;
}

}  // namespace qm
