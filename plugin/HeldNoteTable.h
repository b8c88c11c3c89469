// The notes that MIDI thru has passed and not yet ended: a table of 256 entries in which a new note takes
// the first free entry, a note held again only gets its new velocity, and a full table takes no more. The
// notes-off flush ends the held notes in table order. An index from (channel, note) to the entry and a
// bitmap of the free entries make every step cost the same however many notes are held; all of it is in
// fixed arrays, so the audio thread never allocates.
#pragma once

#include <cstdint>

class HeldNoteTable {
 public:
  static constexpr int kCapacity = 256;

  enum class Start { Added, VelocityChanged, Full };

  HeldNoteTable();

  Start NoteStart(int channel, int note, int velocity);
  // True when the note was held (and now is not).
  bool NoteEnd(int channel, int note);
  // Calls end(channel, note) for every held note in table order and empties the table.
  template <typename End>
  void Flush(End end);

  int Count() const { return count; }

 private:
  static constexpr int kWords = kCapacity / 64;
  static constexpr int16_t kNone = -1;

  struct Entry {
    uint8_t channel;
    uint8_t note;
    uint8_t velocity;
  };

  void Free(int entry);

  Entry entries[kCapacity];
  int16_t entryOf[16][128];
  // A set bit is a free entry; bit b of word w is entry 64 w + b.
  uint64_t freeEntries[kWords];
  int count = 0;
};

template <typename End>
void HeldNoteTable::Flush(End end) {
  for (int word = 0; word < kWords; ++word) {
    for (uint64_t held = ~freeEntries[word]; held; held &= held - 1) {
      const int entry = word * 64 + __builtin_ctzll(held);
      end(entries[entry].channel, entries[entry].note);
      entryOf[entries[entry].channel][entries[entry].note] = kNone;
    }
    freeEntries[word] = ~uint64_t{0};
  }
  count = 0;
}
