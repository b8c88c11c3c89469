// Writes a bank in its text form (TOML). The global options are written once in [options]; a preset is
// written only when it differs from the default preset with those options, and within a preset only what
// differs from a new preset's defaults, so that a bank made in the panel reads as what the user set. Fields
// users rarely see (bytes after a name's end, the reserved byte, a strip order the panel would not keep,
// removed strips that still hold values or a label) are written only when present, which keeps every bank
// the plug-in can hold exact through bank -> text -> bank. A strip with a device has the name of the sound
// its values select as a comment on its program line (from the machine's device files, see
// bank/StripSoundLookup.h), with its bank when other banks have a sound of that name: a comment only, so
// the text reads back to the same bank anywhere. A SysEx message longer than a line is written as lines of
// hex in a multi-line string, or, when asked, into a .syx file the text names.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankTextWriter {
 public:
  // A message longer than this many bytes takes lines of this many.
  static constexpr size_t kHexBytesPerLine = 32;

  // The .syx files a text names in place of its presets' long messages: each run of them in a preset gets
  // a file named after the bank and the preset ("studio" gives studio-012.syx for preset 12, then
  // studio-012-2.syx), to be written beside the text.
  struct SyxFiles {
    std::string bankName;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  };

  // The bank must hold only values a preset can hold (ImpossibleValue is empty); `current` is the program
  // a host had selected, 0 to 127. With `syxFiles`, long messages go to the files it gets.
  static std::string write(const PresetBank& bank, int32_t current = 0, SyxFiles* syxFiles = nullptr);
};

}  // namespace vantorine::bank
