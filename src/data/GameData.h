#pragma once
// Everything the data file reader produces: the game tables and the libraries of cards, sprites
// and sounds, which the game window takes over.
#include <QString>
#include <memory>
#include <vector>

#include "data/GameGlobals.h"
#include "data/QMCard.h"
#include "media/QMSound.h"
#include "sprites/QMSprite.h"

namespace qm {

struct GameData {
  GameGlobals globals;
  // Element 0 of each stays an empty reference; the records take indexes from 1.
  std::vector<std::unique_ptr<QMCard>> Cards;
  std::vector<std::unique_ptr<QMSprite>> Sprites;
  std::vector<std::unique_ptr<QMSound>> Sounds;
  QString dataFolder; // the folder that holds quillmark.dat and its companion files
  QString dataFile;
};

} // namespace qm
