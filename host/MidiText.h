// Turns the bytes of one MIDI message into text a person can check against what a sound module would
// receive: the bytes in hex, and the message in words with the channel counted from 1 or, for System
// Exclusive, the name of the mode resets modules share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MidiText {
 public:
  // "C2 04 00": each byte as two upper-case hex digits, separated by single spaces.
  static std::string hex(const uint8_t* bytes, size_t count);
  // "ch 3 Program Change 4", "ch 1 Note On 60 vel 100", "System Timing Clock"; data bytes are read
  // with their top bit cleared, as a receiver would.
  static std::string words(const uint8_t bytes[3]);
  // Hex of the three bytes an event carries, two spaces, then the words.
  static std::string line(const uint8_t bytes[3]);
  // "SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)": every byte, and the name of a named message.
  static std::string sysex(const uint8_t* bytes, size_t count);
  // One message of `count` bytes as it went out: a System Exclusive as sysex() does, any other as its
  // hex, two spaces, then the words.
  static std::string message(const uint8_t* bytes, size_t count);
  // Reads hex bytes such as "90 3C 64 80 3C 00" into messages, one per status byte. Returns the empty
  // string on success, else a one-line reason (bad hex, data without a status, or a message longer than
  // three bytes, which only System Exclusive can be and an event cannot carry).
  static std::string parse(const std::string& text, std::vector<std::vector<uint8_t>>& messages);
};
