// Reads stored chunks into the plug-in's bank. A chunk has no header: its
// size tells the layout (436/55808 bytes now, 424/54288 from the older
// layout, anything larger the version 1 image with the version 2 fields after
// it, or from a newer version). The bytes come from a project file and may be
// damaged or hostile, so every field of the image that is later used as an
// index, a length, a MIDI byte or a flag is brought into range, and the
// version 2 fields are checked whole: one bad field refuses the chunk.
#pragma once

#include <cstdint>

#include "plugin/VSTPluginProgram.h"
#include "plugin/VSTPluginProgramExtension.h"

class VSTPluginProgramBank {
 public:
  static constexpr int32_t kProgramSize = sizeof(VSTPluginProgram);
  static constexpr int32_t kOldProgramSize = 424;
  static constexpr int32_t kBankSize = kProgramSize * kProgramCount;
  static constexpr int32_t kOldBankSize = kOldProgramSize * kProgramCount + 16;

  VSTPluginProgramBank(VSTPluginProgram* presets, VSTPluginProgramExtension* presetExtensions)
      : bank(presets), extensions(presetExtensions) {}

  // 1 when the size was accepted and the preset taken, else 0 and nothing changed.
  int readProgram(const void* data, int32_t size, int index);
  int readBank(const void* data, int32_t size);

 private:
  VSTPluginProgram* bank;
  VSTPluginProgramExtension* extensions;
};

// Brings every field of a preset into the range the plug-in relies on; a valid preset is left unchanged.
void SanitizeProgram(VSTPluginProgram& program);
