// A device's sounds as the catalog keeps them, whether read from a MIDNAM file or built in: sets of banks,
// and which set each channel uses (a drum channel has its own, a multi-timbral module may differ per
// channel). Banks that use the same name list share it: a sound is a bank and one of its lists' patches,
// made only when asked for, so a list used by a thousand banks is kept once.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "names/DeviceNames.h"

namespace vantorine::names {

// A patch of a name list, as any bank that uses the list offers it.
struct Patch {
  std::string name;
  uint8_t program = 0;
  BankSelect ownBankSelect;  // the bytes the patch's own commands send, over its bank's
  bool sendsSysex = false;   // its own commands send System Exclusive
};
using PatchList = std::vector<Patch>;

struct Bank {
  std::string name;
  BankSelect bankSelect;
  bool needsOtherMessages = false;  // see Sound::bankNeedsOtherMessages
  std::vector<std::shared_ptr<const PatchList>> lists;  // in the file's order
};

struct NameSet {
  std::string name;
  std::vector<Bank> banks;
};

// The Bank Select that selects `patch` in `bank`.
BankSelect BankSelectOf(const Bank& bank, const Patch& patch);
Sound SoundOf(const Bank& bank, const Patch& patch);

// Calls visit(bank, patch) for each sound of `set` in the file's order, bank by bank, until it returns
// false.
template <typename Visit>
void ForEachSound(const NameSet& set, Visit visit) {
  for (const Bank& bank : set.banks)
    for (const std::shared_ptr<const PatchList>& list : bank.lists)
      for (const Patch& patch : *list)
        if (!visit(bank, patch)) return;
}

struct Device {
  static constexpr int kNoSet = -1;

  std::vector<NameSet> nameSets;
  std::array<int, 16> setOfChannel;  // channel 1 first; an index into nameSets, or kNoSet

  Device() { setOfChannel.fill(kNoSet); }
  // The set of a channel (1-16), or null when it has none.
  const NameSet* setOn(int channel) const {
    if (channel < 1 || channel > 16 || setOfChannel[channel - 1] == kNoSet) return nullptr;
    return &nameSets[setOfChannel[channel - 1]];
  }
  // The memory the device holds, each shared list once.
  size_t keptBytes() const;
};

}  // namespace vantorine::names
