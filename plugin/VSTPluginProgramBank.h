// Takes stored chunks into the plug-in's bank, as preset/PresetChunk.h reads them, and tells the user when a
// newer version wrote settings this one does not know.
#pragma once

#include <cstdint>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

class VSTPluginProgramBank {
 public:
  VSTPluginProgramBank(VSTPluginProgram* presets, VSTPluginProgramExtension* presetExtensions)
      : bank(presets), extensions(presetExtensions) {}

  // 1 when the size was accepted and the preset taken, else 0 and nothing changed.
  int readProgram(const void* data, int32_t size, int index);
  int readBank(const void* data, int32_t size);

 private:
  VSTPluginProgram* bank;
  VSTPluginProgramExtension* extensions;
};
