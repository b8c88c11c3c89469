// Hex and word forms of MIDI messages for the host's event listing.
#include "host/MidiText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "midi/SysexMessages.h"

namespace {

std::string format(const char* pattern, int a, int b = 0, int c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

const char* systemName(uint8_t status) {
  switch (status) {
    case 0xF0:
      return "System Exclusive";
    case 0xF1:
      return "MTC Quarter Frame";
    case 0xF2:
      return "Song Position";
    case 0xF3:
      return "Song Select";
    case 0xF6:
      return "Tune Request";
    case 0xF7:
      return "End of Exclusive";
    case 0xF8:
      return "Timing Clock";
    case 0xFA:
      return "Start";
    case 0xFB:
      return "Continue";
    case 0xFC:
      return "Stop";
    case 0xFE:
      return "Active Sensing";
    case 0xFF:
      return "Reset";
    default:
      return "Undefined";
  }
}

}  // namespace

std::string MidiText::hex(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    if (i > 0) text += ' ';
    text += pair;
  }
  return text;
}

std::string MidiText::words(const uint8_t bytes[3]) {
  const uint8_t status = bytes[0];
  const int data1 = bytes[1] & 0x7F;
  const int data2 = bytes[2] & 0x7F;
  if (status < 0x80) return "no status byte (data " + hex(bytes, 1) + ")";
  if (status >= 0xF0) return std::string("System ") + systemName(status);

  const int channel = (status & 0x0F) + 1;
  switch (status & 0xF0) {
    case 0x80:
      return format("ch %d Note Off %d vel %d", channel, data1, data2);
    case 0x90:
      // A Note On with velocity 0 ends the note; say so, since that is how receivers treat it.
      return format(data2 == 0 ? "ch %d Note On %d vel %d (= Note Off)" : "ch %d Note On %d vel %d", channel,
                    data1, data2);
    case 0xA0:
      return format("ch %d Poly Pressure %d = %d", channel, data1, data2);
    case 0xB0:
      return format("ch %d Control Change %d = %d", channel, data1, data2);
    case 0xC0:
      return format("ch %d Program Change %d", channel, data1);
    case 0xD0:
      return format("ch %d Channel Pressure %d", channel, data1);
    default:
      return format("ch %d Pitch Bend %+d", channel, (data1 | (data2 << 7)) - 8192);
  }
}

std::string MidiText::line(const uint8_t bytes[3]) {
  return hex(bytes, 3) + "  " + words(bytes);
}

std::string MidiText::sysex(const uint8_t* bytes, size_t count) {
  const char* name = vantorine::midi::SysexName(bytes, count);
  return "SysEx " + hex(bytes, count) + (name ? std::string(" (") + name + ")" : "");
}

std::string MidiText::message(const uint8_t* bytes, size_t count) {
  if (count > 0 && bytes[0] == 0xF0) return sysex(bytes, count);
  // words() reads three bytes; a shorter message's missing ones read as zero, as line() shows them.
  uint8_t padded[3] = {};
  std::copy(bytes, bytes + std::min<size_t>(count, 3), padded);
  return hex(bytes, count) + "  " + words(padded);
}

std::string MidiText::parse(const std::string& text, std::vector<std::vector<uint8_t>>& messages) {
  messages.clear();
  size_t at = 0;
  while (true) {
    at = text.find_first_not_of(" \t,", at);
    if (at == std::string::npos) break;
    const size_t end = std::min(text.find_first_of(" \t,", at), text.size());
    const std::string token = text.substr(at, end - at);
    if (token.size() > 2 || token.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return "'" + token + "' is not a hex byte";
    const unsigned long value = std::strtoul(token.c_str(), nullptr, 16);
    at = end;

    const auto byte = static_cast<uint8_t>(value);
    if (byte >= 0x80) {
      messages.push_back({byte});
    } else if (messages.empty()) {
      return "MIDI data byte " + token + " comes before any status byte";
    } else if (messages.back().size() >= 3) {
      return "MIDI message " + hex(messages.back().data(), 3) + " ... is longer than three bytes";
    } else {
      messages.back().push_back(byte);
    }
  }
  if (messages.empty()) return "no MIDI bytes given";
  return {};
}
