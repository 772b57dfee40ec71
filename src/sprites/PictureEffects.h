#pragma once
// The picture routines behind sprites: mirroring and tinting (used when a sprite is prepared) and
// the de-scrambling of sprite pictures stored scrambled in the game data file (used by the
// loader). None of them changes its input picture.
//
// Result kinds: depth 0 makes a picture with an alpha channel (premultiplied ARGB32, the kind
// every sprite picture is drawn from); any other depth makes a 32-bit picture whose mask is kept
// as a straight alpha channel (ARGB32).
#include <QImage>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm::GameMethods {

// Mirrored left-right / top-bottom. A failure to build the result shows the fatal alert
// "Sprite could not be flipped." and quits the program (EndException with status 0).
QImage wfxFlipHoriz(const QImage& picture, int64_t depth);
QImage wfxFlipVert(const QImage& picture, int64_t depth);

// The colour blended over every pixel, transparent ones included, at an opacity of
// strength / 255. Strength 0 returns the picture itself. Strengths above 255 act as 255 (the
// colour covers the picture fully); negative ones as "no colour" (an unchanged copy). A failure
// shows the message box "Sprite could not be tinted." and quits (EndException with status 0).
QImage wfxTint(const QImage& picture, QRgb colour, int64_t strength, int64_t depth);

// Undoes the cyclic row (mode 1), column-then-row (mode 2) or row-column-row (mode 3) shifts of
// a scrambled picture, with shifts drawn from an InternalGenerator seeded by key (a fresh one
// per pass). That generator always draws 0, so for stored games the result shows the same
// pixels as the input. The result is a 32-bit picture (ARGB32 when the input has an alpha
// channel, RGB32 otherwise). Other modes return such a copy unshifted.
QImage DeScramblePicture(const QImage& picture, int mode, const std::vector<uint32_t>& key);

// RandUpTo of a shift generator.
using ShiftSource = std::function<uint32_t(uint32_t n)>;
// DeScramblePicture with another generator: newSource is called at the start of every pass.
QImage DeScramblePictureWith(const QImage& picture, int mode,
                             const std::function<ShiftSource()>& newSource);

}  // namespace qm::GameMethods

namespace qm {
using GameMethods::DeScramblePicture;
}  // namespace qm
