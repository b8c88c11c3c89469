// The fields a preset gained with version 2 of its record: the System Exclusive messages that reset a
// module's mode, the pause a slow module needs after each of them and the time it needs to settle after
// the last, four controller rows with a value per strip,
// the option to reset each strip's controllers first, and the device each strip plays, whose names the
// editor and the tools show. They live beside the version 1 record, whose
// bytes stay as they were: a preset that leaves them all at their defaults is stored exactly as before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "midi/Controllers.h"
#include "midi/SysexMessages.h"
#include "preset/VSTPluginProgram.h"

// What a preset with a System Exclusive list waits when nobody said otherwise: most modules are ready then.
constexpr int kDefaultSettleMs = 100;
constexpr uint8_t kDefaultRowControllers[kControllerRows] = {
    vantorine::midi::kPan, vantorine::midi::kReverbSend, vantorine::midi::kChorusSend,
    vantorine::midi::kExpression};

struct VSTPluginProgramExtension {
  uint8_t sysex[vantorine::midi::kMaxSysexListBytes];  // whole messages, back to back
  uint32_t sysexLength;
  uint16_t settleMs;  // between the list and the strips; 0 to kMaxSettleMs
  uint16_t sysexGapMs;  // after each message of the list but the last, on top of its time on the wire
  uint8_t rowControllers[kControllerRows];
  // Per strip and row: 0 for "not sent", 1 to 128 for the value plus one, as the strip's own values.
  uint8_t rowValues[kStripCount][kControllerRows];
  // Global, as the other options: every change writes all 128 presets.
  uint8_t resetControllersFirst;
  uint8_t padding[3];
  char devices[kStripCount][kDeviceNameSize];
};

static_assert(sizeof(VSTPluginProgramExtension) ==
                  vantorine::midi::kMaxSysexListBytes + 80 + kStripCount * kDeviceNameSize,
              "no padding the compiler chose");

inline void InitProgramExtension(VSTPluginProgramExtension& extension) {
  std::memset(&extension, 0, sizeof(extension));
  extension.settleMs = kDefaultSettleMs;
  std::memcpy(extension.rowControllers, kDefaultRowControllers, sizeof(kDefaultRowControllers));
}

// True when the preset uses none of the version 2 fields. Bytes past the list's length count for nothing:
// a copy of a preset may hold anything there.
inline bool IsDefaultExtension(const VSTPluginProgramExtension& extension) {
  VSTPluginProgramExtension fresh;
  InitProgramExtension(fresh);
  const auto* after = reinterpret_cast<const uint8_t*>(&extension.sysexLength);
  const size_t afterBytes = sizeof(extension) - offsetof(VSTPluginProgramExtension, sysexLength);
  return extension.sysexLength == 0 && std::memcmp(&fresh.sysexLength, after, afterBytes) == 0;
}
