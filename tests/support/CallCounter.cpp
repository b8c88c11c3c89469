#include "CallCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>

namespace {
thread_local bool counting = false;
std::atomic<int> allocations{0};
std::atomic<int> mutexLocks{0};
}  // namespace

namespace callcount {
void SetCounting(bool on) { counting = on; }
int Allocations() { return allocations.load(); }
int MutexLocks() { return mutexLocks.load(); }
}  // namespace callcount

#if VANTORINE_COUNT_CALLS
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

extern "C" void* malloc(size_t size) {
  if (counting) ++allocations;
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
  if (counting) ++allocations;
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* pointer, size_t size) {
  if (counting) ++allocations;
  return __libc_realloc(pointer, size);
}
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
  using Lock = int (*)(pthread_mutex_t*);
  static Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  if (counting) ++mutexLocks;
  return real(mutex);
}
#endif
