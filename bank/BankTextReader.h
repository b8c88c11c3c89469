// Reads the text form of a bank (TOML) into 128 preset records. The whole file is checked before anything
// is produced: every error is reported as "FILE:LINE: message" naming the field, unknown keys included, and
// the bank is filled only when there was none. Presets the file leaves out are default presets with the
// file's options. The file may name the program a host had selected (`current` in [options]). A strip's
// `sound` (with `bank` when several banks have the name) is looked up in its device's names on this
// machine (see bank/StripSoundLookup.h). A `sysex` item that ends in .syx names a file whose messages take
// its place, read with the text (see midi/SyxFile.h). A syntax error is told with its line and column; a
// misspelt key, SysEx name or controller row with the closest known one.
#pragma once

#include <string>
#include <vector>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankTextReader {
 public:
  // A bank's text is a few tens of kilobytes and nests five levels deep, or a few megabytes when it holds
  // its presets' longest SysEx lists as hex; text far beyond either is no bank, and is refused before it
  // is parsed.
  static constexpr size_t kMaxBytes = 8 << 20;
  static constexpr size_t kMaxNesting = 32;

  // Where a text's relative .syx names are found: beside the text's file, `fileName`, or nowhere, for a
  // text from memory, which can name a .syx file only by its whole path.
  enum class SyxNames { BesideFile, WholePathsOnly };

  // Returns true and fills `bank` (and `current`, the selected program 0 to 127, when given) when `text`
  // is a valid bank; else fills `errors` (sorted by line) and leaves both as they were. `fileName` is the
  // name the messages start with. `warnings` (when given) gets what a valid bank's reader should know,
  // as "FILE:LINE: warning: message": a device not installed here, once for each name.
  static bool read(const std::string& text, const std::string& fileName, PresetBank& bank,
                   std::vector<std::string>& errors, int32_t* current = nullptr,
                   std::vector<std::string>* warnings = nullptr,
                   SyxNames syxNames = SyxNames::WholePathsOnly);
};

}  // namespace vantorine::bank
