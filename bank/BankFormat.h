// What the text form of a bank and the binary bank share: the bank as 128 preset records with their
// version 2 fields, the global options, the default preset a file leaves out, and the tests that decide
// whether a record's fields can be written in their readable form or need their exact bytes. Keeping these
// in one place is what makes the writer and the reader agree, so that bank -> text -> bank gives back the
// same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "preset/PresetChunk.h"
#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

namespace vantorine::bank {

// The bank as the plug-in keeps it: 128 preset records, and beside each its version 2 fields. Indexing and
// iterating give the records, which is what most code looks at.
struct PresetBank {
  std::array<VSTPluginProgram, kProgramCount> presets;
  std::array<VSTPluginProgramExtension, kProgramCount> extensions;

  VSTPluginProgram& operator[](int index) { return presets[index]; }
  const VSTPluginProgram& operator[](int index) const { return presets[index]; }
  auto begin() { return presets.begin(); }
  auto end() { return presets.end(); }
  auto begin() const { return presets.begin(); }
  auto end() const { return presets.end(); }
};

constexpr size_t kBankBytes = preset::kBankChunkBytes;
constexpr int kMaxValue = 127;

// The options the plug-in keeps in every preset but changes for all of them at once.
struct BankOptions {
  bool initSend = false;
  int32_t initDelay = 5;
  bool changeSend = false;
  int32_t changeDelay = 0;
  bool presetSwitching = false;
  bool bankFirst = false;
  bool resetControllers = false;

  static BankOptions of(const VSTPluginProgram& preset, const VSTPluginProgramExtension& extension);
  void applyTo(VSTPluginProgram& preset, VSTPluginProgramExtension& extension) const;
  bool operator==(const BankOptions& other) const;
  bool operator!=(const BankOptions& other) const { return !(*this == other); }
};

// The preset a file stands for when it leaves preset `index` out: a new preset with the file's options.
VSTPluginProgram DefaultPreset(int index, const BankOptions& options);
VSTPluginProgramExtension DefaultExtension(const BankOptions& options);
bool SamePreset(const VSTPluginProgram& a, const VSTPluginProgram& b);
// Whether preset `index` of the bank, fields of version 2 included, is the one a file that leaves it out
// stands for.
bool IsDefaultPreset(const PresetBank& bank, int index, const BankOptions& options);
// A strip not in use that was never touched: values zero, the new-strip label. Others are carried as spares.
bool IsBlankSpare(const VSTPluginStrip& strip);

// The bytes of the bank: the 55808-byte image, and the version 2 fields after it when some preset uses
// them, as the plug-in's bank chunk.
std::vector<uint8_t> BankBytes(const PresetBank& bank);
// The bank in such bytes, or why they hold none: another size, version 2 fields that are damaged, or
// fields of a newer version, which a bank of this version would lose. `bank` is changed only on success.
std::string BankFromBytes(const std::vector<uint8_t>& bytes, PresetBank& bank);
// Why the bank holds a value no preset of the plug-in can hold (a byte out of range), or one the text form
// cannot name (two controller rows sending the same controller), or empty.
std::string ImpossibleValue(const PresetBank& bank);

// A name or label field as readable text: valid UTF-8 without control characters up to the terminator,
// zero after it. False when only its bytes describe it exactly.
bool FieldAsText(const char* field, size_t size, std::string& text);
// The field's bytes as hex, trailing zeros left out, and back (false on bad hex or too many bytes).
std::string FieldAsHex(const char* field, size_t size);
bool FieldFromHex(const std::string& hex, char* field, size_t size);

// One whole System Exclusive message as the text form writes it: its name when it is a named message, else
// its bytes as upper-case hex separated by single spaces (SysexHex); and back from either (hex digits in
// pairs, any case, separated by spaces or line breaks), false when the text is not one whole message.
std::string SysexAsText(const uint8_t* message, size_t size);
std::string SysexHex(const uint8_t* bytes, size_t size);
bool SysexFromText(const std::string& text, std::vector<uint8_t>& message);

// The strip key of a controller row: "pan", "reverb", "chorus" or "expression" for the four common rows,
// "ccN" for any other; and the controller a key names, in either spelling ("cc10" too), or -1.
std::string RowKey(int controller);
int RowKeyController(const std::string& key);

}  // namespace vantorine::bank
