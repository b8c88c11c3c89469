#include "names/Device.h"

#include <unordered_set>

namespace vantorine::names {

namespace {

// Short strings are kept inside the string itself.
size_t HeapBytes(const std::string& text) {
  return text.capacity() + 1 > sizeof(std::string) ? text.capacity() + 1 : 0;
}

}  // namespace

BankSelect BankSelectOf(const Bank& bank, const Patch& patch) {
  return {patch.ownBankSelect.msb ? patch.ownBankSelect.msb : bank.bankSelect.msb,
          patch.ownBankSelect.lsb ? patch.ownBankSelect.lsb : bank.bankSelect.lsb};
}

Sound SoundOf(const Bank& bank, const Patch& patch) {
  return Sound{patch.name, bank.name, patch.program, BankSelectOf(bank, patch),
               bank.needsOtherMessages || patch.sendsSysex};
}

size_t Device::keptBytes() const {
  std::unordered_set<const PatchList*> counted;
  size_t bytes = sizeof(Device) + nameSets.capacity() * sizeof(NameSet);
  for (const NameSet& set : nameSets) {
    bytes += HeapBytes(set.name) + set.banks.capacity() * sizeof(Bank);
    for (const Bank& bank : set.banks) {
      bytes += HeapBytes(bank.name) + bank.lists.capacity() * sizeof(bank.lists[0]);
      for (const std::shared_ptr<const PatchList>& list : bank.lists) {
        if (!counted.insert(list.get()).second) continue;
        // The list with the shared pointer's count beside it, as make_shared allocates them.
        bytes += sizeof(PatchList) + 2 * sizeof(long) + list->capacity() * sizeof(Patch);
        for (const Patch& patch : *list) bytes += HeapBytes(patch.name);
      }
    }
  }
  return bytes;
}

}  // namespace vantorine::names
