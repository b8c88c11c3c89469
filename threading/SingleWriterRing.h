// A fixed ring of plain records between exactly one writer thread and one reader thread, neither of which
// ever waits or allocates: the plug-in's events from the host and to the host pass through two, and in
// the host program's JACK mode the process callback hands what is printed to a normal thread, and the
// action thread hands queued MIDI to the callback. Each side owns its position and publishes it with
// release order. The positions only grow and are masked on use, so a full ring and an empty one are told
// apart without a spare slot; a push into a full ring fails and the caller decides what a loss means.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tovo::threading {

template <typename Record, size_t Capacity>
class SingleWriterRing {
  static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "the index mask needs a power of two");
  static_assert(std::is_trivially_copyable<Record>::value, "records are copied as plain memory");

 public:
  SingleWriterRing() = default;
  SingleWriterRing(const SingleWriterRing&) = delete;
  SingleWriterRing& operator=(const SingleWriterRing&) = delete;

  // Writer thread only. False, and nothing stored, when the ring is full.
  bool Push(const Record& record) {
    const uint64_t write = writePosition.load(std::memory_order_relaxed);
    if (write - readPosition.load(std::memory_order_acquire) >= Capacity) return false;
    slots[write & (Capacity - 1)] = record;
    writePosition.store(write + 1, std::memory_order_release);
    return true;
  }

  // Reader thread only. False when the ring is empty.
  bool Pop(Record& record) {
    const uint64_t read = readPosition.load(std::memory_order_relaxed);
    if (read == writePosition.load(std::memory_order_acquire)) return false;
    record = slots[read & (Capacity - 1)];
    readPosition.store(read + 1, std::memory_order_release);
    return true;
  }

  // Either thread; a snapshot that may be stale by the time it is read.
  size_t Size() const {
    return static_cast<size_t>(writePosition.load(std::memory_order_acquire) -
                               readPosition.load(std::memory_order_acquire));
  }

 private:
  std::array<Record, Capacity> slots{};
  alignas(64) std::atomic<uint64_t> writePosition{0};
  alignas(64) std::atomic<uint64_t> readPosition{0};
};

}  // namespace tovo::threading
