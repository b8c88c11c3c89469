// The line's clock in whole units. At a rate that is not a whole number of units a byte or a millisecond
// is rounded up, never down, so a message is never due early.
#include "plugin/WireClock.h"

#include <algorithm>
#include <cmath>

namespace {

int64_t FramesUpTo(int64_t units, int64_t unitsPerFrame) {
  return units <= 0 ? 0 : (units + unitsPerFrame - 1) / unitsPerFrame;
}

}  // namespace

// A byte is rate / 3125 frames, a millisecond rate / 1000.
void WireClock::UseRate(double sampleRate) {
  if (sampleRate == rate) return;
  rate = sampleRate;
  unitsPerByte = static_cast<int64_t>(std::ceil(rate * 1000.0));
  unitsPerMs = static_cast<int64_t>(std::ceil(rate * kBytesPerSecond));
  freeAt = 0;
}

void WireClock::BlockDone(int64_t frames) { freeAt = std::max<int64_t>(0, freeAt - frames * kUnitsPerFrame); }

int64_t WireClock::FreeFrame() const { return FramesUpTo(freeAt, kUnitsPerFrame); }

int64_t WireClock::Carry(int64_t frame, uint64_t bytes) {
  freeAt = std::max(freeAt, frame * kUnitsPerFrame) + static_cast<int64_t>(bytes) * unitsPerByte;
  return FreeFrame();
}

void WireClock::Rest(int ms) { freeAt += ms * unitsPerMs; }

int64_t WireClock::FreeFrameAfter(uint64_t bytes, uint64_t rests, int ms) const {
  const int64_t units = std::max<int64_t>(freeAt, 0) + static_cast<int64_t>(bytes) * unitsPerByte +
                        static_cast<int64_t>(rests) * ms * unitsPerMs;
  return FramesUpTo(units, kUnitsPerFrame);
}
