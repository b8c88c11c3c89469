// What a preset record can hold: its counts and field sizes, which fix the stored layout, and the ranges of
// its values. The plug-in, the panel, the chunk reader and the bank tools all take their limits from here,
// so that what one of them accepts the others can store, show and read back.
#pragma once

#include <cstdint>
#include <string_view>

constexpr int kStripCount = 16;
constexpr int kProgramCount = 128;
constexpr int kNameSize = 48;
constexpr int kLabelSize = 12;
// A row of the strip order that shows no strip.
constexpr int32_t kEmptyRow = 16;

// Value bytes hold 0 for "send nothing" and 1 to 128 for the MIDI value plus one; a channel byte 0 for a
// silent strip and 1 to 16.
constexpr int kHighestChannelByte = 16;
constexpr int kHighestValueByte = 128;

// The delays before the start-up and the change send: whole seconds, as the dials and the parameters count.
constexpr int32_t kMaxDelaySeconds = 999;

// Version 2 fields.
constexpr int kControllerRows = 4;
constexpr int kMaxSettleMs = 2000;
constexpr int kMaxSysexGapMs = 500;
// A device's model name as its file gives it (or "General MIDI"), terminated; empty for none.
constexpr int kDeviceNameSize = 48;

// A device name is printable ASCII: every tool shows and writes it as it is, and model names are.
constexpr bool IsDeviceNameCharacter(char c) {
  return c >= 0x20 && c <= 0x7E;
}

// Whether `name` can be a strip's device: 1 to kDeviceNameSize - 1 characters, so it keeps its terminator.
constexpr bool IsStorableDeviceName(std::string_view name) {
  if (name.empty() || name.size() >= static_cast<size_t>(kDeviceNameSize)) return false;
  for (char c : name)
    if (!IsDeviceNameCharacter(c)) return false;
  return true;
}
