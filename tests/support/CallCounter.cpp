#include "CallCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
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
#define COUNTED extern "C" __attribute__((visibility("default")))

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

COUNTED void* malloc(size_t size) {
  if (counting) ++allocations;
  return __libc_malloc(size);
}
COUNTED void* calloc(size_t count, size_t size) {
  if (counting) ++allocations;
  return __libc_calloc(count, size);
}
COUNTED void* realloc(void* pointer, size_t size) {
  if (counting) ++allocations;
  return __libc_realloc(pointer, size);
}
// libc's aligned_alloc is memalign under another name.
COUNTED void* memalign(size_t alignment, size_t size) {
  if (counting) ++allocations;
  return __libc_memalign(alignment, size);
}
COUNTED void* aligned_alloc(size_t alignment, size_t size) {
  if (counting) ++allocations;
  return __libc_memalign(alignment, size);
}
COUNTED int posix_memalign(void** pointer, size_t alignment, size_t size) {
  if (counting) ++allocations;
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* memory = __libc_memalign(alignment, size);
  if (!memory) return ENOMEM;
  *pointer = memory;
  return 0;
}
// <pthread.h> gives it no visibility of its own, so under the build's hidden default it would stay inside the
// program, and a lock taken in a loaded module would go to libc's uncounted.
COUNTED int pthread_mutex_lock(pthread_mutex_t* mutex) {
  using Lock = int (*)(pthread_mutex_t*);
  static Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  if (counting) ++mutexLocks;
  return real(mutex);
}
#endif
