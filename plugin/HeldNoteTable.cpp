#include "plugin/HeldNoteTable.h"

HeldNoteTable::HeldNoteTable() {
  for (auto& channel : entryOf)
    for (int16_t& entry : channel) entry = kNone;
  for (uint64_t& word : freeEntries) word = ~uint64_t{0};
  for (Entry& entry : entries) entry = {0, 0, 0};
}

HeldNoteTable::Start HeldNoteTable::NoteStart(int channel, int note, int velocity) {
  int16_t& held = entryOf[channel & 0x0F][note & 0x7F];
  if (held != kNone) {
    entries[held].velocity = static_cast<uint8_t>(velocity);
    return Start::VelocityChanged;
  }
  if (count >= kCapacity) return Start::Full;
  int word = 0;
  while (freeEntries[word] == 0) ++word;
  const int entry = word * 64 + __builtin_ctzll(freeEntries[word]);
  freeEntries[word] &= freeEntries[word] - 1;
  entries[entry] = {static_cast<uint8_t>(channel & 0x0F), static_cast<uint8_t>(note & 0x7F),
                    static_cast<uint8_t>(velocity)};
  held = static_cast<int16_t>(entry);
  ++count;
  return Start::Added;
}

bool HeldNoteTable::NoteEnd(int channel, int note) {
  int16_t& held = entryOf[channel & 0x0F][note & 0x7F];
  if (held == kNone) return false;
  Free(held);
  held = kNone;
  return true;
}

void HeldNoteTable::Free(int entry) {
  freeEntries[entry / 64] |= uint64_t{1} << (entry % 64);
  --count;
}
