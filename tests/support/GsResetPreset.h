// A bank whose first preset brings a GS module to a known state: GS Reset, 100 ms for the module to settle,
// then strip 1 on channel 1 with Reset All Controllers and Bank Select first, bank 0/1, program 48, volume
// 100, pan 32 and reverb 60. The tests that follow it from a resend to a port share it with what it sends.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "preset/ProgramExtensionChunk.h"
#include "tests/support/FirstPresetBank.h"

namespace testsupport {

constexpr int kGsResetSettleMs = 100;

// The whole bank chunk, version 2 fields after the 128 presets.
inline std::vector<uint8_t> GsResetBankChunk() {
  return FirstPresetBankChunk([](VSTPluginProgram& preset, VSTPluginProgramExtension& extension) {
    VSTPluginStrip& strip = preset.strips[0];
    // Stored values are the MIDI value plus one; 0 sends nothing.
    strip.program = 48 + 1;
    strip.bankMsb = 0 + 1;
    strip.bankLsb = 1 + 1;
    strip.volume = 100 + 1;
    std::vector<uint8_t> gsReset;
    vantorine::midi::SysexByName("GS Reset", gsReset);
    std::memcpy(extension.sysex, gsReset.data(), gsReset.size());
    extension.sysexLength = static_cast<uint32_t>(gsReset.size());
    extension.settleMs = kGsResetSettleMs;
    // The default rows: pan, reverb, chorus, expression.
    extension.rowValues[0][0] = 32 + 1;
    extension.rowValues[0][1] = 60 + 1;
  });
}

// What the first preset sends on a resend: the reset at once, the strip's messages after the settle time.
inline const std::vector<std::vector<uint8_t>>& GsResetPresetMessages() {
  static const std::vector<std::vector<uint8_t>> messages = {
      {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7},
      {0xB0, 0x79, 0x00},
      {0xB0, 0x00, 0x00},
      {0xB0, 0x20, 0x01},
      {0xC0, 0x30},
      {0xB0, 0x07, 0x64},
      {0xB0, 0x0A, 0x20},
      {0xB0, 0x5B, 0x3C}};
  return messages;
}

}  // namespace testsupport
