// What the plug-in knows about the machine, gathered once at load time into the process-wide `sd`, and
// the requirements check that `main` makes before it creates an instance: a kernel of release 2.4 or
// later and, on x86, a processor with MMX.
#pragma once

#include "data/datastring.h"
#include "system/SOperatingSystemData.h"
#include "system/SProcessorData.h"

namespace tovo::gui {
class SDisplay;
}

namespace tovo::system {

// Where the probes read from; tests point these at fixtures.
struct SSystemSources {
  const char* cpuinfo = "/proc/cpuinfo";
  SKernelFiles kernel;
};

class SSystemData {
 public:
  SSystemData() = default;
  explicit SSystemData(const SSystemSources& from) : sources(from) {}
  ~SSystemData();
  SSystemData(const SSystemData&) = delete;
  SSystemData& operator=(const SSystemData&) = delete;

  // Load time: getOSInfos, getCPUInfos, getDisplayInfos, in that order.
  void Gather();

  // Reads the kernel files; returns whether the kernel qualifies.
  bool getOSInfos();
  // Reads the processor text and sets the feature flags, clock rate, count and CPU text.
  void getCPUInfos();
  // Creates the monitor geometry once, from the toolkit's current X connection (none: no monitors).
  void getDisplayInfos();

  // needSSE2: also SSE and SSE2; needSSE: also SSE. MMX is asked for only where it exists (x86).
  bool Qualifies(bool needSSE, bool needSSE2) const;
  // Whether the MMX requirement applies to processors of this build.
  static constexpr bool MmxApplies() {
#if defined(__i386__) || defined(__x86_64__)
    return true;
#else
    return false;
#endif
  }

  // Says on standard error which requirement the machine misses.
  void ErrorMessage(bool needSSE, bool needSSE2) const;
  // A machine that qualifies loads quietly: a host's console is not ours to fill.
  void FeatureMessage() const {}
  // The text ErrorMessage writes: one "Error: ..." line per missing requirement; empty when none.
  tovo::data::datastring<32, char> ErrorText(bool needSSE, bool needSSE2) const;

  tovo::gui::SDisplay* Displays() const { return displays; }
  int ClockRate() const { return clockRate; }
  int ProcessorCount() const { return processorCount; }
  bool HasSSE() const { return hasSSE; }
  bool HasSSE2() const { return hasSSE2; }
  bool HasMMX() const { return hasMMX; }
  bool Has3DNow() const { return has3DNow; }
  bool OsQualifies() const { return osQualifies; }
  const tovo::data::datastring<32, char>& CpuText() const { return cpuText; }
  const tovo::data::datastring<32, char>& OsText() const { return osText; }

 private:
  tovo::gui::SDisplay* displays = nullptr;
  int clockRate = 0;
  int reserved = 0;
  int processorCount = 0;
  bool hasSSE = false;
  bool hasSSE2 = false;
  bool hasMMX = false;
  bool has3DNow = false;
  bool osQualifies = true;
  tovo::data::datastring<32, char> cpuText;
  tovo::data::datastring<32, char> osText;
  SOperatingSystemData osData;
  SProcessorData processorData;
  SSystemSources sources;
};

extern SSystemData sd;

}  // namespace tovo::system
