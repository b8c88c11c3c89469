// The mutex's flag follows the results the POSIX calls report: errors leave it as it was.
#include "threading/SMutexOS.h"

#include <cerrno>

namespace tovo::threading {

SMutexOS::SMutexOS() : valid(pthread_mutex_init(&mutex, nullptr) == 0) {}

SMutexOS::~SMutexOS() {
  if (!valid) return;
  if (locked.load(std::memory_order_acquire)) Unlock();
  pthread_mutex_destroy(&mutex);
}

int SMutexOS::Lock() {
  if (!valid) return EINVAL;
  const int result = pthread_mutex_lock(&mutex);
  if (result != EINVAL && result != EDEADLK) locked.store(true, std::memory_order_release);
  return result;
}

int SMutexOS::Unlock() {
  if (!valid) return EINVAL;
  // Cleared while still held, so a thread that takes the mutex next cannot have its flag wiped by us.
  const bool was = locked.exchange(false, std::memory_order_acq_rel);
  const int result = pthread_mutex_unlock(&mutex);
  if (result == EPERM || result == EINVAL) locked.store(was, std::memory_order_release);
  return result;
}

}  // namespace tovo::threading
