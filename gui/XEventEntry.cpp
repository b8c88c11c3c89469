// The low-memory jump to SControl::eventProc that "_XEventProc" publishes on 64-bit builds.
#include "gui/XEventEntry.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <mutex>

#include "gui/SControl.h"

namespace tovo::gui {

namespace {

std::mutex entryMutex;
void* entryPage = nullptr;
size_t entryPageSize = 0;

constexpr uintptr_t kLowLimit = uintptr_t(1) << 31;

#if defined(__x86_64__)
// movabs rax, target; jmp rax
size_t WriteJump(unsigned char* code, uintptr_t target) {
  code[0] = 0x48;
  code[1] = 0xB8;
  std::memcpy(code + 2, &target, 8);
  code[10] = 0xFF;
  code[11] = 0xE0;
  return 12;
}
#elif defined(__aarch64__)
// ldr x16, #8; br x16; .quad target
size_t WriteJump(unsigned char* code, uintptr_t target) {
  const uint32_t load = 0x58000050;
  const uint32_t branch = 0xD61F0200;
  std::memcpy(code, &load, 4);
  std::memcpy(code + 4, &branch, 4);
  std::memcpy(code + 8, &target, 8);
  return 16;
}
#elif UINTPTR_MAX > 0xFFFFFFFFu
#error "no event-entry jump for this 64-bit processor"
#endif

#if UINTPTR_MAX > 0xFFFFFFFFu
// A private page below 2^31: MAP_32BIT where the kernel offers it, else hints walking down from 1 GB.
void* MapLowPage(size_t size) {
#ifdef MAP_32BIT
  void* page = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (page != MAP_FAILED && reinterpret_cast<uintptr_t>(page) + size <= kLowLimit) return page;
  if (page != MAP_FAILED) munmap(page, size);
#endif
  for (uintptr_t hint = uintptr_t(1) << 30; hint >= (uintptr_t(1) << 24); hint -= uintptr_t(1) << 24) {
    void* placed = mmap(reinterpret_cast<void*>(hint), size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                      -1, 0);
    if (placed == MAP_FAILED) continue;
    if (reinterpret_cast<uintptr_t>(placed) + size <= kLowLimit) return placed;
    munmap(placed, size);
  }
  return nullptr;
}
#endif

}  // namespace

unsigned long EventEntryAddress() {
#if UINTPTR_MAX <= 0xFFFFFFFFu
  return reinterpret_cast<unsigned long>(&SControl::eventProc);
#else
  std::lock_guard<std::mutex> guard(entryMutex);
  if (entryPage) return reinterpret_cast<unsigned long>(entryPage);
  const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* page = MapLowPage(size);
  if (!page) return 0;
  const size_t length = WriteJump(static_cast<unsigned char*>(page), reinterpret_cast<uintptr_t>(&SControl::eventProc));
  // Written while writable, then switched to read-execute: the page is never writable and executable at once.
  __builtin___clear_cache(static_cast<char*>(page), static_cast<char*>(page) + length);
  if (mprotect(page, size, PROT_READ | PROT_EXEC) != 0) {
    munmap(page, size);
    return 0;
  }
  entryPage = page;
  entryPageSize = size;
  return reinterpret_cast<unsigned long>(entryPage);
#endif
}

void ReleaseEventEntry() {
  std::lock_guard<std::mutex> guard(entryMutex);
  if (!entryPage) return;
  munmap(entryPage, entryPageSize);
  entryPage = nullptr;
  entryPageSize = 0;
}

}  // namespace tovo::gui
