// A bank whose first preset brings a GS module to a known state: GS Reset, 100 ms for the module to settle,
// then strip 1 on channel 1 with Reset All Controllers and Bank Select first, bank 0/1, program 48, volume
// 100, pan 32 and reverb 60. The tests that follow it from a resend to a port share it with what it sends.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "preset/ProgramExtensionChunk.h"

namespace testsupport {

constexpr int kGsResetSettleMs = 100;

// The whole bank chunk, version 2 fields after the 128 presets.
inline std::vector<uint8_t> GsResetBankChunk() {
  std::vector<VSTPluginProgram> bank(kProgramCount);
  std::vector<VSTPluginProgramExtension> extensions(kProgramCount);
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(bank[n], n);
    InitProgramExtension(extensions[n]);
    // Global options are kept in every preset.
    bank[n].bankSelectFirst = 1;
    extensions[n].resetControllersFirst = 1;
  }
  VSTPluginStrip& strip = bank[0].strips[0];
  // Stored values are the MIDI value plus one; 0 sends nothing.
  strip.program = 48 + 1;
  strip.bankMsb = 0 + 1;
  strip.bankLsb = 1 + 1;
  strip.volume = 100 + 1;
  VSTPluginProgramExtension& first = extensions[0];
  std::vector<uint8_t> gsReset;
  vantorine::midi::SysexByName("GS Reset", gsReset);
  std::memcpy(first.sysex, gsReset.data(), gsReset.size());
  first.sysexLength = static_cast<uint16_t>(gsReset.size());
  first.settleMs = kGsResetSettleMs;
  // The default rows: pan, reverb, chorus, expression.
  first.rowValues[0][0] = 32 + 1;
  first.rowValues[0][1] = 60 + 1;

  const auto* image = reinterpret_cast<const uint8_t*>(bank.data());
  std::vector<uint8_t> chunk(image, image + bank.size() * sizeof(VSTPluginProgram));
  vantorine::AppendProgramExtensions(extensions.data(), kProgramCount, chunk);
  return chunk;
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
