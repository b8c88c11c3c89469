#include "plugin/PublishedPresets.h"

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
    LoadWords(&extensions[preset], &extension, sizeof(extension));
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
  StoreWords(&extension, &extensions[preset], sizeof(extension), true);
  sequence.store(before + 2, std::memory_order_release);
}

void PublishedPresets::SetThru(int preset, bool on) {
  __atomic_store_n(&records[preset].midiThru, static_cast<uint8_t>(on), __ATOMIC_RELAXED);
}
