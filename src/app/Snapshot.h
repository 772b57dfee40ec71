#pragma once
// What automation can save of a running game: the window's content as a picture, and the game
// state as one JSON object.
#include <QJsonObject>
#include <QString>

namespace qm {

class GameWindow;

// "card", "title", "left", "top", "width", "height", "field" (the text field's plain text),
// "numbers", "strings" (the variable tables), "numarrays", "strarrays" (arrays of arrays) and
// "sprites" (the live sprites: slot, x, y, width, height, hidden).
QJsonObject Snapshot(const GameWindow& window);
bool WriteSnapshot(const GameWindow& window, const QString& path, QString* error = nullptr);

// Saves the game window's content area (the window without its frame and menu bar) as PNG.
bool SaveScreenshot(const GameWindow& window, const QString& path);

}  // namespace qm
