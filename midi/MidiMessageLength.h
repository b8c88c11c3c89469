// How many bytes a short MIDI message has, from its status byte: what a receiver takes for one message,
// and what hosts that carry each message with its own size (JACK, LV2) must be given, since some drop a
// Program Change padded to three bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// 1 to 3, or 0 for a data byte and for System Exclusive, whose length the status does not tell.
constexpr size_t MidiMessageLength(uint8_t status) {
  if (status < 0x80 || status == 0xF0) return 0;
  if (status < 0xF0) return (status & 0xE0) == 0xC0 ? 2 : 3;  // Program Change and Channel Pressure: 2
  if (status == 0xF1 || status == 0xF3) return 2;             // time code quarter frame, song select
  if (status == 0xF2) return 3;                               // song position
  return 1;                                                   // the rest of the system messages
}
