// The LV2 plug-in's ports, in index order: one table that the adapter connects by and the build turns
// into the bundle's description, so the two cannot drift apart. Hosts and saved sessions address ports by
// index and symbol: an entry is never renumbered or renamed, new ones only go at the end.
#pragma once

#include <cstdint>

#include "midi/SysexMessages.h"
#include "plugin/PresetNumber.h"

#include "preset/VSTPluginProgram.h"

namespace vantorine::lv2 {

constexpr const char* kPluginUri = "urn:vantorine:vantorine";
constexpr const char* kUiUri = "urn:vantorine:vantorine#ui";
// The bank image in the plug-in's state, the same bytes as the VST 2 bank chunk.
constexpr const char* kBankStateKey = "urn:vantorine:bank";

enum PortIndex : uint32_t {
  kMidiIn = 0,
  kMidiOut = 1,
  kAudioIn1 = 2,
  kAudioIn2 = 3,
  kAudioOut1 = 4,
  kAudioOut2 = 5,
  kPresetPort = 6,
  kResendPort = 7,
  kMidiThruPort = 8,
  kNotify = 9,
  kPortCount = 10,
};

enum class PortKind {
  kMidiInput,
  kMidiOutput,
  kAudioInput,
  kAudioOutput,
  kToggleInput,
  kIntegerInput,
  kNotifyOutput
};

struct PortInfo {
  PortIndex index;
  PortKind kind;
  const char* symbol;
  const char* name;
  float minimum;  // control ports only
  float fallback;
  float maximum;
  bool trigger;  // a toggle that means "do it once"
};

// Room on the MIDI output for a full engine queue of three-byte messages (24 bytes each as atom events)
// and the longest System Exclusive message a preset's list may hold, which can only go out whole.
constexpr uint32_t kMidiOutMinimumBytes = 8192 + 16 + vantorine::midi::kMaxSysexListBytes;

constexpr PortInfo kPorts[kPortCount] = {
    {kMidiIn, PortKind::kMidiInput, "midi_in", "MIDI in", 0, 0, 0, false},
    {kMidiOut, PortKind::kMidiOutput, "midi_out", "MIDI out", 0, 0, 0, false},
    {kAudioIn1, PortKind::kAudioInput, "in_1", "Audio in 1", 0, 0, 0, false},
    {kAudioIn2, PortKind::kAudioInput, "in_2", "Audio in 2", 0, 0, 0, false},
    {kAudioOut1, PortKind::kAudioOutput, "out_1", "Audio out 1", 0, 0, 0, false},
    {kAudioOut2, PortKind::kAudioOutput, "out_2", "Audio out 2", 0, 0, 0, false},
    {kPresetPort, PortKind::kIntegerInput, "preset", "Preset", 1, 1, kProgramCount, false},
    {kResendPort, PortKind::kToggleInput, "resend", "Resend", 0, 0, 1, true},
    {kMidiThruPort, PortKind::kToggleInput, "midi_thru", "MIDI thru", 0, 0, 1, false},
    {kNotify, PortKind::kNotifyOutput, "notify", "Notifications", 0, 0, 0, false},
};

// The preset a value of the preset port selects.
inline int PresetFromPort(float value) { return PresetFromNumber(value); }

constexpr bool PortTableInOrder() {
  for (uint32_t i = 0; i < kPortCount; ++i)
    if (kPorts[i].index != i) return false;
  return true;
}
static_assert(PortTableInOrder(), "the port table is indexed by port number");

}  // namespace vantorine::lv2
