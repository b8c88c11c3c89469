// How many threads this process has now, as the kernel lists them: what tests compare before and after an
// instance, an editor or a library has come and gone.
#pragma once

#include <dirent.h>

namespace testsupport {

inline int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
  }
  return count;
}

}  // namespace testsupport
