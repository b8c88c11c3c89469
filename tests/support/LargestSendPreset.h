// The largest send a preset can make: a full list of the shortest System Exclusive messages, no settle
// time, and 16 strips that each send every message a strip can (Reset All Controllers first, Bank Select
// first, both banks, program, volume and four controller rows): more events than one block hands over.
// The tests that follow a send through each host share it with what it sends.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "midi/SysexMessages.h"
#include "preset/ProgramExtensionChunk.h"
#include "tests/support/FirstPresetBank.h"

namespace testsupport {

using MidiMessage = std::vector<uint8_t>;

// 104 messages F0 F7 with 16 of F0 n F7 among them, to tell them apart: 256 bytes, 120 messages.
inline std::vector<MidiMessage> LargestSendList() {
  std::vector<MidiMessage> list;
  for (int i = 0, numbered = 0; i < 120; ++i) {
    if (i % 7 == 6 && numbered < 16)
      list.push_back({0xF0, static_cast<uint8_t>(numbered++), 0xF7});
    else
      list.push_back({0xF0, 0xF7});
  }
  return list;
}

// Strip k on channel k + 1, every value different from the next strip's; global options included.
inline void FillLargestSend(VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
  for (int k = 0; k < kStripCount; ++k) {
    const auto n = static_cast<uint8_t>(k);
    // Stored values are the MIDI value plus one.
    VSTPluginStrip& strip = record.strips[k];
    strip.inUse = 1;
    strip.swapBankOrder = 0;
    strip.channel = static_cast<uint8_t>(k + 1);
    strip.program = static_cast<uint8_t>(n + 11);
    strip.bankMsb = static_cast<uint8_t>(n + 21);
    strip.bankLsb = static_cast<uint8_t>(n + 31);
    strip.volume = static_cast<uint8_t>(n + 41);
    record.stripOrder[k] = k;
    for (int row = 0; row < kControllerRows; ++row)
      extension.rowValues[k][row] = static_cast<uint8_t>(n + 51 + 16 * row);
  }
  record.stripCount = kStripCount;
  record.bankSelectFirst = 1;
  extension.resetControllersFirst = 1;
  extension.settleMs = 0;
  extension.sysexLength = 0;
  for (const MidiMessage& message : LargestSendList()) {
    std::memcpy(extension.sysex + extension.sysexLength, message.data(), message.size());
    extension.sysexLength = static_cast<uint32_t>(extension.sysexLength + message.size());
  }
}

// Strip k's nine messages, in the order they go out.
inline std::vector<MidiMessage> LargestSendStrip(int k) {
  const auto n = static_cast<uint8_t>(k);
  const auto cc = static_cast<uint8_t>(0xB0 + k);
  std::vector<MidiMessage> strip = {{cc, 121, 0},
                                    {cc, 0, static_cast<uint8_t>(n + 20)},
                                    {cc, 32, static_cast<uint8_t>(n + 30)},
                                    {static_cast<uint8_t>(0xC0 + k), static_cast<uint8_t>(n + 10)},
                                    {cc, 7, static_cast<uint8_t>(n + 40)}};
  for (int row = 0; row < kControllerRows; ++row)
    strip.push_back({cc, kDefaultRowControllers[row], static_cast<uint8_t>(n + 50 + 16 * row)});
  return strip;
}

// The list, then the strips.
inline std::vector<MidiMessage> LargestSendMessages() {
  std::vector<MidiMessage> messages = LargestSendList();
  for (int k = 0; k < kStripCount; ++k)
    for (MidiMessage& message : LargestSendStrip(k)) messages.push_back(message);
  return messages;
}

// A bank whose first preset makes the largest send and whose options send nothing by themselves.
inline std::vector<uint8_t> LargestSendBankChunk() {
  return FirstPresetBankChunk(FillLargestSend);
}

}  // namespace testsupport
