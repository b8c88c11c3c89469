#include "names/SoundLookup.h"

#include <set>
#include <tuple>
#include <unordered_set>

#include "names/NameText.h"

namespace vantorine::names {

namespace {

enum class ByteMatch { Equal, Guessed, Different };

// A bank byte the file does not send is ignored by the device whatever the strip sends; one it sends but
// the strip does not leaves the device where it was.
ByteMatch Compare(std::optional<uint8_t> bankByte, std::optional<uint8_t> stripByte) {
  if (!bankByte) return ByteMatch::Equal;
  if (!stripByte) return ByteMatch::Guessed;
  return *bankByte == *stripByte ? ByteMatch::Equal : ByteMatch::Different;
}

// The name sets a search covers: the channel's, or every one when channel is 0.
std::vector<const NameSet*> SetsFor(const Device& device, int channel) {
  std::vector<const NameSet*> sets;
  if (channel == 0) {
    for (const NameSet& set : device.nameSets) sets.push_back(&set);
  } else if (const NameSet* set = device.setOn(channel)) {
    sets.push_back(set);
  }
  return sets;
}

// What tells two matches apart: a way of selecting a sound, and the bank's name.
using Selection = std::tuple<uint8_t, std::optional<uint8_t>, std::optional<uint8_t>, bool, std::string_view>;

// Each name of the sets once per list, in the order the sets first offer them: a list shared by many
// banks is read once.
std::vector<std::string> NamesIn(const std::vector<const NameSet*>& sets) {
  std::unordered_set<const PatchList*> seen;
  std::vector<std::string> names;
  for (const NameSet* set : sets)
    for (const Bank& bank : set->banks)
      for (const std::shared_ptr<const PatchList>& list : bank.lists)
        if (seen.insert(list.get()).second)
          for (const Patch& patch : *list) names.push_back(patch.name);
  return names;
}

}  // namespace

std::optional<SelectedSound> SoundSelectedBy(const Device& device, int channel, int program,
                                             BankSelect bank) {
  const NameSet* set = device.setOn(channel);
  if (!set || program < 0 || program > 127) return std::nullopt;
  std::optional<SelectedSound> found;
  ForEachSound(*set, [&](const Bank& soundBank, const Patch& patch) {
    if (patch.program != program) return true;
    const BankSelect sent = BankSelectOf(soundBank, patch);
    const ByteMatch msb = Compare(sent.msb, bank.msb);
    const ByteMatch lsb = Compare(sent.lsb, bank.lsb);
    if (msb == ByteMatch::Different || lsb == ByteMatch::Different) return true;
    const bool guessed = msb != ByteMatch::Equal || lsb != ByteMatch::Equal;
    if (!found || !guessed) found = SelectedSound{SoundOf(soundBank, patch), guessed};
    return guessed;  // the first exact one ends the search; a guess is the first that is not contradicted
  });
  return found;
}

SoundSearch SoundsNamed(const Device& device, std::string_view name, int channel) {
  SoundSearch search;
  const std::string wanted = Collapsed(name);
  const std::vector<const NameSet*> sets = SetsFor(device, channel);
  std::set<Selection> found;
  for (const NameSet* set : sets)
    ForEachSound(*set, [&](const Bank& bank, const Patch& patch) {
      if (!EqualIgnoringCase(patch.name, wanted)) return true;
      const BankSelect select = BankSelectOf(bank, patch);
      // The key views the bank's name in the device, which outlives the search.
      if (found.emplace(patch.program, select.msb, select.lsb, bank.needsOtherMessages || patch.sendsSysex,
                        bank.name)
              .second)
        search.matches.push_back(SoundOf(bank, patch));
      return true;
    });
  if (!search.matches.empty()) return search;
  search.closest = ClosestNames(wanted, NamesIn(sets), 5);
  return search;
}

}  // namespace vantorine::names
