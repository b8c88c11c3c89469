// A short MIDI message as the engine's queues and the host's event lists carry it.
#pragma once

#include <cstdint>
#include <cstring>

#include "vst/VstInterface.h"

inline VstMidiEvent MakeMidiEvent(uint8_t status, uint8_t data1, uint8_t data2, VstInt32 frame) {
  VstMidiEvent event;
  std::memset(&event, 0, sizeof(event));
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent) - 2 * sizeof(VstInt32);
  event.deltaFrames = frame;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  return event;
}
