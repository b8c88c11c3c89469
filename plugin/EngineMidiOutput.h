// What the engine hands a host adapter during a processing call, on its way to the host's output. While
// nothing waits, each message goes straight to the host's output; when the host has less room than the
// engine has messages (a short LV2 port, a CLAP queue that refuses), the rest waits here, in order, for the
// start of the next block. A SysEx that waits is copied, since the engine's bytes last only until its next
// block, and stays valid until the next block's Write, which is longer than any host keeps it.
//
// Audio thread only; allocates nothing.
#pragma once

#include <algorithm>
#include <cstdint>

#include "midi/SysexMessages.h"
#include "plugin/EngineEvent.h"
#include "plugin/MidiEventQueue.h"

class EngineMidiOutput {
 public:
  static constexpr uint32_t kMaxEvents = MidiEventQueue::kCapacity;
  // Room for a full hand-out of the engine behind what waits for the host; the engine's own events come
  // only while they fit beside a full hand-out of passed-through events (see OwnEventRoom).
  static constexpr uint32_t kStoreSize = 2 * kMaxEvents;
  // Room for the longest list the engine may hand over in one call.
  static constexpr uint32_t kSysexStoreBytes = vantorine::midi::kMaxSysexListBytes;

  EngineMidiOutput() = default;
  EngineMidiOutput(const EngineMidiOutput&) = delete;
  EngineMidiOutput& operator=(const EngineMidiOutput&) = delete;

  // Before the processing call: the frames of the block, for the engine's events to be put inside it.
  void BeginBlock(uint32_t frames) { blockFrames = frames; }
  // What the engine may hand over of its own events, and how many SysEx bytes among them, for
  // VSTPlugin::SetOwnEventRoom. A host short of room makes what waits here grow; the engine keeps its own
  // events, a send's among them, from the moment they would not fit beside a full hand-out of
  // passed-through events, so the store never drops one of them.
  uint32_t OwnEventRoom() const {
    constexpr uint32_t kOwnShare = kStoreSize - kMaxEvents;
    return pendingCount < kOwnShare ? kOwnShare - pendingCount : 0;
  }
  uint32_t SysexRoom() const { return kSysexStoreBytes - sysexUsed; }

  // Before the processing call: hands what waits, in time order, to write(const EngineEvent&), which returns
  // false when the host has no room for it; that one and all after it wait for the next block at frame 0.
  template <typename WriteOne>
  void Write(WriteOne&& write) {
    if (pendingCount == 0) return;
    uint32_t written = 0;
    for (; written < pendingCount; ++written) {
      const Pending& event = pending[written];
      const vantorine::EngineEvent message{event.frame, event.size,
                                           event.sysex ? sysexStore + event.sysexAt : event.bytes};
      if (!write(message)) break;
    }
    KeepUnwritten(written);
  }

  // Inside the processing call: the engine's events, each to write() while nothing waits before it, else
  // kept behind what waits. When the host has given no room for so long that the store is full, the newest
  // passed-through events are dropped, as a full MIDI port drops them.
  template <typename WriteOne>
  void Take(const vantorine::EngineEvent* events, uint32_t count, WriteOne&& write) {
    const int32_t lastFrame = blockFrames > 0 ? static_cast<int32_t>(blockFrames - 1) : 0;
    for (uint32_t i = 0; i < count; ++i) {
      vantorine::EngineEvent event = events[i];
      if (event.size == 0 || !event.bytes) continue;
      event.frame = std::clamp(event.frame, 0, lastFrame);
      if (pendingCount == 0 && write(event)) continue;
      Keep(event);
    }
  }

 private:
  struct Pending {
    int32_t frame;
    uint32_t size;
    uint8_t bytes[4];
    uint32_t sysexAt;
    bool sysex;
  };
  void Keep(const vantorine::EngineEvent& event);
  void KeepUnwritten(uint32_t written);

  Pending pending[kStoreSize] = {};
  uint32_t pendingCount = 0;
  uint32_t blockFrames = 0;
  uint8_t sysexStores[2][kSysexStoreBytes];  // the one in use, and the one what waits is moved to
  uint8_t* sysexStore = sysexStores[0];
  uint32_t sysexUsed = 0;
};
