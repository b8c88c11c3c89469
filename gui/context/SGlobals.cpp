// Per-instance GUI resources.
#include "gui/context/SGlobals.h"

#include <cstring>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <x86intrin.h>
#endif

#include "file/SFilePath.h"
#include "threading/ThreadSleep.h"

namespace tovo::gui {

namespace {

unsigned TimeStampSeed() {
#if defined(__i386__) || defined(__x86_64__)
  return static_cast<unsigned>(__rdtsc());
#else
  return tovo::math::random::generator::SRandom::TimeSeed();
#endif
}

}  // namespace

SGlobals::SGlobals() {
  tovo::threading::ThreadSleep(3);
  seed = TimeStampSeed();
  random.Seed(seed);
}

void SGlobals::SetBinaryData(const char* libraryPath) {
  directory.Clear(false);
  fileName.Clear(false);
  if (!libraryPath) return;
  std::size_t length = std::strlen(libraryPath);
  std::vector<char> dir(length + 1, '\0');
  tovo::file::SFilePath::GetDir(dir.data(), libraryPath, -1);
  directory.Append(dir.data());
  fileName.Append(libraryPath + std::strlen(dir.data()));
}

}  // namespace tovo::gui
