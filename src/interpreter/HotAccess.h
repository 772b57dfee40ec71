#pragma once
// The interpreter's checked element access on its hot path. Same contract as support/Checked.h
// (an index outside the container raises OutOfBoundsException), but the failure path is a cold
// out-of-line call, so the check inlines to one compare and branch.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace qm {

[[noreturn]] void throwIndexFailure(uint64_t index, std::size_t size);
[[noreturn]] void throwNilFailure(uint64_t index);

template <typename C>
[[nodiscard]] inline auto& fastAt(C& c, uint64_t i) {
  if (i >= c.size()) [[unlikely]]
    throwIndexFailure(i, c.size());
  return c[static_cast<std::size_t>(i)];
}

template <typename T>
[[nodiscard]] inline T& fastRef(const std::vector<std::unique_ptr<T>>& v, uint64_t i) {
  const std::unique_ptr<T>& p = fastAt(v, i);
  if (!p) [[unlikely]]
    throwNilFailure(i);
  return *p;
}

}  // namespace qm
