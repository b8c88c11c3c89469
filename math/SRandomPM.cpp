// Schrage's decomposition keeps a * x mod m inside 32 bits.
#include "math/SRandomPM.h"

namespace tovo::math::random::generator {

int SRandomPM::Integer() {
  const uint32_t x = last;
  // Both products stay below 2^31 for any 32-bit state: x % q < q and x / q < 2^32 / q.
  const int32_t high = static_cast<int32_t>(static_cast<uint32_t>(kMultiplier) * (x % kQuotient));
  const int32_t low = static_cast<int32_t>(static_cast<uint32_t>(kRemainder) * (x / kQuotient));
  int32_t v = high - low;
  if (v < 0) v += kModulus;
  last = static_cast<uint32_t>(v);
  return v;
}

float SRandomPM::Float() {
  return static_cast<float>(static_cast<float>(Integer()) * 4.656612875245797e-10);
}

}  // namespace tovo::math::random::generator
