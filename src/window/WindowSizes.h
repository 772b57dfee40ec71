#pragma once
// The window-size codes: codes 0 to 3 grow or shrink the layout of picture, text and buttons;
// codes 4 to 9 are picture-only layouts without buttons. Any other code has offsets 0.
#include <QPoint>
#include <QSize>
#include <cstdint>

class QWidget;

namespace qm {

namespace GameMethods {
int64_t GetWidthOffset(int64_t windowSize);
int64_t GetHeightOffset(int64_t windowSize);
}  // namespace GameMethods

// True for the codes whose card picture fills the window (no buttons, no text area frame).
inline bool PictureOnly(int64_t windowSize) {
  return windowSize >= 4;
}
// The card picture height the open handler sets for a code of 0 to 9.
int64_t PictureHeightFor(int64_t windowSize);
// Content size for a code: 550 plus twice the width offset by 361 plus the height offset.
QSize ContentSizeFor(int64_t windowSize);

namespace Tools {
// Top left that centres a window of the given size on a screen of the given size; each value
// computed in floating point and truncated toward zero.
QPoint CentredPosition(QSize screen, QSize window);
// Centres the window on the main screen.
void center(QWidget& window);
}  // namespace Tools

}  // namespace qm
