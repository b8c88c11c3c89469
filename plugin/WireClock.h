// The MIDI line the plug-in's own messages travel on, as its sends see it. A 5-pin port carries 3125
// bytes a second, so a message is on the wire for a while after the frame it was handed out at, and what
// is handed out while the line is busy waits in the port behind it. A module that needs time for each
// System Exclusive message loses the next one when it comes sooner: a send starts each message of its list
// only once the line is free, and the clock outlives the send, so that a new send's list follows whatever
// the plug-in sent before it.
//
// Time is counted in units of 1 / 3,125,000 frame: at a whole-number sample rate a message's time on the
// wire (bytes * rate / 3125 frames) and a gap in milliseconds are whole units, so pacing never comes early
// by a rounding. Frames count from the start of the current block. Audio thread only.
#pragma once

#include <cstdint>

class WireClock {
 public:
  // 31250 baud, ten bits to a byte.
  static constexpr int64_t kBytesPerSecond = 3125;

  // A rate other than the one counted in means processing started anew: the line is free.
  void UseRate(double sampleRate);
  // Processing stopped and started again: the line went quiet meanwhile.
  void Reset() { freeAt = 0; }
  // A block of `frames` has passed: frames count from the next block's start.
  void BlockDone(int64_t frames);
  // The first frame at which the line is free; 0 when it is free already.
  int64_t FreeFrame() const;
  // `bytes` handed out at `frame` go on the line once it is free; returns the frame at which they are
  // through.
  int64_t Carry(int64_t frame, uint64_t bytes);
  // Nothing more starts on the line for `ms` milliseconds.
  void Rest(int ms);
  // The frame at which the line would be free after `bytes` more and `rests` rests of `ms` each.
  int64_t FreeFrameAfter(uint64_t bytes, uint64_t rests, int ms) const;

 private:
  static constexpr int64_t kUnitsPerFrame = kBytesPerSecond * 1000;

  double rate = 44100.0;
  int64_t unitsPerByte = 44100 * 1000;
  int64_t unitsPerMs = 44100 * kBytesPerSecond;
  int64_t freeAt = 0;  // in units; 0 or less: free
};
