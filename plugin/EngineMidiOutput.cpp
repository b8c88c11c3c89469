// Keeping the engine's events for a host's output, and moving what found no room to the next block.
#include "plugin/EngineMidiOutput.h"

#include <cstring>

void EngineMidiOutput::Keep(const vantorine::EngineEvent& event) {
  if (pendingCount == kStoreSize) return;
  Pending& kept = pending[pendingCount];
  kept.frame = event.frame;
  kept.size = event.size;
  kept.sysex = event.size > sizeof(kept.bytes);
  if (!kept.sysex) {
    std::memcpy(kept.bytes, event.bytes, event.size);
  } else {
    if (event.size > kSysexStoreBytes - sysexUsed) return;
    std::memcpy(sysexStore + sysexUsed, event.bytes, event.size);
    kept.sysexAt = sysexUsed;
    sysexUsed += event.size;
  }
  ++pendingCount;
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
