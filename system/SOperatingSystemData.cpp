// Kernel identification from the /proc/sys/kernel files.
#include "system/SOperatingSystemData.h"

#include <cstring>

#include "system/ProcText.h"

namespace tovo::system {

namespace {
// The kernel files are a line each; a file that fills the whole buffer is not one of them.
constexpr unsigned kFileLimit = 4096;
}  // namespace

SOperatingSystemData::SOperatingSystemData() : text{}, qualifies(true), result(true) {}

void SOperatingSystemData::QueryFeatures() { QueryFeatures(SKernelFiles()); }

void SOperatingSystemData::AppendText(const char* part) {
  std::size_t used = std::strlen(text);
  std::size_t room = kTextSize - 1 - used;
  std::size_t length = std::strlen(part);
  if (length > room) length = room;
  std::memcpy(text + used, part, length);
  text[used + length] = '\0';
}

void SOperatingSystemData::QueryFeatures(const SKernelFiles& files) {
  text[0] = '\0';
  qualifies = true;
  result = true;
  char buffer[kFileLimit + 1];
  const char* paths[3] = {files.ostype, files.osrelease, files.version};
  for (int i = 0; i < 3; ++i) {
    long got = ReadFilePrefix(paths[i], buffer, sizeof buffer);
    bool usable = got >= 0 && got != static_cast<long>(kFileLimit);
    if (usable) AppendText(buffer);
    if (i == 1) {
      if (usable)
        qualifies = ParseDecimal(buffer) >= kMinimumRelease;
      else
        result = false;
    }
  }
}

}  // namespace tovo::system
