#pragma once
// The draw commands of paint scripts (codes 95 to 105, 112, 114 and 117) and the drawing
// primitives behind them.
//
// The drawing state lives on the paint context itself, so it lasts for the rest of the paint
// (the card's paint script, the live sprites, the game's paint script): the pen's colour is the
// drawing colour (fills use it too), the pen's width the pen size, the painter's font the text
// font. Outlines lie inside their rectangle, the pen growing inward, as on the authoring system.
//
// Wiring: Interpreter::Execute_DrawCommands(code, list, location, graphics) builds a
// CommandParams over (list, location) and calls RunDrawCommand with graphics and the game
// window's DrawCommandTarget.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "interpreter/CommandParams.h"

class QPainter;

namespace qm {

// ---- Primitives (coordinates in pixels of the drawing area; sizes below 1 draw nothing) ----
// Components are held to 0..255.
void SetDrawColor(QPainter& g, int64_t red, int64_t green, int64_t blue);
// One pen thickness is kept: the width (below 1 counts as 1); the height is accepted for the
// command's sake and not used.
void SetPenSize(QPainter& g, int64_t width, int64_t height);
void DrawOval(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height);
void FillOval(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height);
void DrawRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height);
void FillRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height);
void DrawLine(QPainter& g, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
// The corner is an ellipse cornerWidth x cornerHeight.
void DrawRoundRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height,
                   int64_t cornerWidth, int64_t cornerHeight);
void FillRoundRect(QPainter& g, int64_t x, int64_t y, int64_t width, int64_t height,
                   int64_t cornerWidth, int64_t cornerHeight);
// Sets the context's font (a size of 0 or less keeps the font's default size), then draws the
// text on one line with its baseline at y.
void DrawText(QPainter& g, std::string_view text, int64_t x, int64_t y, std::string_view font,
              double size);
void SetPixel(QPainter& g, int64_t x, int64_t y);

// The file a picture name stands for: the name in the resources folder when that file exists,
// otherwise the script path rule (a name beginning with "/" unchanged, any other appended to the
// default folder). Existence of the result is not tested.
QString PictureFileLocation(std::string_view name, const QString& resourcesFolder,
                            const QString& defaultFolder);

// ---- The commands ----
struct DrawCommandTarget {
  QString resourcesFolder;  // the game's resources folder (where quillmark.dat lies)
  QString defaultFolder;    // the folder that relative script paths resolve against
  // Asks the game window to redraw its whole area at the next opportunity, without erasing.
  std::function<void()> repaint;
  // RenderSprites of the live sprites onto the context (which may be null).
  std::function<void(QPainter*)> drawSprites;
};

// Runs one draw command on g, the paint context of the running script (nullptr outside paint
// scripts). Parameters are evaluated first, each followed by a running check; then a missing
// context throws NilObjectException (the dispatcher's null-reference report) for every code but
// 105; code 117 needs a context only when a sprite is to be drawn. The picture file command
// reads its file on every run and reports "Image file is missing." or "Invalid or unsupported
// image file.". A code that is not a draw command does nothing.
void RunDrawCommand(uint16_t code, CommandParams& params, QPainter* g, DrawCommandTarget& target);

}  // namespace qm
