// A device's sounds as the catalog keeps them, whether read from a MIDNAM file or built in: sets of
// sounds, and which set each channel uses (a drum channel has its own, a multi-timbral module may differ
// per channel).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "names/DeviceNames.h"

namespace vantorine::names {

struct NameSet {
  std::string name;
  std::vector<Sound> sounds;  // in the file's order, bank by bank
};

struct Device {
  static constexpr int kNoSet = -1;

  std::vector<NameSet> nameSets;
  std::array<int, 16> setOfChannel;  // channel 1 first; an index into nameSets, or kNoSet

  Device() { setOfChannel.fill(kNoSet); }
  // The sounds on a channel (1-16), or null when it has none.
  const std::vector<Sound>* soundsOn(int channel) const {
    if (channel < 1 || channel > 16 || setOfChannel[channel - 1] == kNoSet) return nullptr;
    return &nameSets[setOfChannel[channel - 1]].sounds;
  }
};

}  // namespace vantorine::names
