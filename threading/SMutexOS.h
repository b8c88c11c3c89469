// A POSIX mutex with default attributes that remembers whether this object holds it, so that destroying
// it while locked releases it first.
#pragma once

#include <pthread.h>

#include <atomic>

#include "threading/SMutexBase.h"

namespace tovo::threading {

class SMutexOS : public SMutexBase {
 public:
  SMutexOS();
  // Unlocks first when still locked through this object.
  ~SMutexOS() override;

  // A mutex that failed to initialise refuses with EINVAL rather than touching it.
  int Lock() override;
  int Unlock() override;

  bool Locked() const { return locked.load(std::memory_order_acquire); }
  bool Valid() const { return valid; }

 private:
  pthread_mutex_t mutex;
  // Records only successful locks and unlocks.
  std::atomic<bool> locked{false};
  bool valid;
};

}  // namespace tovo::threading
