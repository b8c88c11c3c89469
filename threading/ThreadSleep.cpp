// The sleeps over usleep and nanosleep.
#include "threading/ThreadSleep.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace tovo::threading {

void ThreadSleep(unsigned ms) {
  const uint64_t us = static_cast<uint64_t>(ms) * 1000u;
  usleep(static_cast<useconds_t>(us > UINT32_MAX ? UINT32_MAX : us));
}

int PreciseSleep(double seconds) {
  // The cast to time_t would be undefined for values it cannot hold.
  if (!(seconds >= 0.0) || seconds > 1.0e9) {
    errno = EINVAL;
    return -1;
  }
  timespec wanted{};
  wanted.tv_sec = static_cast<time_t>(seconds);
  wanted.tv_nsec = static_cast<long>((seconds - static_cast<double>(wanted.tv_sec)) * 1.0e9);
  if (wanted.tv_nsec > 999999999L) wanted.tv_nsec = 999999999L;
  timespec left{};
  int result;
  while ((result = nanosleep(&wanted, &left)) == -1 && errno == EINTR) wanted = left;
  return result;
}

}  // namespace tovo::threading
