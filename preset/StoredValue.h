// A strip's stored value bytes and the MIDI values they send: 0 is "not sent", 1 to 128 the value plus one.
// The sound names a strip's program and Bank Select bytes select are looked up by the values they send.
#pragma once

#include <cstdint>
#include <optional>

#include "preset/PresetLimits.h"

namespace vantorine::preset {

// The MIDI value a stored byte (or a dial that shows one) sends; none for "not sent" and for a byte beyond
// kHighestValueByte, which a damaged record may hold.
inline std::optional<uint8_t> SentValue(int stored) {
  if (stored < 1 || stored > kHighestValueByte) return std::nullopt;
  return static_cast<uint8_t>(stored - 1);
}

// The byte that stores sending `value`, or sending nothing.
inline uint8_t StoredValue(std::optional<uint8_t> value) {
  return value ? static_cast<uint8_t>(*value + 1) : 0;
}

}  // namespace vantorine::preset
