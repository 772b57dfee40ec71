#pragma once
// A sprite: a library sprite loaded from the game data file, or a live sprite copied from one by
// the sprite commands. A live sprite's picture passes through a fixed chain (cut-out, scale,
// tint, left-right mirror, top-bottom mirror, tiling, rotation) when the sprite changes; painting
// only draws the result (Final, or FinalPixmap while rotated).
//
// Pictures are QImage, so "shared by reference" is Qt's implicit sharing: clones hold the same
// MyPicture, MyMask and MyAlphaPicture data, and nothing ever draws into those.
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <string>

namespace qm {

// Final turned about its centre. The turned picture is made when the sprite is prepared; drawn
// with its top-left corner at the sprite's (x, y) + offset, its centre falls on the centre of the
// unrotated Final rectangle.
struct RotatedPicture {
  QImage picture;
  QPoint offset;
  double radians = 0;
};

// The drawn picture with the sprite's fade already applied. Qt takes about twice as long to draw
// a picture at reduced opacity as at full opacity, so a faded sprite is faded once, when its fade
// or picture changes, and then drawn at full opacity: the same pixels, less work per paint.
struct FadedPicture {
  QImage picture;
  int64_t fade = 0;   // the fade it was made for
  qint64 source = 0;  // cacheKey of the picture it was made from
};

class QMSprite {
 public:
  QMSprite() { Constructor(); }

  // ---- Properties, in declaration order ----
  QImage MyPicture;  // the source picture as loaded (de-scrambled)
  int64_t x = 0;
  int64_t y = 0;
  std::string Name;  // compared ignoring case
  QImage MyMask;     // grey mask: black opaque, white transparent; null when the sprite has none
  bool TimeToDraw = false;
  QImage Final;  // the prepared picture that is drawn; null until prepared, or when empty
  bool hidden = false;
  double xScale = 0;
  bool XFlipped = false;
  bool YFlipped = false;
  int64_t fade = 0;  // 0 opaque .. 255 invisible
  double yscale = 0;
  int64_t xrepeat = 0;
  int64_t yrepeat = 0;
  bool scrambled = false;
  int64_t xcut = 0;
  int64_t ycut = 0;
  int64_t cutwidth = 0;  // the cut-out is in force when cutwidth and cutheight are both above 0
  int64_t cutheight = 0;
  QImage CutPicture;
  QImage CutMask;              // never set or read
  uint32_t tintcolor = 0;      // 0xRRGGBB
  int64_t tintvalue = 0;       // 0..255; below 1 no tint
  double rotation = 0;         // degrees, clockwise on screen; 0 not rotated
  RotatedPicture FinalPixmap;  // meaningful only while rotation is not 0
  QImage MyAlphaPicture;       // MyPicture with MyMask as its alpha (premultiplied ARGB32)

  // Made by PrepareFade; used by painting only while it matches fade and the drawn picture.
  FadedPicture Faded;

  // The companion file names the sprite was loaded from (for inspection tools).
  std::string PictureFile;
  std::string MaskFile;

  // ---- Operations ----
  std::string RawData(bool flag) const;
  std::string RawMask(bool flag) const;
  // Rebuilds CutPicture, Final and (when rotated) FinalPixmap from MyAlphaPicture. Sizes that
  // cannot be allocated throw OutOfMemoryException; tiling counts that leave no width or height
  // (a count below 1 in one direction) give an empty Final, which draws nothing.
  void PreparePicture();
  // A new sprite with this one's hidden, MyMask, MyPicture, MyAlphaPicture, Name, TimeToDraw,
  // xScale, yscale, x, y, XFlipped and YFlipped; everything else as constructed.
  std::unique_ptr<QMSprite> Clone() const;
  int64_t Size() const;
  void Constructor();
  void PreparePictureOld();
  // Builds MyAlphaPicture: MyPicture's colours (drawn over white, as onto a fresh 32-bit
  // picture) with the opacity of MyMask (black opaque, white transparent, greys in between,
  // measured by the grey level). A sprite without a mask is fully opaque, whatever alpha its
  // picture file has; parts of the picture that a smaller mask does not cover are opaque too.
  void GenerateAlpha();

  // The picture painting draws: Final, or the turned picture while rotation is not 0.
  const QImage& DrawnPicture() const { return rotation == 0 ? Final : FinalPixmap.picture; }
  // Remakes Faded for the present fade and drawn picture (PreparePicture ends with it; the fade
  // command calls it after changing fade).
  void PrepareFade();
};

}  // namespace qm
