// The preset a host's number for it selects, 0 to 127. Hosts show presets as 1 to 128, but their controls
// and automation can hold any value: NaN and anything below 1 select the first preset, anything above 128
// (infinity too) the last, and the value is never converted while it is out of an int's range.
#pragma once

#include "preset/VSTPluginProgram.h"

inline int PresetFromNumber(double value) {
  if (!(value >= 1.0)) return 0;
  if (value >= static_cast<double>(kProgramCount)) return kProgramCount - 1;
  return static_cast<int>(value + 0.5) - 1;
}
