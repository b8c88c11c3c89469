// The SysEx init's choices and the custom list kept while the user steps.
#include "editor/SysexChoice.h"

#include "midi/SysexMessages.h"

namespace vantorine::editor {

const char* const kSysexChoiceNames[kSysexChoiceCount] = {"none", "GM", "GM2", "GS", "XG", "Custom"};

int ChoiceOfList(const std::vector<uint8_t>& list) {
  if (list.empty()) return kSysexNone;
  const std::vector<midi::NamedSysex>& named = midi::NamedSysexMessages();
  for (size_t i = 0; i < named.size(); ++i)
    if (named[i].bytes == list) return kSysexGm + static_cast<int>(i);
  return kSysexCustom;
}

void SysexChoiceMemory::Follow(int currentPreset, const std::vector<uint8_t>& list) {
  if (currentPreset == preset && list == shown) return;
  preset = currentPreset;
  shown = list;
  custom = ChoiceOfList(list) == kSysexCustom ? list : std::vector<uint8_t>{};
}

const std::vector<uint8_t>& SysexChoiceMemory::Choose(int choice) {
  if (choice == kSysexCustom) {
    shown = custom;
  } else if (choice > kSysexNone && choice < kSysexCustom) {
    shown = midi::NamedSysexMessages()[static_cast<size_t>(choice - kSysexGm)].bytes;
  } else {
    shown.clear();
  }
  return shown;
}

void SysexChoiceMemory::Typed(const std::vector<uint8_t>& list) {
  shown = list;
  if (ChoiceOfList(list) == kSysexCustom) custom = list;
}

}  // namespace vantorine::editor
