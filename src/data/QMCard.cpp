#include "data/QMCard.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPushButton>

#include "data/ByteReader.h"
#include "support/Checked.h"
#include "support/Conversions.h"
#include "support/FilePaths.h"

namespace qm {

using CommonMethods::NthBit;

namespace {

// Button and click-area records do not check their lengths: what a short record lacks reads as
// zero or empty.
class LenientBytes {
public:
  explicit LenientBytes(const std::string& s) : s_(s) {}
  uint8_t at(size_t i) const { return i < s_.size() ? uint8_t(s_[i]) : 0; }
  uint8_t u8() { return at(pos_++); }
  uint16_t u16() {
    const uint16_t v = uint16_t(at(pos_) << 8 | at(pos_ + 1));
    pos_ += 2;
    return v;
  }
  uint32_t u32() {
    const uint32_t v = uint32_t(at(pos_)) << 24 | uint32_t(at(pos_ + 1)) << 16 |
                       uint32_t(at(pos_ + 2)) << 8 | at(pos_ + 3);
    pos_ += 4;
    return v;
  }
  std::string bytesAt(size_t from, size_t n) const {
    if (from >= s_.size()) return {};
    return s_.substr(from, n);
  }
  std::string pstr() {
    const size_t n = u8();
    std::string r = bytesAt(pos_, n);
    pos_ += n;
    return r;
  }

private:
  const std::string& s_;
  size_t pos_ = 0;
};

} // namespace

void QMButton::ImportFromString(const std::string& record) {
  LenientBytes in(record);
  const uint8_t flags = in.u8();
  Enabled = NthBit(flags, 1);
  Bold = NthBit(flags, 2);
  Italic = NthBit(flags, 3);
  Underline = NthBit(flags, 4);
  DoTheMenu = NthBit(flags, 5);
  Visible = NthBit(flags, 6);
  Caption = in.pstr();
  CompiledScript = in.u32();
  GoToCard = in.u16();
  Domenu = in.u8();
  const uint8_t flags2 = in.u8();
  SoundWaitFinished = NthBit(flags2, 1);
  soundlooping = NthBit(flags2, 2);
  if (NthBit(flags2, 4)) PlaySound = in.pstr();
}

void QMButton::PosessPushButton(QPushButton& button) const {
  button.setEnabled(Enabled);
  button.setVisible(showsCaption() && Visible);
  QFont f = button.font();
  f.setBold(Bold);
  f.setUnderline(Underline);
  f.setItalic(Italic);
  button.setFont(f);
  button.setText(QString::fromUtf8(Caption.data(), qsizetype(Caption.size())));
}

void QMClickArea::ImportFromString(const std::string& record) {
  LenientBytes in(record);
  const uint8_t flags = in.at(0);
  enabled = NthBit(flags, 1);
  SoundWaitFinished = NthBit(flags, 2);
  dothemenu = NthBit(flags, 3);
  Invert = NthBit(flags, 6);
  DoOnDown = NthBit(flags, 7);
  soundlooping = NthBit(flags, 8);
  CompiledScript = uint32_t(in.at(2)) << 16 | uint32_t(in.at(3)) << 8 | in.at(4);
  const size_t m = in.at(5);
  playSound = in.bytesAt(6, m);
  auto u16At = [&](size_t pos) { return int64_t(in.at(pos)) * 256 + in.at(pos + 1); };
  top = u16At(6 + m);
  left = u16At(8 + m);
  width = u16At(10 + m);
  height = u16At(12 + m);
  gotocard = u16At(14 + m);
  domenu = in.at(16 + m);
}

void QMCard::ImportFromString(const std::string& record, const QString& dataFolder) {
  ByteReader in(record);
  const uint8_t flags = in.u8();
  NumButtons = (flags >> 4) & 15;
  FramePict = NthBit(flags, 5);
  FrameTxt = NthBit(flags, 6);
  DoPlaySound = NthBit(flags, 7);
  WidePicture = NthBit(flags, 8);

  RTFText = in.bytes(in.u16());

  const unsigned k = in.u8();
  for (unsigned i = 0; i <= k; ++i) {
    const uint32_t script = in.u32();
    if (i >= CompiledScripts.size())
      throw OutOfBoundsException("card script slot " + std::to_string(i) + " beyond slot 17");
    CompiledScripts[i] = script;
  }

  PictureFile = in.pstr();
  if (!PictureFile.empty()) {
    // A missing card picture is not an error: the card is shown without one.
    const QString path = childPath(dataFolder, PictureFile);
    if (pathExists(path)) Picture = QImage(path);
  }

  const uint32_t red = in.u8(), green = in.u8(), blue = in.u8();
  BGColor = red << 16 | green << 8 | blue;

  for (int64_t b = 1; b <= NumButtons; ++b) {
    if (b >= int64_t(Buttons.size()))
      throw OutOfBoundsException("button " + std::to_string(b) + " beyond button 8");
    auto button = std::make_unique<QMButton>();
    button->ButtonNum = b;
    button->ImportFromString(in.bytes(in.u24()));
    Buttons[size_t(b)] = std::move(button);
  }
  for (size_t b = size_t(NumButtons) + 1; b <= 8; ++b) {
    if (Buttons[b]) continue;
    auto button = std::make_unique<QMButton>();
    button->ButtonNum = int64_t(b);
    button->Visible = true;
    button->Enabled = true;
    Buttons[b] = std::move(button);
  }

  const unsigned n = in.u8();
  ClickAreas.resize(1);
  for (unsigned c = 1; c <= n; ++c) {
    auto area = std::make_unique<QMClickArea>();
    area->clicknum = c;
    area->ImportFromString(in.bytes(in.u24()));
    ClickAreas.push_back(std::move(area));
  }

  const uint8_t flags2 = in.u8();
  SoundWaitFinished = NthBit(flags2, 1);
  SoundLooping = NthBit(flags2, 2);
  PaintBehavior = (flags2 >> 4) & 3;
  PlaySound = in.pstr();
}

} // namespace qm
