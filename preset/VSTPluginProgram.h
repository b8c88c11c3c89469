// The preset record: a plain little-endian memory image that is at the same
// time what the host stores (one record per preset, 128 per bank). Its byte
// layout is fixed: stored projects depend on every offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "preset/PresetLimits.h"

// One strip: value bytes hold 0 for "send nothing" and 1 to 128 for the MIDI value plus one.
struct VSTPluginStrip {
  uint8_t inUse;
  uint8_t swapBankOrder;  // 1: Bank Select LSB goes out before MSB
  uint8_t channel;        // 0: silent; 1 to 16
  uint8_t program;
  uint8_t bankMsb;
  uint8_t bankLsb;
  uint8_t volume;
  char label[kLabelSize];
};

struct VSTPluginProgram {
  char name[kNameSize];
  VSTPluginStrip strips[kStripCount];
  int32_t stripOrder[kStripCount];
  int32_t stripCount;
  uint8_t reserved;
  uint8_t midiThru;
  // The options from here on are global: every change writes all 128 presets.
  uint8_t presetSwitching;
  uint8_t changeSend;
  uint8_t initSend;
  uint8_t bankSelectFirst;  // 1: each strip sends its Bank Select before the Program Change
  uint8_t padding[2];
  int32_t initDelay;
  int32_t changeDelay;
};

static_assert(sizeof(VSTPluginStrip) == 19, "strip record is 19 bytes");
static_assert(offsetof(VSTPluginProgram, strips) == 48, "strip records start at 48");
static_assert(offsetof(VSTPluginProgram, stripOrder) == 352, "strip order at 352");
static_assert(offsetof(VSTPluginProgram, stripCount) == 416, "strip count at 416");
static_assert(offsetof(VSTPluginProgram, midiThru) == 421, "MIDI thru at 421");
static_assert(offsetof(VSTPluginProgram, initSend) == 424, "init send at 424");
static_assert(offsetof(VSTPluginProgram, bankSelectFirst) == 425, "bank select first at 425");
static_assert(offsetof(VSTPluginProgram, initDelay) == 428, "init delay at 428");
static_assert(sizeof(VSTPluginProgram) == 436, "preset record is 436 bytes");

// The label a strip gets when it is created.
constexpr const char* kNewLabel = ".....";

// Copies a text into a fixed field, cut to fit, always terminated, the rest zero.
inline void CopyText(char* field, size_t fieldSize, const char* text) {
  std::memset(field, 0, fieldSize);
  std::memcpy(field, text, strnlen(text, fieldSize - 1));
}

// The state of a new preset: strip 0 on channel 1 with Program Change 0, the rest empty. Inline, so that
// the bank tools build the very same preset without linking the plug-in.
inline void InitProgram(VSTPluginProgram& program, const char* name) {
  std::memset(&program, 0, sizeof(program));
  CopyText(program.name, sizeof(program.name), name);
  for (VSTPluginStrip& strip : program.strips) CopyText(strip.label, sizeof(strip.label), kNewLabel);
  program.strips[0].inUse = 1;
  program.strips[0].channel = 1;
  program.strips[0].program = 1;
  program.stripOrder[0] = 0;
  for (int row = 1; row < kStripCount; ++row) program.stripOrder[row] = kEmptyRow;
  program.stripCount = 1;
  program.initDelay = 5;
  program.changeDelay = 0;
}

// A new preset named after its number (index 0 is "001 - empty preset").
inline void InitNumberedProgram(VSTPluginProgram& program, int index) {
  char name[kNameSize];
  std::snprintf(name, sizeof(name), "%03d - empty preset", index + 1);
  InitProgram(program, name);
}
