#include "support/RtfReader.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace qm {
namespace {

constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276;
// Writers never emit longer words; a longer run of letters is junk and is dropped.
constexpr std::size_t kMaxWordLength = 32;
constexpr char16_t kReplacement = 0xFFFD;

constexpr int kCodePageAnsi = 1252;
constexpr int kCodePageMacRoman = 10000;
constexpr int kCodePageUtf8 = 65001;

// 0x80 to 0x9F of Windows-1252 (the rest is Latin-1); its five unassigned bytes show U+FFFD.
constexpr std::array<char16_t, 32> kWindows1252C1 = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// 0x80 to 0xFF of Mac Roman (with the euro sign at 0xDB). Built in so that old Mac texts read
// the same whatever converters the Qt build carries.
constexpr std::array<char16_t, 128> kMacRomanHigh = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4,
    0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF,
    0x00F1, 0x00F3, 0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020,
    0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4,
    0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202,
    0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1,
    0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3,
    0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A,
    0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC,
    0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, 0x00AF,
    0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

// The converter names of the other code pages the reader knows; anything else reads as Latin-1.
const char* codePageName(int codePage) {
  switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 866: return "IBM866";
    case 874: return "windows-874";
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10007: return "x-mac-cyrillic";
    case 10029: return "x-mac-ce";
    default: return nullptr;
  }
}

// A font's \fcharsetN as a code page; 0 means the document's code page. The ANSI and default
// character sets follow the document because many writers put \fcharset0 on every font and state
// the real code page with \ansicpg.
int charsetCodePage(int charset) {
  switch (charset) {
    case 77: return kCodePageMacRoman;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
  }
}

bool isDoubleByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool isLeadByte(int codePage, unsigned char b) {
  if (codePage == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  return b >= 0x81 && b <= 0xFE;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class Dest { Text, Skip, FontTable, ColourTable };

struct CharProps {
  int font = -1; // -1: the default font (\deff)
  int halfPoints = kDefaultHalfPoints;
  int colour = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const CharProps&) const = default;
};

struct State {
  Dest dest = Dest::Text;
  CharProps chr;
  Qt::Alignment align = Qt::AlignLeft;
  int uc = 1;
};

struct Font {
  QString family;
  QFont::StyleHint hint = QFont::AnyStyle;
  int codePage = 0; // 0: the document's
};

enum class Kw {
  Ansi, Mac, Pc, Pca, Ansicpg, Deff,
  Fonttbl, Colortbl, SkipDest, Bin,
  F, Family, Fcharset, Cpg,
  Red, Green, Blue,
  B, I, Ul, Ulnone, Plain, Fs, Cf,
  Par, Line, Tab, Char, Pard, Align,
  U, Uc,
};

struct KwEntry {
  Kw kw;
  int value = 0; // the character of Char, the alignment of Align, the style hint of Family
};

const std::unordered_map<std::string_view, KwEntry>& keywords() {
  static const std::unordered_map<std::string_view, KwEntry> table = [] {
    std::unordered_map<std::string_view, KwEntry> t = {
        {"ansi", {Kw::Ansi}}, {"mac", {Kw::Mac}}, {"pc", {Kw::Pc}}, {"pca", {Kw::Pca}},
        {"ansicpg", {Kw::Ansicpg}}, {"deff", {Kw::Deff}},
        {"fonttbl", {Kw::Fonttbl}}, {"colortbl", {Kw::Colortbl}}, {"bin", {Kw::Bin}},
        {"f", {Kw::F}}, {"fcharset", {Kw::Fcharset}}, {"cpg", {Kw::Cpg}},
        {"fnil", {Kw::Family, QFont::AnyStyle}}, {"froman", {Kw::Family, QFont::Serif}},
        {"fswiss", {Kw::Family, QFont::SansSerif}}, {"fmodern", {Kw::Family, QFont::Monospace}},
        {"fscript", {Kw::Family, QFont::Cursive}}, {"fdecor", {Kw::Family, QFont::Decorative}},
        {"ftech", {Kw::Family, QFont::AnyStyle}}, {"fbidi", {Kw::Family, QFont::AnyStyle}},
        {"red", {Kw::Red}}, {"green", {Kw::Green}}, {"blue", {Kw::Blue}},
        {"b", {Kw::B}}, {"i", {Kw::I}}, {"ul", {Kw::Ul}}, {"ulnone", {Kw::Ulnone}},
        {"plain", {Kw::Plain}}, {"fs", {Kw::Fs}}, {"cf", {Kw::Cf}},
        {"par", {Kw::Par}}, {"page", {Kw::Par}}, {"sect", {Kw::Par}}, {"row", {Kw::Par}},
        {"line", {Kw::Line}}, {"tab", {Kw::Tab}}, {"cell", {Kw::Tab}},
        {"pard", {Kw::Pard}},
        {"ql", {Kw::Align, Qt::AlignLeft}}, {"qc", {Kw::Align, Qt::AlignHCenter}},
        {"qr", {Kw::Align, Qt::AlignRight}}, {"qj", {Kw::Align, Qt::AlignJustify}},
        {"u", {Kw::U}}, {"uc", {Kw::Uc}},
        {"emdash", {Kw::Char, 0x2014}}, {"endash", {Kw::Char, 0x2013}},
        {"emspace", {Kw::Char, 0x2003}}, {"enspace", {Kw::Char, 0x2002}},
        {"qmspace", {Kw::Char, 0x2005}}, {"bullet", {Kw::Char, 0x2022}},
        {"lquote", {Kw::Char, 0x2018}}, {"rquote", {Kw::Char, 0x2019}},
        {"ldblquote", {Kw::Char, 0x201C}}, {"rdblquote", {Kw::Char, 0x201D}},
    };
    // Underline styles all show as the one underline the text area has.
    for (std::string_view w : {"uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhwave", "ulth",
                               "ulw", "ulwave", "ulthd", "ulthdash", "ulldash", "ulthldash"}) {
      t.emplace(w, KwEntry{Kw::Ul});
    }
    // Destinations whose contents are never card text.
    for (std::string_view w :
         {"stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer",
          "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
          "object", "objdata", "fldinst", "filetbl", "listtable", "listoverridetable", "revtbl",
          "rsidtbl", "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
          "generator", "nonshppict", "shpinst", "private", "template", "pgdsctbl", "bkmkstart",
          "bkmkend", "xe", "tc", "txe", "rxe", "userprops", "docvar", "ftnsep", "ftnsepc",
          "ftncn", "aftnsep", "aftnsepc", "aftncn", "falt", "panose", "pn", "listpicture"}) {
      t.emplace(w, KwEntry{Kw::SkipDest});
    }
    return t;
  }();
  return table;
}

class RtfReader {
public:
  RtfReader(std::string_view in, QTextCursor& cursor) : in_(in), cursor_(cursor) {
    stack_.emplace_back(); // the state outside every group
  }

  void read() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      switch (c) {
        case '{': openGroup(); break;
        case '}':
          if (!closeGroup()) return finish(); // the outermost group is closed
          break;
        case '\\': readControl(); break;
        case '\r':
        case '\n': break;
        default:
          if (skip_ > 0) {
            --skip_;
          } else {
            textByte(static_cast<unsigned char>(c));
          }
          break;
      }
    }
    finish();
  }

private:
  State& state() { return stack_.back(); }

  // ----- groups

  void openGroup() {
    flushPendingBytes();
    skip_ = 0;
    if (int(stack_.size()) - 1 >= kRtfMaxGroupDepth) {
      ++overflowDepth_;
    } else {
      stack_.push_back(stack_.back());
    }
  }

  // False once the outermost group is closed.
  bool closeGroup() {
    flushPendingBytes();
    skip_ = 0;
    if (overflowDepth_ > 0) {
      --overflowDepth_;
      return true;
    }
    if (state().dest == Dest::FontTable) commitFont();
    // The outermost group stays: the last paragraph takes its formatting.
    if (stack_.size() <= 2) return false;
    stack_.pop_back();
    return true;
  }

  // ----- tokens

  void readControl() {
    if (pos_ >= in_.size()) return; // a lone backslash at the end
    const char c = in_[pos_];
    if (isLetter(c)) {
      const std::size_t start = pos_;
      while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
      const std::string_view word = in_.substr(start, pos_ - start);
      std::optional<int> param;
      bool negative = false;
      if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
      }
      if (pos_ < in_.size() && isDigit(in_[pos_])) {
        int64_t value = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
          value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT_MAX);
          ++pos_;
        }
        param = int(negative ? -value : value);
      }
      if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
      if (word.size() <= kMaxWordLength) controlWord(word, param);
    } else if (c == '\'') {
      ++pos_;
      if (pos_ + 1 >= in_.size() || hexValue(in_[pos_]) < 0 || hexValue(in_[pos_ + 1]) < 0) {
        return; // a broken escape is dropped and what follows reads as usual
      }
      const auto b = static_cast<unsigned char>(hexValue(in_[pos_]) * 16 + hexValue(in_[pos_ + 1]));
      pos_ += 2;
      if (skip_ > 0) {
        --skip_;
      } else {
        escapedByte(b);
      }
    } else {
      ++pos_;
      controlSymbol(c);
    }
  }

  void controlSymbol(char c) {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}': textByte(static_cast<unsigned char>(c)); break;
      case '*': state().dest = Dest::Skip; break;
      case '~': character(0x00A0); break;
      case '-': character(0x00AD); break;
      case '_': character(0x2011); break;
      case '\r':
      case '\n':
        if (state().dest == Dest::Text) paragraph();
        break;
      default: break;
    }
  }

  void controlWord(std::string_view word, std::optional<int> param) {
    flushPendingBytes();
    const auto& table = keywords();
    const auto it = table.find(word);
    if (it == table.end()) {
      if (skip_ > 0) --skip_;
      return;
    }
    const KwEntry entry = it->second;
    if (entry.kw == Kw::Bin) {
      // Raw bytes follow; they may contain anything, braces included.
      if (param && *param > 0) {
        pos_ += std::min<std::size_t>(std::size_t(*param), in_.size() - pos_);
      }
      if (skip_ > 0) --skip_;
      return;
    }
    if (skip_ > 0) {
      --skip_;
      return;
    }
    State& s = state();
    if (s.dest == Dest::Skip) return;
    if (entry.kw == Kw::SkipDest) {
      s.dest = Dest::Skip;
      return;
    }
    if (entry.kw == Kw::Uc) {
      s.uc = std::max(param.value_or(1), 0);
      return;
    }
    if (entry.kw == Kw::U) {
      if (!param) return;
      if (s.dest == Dest::Text) unicodeChar(*param);
      skip_ = s.uc;
      return;
    }
    switch (s.dest) {
      case Dest::FontTable: fontTableWord(entry, param); return;
      case Dest::ColourTable: colourTableWord(entry.kw, param); return;
      case Dest::Text: textWord(entry, param); return;
      case Dest::Skip: return;
    }
  }

  void textWord(const KwEntry& entry, std::optional<int> param) {
    State& s = state();
    CharProps& chr = s.chr;
    const bool on = param.value_or(1) != 0;
    switch (entry.kw) {
      case Kw::Ansi: docCodePage_ = kCodePageAnsi; break;
      case Kw::Mac: docCodePage_ = kCodePageMacRoman; break;
      case Kw::Pc: docCodePage_ = 437; break;
      case Kw::Pca: docCodePage_ = 850; break;
      case Kw::Ansicpg:
        if (param && *param > 0) docCodePage_ = *param;
        break;
      case Kw::Deff:
        if (param) defaultFont_ = *param;
        break;
      case Kw::Fonttbl: s.dest = Dest::FontTable; break;
      case Kw::Colortbl: s.dest = Dest::ColourTable; break;
      case Kw::F:
        if (param) chr.font = *param;
        break;
      case Kw::B: chr.bold = on; break;
      case Kw::I: chr.italic = on; break;
      case Kw::Ul: chr.underline = on; break;
      case Kw::Ulnone: chr.underline = false; break;
      case Kw::Plain: chr = CharProps{}; break;
      case Kw::Fs: {
        const int halfPoints = param.value_or(kDefaultHalfPoints);
        chr.halfPoints =
            halfPoints <= 0 ? kDefaultHalfPoints : std::min(halfPoints, kMaxHalfPoints);
        break;
      }
      case Kw::Cf: chr.colour = std::max(param.value_or(0), 0); break;
      case Kw::Par: paragraph(); break;
      case Kw::Line: character(QChar::LineSeparator); break;
      case Kw::Tab: character(u'\t'); break;
      case Kw::Char: character(char16_t(entry.value)); break;
      case Kw::Pard: s.align = Qt::AlignLeft; break;
      case Kw::Align: s.align = Qt::Alignment::fromInt(entry.value); break;
      default: break;
    }
  }

  void fontTableWord(const KwEntry& entry, std::optional<int> param) {
    switch (entry.kw) {
      case Kw::F:
        commitFont();
        if (param) fontIndex_ = *param;
        break;
      case Kw::Family: fontEntry_.hint = QFont::StyleHint(entry.value); break;
      case Kw::Fcharset:
        if (param && fontEntry_.codePage == 0) fontEntry_.codePage = charsetCodePage(*param);
        break;
      case Kw::Cpg:
        if (param && *param > 0) fontEntry_.codePage = *param;
        break;
      default: break;
    }
  }

  void colourTableWord(Kw kw, std::optional<int> param) {
    const int value = std::clamp(param.value_or(0), 0, 255);
    switch (kw) {
      case Kw::Red: colourEntry_.setRed(value); break;
      case Kw::Green: colourEntry_.setGreen(value); break;
      case Kw::Blue: colourEntry_.setBlue(value); break;
      default: return;
    }
    colourEntryUsed_ = true;
  }

  // A text byte of the RTF source, or an escaped \ { }.
  void textByte(unsigned char b) {
    switch (state().dest) {
      case Dest::Text:
        if (b >= 0x80 || (expectingTrailByte_ && b >= 0x40)) {
          pendingByte(b);
        } else {
          character(b);
        }
        break;
      case Dest::FontTable:
        if (b == ';') {
          commitFont();
        } else {
          fontName_ += char(b);
        }
        break;
      case Dest::ColourTable:
        if (b == ';') {
          colours_.push_back(colourEntryUsed_ ? colourEntry_ : QColor());
          colourEntry_ = QColor(0, 0, 0);
          colourEntryUsed_ = false;
        }
        break;
      case Dest::Skip: break;
    }
  }

  void escapedByte(unsigned char b) {
    switch (state().dest) {
      case Dest::Text: pendingByte(b); break;
      case Dest::FontTable: fontName_ += char(b); break;
      default: break;
    }
  }

  // ----- fonts

  void commitFont() {
    if (fontIndex_) {
      Font font = fontEntry_;
      const int codePage = font.codePage != 0 ? font.codePage : docCodePage_;
      font.family = decode(codePage, fontName_).trimmed();
      fonts_[*fontIndex_] = font;
    }
    fontIndex_.reset();
    fontEntry_ = Font{};
    fontName_.clear();
  }

  const Font* fontFor(const CharProps& chr) const {
    const auto it = fonts_.find(chr.font < 0 ? defaultFont_ : chr.font);
    return it == fonts_.end() ? nullptr : &it->second;
  }

  int currentCodePage() const {
    const Font* font = fontFor(stack_.back().chr);
    return font && font->codePage != 0 ? font->codePage : docCodePage_;
  }

  // ----- code pages

  // Bytes of the current code page wait here so that the two bytes of a double-byte character
  // (often written as an escape followed by a plain character) decode together.
  void pendingByte(unsigned char b) {
    const int codePage = currentCodePage();
    if (!pendingBytes_.empty() && codePage != pendingCodePage_) flushPendingBytes();
    pendingCodePage_ = codePage;
    pendingBytes_ += char(b);
    expectingTrailByte_ =
        isDoubleByte(codePage) && !expectingTrailByte_ && isLeadByte(codePage, b);
  }

  void flushPendingBytes() {
    expectingTrailByte_ = false;
    if (pendingBytes_.empty()) return;
    const QString text = decode(pendingCodePage_, pendingBytes_);
    pendingBytes_.clear();
    resolveHighSurrogate();
    for (QChar ch : text) put(ch.unicode());
  }

  QString decode(int codePage, std::string_view bytes) {
    QString out;
    switch (codePage) {
      case kCodePageAnsi:
        out.reserve(qsizetype(bytes.size()));
        for (char c : bytes) {
          const auto b = static_cast<unsigned char>(c);
          out += QChar(b >= 0x80 && b < 0xA0 ? kWindows1252C1[b - 0x80] : char16_t(b));
        }
        return out;
      case kCodePageMacRoman:
        out.reserve(qsizetype(bytes.size()));
        for (char c : bytes) {
          const auto b = static_cast<unsigned char>(c);
          out += QChar(b >= 0x80 ? kMacRomanHigh[b - 0x80] : char16_t(b));
        }
        return out;
      case kCodePageUtf8: return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
      default: break;
    }
    if (QStringDecoder* decoder = decoderFor(codePage)) {
      return decoder->decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
  }

  QStringDecoder* decoderFor(int codePage) {
    auto it = decoders_.find(codePage);
    if (it == decoders_.end()) {
      std::optional<QStringDecoder> decoder;
      if (const char* name = codePageName(codePage)) {
        decoder.emplace(name, QStringConverter::Flag::Stateless);
        if (!decoder->isValid()) decoder.reset();
      }
      it = decoders_.emplace(codePage, std::move(decoder)).first;
    }
    return it->second ? &*it->second : nullptr;
  }

  // ----- output

  // A character of the text: \uN, a symbol or a plain ASCII byte.
  void character(char16_t ch) {
    if (state().dest != Dest::Text) return;
    flushPendingBytes();
    resolveHighSurrogate();
    put(ch);
  }

  void unicodeChar(int value) {
    if (value < -32768 || value > 0xFFFF) return character(kReplacement);
    if (value < 0) value += 65536;
    const auto unit = char16_t(value);
    if (QChar::isHighSurrogate(unit)) {
      flushPendingBytes();
      resolveHighSurrogate();
      highSurrogate_ = unit;
    } else if (QChar::isLowSurrogate(unit)) {
      flushPendingBytes();
      if (highSurrogate_ != 0) {
        put(highSurrogate_);
        put(unit);
        highSurrogate_ = 0;
      } else {
        put(kReplacement);
      }
    } else {
      character(unit);
    }
  }

  // A high surrogate not followed by its low half shows as U+FFFD.
  void resolveHighSurrogate() {
    if (highSurrogate_ == 0) return;
    highSurrogate_ = 0;
    put(kReplacement);
  }

  void put(char16_t ch) {
    // Control characters would break blocks or show as boxes; only the tab is text.
    if ((ch < 0x20 && ch != u'\t') || ch == 0x7F) return;
    // The document's own frame and object markers are never text.
    if (ch == 0xFDD0 || ch == 0xFDD1 || ch == QChar::ObjectReplacementCharacter) ch = kReplacement;
    if (!run_.isEmpty() && runProps_ != state().chr) flushRun();
    runProps_ = state().chr;
    run_ += QChar(ch);
  }

  void flushRun() {
    if (run_.isEmpty()) return;
    cursor_.insertText(run_, charFormat(runProps_));
    run_.clear();
  }

  QTextCharFormat charFormat(const CharProps& chr) const {
    QTextCharFormat format;
    if (const Font* font = fontFor(chr)) {
      if (!font->family.isEmpty()) format.setFontFamilies(QStringList{font->family});
      format.setFontStyleHint(font->hint);
    }
    format.setFontPointSize(chr.halfPoints / 2.0);
    format.setFontWeight(chr.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chr.italic);
    format.setFontUnderline(chr.underline);
    if (std::size_t(chr.colour) < colours_.size() && colours_[std::size_t(chr.colour)].isValid()) {
      format.setForeground(colours_[std::size_t(chr.colour)]);
    }
    return format;
  }

  // The paragraph takes the paragraph and character formatting in effect at its end.
  void finishBlock() {
    flushPendingBytes();
    resolveHighSurrogate();
    flushRun();
    QTextBlockFormat block = cursor_.blockFormat();
    block.setAlignment(state().align);
    cursor_.setBlockFormat(block);
    cursor_.setBlockCharFormat(charFormat(state().chr));
  }

  void paragraph() {
    finishBlock();
    cursor_.insertBlock();
  }

  // Also the end of a document whose groups never closed: what was read is shown.
  void finish() { finishBlock(); }

  std::string_view in_;
  std::size_t pos_ = 0;
  QTextCursor& cursor_;

  std::vector<State> stack_;
  int overflowDepth_ = 0; // groups opened beyond kRtfMaxGroupDepth and not yet closed
  int skip_ = 0;          // fallback characters still to skip after \uN

  int docCodePage_ = kCodePageAnsi;
  int defaultFont_ = 0;
  std::map<int, Font> fonts_;
  std::vector<QColor> colours_;
  std::map<int, std::optional<QStringDecoder>> decoders_;

  std::optional<int> fontIndex_; // the font table entry being read
  Font fontEntry_;
  std::string fontName_;
  QColor colourEntry_{0, 0, 0};
  bool colourEntryUsed_ = false;

  std::string pendingBytes_;
  int pendingCodePage_ = kCodePageAnsi;
  bool expectingTrailByte_ = false;
  char16_t highSurrogate_ = 0;

  QString run_;
  CharProps runProps_;
};

void readPlainText(std::string_view bytes, QTextCursor& cursor) {
  QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  QString line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'\r' || ch == u'\n') {
      if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      cursor.insertText(line);
      line.clear();
      cursor.insertBlock();
    } else if ((ch.unicode() >= 0x20 && ch.unicode() != 0x7F) || ch == u'\t') {
      line += ch;
    }
  }
  cursor.insertText(line);
}

} // namespace

void readRtf(std::string_view bytes, QTextCursor& cursor) {
  bytes = bytes.substr(0, std::min(bytes.size(), kRtfMaxInputBytes));
  cursor.beginEditBlock();
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start != std::string_view::npos && bytes.substr(start).starts_with("{\\rtf")) {
    RtfReader(bytes.substr(start), cursor).read();
  } else {
    readPlainText(bytes, cursor);
  }
  cursor.endEditBlock();
}

void readRtf(std::string_view bytes, QTextDocument& document) {
  document.clear();
  QTextCursor cursor(&document);
  readRtf(bytes, cursor);
}

void InhabitTextArea(QTextEdit& area, const std::string& rtf) {
  QTextDocument& document = *area.document();
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  area.clear();
  QTextCursor cursor(&document);
  readRtf(rtf, cursor);
  document.setUndoRedoEnabled(undo);
}

} // namespace qm
