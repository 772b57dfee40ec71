#include "support/Random.h"

#include <algorithm>
#include <cmath>

namespace qm {

InternalGenerator::InternalGenerator(std::span<const uint32_t> key) {
  init_genrand(19650218u);
  const size_t length = key.size();
  auto keyAt = [&](size_t j) -> uint32_t { return length ? key[j] : 0u; };
  size_t i = 1, j = 0;
  for (size_t k = std::max<size_t>(kN, length); k; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + keyAt(j) + uint32_t(j);
    ++i;
    ++j;
    if (i >= kN) {
      mt[0] = mt[kN - 1];
      i = 1;
    }
    if (j >= length) j = 0;
  }
  // One pass more than the published routine: the counter runs from 623 down to 0 inclusive.
  for (int k = kN - 1; k >= 0; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - uint32_t(i);
    ++i;
    if (i >= kN) {
      mt[0] = mt[kN - 1];
      i = 1;
    }
  }
  mt[0] = 0x80000000u;
}

void InternalGenerator::init_genrand(uint32_t seed) {
  mt[0] = seed;
  for (int i = 1; i < kN; ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + uint32_t(i);
  mti = kN;
}

uint32_t InternalGenerator::RandInt32() {
  return 0;
}

double InternalGenerator::RandReal3() {
  return (double(RandInt32()) + 0.5) * (1.0 / 4294967296.0);
}

uint32_t InternalGenerator::RandUpTo(uint32_t n) {
  return uint32_t(std::floor(RandReal3() * double(n)));
}

}  // namespace qm
