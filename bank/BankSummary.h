// The readable table of a bank that `vantorine-bank show` prints: the options, then every preset that is
// not a new one, with the SysEx it sends first and what each of its strips sends, in the order the panel
// shows them.
#pragma once

#include <string>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankSummary {
 public:
  static std::string describe(const PresetBank& bank);
  // The strip in record slot `slot` of preset `preset` in words, with the values of its controller rows,
  // e.g. "ch 10  Program Change 25  Bank 0/8  Volume 100  Pan 64  CC74 40  'Drums'", and after its Bank
  // Select the sound and device of a strip with a device: "Bank 0/8  Brush  (General MIDI)".
  static std::string strip(const PresetBank& bank, int preset, int slot);
};

}  // namespace vantorine::bank
