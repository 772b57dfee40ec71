#pragma once
// Counts one level of the interpreter's recursive paths; past kMaxNesting it raises the
// stack-overflow failure instead of letting the thread's stack run out.
#include "interpreter/Interpreter.h"
#include "support/Errors.h"

namespace qm {

class NestingGuard {
 public:
  explicit NestingGuard(Interpreter& in) : in_(in) {
    if (++in_.depth_ > kMaxNesting) [[unlikely]] {
      --in_.depth_;
      throw StackOverflowException("nesting deeper than " + std::to_string(kMaxNesting));
    }
  }
  ~NestingGuard() { --in_.depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  Interpreter& in_;
};

}  // namespace qm
