// A fixed ring of 256 MIDI events that several threads may push into at once
// (the host's threads, the delay timer and the audio thread all queue
// generated messages) while one thread pops. Each slot carries a sequence
// number, so a push claims its slot with one compare-and-swap and no thread
// ever waits on a lock; a full ring drops the event, as a full MIDI port does.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "vst/VstInterface.h"

class MidiEventQueue {
 public:
  static constexpr uint32_t kCapacity = 256;

  MidiEventQueue();
  MidiEventQueue(const MidiEventQueue&) = delete;
  MidiEventQueue& operator=(const MidiEventQueue&) = delete;

  // Any thread. False when the ring is full and the event was dropped.
  bool Push(const VstMidiEvent& event);
  // The single reader only. False when empty.
  bool Pop(VstMidiEvent& event);

 private:
  static_assert((kCapacity & (kCapacity - 1)) == 0, "the index mask needs a power of two");
  struct Slot {
    std::atomic<uint32_t> sequence;
    VstMidiEvent event;
  };
  Slot slots[kCapacity];
  alignas(64) std::atomic<uint32_t> writePosition{0};
  alignas(64) std::atomic<uint32_t> readPosition{0};
};
