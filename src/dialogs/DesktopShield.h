#pragma once
// The desktop shield: a black borderless window over the whole main screen, behind the game
// window, for games that hide the desktop. It keeps the game window in front of it.
#include <QMainWindow>

namespace qm {

struct GameGlobals;
class RuntimeMenu;

class DesktopShield : public QMainWindow {
  Q_OBJECT
 public:
  explicit DesktopShield(QWidget* parent = nullptr);
  RuntimeMenu* menu() const { return menu_; }

  // Creates the shield on first use and shows it over the main screen, its menu bar shaped by
  // the game's settings (the game window does not exist yet when the shield appears).
  static DesktopShield& Show(const GameGlobals& g);
  // The shield, or nullptr when the game does not hide the desktop.
  static DesktopShield* Instance();
  // Forgets the shield (tests build several games in one process).
  static void Destroy();
  // True when the shield is the active window.
  static bool IsFrontmost();

 protected:
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void bringGameToFront();
  RuntimeMenu* menu_ = nullptr;
};

}  // namespace qm
