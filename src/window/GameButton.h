#pragma once
// A push button of the game window's indexed group of eight; a press reaches the window's
// button handler with the button's index.
#include <QPushButton>

namespace qm {

class GameButton : public QPushButton {
  Q_OBJECT
 public:
  GameButton(int index, QWidget* parent) : QPushButton(parent), index_(index) {}
  int index() const { return index_; }

 private:
  int index_;
};

}  // namespace qm
