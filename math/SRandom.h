// The interface of the small pseudo-random generators that make window names unique. Nothing depends on
// the particular numbers, only on consecutive draws differing.
#pragma once

#include <cstdint>

namespace tovo::math::random::generator {

class SRandom {
 public:
  virtual ~SRandom() = default;
  virtual int Integer() = 0;
  virtual float Float() = 0;
  // Sets the last value and the seed to a; returns a.
  virtual unsigned Seed(unsigned a);

  unsigned Last() const { return last; }
  // A fast-changing value to seed from; stands in for the processor's time-stamp counter.
  static unsigned TimeSeed();

 protected:
  uint32_t last = 0;
  uint32_t seed = 0;
};

}  // namespace tovo::math::random::generator
