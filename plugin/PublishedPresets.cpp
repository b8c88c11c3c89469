#include "plugin/PublishedPresets.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// The presets are copied as 32-bit words: both records are a whole number of them, and every 16- and 32-bit
// field lies inside one.
using Word = uint32_t __attribute__((__may_alias__));
static_assert(sizeof(VSTPluginProgram) % sizeof(Word) == 0, "a record is whole words");
static_assert(sizeof(VSTPluginProgramExtension) % sizeof(Word) == 0, "the version 2 fields are whole words");

constexpr int kReadLooks = 8;
constexpr size_t kThruWord = offsetof(VSTPluginProgram, midiThru) / sizeof(Word);

void LoadWords(const void* from, void* to, size_t bytes) {
  const auto* source = static_cast<const Word*>(from);
  auto* target = static_cast<Word*>(to);
  for (size_t i = 0; i < bytes / sizeof(Word); ++i) target[i] = __atomic_load_n(&source[i], __ATOMIC_RELAXED);
}

// Every word but the one that holds MIDI thru, when `withThru` is false: its other bytes go in one by one.
void StoreWords(const void* from, void* to, size_t bytes, bool withThru) {
  const auto* source = static_cast<const Word*>(from);
  auto* target = static_cast<Word*>(to);
  for (size_t i = 0; i < bytes / sizeof(Word); ++i) {
    if (i == kThruWord && !withThru) {
      const auto* sourceBytes = reinterpret_cast<const uint8_t*>(&source[i]);
      auto* targetBytes = reinterpret_cast<uint8_t*>(&target[i]);
      for (size_t b = 0; b < sizeof(Word); ++b)
        if (i * sizeof(Word) + b != offsetof(VSTPluginProgram, midiThru))
          __atomic_store_n(&targetBytes[b], sourceBytes[b], __ATOMIC_RELAXED);
      continue;
    }
    __atomic_store_n(&target[i], source[i], __ATOMIC_RELAXED);
  }
}

// A SysEx list is most of a preset's bytes, and mostly unused: only its used words are copied. A copy read
// from here holds the list up to its length, and whatever the copy held past it; the published presets
// hold zeros past each list's length, whatever the copy they are given holds there.
constexpr size_t kListOffset = offsetof(VSTPluginProgramExtension, sysex);
constexpr size_t kAfterList = kListOffset + sizeof(VSTPluginProgramExtension::sysex);
static_assert(kListOffset % sizeof(Word) == 0 && kAfterList % sizeof(Word) == 0, "the list is whole words");

size_t UsedListBytes(uint32_t length) {
  const size_t used = std::min<size_t>(length, sizeof(VSTPluginProgramExtension::sysex));
  return (used + sizeof(Word) - 1) / sizeof(Word) * sizeof(Word);
}

const uint8_t* Bytes(const VSTPluginProgramExtension& extension) {
  return reinterpret_cast<const uint8_t*>(&extension);
}
uint8_t* Bytes(VSTPluginProgramExtension& extension) {
  return reinterpret_cast<uint8_t*>(&extension);
}

// A length torn from a copy going in is caught by the reader's sequence check; meanwhile it is clamped.
void LoadExtension(const VSTPluginProgramExtension& from, VSTPluginProgramExtension& to) {
  const size_t used = UsedListBytes(__atomic_load_n(&from.sysexLength, __ATOMIC_RELAXED));
  LoadWords(Bytes(from), Bytes(to), kListOffset + used);
  LoadWords(Bytes(from) + kAfterList, Bytes(to) + kAfterList, sizeof(to) - kAfterList);
}

// Only the writer changes the published list, so the length it reads there is the one it wrote last.
void StoreExtension(const VSTPluginProgramExtension& from, VSTPluginProgramExtension& to) {
  const size_t usedBefore = UsedListBytes(__atomic_load_n(&to.sysexLength, __ATOMIC_RELAXED));
  const size_t used = UsedListBytes(from.sysexLength);
  StoreWords(Bytes(from), Bytes(to), kListOffset + used, true);
  auto* words = reinterpret_cast<Word*>(Bytes(to) + kListOffset);
  for (size_t i = used / sizeof(Word); i < usedBefore / sizeof(Word); ++i)
    __atomic_store_n(&words[i], Word{0}, __ATOMIC_RELAXED);
  StoreWords(Bytes(from) + kAfterList, Bytes(to) + kAfterList, sizeof(to) - kAfterList, true);
}

}  // namespace

PublishedPresets::PublishedPresets() {
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(records[n], n);
    InitProgramExtension(extensions[n]);
    sequences[n].store(0, std::memory_order_relaxed);
  }
}

bool PublishedPresets::Read(int preset, VSTPluginProgram& record, VSTPluginProgramExtension& extension) const {
  const std::atomic<uint32_t>& sequence = sequences[preset];
  for (int look = 0; look < kReadLooks; ++look) {
    const uint32_t before = sequence.load(std::memory_order_acquire);
    if (before & 1) continue;
    LoadWords(&records[preset], &record, sizeof(record));
    LoadExtension(extensions[preset], extension);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (sequence.load(std::memory_order_relaxed) == before) return true;
  }
  return false;
}

void PublishedPresets::Publish(int preset, const VSTPluginProgram& record,
                               const VSTPluginProgramExtension& extension, uint8_t thruBefore) {
  std::atomic<uint32_t>& sequence = sequences[preset];
  const uint32_t before = sequence.load(std::memory_order_relaxed);
  sequence.store(before + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  StoreWords(&record, &records[preset], sizeof(record), record.midiThru != thruBefore);
  StoreExtension(extension, extensions[preset]);
  sequence.store(before + 2, std::memory_order_release);
}

void PublishedPresets::SetThru(int preset, bool on) {
  __atomic_store_n(&records[preset].midiThru, static_cast<uint8_t>(on), __ATOMIC_RELAXED);
}
