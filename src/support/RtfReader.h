#pragma once
// Reads the RTF that authoring tools write for card texts into a styled QTextDocument; Qt has no
// RTF import of its own.
//
// Understood: groups; the font table (family name, \fnil \froman \fswiss \fmodern \fscript
// \fdecor \ftech families, \fcharsetN and \cpgN for the font's code page) and \deffN; the colour
// table (its empty entries mean the automatic colour); \b \i \ul (with its variants) \ulnone \plain
// \f \fs \cf; \par \line \tab \pard \ql \qc \qr \qj; \'hh in the document's code page (\ansi,
// \ansicpgN, \mac, \pc, \pca) or the font's, double-byte code pages included; \uN with \ucN;
// \\ \{ \} \~ \- \_ and the common typographic symbol words (\emdash, \lquote, \bullet, ...).
// Ignorable destinations ({\* ...}) and the non-text destinations (stylesheet, info, pict,
// headers, footers, ...) are skipped; other control words are ignored, and line breaks in the
// RTF source mean nothing.
//
// Bytes that do not start with "{\rtf" (after leading blanks) are plain UTF-8 text whose line
// ends (CR, LF, CRLF) are paragraph breaks.
//
// Bad input never fails: the reader shows what it can. Missing closing braces end the document
// at the end of the bytes; anything after the outermost group is ignored; truncated control words
// and escapes are dropped; out-of-range numbers are clamped (font sizes to 1 to 1638 points) or
// shown as U+FFFD (\u values outside -32768 to 65535). Groups nest at most kRtfMaxGroupDepth deep:
// deeper groups keep the state of the deepest one. Time and memory are linear in the input; only
// the first kRtfMaxInputBytes bytes are read (a card record holds at most 65535), which bounds
// the time to well under a second.
#include <cstddef>
#include <string>
#include <string_view>

class QTextCursor;
class QTextDocument;
class QTextEdit;

namespace qm {

inline constexpr int kRtfMaxGroupDepth = 256;
inline constexpr std::size_t kRtfMaxInputBytes = 1024 * 1024;

// Inserts the styled text at the cursor. The block the cursor starts in takes the formats of the
// first paragraph, the block it ends in those of the last.
void readRtf(std::string_view bytes, QTextCursor& cursor);

// Replaces the whole document by the styled text.
void readRtf(std::string_view bytes, QTextDocument& document);

// Replaces the whole styled contents of the text area by the card text. The fill is not an undo
// step; where the insertion point goes afterwards is the caller's business.
void InhabitTextArea(QTextEdit& area, const std::string& rtf);

} // namespace qm
