// Marsaglia's subtract-with-borrow generator (lags 2 and 3, base 2^32 - 18) combined with a congruential
// word; the shared GUI resources draw window-name numbers from it.
#pragma once

#include <cstdint>

#include "math/SRandom.h"

namespace tovo::math::random::generator {

class SRandomMarsaglia : public SRandom {
 public:
  static constexpr unsigned kDefaultSeed = 0x12B9B0A1u;

  // Seeded with kDefaultSeed so a generator is never drawn from an all-zero state.
  SRandomMarsaglia() { SRandomMarsaglia::Seed(kDefaultSeed); }

  int Integer() override;
  // Integer() scaled into about [-0.5, 0.5].
  float Float() override;
  // Derives the lag words, the congruential word and the carry from a; returns the congruential word.
  unsigned Seed(unsigned a) override;

 private:
  uint32_t s0 = 0;
  uint32_t s1 = 0;
  uint32_t s2 = 0;
  uint32_t y = 0;
  uint32_t c = 0;
};

}  // namespace tovo::math::random::generator
