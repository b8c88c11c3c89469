// Park and Miller's minimal standard generator in Schrage's form; options dialogs build one on the stack
// for their window name. The state is the last value, so a zero state stays zero.
#pragma once

#include <cstdint>

#include "math/SRandom.h"

namespace tovo::math::random::generator {

class SRandomPM : public SRandom {
 public:
  static constexpr int32_t kMultiplier = 16807;
  static constexpr int32_t kModulus = 2147483647;  // 2^31 - 1
  static constexpr int32_t kQuotient = 127773;     // kModulus / kMultiplier
  static constexpr int32_t kRemainder = 2836;      // kModulus % kMultiplier

  // State and seed both start at state.
  explicit SRandomPM(unsigned state = 1) { SRandom::Seed(state); }

  int Integer() override;
  // Integer() scaled by about 1 / (2^31 - 1).
  float Float() override;
};

}  // namespace tovo::math::random::generator
