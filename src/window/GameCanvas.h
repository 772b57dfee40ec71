#pragma once
// The game window's content area: the card picture is painted here, mouse input arrives here,
// and the buttons, the text area and the movie are its children. Coordinates of the content
// area are the game's window coordinates.
#include <QWidget>
#include <functional>

class QPainter;

namespace qm {

class GameCanvas : public QWidget {
  Q_OBJECT
 public:
  explicit GameCanvas(QWidget* parent = nullptr);
  // Paints over the background fill; the window's paint handler.
  void setPaintHandler(std::function<void(QPainter&)> handler) { paint_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void(QPainter&)> paint_;
};

}  // namespace qm
