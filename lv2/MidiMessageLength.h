// How many bytes a short MIDI message has, from its status byte. Hosts take an atom MIDI event for exactly
// what its size says, and some drop a Program Change padded to three bytes.
#pragma once

#include <cstdint>

namespace vantorine::lv2 {

// 0 for a byte that starts no short message (a data byte, or a system exclusive start or end).
constexpr uint32_t MidiMessageLength(uint8_t status) {
  if (status < 0x80) return 0;
  if (status < 0xF0) return (status & 0xE0) == 0xC0 ? 2 : 3;  // Program Change and Channel Pressure: 2
  switch (status) {
    case 0xF1:  // time code quarter frame
    case 0xF3:  // song select
      return 2;
    case 0xF2:  // song position
      return 3;
    case 0xF0:
    case 0xF7:
      return 0;
    default:
      return 1;  // tune request and the real-time messages
  }
}

}  // namespace vantorine::lv2
