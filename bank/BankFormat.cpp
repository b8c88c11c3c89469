// The shared rules of the bank's text form: defaults, range checks, text fields and the panel's layout.
#include "bank/BankFormat.h"

#include <cstring>

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

}  // namespace

BankOptions BankOptions::of(const VSTPluginProgram& preset) {
  BankOptions options;
  options.initSend = preset.initSend != 0;
  options.initDelay = preset.initDelay;
  options.changeSend = preset.changeSend != 0;
  options.changeDelay = preset.changeDelay;
  options.presetSwitching = preset.presetSwitching != 0;
  options.bankFirst = preset.bankSelectFirst != 0;
  return options;
}

void BankOptions::applyTo(VSTPluginProgram& preset) const {
  preset.initSend = initSend ? 1 : 0;
  preset.initDelay = initDelay;
  preset.changeSend = changeSend ? 1 : 0;
  preset.changeDelay = changeDelay;
  preset.presetSwitching = presetSwitching ? 1 : 0;
  preset.bankSelectFirst = bankFirst ? 1 : 0;
}

bool BankOptions::operator==(const BankOptions& other) const {
  return initSend == other.initSend && initDelay == other.initDelay && changeSend == other.changeSend &&
         changeDelay == other.changeDelay && presetSwitching == other.presetSwitching &&
         bankFirst == other.bankFirst;
}

VSTPluginProgram DefaultPreset(int index, const BankOptions& options) {
  VSTPluginProgram preset;
  InitNumberedProgram(preset, index);
  options.applyTo(preset);
  return preset;
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

std::vector<uint8_t> BankBytes(const PresetBank& bank) {
  std::vector<uint8_t> bytes(kBankBytes);
  std::memcpy(bytes.data(), bank.data(), kBankBytes);
  return bytes;
}

bool BankFromBytes(const std::vector<uint8_t>& bytes, PresetBank& bank) {
  if (bytes.size() != kBankBytes) return false;
  std::memcpy(bank.data(), bytes.data(), kBankBytes);
  return true;
}

std::string ImpossibleValue(const PresetBank& bank) {
  for (int n = 0; n < kProgramCount; ++n) {
    const VSTPluginProgram& preset = bank[n];
    const std::string where = "preset " + std::to_string(n + 1) + ": ";
    if (preset.name[kNameSize - 1] != 0) return where + "name is not terminated";
    for (int s = 0; s < kStripCount; ++s) {
      const VSTPluginStrip& strip = preset.strips[s];
      const std::string at = where + "strip record " + std::to_string(s + 1) + ": ";
      if (strip.inUse > 1 || strip.swapBankOrder > 1) return at + "flag byte is neither 0 nor 1";
      if (strip.channel > 16) return at + "channel byte " + std::to_string(strip.channel);
      for (uint8_t value : {strip.program, strip.bankMsb, strip.bankLsb, strip.volume})
        if (value > kMaxValue + 1) return at + "value byte " + std::to_string(value);
      if (strip.label[kLabelSize - 1] != 0) return at + "label is not terminated";
    }
    for (int32_t row : preset.stripOrder)
      if (row < 0 || row > kEmptyRow) return where + "strip order entry " + std::to_string(row);
    if (preset.stripCount < 1 || preset.stripCount > kStripCount)
      return where + "strip count " + std::to_string(preset.stripCount);
    if (preset.midiThru > 1 || preset.presetSwitching > 1 || preset.changeSend > 1 || preset.initSend > 1 ||
        preset.bankSelectFirst > 1)
      return where + "option flag is neither 0 nor 1";
    for (int32_t delay : {preset.initDelay, preset.changeDelay})
      if (delay < 0 || delay > kMaxDelay) return where + "delay of " + std::to_string(delay) + " s";
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

bool DisplayOrder(const VSTPluginProgram& preset, std::vector<int>& slots) {
  slots.clear();
  const int count = preset.stripCount;
  if (count < 1 || count > kStripCount || preset.stripOrder[0] != 0 || !preset.strips[0].inUse) return false;
  bool listed[kStripCount] = {true};
  std::vector<int> order{0};
  for (int row = 1; row < kStripCount; ++row) {
    const int32_t slot = preset.stripOrder[row];
    if (row >= count) {
      if (slot != kEmptyRow) return false;
      continue;
    }
    if (slot < 1 || slot >= kStripCount || listed[slot] || !preset.strips[slot].inUse) return false;
    listed[slot] = true;
    order.push_back(slot);
  }
  for (int slot = 0; slot < kStripCount; ++slot)
    if (preset.strips[slot].inUse && !listed[slot]) return false;
  slots = order;
  return true;
}

}  // namespace vantorine::bank
