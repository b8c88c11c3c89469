// The line's clock in whole units; a rate that is not a whole number rounds each span up, never down.
#include "plugin/WireClock.h"

#include <algorithm>
#include <cmath>

namespace {

int64_t FramesUpTo(int64_t units, int64_t unitsPerFrame) {
  return units <= 0 ? 0 : (units + unitsPerFrame - 1) / unitsPerFrame;
}

}  // namespace

void WireClock::UseRate(double sampleRate) {
  if (sampleRate == rate) return;
  rate = sampleRate;
  freeAt = 0;
}

void WireClock::BlockDone(int64_t frames) { freeAt = std::max<int64_t>(0, freeAt - frames * kUnitsPerFrame); }

int64_t WireClock::FreeFrame() const { return FramesUpTo(freeAt, kUnitsPerFrame); }

int64_t WireClock::Carry(int64_t frame, uint64_t bytes) {
  freeAt = std::max(freeAt, frame * kUnitsPerFrame) + BytesUnits(bytes);
  return FreeFrame();
}

void WireClock::Rest(int ms) { freeAt += RestUnits(ms); }

int64_t WireClock::FreeFrameAfter(uint64_t bytes, uint64_t rests, int ms) const {
  const int64_t units =
      std::max<int64_t>(freeAt, 0) + BytesUnits(bytes) + static_cast<int64_t>(rests) * RestUnits(ms);
  return FramesUpTo(units, kUnitsPerFrame);
}

// bytes * rate / 3125 frames.
int64_t WireClock::BytesUnits(uint64_t bytes) const {
  return static_cast<int64_t>(std::ceil(static_cast<double>(bytes) * rate * 1000.0));
}

// ms * rate / 1000 frames.
int64_t WireClock::RestUnits(int ms) const {
  return static_cast<int64_t>(std::ceil(static_cast<double>(ms) * rate * kBytesPerSecond));
}
