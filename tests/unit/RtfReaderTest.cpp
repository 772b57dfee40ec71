#include <gtest/gtest.h>

#include <QFont>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <cctype>
#include <ostream>
#include <string>

#include "support/RtfReader.h"

namespace qm {
namespace {

// The document as one line: blocks joined by " ¶ ", each led by its alignment unless left
// aligned ("C|", "R|", "J|"); fragments joined by "/", each led by its formatting when it has
// any: (b,i,u, size unless 12 pt, colour, family~hint). Line breaks show as <br>, tabs as <tab>.
QString attributes(const QTextCharFormat& format) {
  QStringList attrs;
  if (format.fontWeight() >= QFont::Bold) attrs << "b";
  if (format.fontItalic()) attrs << "i";
  if (format.fontUnderline()) attrs << "u";
  if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() != 12) {
    attrs << QString::number(format.fontPointSize()) + "pt";
  }
  if (format.hasProperty(QTextFormat::ForegroundBrush)) {
    attrs << format.foreground().color().name();
  }
  const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
  if (!families.isEmpty()) {
    QString hint;
    switch (format.fontStyleHint()) {
      case QFont::SansSerif: hint = "~sans"; break;
      case QFont::Serif: hint = "~serif"; break;
      case QFont::Monospace: hint = "~mono"; break;
      case QFont::AnyStyle: break;
      default: hint = "~other"; break;
    }
    attrs << families.join(",") + hint;
  }
  return attrs.isEmpty() ? QString() : "(" + attrs.join(",") + ")";
}

// The document as one line: blocks joined by " ¶ ", each led by its alignment unless left
// aligned ("C|", "R|", "J|"); fragments joined by "/", each led by its formatting when it has
// any: (b,i,u, size unless 12 pt, colour, family~hint). An empty block shows the formatting of
// its line. Line breaks show as <br>, tabs as <tab>.
std::string dump(const QTextDocument& document) {
  QStringList blocks;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    QString line;
    const Qt::Alignment align = block.blockFormat().alignment();
    if (align & Qt::AlignHCenter) line += "C|";
    if (align & Qt::AlignRight) line += "R|";
    if (align & Qt::AlignJustify) line += "J|";
    QStringList fragments;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QString text = it.fragment().text();
      text.replace(QChar::LineSeparator, "<br>").replace('\t', "<tab>");
      fragments << attributes(it.fragment().charFormat()) + text;
    }
    if (fragments.isEmpty()) fragments << attributes(block.charFormat());
    blocks << line + fragments.join("/");
  }
  return blocks.join(" ¶ ").toStdString();
}

std::string read(const std::string& bytes) {
  QTextDocument document;
  readRtf(bytes, document);
  return dump(document);
}

struct Case {
  const char* name;
  std::string rtf;
  std::string expected;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class RtfReaderTable : public testing::TestWithParam<Case> {};

TEST_P(RtfReaderTable, ReadsTheDocument) {
  EXPECT_EQ(read(GetParam().rtf), GetParam().expected);
}

const Case kCases[] = {
    // Character formatting and groups.
    {"styles",
     R"({\rtf1\ansi a{\b b{\i c}}d\ul e\ul0 f\b g\plain h\uldb i\ulnone j\b1\i1 k\b0\i0 l})",
     "a/(b)b/(b,i)c/d/(u)e/f/(b)g/h/(u)i/j/(b,i)k/l"},
    {"sizes", R"({\rtf1 {\fs36 a}{\fs25 b}{\fs c}{\fs99999 d}{\fs0 e}{\fs-5 f}g})",
     "(18pt)a/(12.5pt)b/c/(1638pt)d/efg"},
    {"colours",
     R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue300;})"
     R"(a\cf1 b\cf2 c\cf0 d\cf7 e{\cf1 f}g})",
     "a/(#ff0000)b/(#0000ff)c/de/(#ff0000)f/g"},
    {"colour table without the automatic entry",
     R"({\rtf1{\colortbl\red0\green128\blue0;}\cf0 a})", "(#008000)a"},
    {"fonts",
     R"({\rtf1\deff1{\fonttbl{\f0\froman\fcharset0 Times New Roman;})"
     R"({\f1\fswiss{\*\panose 020b}Helvetica;})"
     R"(\f2\fmodern Courier;}a\f0 b\f2 c\f9 d\plain e})",
     "(Helvetica~sans)a/(Times New Roman~serif)b/(Courier~mono)c/d/(Helvetica~sans)e"},

    // Code pages.
    {"windows-1252", R"({\rtf1\ansi caf\'e9 \'80\'96\'81})", "café €–\uFFFD"},
    {"mac roman", R"({\rtf1\mac caf\'8e \'db\'d0\'a5})", "café €–•"},
    {"ansicpg", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "При"},
    {"dos", R"({\rtf1\pc \'82})", "é"},
    {"unknown code page reads as latin-1", R"({\rtf1\ansicpg9999 \'e9\'80})", "é\xC2\x80"},
    {"font charset", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial Cyr;}}\'c0\f1\'c0})",
     "(Arial)À/(Arial Cyr)А"},
    {"mac font charset", R"({\rtf1\ansi{\fonttbl{\f0\fcharset77 Geneva;}}\'8e})", "(Geneva)é"},
    {"double-byte with literal and escaped trail bytes",
     R"({\rtf1\ansi\ansicpg932 \'82\'a0\'83e\'95\\x})", "あテ表x"},
    {"raw high bytes", "{\\rtf1\\ansi caf\xe9}", "café"},

    // Unicode.
    {"unicode with uc1", R"({\rtf1 a\u233?b\u-21504?c})", "aéb가c"},
    {"uc0", R"({\rtf1\uc0 a\u233 b})", "aéb"},
    {"uc2 skips escapes", R"({\rtf1\uc2 a\u233\'e9\'e9b\u8364 xyz})", "aéb€z"},
    {"uc is per group and skipping stops at a group end",
     R"({\rtf1{\uc3\u233 a}b{\uc0\u233 }\u233?c})", "ébééc"},
    {"surrogates", R"({\rtf1\u-10179?\u-8704?|\u-10179?x|\u-8704?})", "😀|\uFFFDx|\uFFFD"},
    {"out-of-range and null", R"({\rtf1 a\u99999999999?b\u-40000?c\u0?d})",
     "a\uFFFDb\uFFFDcd"},

    // Paragraphs.
    {"alignment", R"({\rtf1\qc a\par\qr b\par\pard c\par{\qj d\par}e\par f\qc})",
     "C|a ¶ R|b ¶ c ¶ J|d ¶ e ¶ C|f"},
    {"par and line", R"({\rtf1 a\line b\par c\par})", "a<br>b ¶ c ¶ "},
    {"source line breaks", "{\\rtf1 a\r\nb\nc\\\nd\\\re}", "abc ¶ d ¶ e"},
    {"empty paragraph keeps its size", R"({\rtf1 a\par\fs48\par b})", "a ¶ (24pt) ¶ (24pt)b"},

    // Escapes, symbols, destinations, unknown words.
    {"escapes", R"({\rtf1 \\\{\}\~\-\_\tab x\emdash\lquote\rdblquote})",
     "\\{}\u00A0\u00AD\u2011<tab>x—‘”"},
    {"skipped destinations",
     R"({\rtf1{\*\generator W 1;}{\info{\title T}}{\stylesheet{\s0 N;}}{\header H})"
     R"({\pict\wmetafile8\bin4 {}{}}{\*\unknown{nested}z}a\foo123 b\foo c)"
     R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt d}}})",
     "abcd"},
    {"overlong control word", R"({\rtf1 \abcdefghijklmnopqrstuvwxyzabcdefghij x})", "x"},

    // Plain text.
    {"plain text line ends", "one\r\ntwo\rthree\nfour\n", "one ¶ two ¶ three ¶ four ¶ "},
    {"plain text is UTF-8", "\xEF\xBB\xBF" "caf\xC3\xA9 \\b {x}", "café \\b {x}"},
    {"almost rtf", "{\\rtx1 a}", "{\\rtx1 a}"},
    {"leading blanks before rtf", " \r\n{\\rtf1 a}", "a"},
    {"empty", "", ""},

    // Broken input: what was read is shown.
    {"missing closing braces", R"({\rtf1 a{\b b)", "a/(b)b"},
    {"extra closing braces", R"({\rtf1 a}} b})", "a"},
    {"text after the document", R"({\rtf1 a}tail)", "a"},
    {"lone backslash", "{\\rtf1 a\\", "a"},
    {"truncated escape", R"({\rtf1 a\'4)", "a4"},
    {"truncated control word", R"({\rtf1 a\fs)", "a"},
    {"bin beyond the end", R"({\rtf1 a\bin999999 b})", "a"},
    {"truncated font table", R"({\rtf1{\fonttbl{\f0 Arial)", ""},
    {"negative indices and markers", R"({\rtf1{\colortbl;}\cf-3\f-2 a\u-4?})", "a\uFFFD"},
};

INSTANTIATE_TEST_SUITE_P(Documents, RtfReaderTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (char c : std::string(info.param.name)) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name;
                         });

TEST(RtfReader, DeepNestingKeepsTheGroupBalance) {
  const int depth = 5000;
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < depth; ++i) rtf += "{\\b ";
  rtf += "x";
  for (int i = 0; i < depth; ++i) rtf += "}";
  rtf += " y}";
  EXPECT_EQ(read(rtf), "(b)x/ y");
  // Beyond the cap a destination cannot leak out of the groups that hold it.
  rtf = "{\\rtf1 " + std::string(kRtfMaxGroupDepth + 10, '{') + "{\\*\\x a}" +
        std::string(kRtfMaxGroupDepth + 10, '}') + "b}";
  EXPECT_EQ(read(rtf), "b");
}

TEST(RtfReader, EveryPrefixOfADocumentReads) {
  const std::string rtf =
      R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Helvetica;}{\f1\fcharset128 )"
      R"(\'82\'6c\'82\'72;}}{\colortbl;\red255\green0\blue0;}{\*\generator x;}\pard\qc\f0\fs24 )"
      R"(\cf1 A\b b\i0\ul\'e9\f1\'82\'a0\'83e\uc2\u-10179\'81\'81\u-8704 ??\line\par{\pict\bin3 )"
      R"(}{}}\~\-\_\\\{\}})";
  QTextDocument document;
  for (std::size_t n = 0; n <= rtf.size(); ++n) {
    readRtf(std::string_view(rtf).substr(0, n), document);
  }
  EXPECT_EQ(document.toRawText().toStdString(),
            "Abéあテ😀\u2028\u2029\u00A0\u00AD\u2011\\{}");
}

TEST(RtfReader, InhabitTextAreaReplacesEverything) {
  QTextEdit area;
  area.setPlainText("old");
  QTextCursor cursor(area.document());
  cursor.select(QTextCursor::Document);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  cursor.mergeCharFormat(bold);
  ASSERT_TRUE(area.document()->isUndoAvailable());

  InhabitTextArea(area, R"({\rtf1\qr new\par\pard {\b next}})");
  EXPECT_EQ(dump(*area.document()), "R|new ¶ (b)next");
  EXPECT_FALSE(area.document()->isUndoAvailable());
  EXPECT_TRUE(area.document()->isUndoRedoEnabled());

  InhabitTextArea(area, "plain");
  EXPECT_EQ(dump(*area.document()), "plain");
}

} // namespace
} // namespace qm
