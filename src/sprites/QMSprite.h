#pragma once
// A sprite of the game's sprite library.
#include <QImage>
#include <string>

namespace qm {

struct QMSprite {
  std::string Name;
  bool scrambled = false;
  QImage MyPicture;
  QImage MyMask; // null when the sprite has no mask
  std::string PictureFile;
  std::string MaskFile;

  // Folds MyMask into MyPicture's alpha channel (black opaque, white transparent).
  void GenerateAlpha();
};

} // namespace qm
