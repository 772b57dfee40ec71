#pragma once
// A card: picture, styled text, up to eight push buttons, click areas, colour, sound and the
// card's event scripts.
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/GameGlobals.h"

class QPushButton;

namespace qm {

struct QMButton {
  std::string Caption;
  std::string PlaySound;
  int64_t GoToCard = 0;
  int64_t Domenu = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int64_t ButtonNum = 0;
  bool Enabled = false;
  bool Visible = false;
  bool DoTheMenu = false;
  bool SoundWaitFinished = false;
  bool soundlooping = false;
  uint32_t CompiledScript = 0;

  void ImportFromString(const std::string& record);
  // A caption that is empty or a single blank hides the button.
  bool showsCaption() const { return !(Caption.empty() || Caption == " "); }
  void PosessPushButton(QPushButton& button) const;
};

struct QMClickArea {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
  int64_t gotocard = 0;
  bool enabled = false;
  std::string playSound;
  bool dothemenu = false;
  int64_t domenu = 0;
  bool SoundWaitFinished = false;
  int64_t clicknum = 0;
  bool Invert = false;
  bool DoOnDown = false;
  bool soundlooping = false;
  uint32_t CompiledScript = 0;

  void ImportFromString(const std::string& record);
  // Strict on all four edges: a point on the border is outside.
  bool InBounds(int64_t x, int64_t y) const {
    return left < x && x < left + width && top < y && y < top + height;
  }
};

struct QMCard {
  std::string RTFText;
  int64_t NumButtons = 0;
  std::array<std::unique_ptr<QMButton>, 9> Buttons; // 1..8; element 0 stays empty
  QImage Picture;                                  // null when the card has none
  std::string PictureFile;                         // the name the record gives (for tools)
  uint32_t BGColor = 0x000000;                     // 0xRRGGBB
  bool FramePict = false;
  bool FrameTxt = false;
  std::string PlaySound;
  bool WidePicture = false;
  std::vector<std::unique_ptr<QMClickArea>> ClickAreas = [] {
    std::vector<std::unique_ptr<QMClickArea>> v;
    v.emplace_back();
    return v;
  }();
  bool SoundWaitFinished = false;
  bool DoPlaySound = false;
  bool SoundLooping = false;
  std::array<uint32_t, kCardSlotCount> CompiledScripts{};
  int64_t PaintBehavior = 0;

  // Fills the card from its record; the card picture is looked up in dataFolder. Throws QMError
  // kinds on malformed records (more than 8 buttons, more than 18 slots, truncated data).
  void ImportFromString(const std::string& record, const QString& dataFolder);
  int64_t ClickAreaCount() const { return int64_t(ClickAreas.size()) - 1; }
};

} // namespace qm
