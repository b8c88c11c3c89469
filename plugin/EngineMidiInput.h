// Plain MIDI messages from a host made into the event list the engine's effProcessEvents takes. The list
// and its events are built once; a block only fills in frames and bytes, so it allocates nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "plugin/MidiEventQueue.h"
#include "vst/VstInterface.h"

class EngineMidiInput {
 public:
  static constexpr uint32_t kMaxEvents = MidiEventQueue::kCapacity;

  EngineMidiInput() {
    for (uint32_t i = 0; i < kMaxEvents; ++i) {
      store[i].type = kVstMidiType;
      store[i].byteSize = sizeof(VstMidiEvent);
      list.events[i] = reinterpret_cast<VstEvent*>(&store[i]);
    }
  }
  EngineMidiInput(const EngineMidiInput&) = delete;
  EngineMidiInput& operator=(const EngineMidiInput&) = delete;

  void Clear() { list.numEvents = 0; }
  // A short message of 1 to 3 bytes at `frame`, put inside a block of `frames`; longer ones (System
  // Exclusive) and what comes past a full list are left out, as the engine passes neither.
  void Add(int64_t frame, uint32_t frames, const uint8_t* bytes, uint32_t size) {
    if (list.numEvents == static_cast<VstInt32>(kMaxEvents) || size == 0 || size > 3 || frames == 0) return;
    // The store's other fields stay as the constructor set them; the bytes go in as one word.
    VstMidiEvent& midi = store[list.numEvents++];
    midi.deltaFrames = static_cast<VstInt32>(std::clamp<int64_t>(frame, 0, int64_t{frames} - 1));
    const uint32_t word = bytes[0] | (size > 1 ? bytes[1] << 8 : 0) | (size > 2 ? bytes[2] << 16 : 0);
    std::memcpy(midi.midiData, &word, sizeof(word));
  }
  bool Empty() const { return list.numEvents == 0; }
  // For effProcessEvents.
  void* Events() { return &list; }

 private:
  VstMidiEvent store[kMaxEvents] = {};
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[kMaxEvents];
  } list = {};
};
