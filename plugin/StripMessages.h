// The short messages a strip sends, in the order a module needs them.
#pragma once

#include <cstdint>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

struct ShortMessage {
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

// Bank Select (two) and Program Change.
constexpr int kMaxSelectMessages = 3;
// Reset All Controllers, the select messages, volume and the controller rows.
constexpr int kMaxStripMessages = 1 + kMaxSelectMessages + 1 + kControllerRows;

// The Bank Select and Program Change that select a strip's sound, in the order the options say; a value
// that is not set is not sent. Returns how many it wrote to `out`. The strip's channel must be 1 to 16.
int SelectMessages(const VSTPluginStrip& strip, bool bankSelectFirst, ShortMessage* out);

// Everything a send sends for strip `slot` of a preset: Reset All Controllers (when that option is on), the
// select messages, volume, then the controller rows in row order. None for a strip not in use or silent.
// Returns how many it wrote to `out`.
int StripMessages(const VSTPluginProgram& program, const VSTPluginProgramExtension& extension, int slot,
                  ShortMessage* out);
