// Processor identification from "/proc/cpuinfo", with the online-processor count of the system (and, on
// x86, the processor's own logical count) when the file does not say how many there are.
#include "system/SProcessorData.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "system/ProcText.h"

namespace tovo::system {

namespace {

// The value part of "key<blanks>: value": the text after the first ':' and one blank.
const char* ValueAfterColon(const char* keyPosition) {
  const char* colon = std::strchr(keyPosition, ':');
  if (!colon) return nullptr;
  ++colon;
  if (*colon == ' ') ++colon;
  return colon;
}

// Copies the rest of the line into out (at most size - 1 characters).
void CopyLine(const char* from, char* out, std::size_t size) {
  std::size_t length = std::strcspn(from, "\n");
  if (length > size - 1) length = size - 1;
  std::memcpy(out, from, length);
  out[length] = '\0';
}

}  // namespace

SProcessorData::SProcessorData()
    : count(0), clockRate(0), reserved(0), features(0), vendor{}, model{}, read(false) {}

void SProcessorData::QueryRegistry() { QueryRegistry("/proc/cpuinfo"); }

void SProcessorData::QueryRegistry(const char* cpuinfoPath) {
  count = 0;
  clockRate = 0;
  features = 0;
  vendor[0] = '\0';
  model[0] = '\0';
  read = false;
  char text[kReadLimit + 1];
  long got = ReadFilePrefix(cpuinfoPath, text, sizeof text);
  if (got < 0) {
    std::fputs("Error: Reading /proc/cpuinfo failed (not found).\n", stderr);
    return;
  }
  if (got == 0) {
    std::fputs("Error: Reading /proc/cpuinfo failed (no data).\n", stderr);
    return;
  }
  read = true;
  Parse(text);
}

void SProcessorData::Parse(const char* text) {
  if (const char* at = std::strstr(text, "vendor_id")) std::sscanf(at, "vendor_id : %255s", vendor);
  if (const char* at = std::strstr(text, "model name")) {
    if (const char* value = ValueAfterColon(at)) CopyLine(value, model, sizeof model);
  }
  if (const char* at = std::strstr(text, "cpu MHz")) {
    if (const char* value = ValueAfterColon(at))
      clockRate = static_cast<int>(std::lround(ParseDecimal(value) + 8.326e-17));
  }
  if (std::strstr(text, "mmx")) features |= kMMX;
  if (std::strstr(text, "3dnow")) features |= k3DNow;
  if (std::strstr(text, "sse")) features |= kSSE;
  if (std::strstr(text, "sse2")) features |= kSSE2;

  // Many kernels number the processors from 0, so a first "processor : 0" says nothing about the count.
  if (const char* at = std::strstr(text, "processor")) std::sscanf(at, "processor : %i", &count);
  if (count > 0) return;
  if (const char* at = std::strstr(text, "cpu cores")) {
    std::sscanf(at, "cpu cores : %i", &count);
    return;
  }
  count = CountFromSystem();
}

int SProcessorData::CountFromSystem() const {
  long online = sysconf(_SC_NPROCESSORS_ONLN);
  int result = online > 0 ? static_cast<int>(online) : 1;
#if defined(__i386__) || defined(__x86_64__)
  // A hyper-threading Pentium 4 (family 15) reports its logical processors in leaf 1.
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    unsigned family = (eax >> 8) & 0xF;
    bool hyperThreading = (edx >> 28) & 1;
    int logical = static_cast<int>((ebx >> 16) & 0xFF);
    if (family == 15 && hyperThreading && logical > 1) result = logical;
  }
#endif
  return result;
}

}  // namespace tovo::system
