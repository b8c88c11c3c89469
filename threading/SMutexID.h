// A spin lock on an atomic counter for very short sections (the notes-off flush, event delivery): a
// waiter backs off and yields the processor with a zero-length sleep instead of blocking in the kernel.
#pragma once

#include <atomic>
#include <cstdint>

#include "threading/SMutexBase.h"

namespace tovo::threading {

class SMutexID : public SMutexBase {
 public:
  SMutexID() = default;
  // Releases the lock when it is still held through this object.
  ~SMutexID() override;

  // Spins (yielding) until the lock is free; always returns 0.
  int Lock() override;
  // Releases the lock; an Unlock without a matching Lock does nothing. Always returns 0.
  int Unlock() override;
  // Takes the lock only if it is free at once; for callers that must never wait, such as the audio thread.
  bool TryLock();

  bool Locked() const { return locked.load(std::memory_order_acquire); }
  // Holders plus threads momentarily announcing themselves; 0 when free and uncontended.
  int32_t Count() const { return counter.load(std::memory_order_acquire); }

 private:
  std::atomic<int32_t> counter{0};
  std::atomic<bool> locked{false};
};

}  // namespace tovo::threading
