// What the text form of a bank and the binary bank share: the bank as 128 preset records, the global
// options, the default preset a file leaves out, and the tests that decide whether a record's fields can be
// written in their readable form or need their exact bytes. Keeping these in one place is what makes the
// writer and the reader agree, so that bank -> text -> bank gives back the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/VSTPluginProgram.h"

namespace vantorine::bank {

using PresetBank = std::array<VSTPluginProgram, kProgramCount>;

constexpr size_t kBankBytes = sizeof(VSTPluginProgram) * kProgramCount;
constexpr int kMaxDelay = 999;
constexpr int kMaxValue = 127;

// The options the plug-in keeps in every preset but changes for all of them at once.
struct BankOptions {
  bool initSend = false;
  int32_t initDelay = 5;
  bool changeSend = false;
  int32_t changeDelay = 0;
  bool presetSwitching = false;
  bool bankFirst = false;

  static BankOptions of(const VSTPluginProgram& preset);
  void applyTo(VSTPluginProgram& preset) const;
  bool operator==(const BankOptions& other) const;
  bool operator!=(const BankOptions& other) const { return !(*this == other); }
};

// The preset a file stands for when it leaves preset `index` out: a new preset with the file's options.
VSTPluginProgram DefaultPreset(int index, const BankOptions& options);
bool SamePreset(const VSTPluginProgram& a, const VSTPluginProgram& b);
// A strip not in use that was never touched: values zero, the new-strip label. Others are carried as spares.
bool IsBlankSpare(const VSTPluginStrip& strip);

// The bytes of the bank, and back (false unless exactly one current-layout bank).
std::vector<uint8_t> BankBytes(const PresetBank& bank);
bool BankFromBytes(const std::vector<uint8_t>& bytes, PresetBank& bank);
// Why the bank holds a value no preset of the plug-in can hold (a byte out of range), or empty.
std::string ImpossibleValue(const PresetBank& bank);

// A name or label field as readable text: valid UTF-8 without control characters up to the terminator,
// zero after it. False when only its bytes describe it exactly.
bool FieldAsText(const char* field, size_t size, std::string& text);
// The field's bytes as hex, trailing zeros left out, and back (false on bad hex or too many bytes).
std::string FieldAsHex(const char* field, size_t size);
bool FieldFromHex(const std::string& hex, char* field, size_t size);

// The strips of a preset in the order the panel shows them, when the record is laid out as the panel keeps
// it: strip 0 first and in use, then `stripCount - 1` distinct strips in use, empty rows after them, and no
// other strip in use. Returns false (and leaves `slots` empty) for any other layout.
bool DisplayOrder(const VSTPluginProgram& preset, std::vector<int>& slots);

}  // namespace vantorine::bank
