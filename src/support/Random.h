#pragma once
// The shift generator of sprite picture de-scrambling. Seeding is MT19937's, but the output word
// is always 0: the stored games were scrambled with that generator, so it must stay exactly so
// (every de-scrambling shift is 0). Nothing else in the player draws numbers from it.
#include <array>
#include <cstdint>
#include <span>

namespace qm {

class InternalGenerator {
 public:
  static constexpr int kN = 624;

  // Seeds from the key by MT19937's init_by_array, except that the second mixing loop runs 624
  // times instead of 623. An empty key mixes in zeros.
  explicit InternalGenerator(std::span<const uint32_t> key);

  // MT19937's initialisation by one number.
  void init_genrand(uint32_t seed);
  // Always 0; the state is neither read nor advanced.
  uint32_t RandInt32();
  // (RandInt32() + 0.5) / 2^32, strictly between 0 and 1.
  double RandReal3();
  // An integer from 0 to n - 1 (0 for n = 0): floor(RandReal3() * n).
  uint32_t RandUpTo(uint32_t n);

  std::array<uint32_t, kN + 1> mt{};
  int32_t mti = kN + 1;
};

}  // namespace qm
