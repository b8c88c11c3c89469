#include "names/SoundLookup.h"

#include <algorithm>

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

bool SameSelection(const Sound& a, const Sound& b) {
  return a.program == b.program && a.bankSelect.msb == b.bankSelect.msb &&
         a.bankSelect.lsb == b.bankSelect.lsb && a.bankNeedsOtherMessages == b.bankNeedsOtherMessages &&
         a.bank == b.bank;
}

// The name sets a search covers: the channel's, or every one when channel is 0.
std::vector<const NameSet*> SetsFor(const Device& device, int channel) {
  std::vector<const NameSet*> sets;
  if (channel == 0) {
    for (const NameSet& set : device.nameSets) sets.push_back(&set);
  } else if (channel >= 1 && channel <= 16 && device.setOfChannel[channel - 1] != Device::kNoSet) {
    sets.push_back(&device.nameSets[device.setOfChannel[channel - 1]]);
  }
  return sets;
}

}  // namespace

std::optional<SelectedSound> SoundSelectedBy(const Device& device, int channel, int program,
                                             BankSelect bank) {
  const std::vector<Sound>* sounds = device.soundsOn(channel);
  if (!sounds || program < 0 || program > 127) return std::nullopt;
  const Sound* guess = nullptr;
  for (const Sound& sound : *sounds) {
    if (sound.program != program) continue;
    const ByteMatch msb = Compare(sound.bankSelect.msb, bank.msb);
    const ByteMatch lsb = Compare(sound.bankSelect.lsb, bank.lsb);
    if (msb == ByteMatch::Different || lsb == ByteMatch::Different) continue;
    if (msb == ByteMatch::Equal && lsb == ByteMatch::Equal) return SelectedSound{sound, false};
    if (!guess) guess = &sound;
  }
  if (guess) return SelectedSound{*guess, true};
  return std::nullopt;
}

SoundSearch SoundsNamed(const Device& device, std::string_view name, int channel) {
  SoundSearch search;
  const std::string wanted = Collapsed(name);
  const std::vector<const NameSet*> sets = SetsFor(device, channel);
  for (const NameSet* set : sets)
    for (const Sound& sound : set->sounds)
      if (EqualIgnoringCase(sound.name, wanted) &&
          std::none_of(search.matches.begin(), search.matches.end(),
                       [&](const Sound& found) { return SameSelection(found, sound); }))
        search.matches.push_back(sound);
  if (!search.matches.empty()) return search;
  std::vector<std::string> names;
  for (const NameSet* set : sets)
    for (const Sound& sound : set->sounds) names.push_back(sound.name);
  search.closest = ClosestNames(wanted, names, 5);
  return search;
}

}  // namespace vantorine::names
