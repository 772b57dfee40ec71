#pragma once
// Checked access to game data: every index that comes from a game file or a script goes
// through these, so bad data ends in a script error instead of undefined behaviour.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/Errors.h"

namespace qm {

template <typename T>
[[nodiscard]] inline T& checkedAt(std::vector<T>& v, uint64_t i) {
  if (i >= v.size()) throw OutOfBoundsException("index " + std::to_string(i) + " outside 0.." +
                                                std::to_string(int64_t(v.size()) - 1));
  return v[static_cast<size_t>(i)];
}

template <typename T>
[[nodiscard]] inline const T& checkedAt(const std::vector<T>& v, uint64_t i) {
  if (i >= v.size()) throw OutOfBoundsException("index " + std::to_string(i) + " outside 0.." +
                                                std::to_string(int64_t(v.size()) - 1));
  return v[static_cast<size_t>(i)];
}

template <typename T>
[[nodiscard]] inline const T& checkedAt(std::span<const T> v, uint64_t i) {
  if (i >= v.size()) throw OutOfBoundsException("index " + std::to_string(i) + " outside 0.." +
                                                std::to_string(int64_t(v.size()) - 1));
  return v[static_cast<size_t>(i)];
}

// Element i of a table of references whose empty elements stand for "none".
template <typename T>
[[nodiscard]] inline T& checkedRef(const std::vector<std::unique_ptr<T>>& v, uint64_t i) {
  auto& p = checkedAt(v, i);
  if (!p) throw NilObjectException("empty reference at index " + std::to_string(i));
  return *p;
}

} // namespace qm
