#include "interpreter/TextCompare.h"

#include <QChar>
#include <cstdint>
#include <cstring>

namespace qm {

namespace {

constexpr char32_t kInvalid = 0x110000;  // above every code point: never folds

inline unsigned char asciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Decodes the character at s[i] and advances i. An invalid sequence yields kInvalid + the byte,
// consuming one byte, so that it only equals the same invalid byte.
char32_t decode(std::string_view s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = 0;
  char32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
  }
  if (len == 0 || i + len > s.size()) {
    ++i;
    return kInvalid + c;
  }
  for (int k = 1; k < len; ++k) {
    const unsigned char t = byte(i + k);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return kInvalid + c;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  // Overlong forms and surrogates are not characters.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kInvalid + c;
  }
  i += len;
  return cp;
}

inline char32_t fold(char32_t cp) {
  return cp >= kInvalid ? cp : QChar::toCaseFolded(cp);
}

}  // namespace

bool textEqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[j]);
    if ((ca | cb) < 0x80) {
      if (asciiLower(ca) != asciiLower(cb)) return false;
      ++i;
      ++j;
      continue;
    }
    if (fold(decode(a, i)) != fold(decode(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

}  // namespace qm
