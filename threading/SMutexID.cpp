// Each contender announces itself by adding 1; whoever saw 0 before its addition holds the lock, the others
// take their announcement back and try again after giving up the processor.
#include "threading/SMutexID.h"

#include <ctime>

namespace tovo::threading {

SMutexID::~SMutexID() {
  if (locked.exchange(false, std::memory_order_acq_rel)) counter.fetch_sub(1, std::memory_order_release);
}

int SMutexID::Lock() {
  while (counter.fetch_add(1, std::memory_order_acquire) > 0) {
    counter.fetch_sub(1, std::memory_order_relaxed);
    const timespec none{0, 0};
    nanosleep(&none, nullptr);
  }
  locked.store(true, std::memory_order_relaxed);
  return 0;
}

bool SMutexID::TryLock() {
  if (counter.fetch_add(1, std::memory_order_acquire) > 0) {
    counter.fetch_sub(1, std::memory_order_relaxed);
    return false;
  }
  locked.store(true, std::memory_order_relaxed);
  return true;
}

int SMutexID::Unlock() {
  // The flag goes first: once the counter drops, the next holder sets it, and clearing it after that would
  // let the destructor think nobody holds the lock. A stray Unlock must not drive the counter negative,
  // which would let two threads in at once.
  if (locked.exchange(false, std::memory_order_relaxed)) counter.fetch_sub(1, std::memory_order_release);
  return 0;
}

}  // namespace tovo::threading
