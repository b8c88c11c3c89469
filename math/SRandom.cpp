// Seeding shared by all generators.
#include "math/SRandom.h"

#include <ctime>

namespace tovo::math::random::generator {

unsigned SRandom::Seed(unsigned a) {
  last = a;
  seed = a;
  return a;
}

// The low nanoseconds of the monotonic clock change on every call, which is all the window names need.
unsigned SRandom::TimeSeed() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<unsigned>(static_cast<uint64_t>(now.tv_sec) * 1000000000u +
                               static_cast<uint64_t>(now.tv_nsec));
}

}  // namespace tovo::math::random::generator
