// What the engine hands a host adapter during a processing call, kept as plain MIDI until the host's
// output takes it. A host may have less room than the engine has events (a short LV2 port, a CLAP queue
// that refuses): what does not fit waits, in order, at the start of the next block. The engine's bytes last
// only until its next processing call, so a SysEx is copied here and stays valid until the next block's
// Write, which is longer than any host keeps it.
//
// Audio thread only; allocates nothing.
#pragma once

#include <cstdint>

#include "midi/SysexMessages.h"
#include "plugin/MidiEventQueue.h"
#include "vst/VstInterface.h"

class EngineMidiOutput {
 public:
  static constexpr uint32_t kMaxEvents = MidiEventQueue::kCapacity;
  // Room for a full hand-out of the engine behind what waits for the host; the engine's own events come
  // only while they fit beside a full hand-out of passed-through events (see OwnEventRoom).
  static constexpr uint32_t kStoreSize = 2 * kMaxEvents;
  // Room for the longest list the engine may hand over in one call.
  static constexpr uint32_t kSysexStoreBytes = vantorine::midi::kMaxSysexListBytes;

  // One message: a short one packed in `bytes` (first byte lowest), a System Exclusive in `sysex`.
  struct Message {
    int32_t frame;
    uint32_t size;
    uint32_t bytes;
    const uint8_t* sysex;  // null for a short message
  };

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

  // Inside the processing call: the engine's events, behind what waits. When the host has given no room
  // for so long that the store is full, the newest passed-through events are dropped, as a full MIDI port
  // drops them.
  void Take(const VstEvents& events);

  // After the processing call: hands each message, in time order, to write(const Message&), which returns
  // false when the host has no room for it; that one and all after it wait for the next block at frame 0.
  template <typename WriteOne>
  void Write(WriteOne&& write) {
    uint32_t written = 0;
    for (; written < pendingCount; ++written) {
      const Pending& event = pending[written];
      const Message message{event.frame, event.size, event.bytes, event.sysex ? sysexStore + event.sysexAt : nullptr};
      if (!write(message)) break;
    }
    KeepUnwritten(written);
  }

 private:
  struct Pending {
    int32_t frame;
    uint32_t size;
    uint32_t bytes;
    uint32_t sysexAt;
    bool sysex;
  };
  void KeepUnwritten(uint32_t written);

  Pending pending[kStoreSize] = {};
  uint32_t pendingCount = 0;
  uint32_t blockFrames = 0;
  uint8_t sysexStores[2][kSysexStoreBytes];  // the one in use, and the one what waits is moved to
  uint8_t* sysexStore = sysexStores[0];
  uint32_t sysexUsed = 0;
};
