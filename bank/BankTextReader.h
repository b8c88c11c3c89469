// Reads the text form of a bank (TOML) into 128 preset records. The whole file is checked before anything
// is produced: every error is reported as "FILE:LINE: message" naming the field, unknown keys included, and
// the bank is filled only when there was none. Presets the file leaves out are default presets with the
// file's options.
#pragma once

#include <string>
#include <vector>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankTextReader {
 public:
  // Returns true and fills `bank` when `text` is a valid bank; else fills `errors` (sorted by line) and
  // leaves `bank` as it was. `fileName` is the name the messages start with.
  static bool read(const std::string& text, const std::string& fileName, PresetBank& bank,
                   std::vector<std::string>& errors);
};

}  // namespace vantorine::bank
