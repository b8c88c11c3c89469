// The readable table of a bank that `vantorine-bank show` prints: the options, then every preset that is
// not a new one, with what each of its strips sends, in the order the panel shows them.
#pragma once

#include <string>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankSummary {
 public:
  static std::string describe(const PresetBank& bank);
  // One strip in words, e.g. "ch 10  Program Change 25  Bank 0/8  Volume 100  'Drums'".
  static std::string strip(const VSTPluginStrip& strip);
};

}  // namespace vantorine::bank
