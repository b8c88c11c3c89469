// Writes a bank in its text form (TOML). The global options are written once in [options]; a preset is
// written only when it differs from the default preset with those options, and within a preset only what
// differs from a new preset's defaults, so that a bank made in the panel reads as what the user set. Fields
// users rarely see (bytes after a name's end, the reserved byte, a strip order the panel would not keep,
// removed strips that still hold values or a label) are written only when present, which keeps every bank
// the plug-in can hold exact through bank -> text -> bank. A strip with a device has the name of the sound
// its values select as a comment on its program line (from the machine's device files, see
// bank/StripSoundLookup.h), with its bank when other banks have a sound of that name: a comment only, so
// the text reads back to the same bank anywhere.
#pragma once

#include <string>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankTextWriter {
 public:
  // The bank must hold only values a preset can hold (ImpossibleValue is empty); `current` is the program
  // a host had selected, 0 to 127.
  static std::string write(const PresetBank& bank, int32_t current = 0);
};

}  // namespace vantorine::bank
