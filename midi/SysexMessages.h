// System Exclusive as a preset keeps it: a list of whole messages (F0, data bytes below 0x80, F7) sent
// one after the other, and the mode resets that sound modules share, known by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorine::midi {

// The most bytes a preset's list holds, all its messages together: room for a module's whole set-up dump.
constexpr size_t kMaxSysexListBytes = 64 * 1024;
// The most bytes the lists of all presets of a bank hold together, so that a bank stays a size hosts
// store in their projects without trouble.
constexpr size_t kMaxBankSysexBytes = 1024 * 1024;

struct NamedSysex {
  const char* name;
  std::vector<uint8_t> bytes;
};

// "GM System On", "GM2 System On", "GS Reset", "XG System On", with their bytes.
const std::vector<NamedSysex>& NamedSysexMessages();
// The name of one whole message, or null when it has none.
const char* SysexName(const uint8_t* bytes, size_t size);
// The bytes of a named message, its name in any ASCII case ("GS reset"); false for any other name.
bool SysexByName(const std::string& name, std::vector<uint8_t>& bytes);

// The length of the whole message that starts at `bytes` (F0 to F7, data bytes below 0x80 between), or 0
// when the bytes there are not one.
size_t WholeSysexLength(const uint8_t* bytes, size_t size);
// True when the bytes are zero or more whole messages, back to back, at most kMaxSysexListBytes in all.
bool IsSysexList(const uint8_t* bytes, size_t size);

// Calls take(message, length) for each message of a list that IsSysexList accepts.
template <typename Take>
void ForEachSysex(const uint8_t* list, size_t size, Take take) {
  for (size_t at = 0; at < size;) {
    const size_t length = WholeSysexLength(list + at, size - at);
    if (length == 0) return;
    take(list + at, length);
    at += length;
  }
}

}  // namespace vantorine::midi
