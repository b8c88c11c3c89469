// Counts the heap allocations and mutex locks that one thread makes while it has counting switched on, by
// standing in for malloc, calloc, realloc, the aligned allocations and pthread_mutex_lock in the program.
// operator new, over-aligned or not, ends in one of these. They are exported even from a program built with
// hidden visibility, so the modules it dlopens and the shared libraries they use call them too, not libc's.
// Sanitizer builds own the allocator, so there the counter is not available and the tests that need it skip.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VANTORINE_COUNT_CALLS 0
#else
#define VANTORINE_COUNT_CALLS 1
#endif

namespace callcount {

// For the calling thread only.
void SetCounting(bool on);
int Allocations();
int MutexLocks();

}  // namespace callcount
