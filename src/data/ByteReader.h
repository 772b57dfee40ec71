#pragma once
// A big-endian reader over bytes already in memory. Reading past the end throws
// OutOfBoundsException, so a truncated file or record always ends in a defined failure.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "support/Errors.h"

namespace qm {

class ByteReader {
public:
  ByteReader(const void* data, size_t size)
      : p_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}

  size_t position() const { return pos_; }
  // Back to a position already read (for a second pass over checked records).
  void seek(size_t pos) { pos_ = pos <= size_ ? pos : size_; }
  size_t remaining() const { return size_ - pos_; }
  bool atEnd() const { return pos_ >= size_; }

  uint8_t u8() {
    need(1);
    return p_[pos_++];
  }
  uint16_t u16() {
    need(2);
    uint16_t v = uint16_t(p_[pos_] << 8 | p_[pos_ + 1]);
    pos_ += 2;
    return v;
  }
  // A medium integer: one byte h, then a u16 l; h * 65536 + l.
  uint32_t u24() {
    need(3);
    uint32_t v = uint32_t(p_[pos_]) << 16 | uint32_t(p_[pos_ + 1]) << 8 | p_[pos_ + 2];
    pos_ += 3;
    return v;
  }
  uint32_t u32() {
    need(4);
    uint32_t v = uint32_t(p_[pos_]) << 24 | uint32_t(p_[pos_ + 1]) << 16 |
                 uint32_t(p_[pos_ + 2]) << 8 | p_[pos_ + 3];
    pos_ += 4;
    return v;
  }
  double f64() {
    need(8);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | p_[pos_ + i];
    pos_ += 8;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  // An unsigned element of width 1, 2 or 4; any other width reads nothing and gives 0.
  uint32_t uN(int width) {
    switch (width) {
    case 1: return u8();
    case 2: return u16();
    case 4: return u32();
    default: return 0;
    }
  }
  std::string bytes(size_t n) {
    need(n);
    std::string s(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return s;
  }
  std::string_view view(size_t n) {
    need(n);
    std::string_view s(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return s;
  }
  // Checks that n bytes remain, skips them and returns where they start: callers then decode a
  // whole run of records without a bounds check per field.
  const uint8_t* take(size_t n) {
    need(n);
    const uint8_t* at = p_ + pos_;
    pos_ += n;
    return at;
  }
  // An unsigned big-endian element of width 1, 2 or 4 at p, unchecked (0 for other widths).
  static uint32_t load(const uint8_t* p, int width) {
    switch (width) {
    case 1: return p[0];
    case 2: return uint32_t(p[0]) << 8 | p[1];
    case 4: return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    default: return 0;
    }
  }

  // A short text: u8 length and that many bytes.
  std::string pstr() { return bytes(u8()); }
  // A flag character: true only for the byte "1".
  bool flagChar() { return u8() == '1'; }

  // Refuses a count of records before anything is allocated for them: count records of at
  // least minBytes each must still fit in what remains.
  void needRecords(uint64_t count, uint64_t minBytes) const {
    if (minBytes != 0 && count > remaining() / minBytes)
      throw OutOfBoundsException("a count of " + std::to_string(count) +
                                 " records does not fit in the " + std::to_string(remaining()) +
                                 " bytes that remain (offset " + std::to_string(pos_) + ")");
  }

private:
  void need(size_t n) const {
    if (n > size_ - pos_)
      throw OutOfBoundsException("reading " + std::to_string(n) + " bytes past the end of the data"
                                 " (offset " + std::to_string(pos_) + " of " +
                                 std::to_string(size_) + ")");
  }

  const uint8_t* p_;
  size_t size_;
  size_t pos_ = 0;
};

} // namespace qm
