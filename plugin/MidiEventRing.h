// A fixed ring of 256 MIDI events with one writing thread and one reading thread, such as the events the
// host hands in (written by processEvents, read by the processing call) and the events the processing
// call gathers for the host. Each side owns its index and publishes it with release order, so a push or
// a pop is a copy and two atomic loads; a full ring drops the event, as a full MIDI port does. The
// generated messages, which several threads queue, use MidiEventQueue instead.
#pragma once

#include <atomic>
#include <cstdint>

#include "vst/VstInterface.h"

class MidiEventRing {
 public:
  static constexpr uint32_t kCapacity = 256;

  MidiEventRing() = default;
  MidiEventRing(const MidiEventRing&) = delete;
  MidiEventRing& operator=(const MidiEventRing&) = delete;

  // The writer only. False when the ring is full and the event was dropped.
  bool Push(const VstMidiEvent& event) {
    const uint32_t write = writePosition.load(std::memory_order_relaxed);
    if (write - readPosition.load(std::memory_order_acquire) == kCapacity) return false;
    slots[write & (kCapacity - 1)] = event;
    writePosition.store(write + 1, std::memory_order_release);
    return true;
  }

  // The reader only. False when empty.
  bool Pop(VstMidiEvent& event) {
    const uint32_t read = readPosition.load(std::memory_order_relaxed);
    if (read == writePosition.load(std::memory_order_acquire)) return false;
    event = slots[read & (kCapacity - 1)];
    readPosition.store(read + 1, std::memory_order_release);
    return true;
  }

 private:
  static_assert((kCapacity & (kCapacity - 1)) == 0, "the index mask needs a power of two");
  VstMidiEvent slots[kCapacity];
  alignas(64) std::atomic<uint32_t> writePosition{0};
  alignas(64) std::atomic<uint32_t> readPosition{0};
};
