// The named mode resets, as the manufacturers publish them, and the shape of a whole message.
#include "midi/SysexMessages.h"

#include <algorithm>
#include <cstring>

namespace vantorine::midi {

const std::vector<NamedSysex>& NamedSysexMessages() {
  static const std::vector<NamedSysex> messages = {
      {"GM System On", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
      {"GM2 System On", {0xF0, 0x7E, 0x7F, 0x09, 0x03, 0xF7}},
      {"GS Reset", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}},
      {"XG System On", {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}},
  };
  return messages;
}

const char* SysexName(const uint8_t* bytes, size_t size) {
  for (const NamedSysex& message : NamedSysexMessages())
    if (message.bytes.size() == size && std::memcmp(message.bytes.data(), bytes, size) == 0)
      return message.name;
  return nullptr;
}

bool SysexByName(const std::string& name, std::vector<uint8_t>& bytes) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  auto sameName = [&](const char* known) {
    return name.size() == std::strlen(known) &&
           std::equal(name.begin(), name.end(), known, [&](char a, char b) { return lower(a) == lower(b); });
  };
  for (const NamedSysex& message : NamedSysexMessages())
    if (sameName(message.name)) {
      bytes = message.bytes;
      return true;
    }
  return false;
}

size_t WholeSysexLength(const uint8_t* bytes, size_t size) {
  if (size < 2 || bytes[0] != 0xF0) return 0;
  for (size_t i = 1; i < size; ++i) {
    if (bytes[i] == 0xF7) return i + 1;
    if (bytes[i] >= 0x80) return 0;
  }
  return 0;
}

bool IsSysexList(const uint8_t* bytes, size_t size) {
  if (size > kMaxSysexListBytes) return false;
  for (size_t at = 0; at < size;) {
    const size_t length = WholeSysexLength(bytes + at, size - at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace vantorine::midi
