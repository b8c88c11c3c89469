// The bounded many-writer, one-reader event ring.
#include "plugin/MidiEventQueue.h"

MidiEventQueue::MidiEventQueue() {
  for (uint32_t i = 0; i < kCapacity; ++i) slots[i].sequence.store(i, std::memory_order_relaxed);
}

bool MidiEventQueue::Push(const VstMidiEvent& event) {
  uint32_t position = writePosition.load(std::memory_order_relaxed);
  for (;;) {
    Slot& slot = slots[position & (kCapacity - 1)];
    const uint32_t sequence = slot.sequence.load(std::memory_order_acquire);
    const int32_t lag = static_cast<int32_t>(sequence - position);
    if (lag == 0) {
      // The slot is free for this lap: claim it, or learn where the other writer left the position.
      if (writePosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
        slot.event = event;
        slot.sequence.store(position + 1, std::memory_order_release);
        return true;
      }
    } else if (lag < 0) {
      return false;  // the reader has not freed this slot yet: full
    } else {
      position = writePosition.load(std::memory_order_relaxed);
    }
  }
}

bool MidiEventQueue::Pop(VstMidiEvent& event) {
  const uint32_t position = readPosition.load(std::memory_order_relaxed);
  Slot& slot = slots[position & (kCapacity - 1)];
  if (slot.sequence.load(std::memory_order_acquire) != position + 1) return false;
  event = slot.event;
  slot.sequence.store(position + kCapacity, std::memory_order_release);
  readPosition.store(position + 1, std::memory_order_relaxed);
  return true;
}
