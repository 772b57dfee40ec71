#include "interpreter/HotAccess.h"

#include <string>

#include "support/Errors.h"

namespace qm {

void throwIndexFailure(uint64_t index, std::size_t size) {
  throw OutOfBoundsException("index " + std::to_string(index) + " outside 0.." +
                             std::to_string(int64_t(size) - 1));
}

void throwNilFailure(uint64_t index) {
  throw NilObjectException("empty reference at index " + std::to_string(index));
}

}  // namespace qm
