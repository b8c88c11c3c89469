// The lock interface that events and drawing take without caring whether a POSIX mutex or the spin
// lock sits behind it.
#pragma once

namespace tovo::threading {

class SMutexBase {
 public:
  virtual ~SMutexBase() = default;
  // Both return 0 on success or the error of the underlying call.
  virtual int Lock() = 0;
  virtual int Unlock() = 0;

 protected:
  SMutexBase() = default;
  SMutexBase(const SMutexBase&) = delete;
  SMutexBase& operator=(const SMutexBase&) = delete;
};

}  // namespace tovo::threading
