// The shared rules of the bank's text form: defaults, the wording of a record's faults, text fields, and the
// spelling of SysEx messages and controller rows.
#include "bank/BankFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "preset/PresetRules.h"
#include "preset/ProgramExtensionChunk.h"

namespace vantorine::bank {

namespace {

// Length of the valid UTF-8 sequence at `text` (at most `left` bytes), 0 when it is not one. Overlong forms
// and surrogates are refused, as a strict TOML reader would refuse them.
size_t Utf8Length(const unsigned char* text, size_t left) {
  const unsigned char c = text[0];
  if (c < 0x80) return 1;
  size_t length;
  uint32_t point;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2, point = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, point = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, point = c & 0x07;
  } else {
    return 0;
  }
  if (length > left) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;
    point = (point << 6) | (text[i] & 0x3F);
  }
  if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000) || point > 0x10FFFF ||
      (point >= 0xD800 && point <= 0xDFFF))
    return 0;
  return length;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void NewPreset(int index, const BankOptions& options, VSTPluginProgram& preset,
               VSTPluginProgramExtension& extension) {
  InitNumberedProgram(preset, index);
  InitProgramExtension(extension);
  options.applyTo(preset, extension);
}

// A fault of a preset's version 2 fields in the text tools' words.
std::string ExtensionWording(const preset::Refusal& refusal) {
  using preset::Fault;
  const std::string value = std::to_string(refusal.value);
  switch (refusal.fault) {
    case Fault::kSysexList:
      return "the SysEx list is not whole messages";
    case Fault::kBytesAfterSysexList:
      return "bytes after the end of the SysEx list";
    case Fault::kSettle:
      return "settle time of " + value + " ms";
    case Fault::kSysexGap:
      return "SysEx gap of " + value + " ms";
    case Fault::kRowController:
      return "controller row " + std::to_string(refusal.row + 1) + " sends CC " + value;
    case Fault::kRowTwice:
      return "controller rows " + std::to_string(refusal.otherRow + 1) + " and " +
             std::to_string(refusal.row + 1) + " both send CC " + value;
    case Fault::kRowValue:
      return "controller row value byte " + value;
    case Fault::kResetFlagOrPadding:
      return "Reset All Controllers first flag or its padding";
    case Fault::kDevice:
      return "the device of strip record " + std::to_string(refusal.strip + 1) +
             " is not a name in printable ASCII";
    default:
      return {};
  }
}

// A fault of a preset's version 1 record in the text tools' words.
std::string ProgramWording(const preset::Refusal& refusal) {
  using preset::Fault;
  const std::string value = std::to_string(refusal.value);
  const std::string strip = "strip record " + std::to_string(refusal.strip + 1) + ": ";
  switch (refusal.fault) {
    case Fault::kNameNotTerminated:
      return "name is not terminated";
    case Fault::kStripFlag:
      return strip + "flag byte is neither 0 nor 1";
    case Fault::kChannel:
      return strip + "channel byte " + value;
    case Fault::kValue:
      return strip + "value byte " + value;
    case Fault::kLabelNotTerminated:
      return strip + "label is not terminated";
    case Fault::kStripOrderEntry:
      return "strip order entry " + value;
    case Fault::kStripCount:
      return "strip count " + value;
    case Fault::kOptionFlag:
      return "option flag is neither 0 nor 1";
    case Fault::kDelay:
      return "delay of " + value + " s";
    default:
      return {};
  }
}

}  // namespace

BankOptions BankOptions::of(const VSTPluginProgram& preset, const VSTPluginProgramExtension& extension) {
  BankOptions options;
  options.initSend = preset.initSend != 0;
  options.initDelay = preset.initDelay;
  options.changeSend = preset.changeSend != 0;
  options.changeDelay = preset.changeDelay;
  options.presetSwitching = preset.presetSwitching != 0;
  options.bankFirst = preset.bankSelectFirst != 0;
  options.resetControllers = extension.resetControllersFirst != 0;
  return options;
}

void BankOptions::applyTo(VSTPluginProgram& preset, VSTPluginProgramExtension& extension) const {
  preset.initSend = initSend ? 1 : 0;
  preset.initDelay = initDelay;
  preset.changeSend = changeSend ? 1 : 0;
  preset.changeDelay = changeDelay;
  preset.presetSwitching = presetSwitching ? 1 : 0;
  preset.bankSelectFirst = bankFirst ? 1 : 0;
  extension.resetControllersFirst = resetControllers ? 1 : 0;
}

bool BankOptions::operator==(const BankOptions& other) const {
  return initSend == other.initSend && initDelay == other.initDelay && changeSend == other.changeSend &&
         changeDelay == other.changeDelay && presetSwitching == other.presetSwitching &&
         bankFirst == other.bankFirst && resetControllers == other.resetControllers;
}

VSTPluginProgram DefaultPreset(int index, const BankOptions& options) {
  VSTPluginProgram preset;
  VSTPluginProgramExtension extension;
  NewPreset(index, options, preset, extension);
  return preset;
}

VSTPluginProgramExtension DefaultExtension(const BankOptions& options) {
  VSTPluginProgram preset;
  VSTPluginProgramExtension extension;
  NewPreset(0, options, preset, extension);
  return extension;
}

bool SamePreset(const VSTPluginProgram& a, const VSTPluginProgram& b) {
  return std::memcmp(&a, &b, sizeof(VSTPluginProgram)) == 0;
}

bool IsBlankSpare(const VSTPluginStrip& strip) {
  VSTPluginStrip blank;
  std::memset(&blank, 0, sizeof(blank));
  CopyText(blank.label, sizeof(blank.label), kNewLabel);
  return std::memcmp(&strip, &blank, sizeof(blank)) == 0;
}

bool IsDefaultPreset(const PresetBank& bank, int index, const BankOptions& options) {
  const VSTPluginProgramExtension extension = DefaultExtension(options);
  return SamePreset(bank[index], DefaultPreset(index, options)) &&
         std::memcmp(&bank.extensions[index], &extension, sizeof(extension)) == 0;
}

std::vector<uint8_t> BankBytes(const PresetBank& bank) {
  std::vector<uint8_t> bytes(kBankBytes);
  std::memcpy(bytes.data(), bank.presets.data(), kBankBytes);
  AppendProgramExtensions(bank.extensions.data(), kProgramCount, bytes);
  return bytes;
}

std::string BankFromBytes(const std::vector<uint8_t>& bytes, PresetBank& bank) {
  if (bytes.size() < kBankBytes)
    return "a bank chunk has " + std::to_string(kBankBytes) + " bytes, this one " +
           std::to_string(bytes.size());
  std::vector<VSTPluginProgramExtension> extensions(kProgramCount);
  switch (ReadProgramExtensions(bytes.data() + kBankBytes, bytes.size() - kBankBytes, kProgramCount,
                                extensions.data())) {
    case ExtensionRead::kBroken:
      return "not a bank the plug-in can hold: what follows its first " + std::to_string(kBankBytes) +
             " bytes is damaged";
    case ExtensionRead::kNewer:
      // The plug-in takes what it knows; a conversion here would drop the rest without a word.
      return "saved by a newer version of the plug-in (" + std::to_string(bytes.size()) +
             " bytes), whose settings this version would lose";
    case ExtensionRead::kRead:
      break;
  }
  std::memcpy(bank.presets.data(), bytes.data(), kBankBytes);
  std::copy(extensions.begin(), extensions.end(), bank.extensions.begin());
  return {};
}

std::string ImpossibleValue(const PresetBank& bank) {
  for (int n = 0; n < kProgramCount; ++n) {
    const std::string where = "preset " + std::to_string(n + 1) + ": ";
    if (const preset::Refusal refusal = preset::CheckProgram(bank[n])) return where + ProgramWording(refusal);
    if (const preset::Refusal refusal = preset::CheckExtension(bank.extensions[n]))
      return where + ExtensionWording(refusal);
  }
  return {};
}

bool FieldAsText(const char* field, size_t size, std::string& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(field);
  const size_t end = strnlen(field, size);
  if (end == size) return false;
  for (size_t i = end; i < size; ++i)
    if (bytes[i] != 0) return false;
  for (size_t i = 0; i < end;) {
    if (bytes[i] < 0x20 || bytes[i] == 0x7F) return false;
    const size_t length = Utf8Length(bytes + i, end - i);
    if (length == 0) return false;
    i += length;
  }
  text.assign(field, end);
  return true;
}

std::string FieldAsHex(const char* field, size_t size) {
  static const char digits[] = "0123456789abcdef";
  size_t used = size;
  while (used > 0 && field[used - 1] == 0) --used;
  std::string hex;
  for (size_t i = 0; i < used; ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    hex += digits[byte >> 4];
    hex += digits[byte & 0x0F];
  }
  return hex;
}

bool FieldFromHex(const std::string& hex, char* field, size_t size) {
  // The last byte stays the terminator.
  if (hex.size() % 2 != 0 || hex.size() / 2 > size - 1) return false;
  char bytes[256] = {};
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i / 2] = static_cast<char>(high * 16 + low);
  }
  std::memcpy(field, bytes, size);
  return true;
}

std::string SysexAsText(const uint8_t* message, size_t size) {
  if (const char* name = midi::SysexName(message, size)) return name;
  return SysexHex(message, size);
}

std::string SysexHex(const uint8_t* bytes, size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    if (i > 0) hex += ' ';
    hex += digits[bytes[i] >> 4];
    hex += digits[bytes[i] & 0x0F];
  }
  return hex;
}

bool SysexFromText(const std::string& text, std::vector<uint8_t>& message) {
  if (midi::SysexByName(text, message)) return true;
  std::vector<uint8_t> bytes;
  // A long message comes as lines of hex in a multi-line string.
  auto separator = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
  for (size_t at = 0; at < text.size();) {
    if (separator(text[at])) {
      ++at;
      continue;
    }
    const int high = HexDigit(text[at]);
    const int low = at + 1 < text.size() ? HexDigit(text[at + 1]) : -1;
    if (high < 0 || low < 0 || (at + 2 < text.size() && !separator(text[at + 2]))) return false;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    at += 2;
  }
  if (bytes.empty() || midi::WholeSysexLength(bytes.data(), bytes.size()) != bytes.size()) return false;
  message = bytes;
  return true;
}

std::string RowKey(int controller) {
  const char* key = midi::ControllerKey(controller);
  return key ? key : "cc" + std::to_string(controller);
}

int RowKeyController(const std::string& key) {
  if (key.compare(0, 2, "cc") != 0) {
    for (int controller = 0; controller <= kMaxValue; ++controller) {
      const char* name = midi::ControllerKey(controller);
      if (name && key == name) return controller;
    }
    return -1;
  }
  if (key.size() < 3 || key.size() > 5) return -1;
  int controller = 0;
  for (size_t i = 2; i < key.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(key[i]))) return -1;
    controller = controller * 10 + (key[i] - '0');
  }
  // One spelling for each number: no leading zeros.
  if (controller > kMaxValue || key != "cc" + std::to_string(controller)) return -1;
  return controller;
}

}  // namespace vantorine::bank
