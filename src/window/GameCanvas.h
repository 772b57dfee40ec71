#pragma once
// The game window's content area: the card picture is painted here, mouse input arrives here,
// and the buttons, the text area and the movie are its children. Coordinates of the content
// area are the game's window coordinates.
#include <QWidget>

namespace qm {

class GameCanvas : public QWidget {
  Q_OBJECT
 public:
  explicit GameCanvas(QWidget* parent = nullptr);
};

}  // namespace qm
