// A fixed ring of plain records between exactly one writer thread and one reader thread, neither of which
// ever waits or allocates: the JACK process callback hands what the host program prints to a normal
// thread through one, and the action thread hands queued MIDI to the callback through another. The
// positions only grow and are masked on use, so a full ring and an empty one are told apart without a
// spare slot; a push into a full ring fails and the caller decides what a loss means.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

template <typename Record, size_t Capacity>
class EventRing {
  static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "the index mask needs a power of two");
  static_assert(std::is_trivially_copyable<Record>::value, "records are copied as plain memory");

 public:
  EventRing() = default;
  EventRing(const EventRing&) = delete;
  EventRing& operator=(const EventRing&) = delete;

  // Writer thread only. False, and nothing stored, when the ring is full.
  bool push(const Record& record) {
    const uint64_t write = writePosition.load(std::memory_order_relaxed);
    if (write - readPosition.load(std::memory_order_acquire) >= Capacity) return false;
    slots[write & (Capacity - 1)] = record;
    writePosition.store(write + 1, std::memory_order_release);
    return true;
  }

  // Reader thread only. False when the ring is empty.
  bool pop(Record& record) {
    const uint64_t read = readPosition.load(std::memory_order_relaxed);
    if (read == writePosition.load(std::memory_order_acquire)) return false;
    record = slots[read & (Capacity - 1)];
    readPosition.store(read + 1, std::memory_order_release);
    return true;
  }

  // Either thread; a snapshot that may be stale by the time it is read.
  size_t size() const {
    return static_cast<size_t>(writePosition.load(std::memory_order_acquire) -
                               readPosition.load(std::memory_order_acquire));
  }

 private:
  std::array<Record, Capacity> slots{};
  alignas(64) std::atomic<uint64_t> writePosition{0};
  alignas(64) std::atomic<uint64_t> readPosition{0};
};
