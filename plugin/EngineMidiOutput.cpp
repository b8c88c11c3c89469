// Keeping the engine's events for a host's output, and moving what found no room to the next block.
#include "plugin/EngineMidiOutput.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "midi/MidiMessageLength.h"

namespace {

// The length of a short message from its status byte, looked up: every event out asks.
constexpr auto kMessageLengths = [] {
  std::array<uint8_t, 256> lengths{};
  for (int status = 0; status < 256; ++status)
    lengths[status] = static_cast<uint8_t>(MidiMessageLength(static_cast<uint8_t>(status)));
  return lengths;
}();

}  // namespace

// The engine hands its events over in time order, and what waits from earlier blocks sits at frame 0
// before them, so each goes at the end.
void EngineMidiOutput::Take(const VstEvents& events) {
  const int32_t lastFrame = blockFrames > 0 ? static_cast<int32_t>(blockFrames - 1) : 0;
  for (VstInt32 i = 0; i < events.numEvents && pendingCount < kStoreSize; ++i) {
    const VstEvent* event = events.events[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      uint32_t bytes;
      std::memcpy(&bytes, midi->midiData, sizeof(bytes));
      const uint32_t size = kMessageLengths[bytes & 0xFF];
      if (size == 0) continue;
      bytes &= 0xFFFFFFFFu >> (32 - 8 * size);
      pending[pendingCount++] = {std::clamp(midi->deltaFrames, 0, lastFrame), size, bytes, 0, false};
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex->dumpBytes <= 0 || !sysex->sysexDump ||
          static_cast<uint32_t>(sysex->dumpBytes) > kSysexStoreBytes - sysexUsed)
        continue;
      const auto size = static_cast<uint32_t>(sysex->dumpBytes);
      std::memcpy(sysexStore + sysexUsed, sysex->sysexDump, size);
      pending[pendingCount++] = {std::clamp(sysex->deltaFrames, 0, lastFrame), size, 0, sysexUsed, true};
      sysexUsed += size;
    }
  }
}

// What found no room moves to the front, at frame 0 of the next block; the SysEx bytes it keeps move to
// the other store, since the order of time may have put them out of order in this one. The store just
// written stays as it is until the next block's Write, so the host may read what it took until then.
void EngineMidiOutput::KeepUnwritten(uint32_t written) {
  uint8_t* kept = sysexStore == sysexStores[0] ? sysexStores[1] : sysexStores[0];
  uint32_t keptBytes = 0;
  for (uint32_t i = written; i < pendingCount; ++i) {
    Pending& event = pending[i - written];
    event = pending[i];
    event.frame = 0;
    if (!event.sysex) continue;
    std::memcpy(kept + keptBytes, sysexStore + event.sysexAt, event.size);
    event.sysexAt = keptBytes;
    keptBytes += event.size;
  }
  pendingCount -= written;
  sysexStore = kept;
  sysexUsed = keptBytes;
}
