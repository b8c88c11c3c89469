// What the processor is and which instruction-set extensions it offers, as far as the plug-in cares:
// read from the head of "/proc/cpuinfo".
#pragma once

#include <cstddef>

namespace tovo::system {

class SProcessorData {
 public:
  // Feature bits.
  static constexpr unsigned kMMX = 1u << 0;
  static constexpr unsigned kSSE = 1u << 1;
  static constexpr unsigned kSSE2 = 1u << 2;
  static constexpr unsigned k3DNow = 1u << 3;
  static constexpr unsigned kTextSize = 256;
  // Only the head of the file is looked at: the first processor's block says all we need.
  static constexpr std::size_t kReadLimit = 2048;

  SProcessorData();

  // Reads "/proc/cpuinfo".
  void QueryRegistry();
  // Reads the given file in its place; failures go to standard error and leave every feature clear.
  void QueryRegistry(const char* cpuinfoPath);
  void QueryFeatures() { QueryRegistry(); }

  int Count() const { return count; }
  int ClockRate() const { return clockRate; }
  unsigned Features() const { return features; }
  const char* Vendor() const { return vendor; }
  const char* Model() const { return model; }
  // True once some processor text was read.
  bool WasRead() const { return read; }

 private:
  void Parse(const char* text);
  int CountFromSystem() const;

  int count;
  int clockRate;
  int reserved;
  unsigned features;
  char vendor[kTextSize];
  char model[kTextSize];
  bool read;
};

}  // namespace tovo::system
