// The writer of the text form: one line per key, values encoded by toml11 so that any name or label is
// quoted and escaped as TOML wants; the layout (order of keys, which tables) is ours, since users read it.
#include "bank/BankTextWriter.h"

#include <cassert>
#include <toml.hpp>

namespace vantorine::bank {

namespace {

class Lines {
 public:
  void blank() { text += "\n"; }
  void comment(const std::string& line) { text += "# " + line + "\n"; }
  void header(const std::string& name) { text += name + "\n"; }
  template <typename T>
  void key(const char* name, const T& value) {
    text += std::string(name) + " = " + toml::format(toml::value(value)) + "\n";
  }
  void intArray(const char* name, const int32_t* values, int count) {
    toml::array array;
    for (int i = 0; i < count; ++i) array.push_back(toml::value(values[i]));
    text += std::string(name) + " = " + toml::format(toml::value(array), 0) + "\n";
  }
  std::string text;
};

void WriteOptions(Lines& out, const BankOptions& options, const BankOptions* shared) {
  if (!shared || options.initSend != shared->initSend) out.key("init_send", options.initSend);
  if (!shared || options.initDelay != shared->initDelay) out.key("init_delay", options.initDelay);
  if (!shared || options.changeSend != shared->changeSend) out.key("change_send", options.changeSend);
  if (!shared || options.changeDelay != shared->changeDelay) out.key("change_delay", options.changeDelay);
  if (!shared || options.presetSwitching != shared->presetSwitching)
    out.key("preset_switching", options.presetSwitching);
}

void WriteTextField(Lines& out, const char* key, const char* bytesKey, const char* field, size_t size) {
  std::string text;
  if (FieldAsText(field, size, text))
    out.key(key, text);
  else
    out.key(bytesKey, FieldAsHex(field, size));
}

// `slot` is 0 when the reader places the strip by itself.
void WriteStrip(Lines& out, const VSTPluginStrip& strip, int slot, bool inUse) {
  out.blank();
  out.header(inUse ? "[[preset.strip]]" : "[[preset.spare]]");
  if (slot > 0) out.key("slot", slot);
  if (strip.channel > 0)
    out.key("channel", static_cast<int>(strip.channel));
  else if (inUse)
    out.key("channel", "none");
  const std::pair<const char*, uint8_t> values[] = {
      {"program", strip.program}, {"bank_msb", strip.bankMsb}, {"bank_lsb", strip.bankLsb}, {"volume", strip.volume}};
  for (const auto& [name, stored] : values)
    if (stored > 0) out.key(name, stored - 1);
  if (strip.swapBankOrder) out.key("swap", true);
  std::string label;
  if (!FieldAsText(strip.label, kLabelSize, label) || label != kNewLabel)
    WriteTextField(out, "label", "label_bytes", strip.label, kLabelSize);
}

void WritePreset(Lines& out, const VSTPluginProgram& preset, int index, const BankOptions& shared) {
  out.blank();
  out.header("[[preset]]");
  out.key("number", index + 1);
  WriteTextField(out, "name", "name_bytes", preset.name, kNameSize);
  if (preset.midiThru) out.key("thru", true);
  WriteOptions(out, BankOptions::of(preset), &shared);
  if (preset.reserved) out.key("reserved", static_cast<int>(preset.reserved));
  if (preset.padding[0] || preset.padding[1] || preset.padding[2]) {
    const int32_t padding[] = {preset.padding[0], preset.padding[1], preset.padding[2]};
    out.intArray("padding", padding, 3);
  }

  std::vector<int> slots;
  const bool panelLayout = DisplayOrder(preset, slots);
  bool placedByReader = panelLayout;
  if (panelLayout) {
    for (size_t row = 0; row < slots.size(); ++row) placedByReader = placedByReader && slots[row] == int(row);
  } else {
    // A layout the panel would not keep is carried as it is; the strips in use follow in record order.
    out.intArray("strip_order", preset.stripOrder, kStripCount);
    out.key("strip_count", preset.stripCount);
    for (int slot = 0; slot < kStripCount; ++slot)
      if (preset.strips[slot].inUse) slots.push_back(slot);
  }
  for (int slot : slots) WriteStrip(out, preset.strips[slot], placedByReader ? 0 : slot + 1, true);
  for (int slot = 0; slot < kStripCount; ++slot) {
    const VSTPluginStrip& strip = preset.strips[slot];
    if (!strip.inUse && !IsBlankSpare(strip)) WriteStrip(out, strip, slot + 1, false);
  }
}

}  // namespace

std::string BankTextWriter::write(const PresetBank& bank) {
  assert(ImpossibleValue(bank).empty());
  const BankOptions shared = BankOptions::of(bank[0]);
  Lines out;
  out.comment("Vantorine bank. Presets not listed are new presets with the options below.");
  out.comment("Values are MIDI data values, 0 to 127; a value that is not sent is left out.");
  out.blank();
  out.header("[options]");
  WriteOptions(out, shared, nullptr);
  for (int n = 0; n < kProgramCount; ++n)
    if (!SamePreset(bank[n], DefaultPreset(n, shared))) WritePreset(out, bank[n], n, shared);
  return out.text;
}

}  // namespace vantorine::bank
