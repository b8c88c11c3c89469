// The writer of the text form: one line per key, names and labels as TOML basic strings; the layout (order
// of keys, which tables) is ours, since users read it.
#include "bank/BankTextWriter.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

#include "bank/StripSoundLookup.h"
#include "preset/StripRows.h"

namespace vantorine::bank {

namespace {

// A TOML basic string with quotes and backslashes escaped. Texts never hold control characters: a field
// with one is written as its bytes in hex.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    assert(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

class Lines {
 public:
  void blank() { text += "\n"; }
  void comment(const std::string& line) { text += "# " + line + "\n"; }
  void header(const std::string& name) { text += name + "\n"; }
  void key(const char* name, const std::string& value) { line(name, Quoted(value)); }
  void key(const char* name, const char* value) { line(name, Quoted(value)); }
  void key(const char* name, bool value) { line(name, value ? "true" : "false"); }
  void key(const char* name, int value, const std::string& comment = {}) {
    line(name, std::to_string(value) + (comment.empty() ? "" : "  # " + comment));
  }
  template <typename Integer>
  void intArray(const char* name, const Integer* values, int count) {
    std::string list = "[";
    for (int i = 0; i < count; ++i) list += (i ? ", " : "") + std::to_string(values[i]);
    line(name, list + "]");
  }
  // Items already written as TOML values, on the key's line or, when `itemPerLine`, each on a line of its
  // own.
  void array(const char* name, const std::vector<std::string>& items, bool itemPerLine) {
    std::string list = "[";
    for (size_t i = 0; i < items.size(); ++i)
      list += itemPerLine ? "\n  " + items[i] + "," : (i ? ", " : "") + items[i];
    line(name, list + (itemPerLine ? "\n]" : "]"));
  }
  std::string text;

 private:
  void line(const char* name, const std::string& value) { text += std::string(name) + " = " + value + "\n"; }
};

void WriteOptions(Lines& out, const BankOptions& options, const BankOptions* shared) {
  if (!shared || options.initSend != shared->initSend) out.key("init_send", options.initSend);
  if (!shared || options.initDelay != shared->initDelay) out.key("init_delay", options.initDelay);
  if (!shared || options.changeSend != shared->changeSend) out.key("change_send", options.changeSend);
  if (!shared || options.changeDelay != shared->changeDelay) out.key("change_delay", options.changeDelay);
  if (!shared || options.presetSwitching != shared->presetSwitching)
    out.key("preset_switching", options.presetSwitching);
  if (!shared || options.bankFirst != shared->bankFirst) out.key("bank_first", options.bankFirst);
  // Written only when on, so that a bank that never had it reads as it always did.
  if (shared ? options.resetControllers != shared->resetControllers : options.resetControllers)
    out.key("reset_controllers", options.resetControllers);
}

// A message too long for one line as a multi-line string of hex lines, indented as the list's items.
std::string HexLines(const uint8_t* message, size_t size) {
  std::string text = "\"\"\"";
  for (size_t at = 0; at < size; at += BankTextWriter::kHexBytesPerLine)
    text += "\n  " + SysexHex(message + at, std::min(BankTextWriter::kHexBytesPerLine, size - at));
  return text + "\"\"\"";
}

// Preset `number`'s SysEx list. Short and named messages are one string each, as they always were; the list
// takes a line per item only when it holds a long message. With `syxFiles`, each run of long messages goes
// into a file of its own, named in the list in their place.
void WriteSysex(Lines& out, const VSTPluginProgramExtension& extension, int number,
                BankTextWriter::SyxFiles* syxFiles) {
  std::vector<std::string> items;
  bool hexLines = false;
  std::vector<uint8_t> run;
  int runs = 0;
  auto endRun = [&] {
    if (run.empty()) return;
    char name[32];
    std::snprintf(name, sizeof name, "-%03d", number);
    const std::string file =
        syxFiles->bankName + name + (++runs > 1 ? "-" + std::to_string(runs) : "") + ".syx";
    syxFiles->files.push_back({file, run});
    items.push_back(Quoted(file));
    run.clear();
  };
  midi::ForEachSysex(extension.sysex, extension.sysexLength, [&](const uint8_t* message, size_t size) {
    const bool isLong = size > BankTextWriter::kHexBytesPerLine;
    if (isLong && syxFiles) {
      run.insert(run.end(), message, message + size);
      return;
    }
    endRun();
    items.push_back(isLong ? HexLines(message, size) : Quoted(SysexAsText(message, size)));
    hexLines = hexLines || isLong;
  });
  endRun();
  if (!items.empty()) out.array("sysex", items, hexLines);
}

// The SysEx list, the gap after each of its messages and the settle time after the last, and the
// controllers of the rows when they are not the General MIDI ones.
void WriteInitAndRows(Lines& out, const VSTPluginProgramExtension& extension, int number,
                      BankTextWriter::SyxFiles* syxFiles) {
  WriteSysex(out, extension, number, syxFiles);
  if (extension.sysexGapMs != 0) out.key("sysex_gap", static_cast<int>(extension.sysexGapMs));
  if (extension.settleMs != kDefaultSettleMs) out.key("settle", static_cast<int>(extension.settleMs));
  if (!std::equal(extension.rowControllers, extension.rowControllers + kControllerRows,
                  kDefaultRowControllers))
    out.intArray("controllers", extension.rowControllers, kControllerRows);
}

bool HasRowValues(const uint8_t* values) {
  return std::any_of(values, values + kControllerRows, [](uint8_t value) { return value != 0; });
}

void WriteTextField(Lines& out, const char* key, const char* bytesKey, const char* field, size_t size) {
  std::string text;
  if (FieldAsText(field, size, text))
    out.key(key, text);
  else
    out.key(bytesKey, FieldAsHex(field, size));
}

// `slot` is the strip's record slot; `shownSlot` is 0 when the reader places the strip by itself.
void WriteStrip(Lines& out, const VSTPluginStrip& strip, const VSTPluginProgramExtension& extension, int slot,
                int shownSlot, bool inUse) {
  out.blank();
  out.header(inUse ? "[[preset.strip]]" : "[[preset.spare]]");
  if (shownSlot > 0) out.key("slot", shownSlot);
  if (strip.channel > 0)
    out.key("channel", static_cast<int>(strip.channel));
  else if (inUse)
    out.key("channel", "none");
  const std::string device = StripDevice(extension, slot);
  if (!device.empty()) out.key("device", device);
  // The sound's name is a comment: the numbers stay what the strip sends, on any machine.
  if (strip.program > 0) out.key("program", strip.program - 1, SoundOfStrip(device, strip));
  const std::pair<const char*, uint8_t> values[] = {
      {"bank_msb", strip.bankMsb}, {"bank_lsb", strip.bankLsb}, {"volume", strip.volume}};
  for (const auto& [name, stored] : values)
    if (stored > 0) out.key(name, stored - 1);
  const uint8_t* rowValues = extension.rowValues[slot];
  for (int row = 0; row < kControllerRows; ++row)
    if (rowValues[row] > 0) out.key(RowKey(extension.rowControllers[row]).c_str(), rowValues[row] - 1);
  if (strip.swapBankOrder) out.key("swap", true);
  std::string label;
  if (!FieldAsText(strip.label, kLabelSize, label) || label != kNewLabel)
    WriteTextField(out, "label", "label_bytes", strip.label, kLabelSize);
}

void WritePreset(Lines& out, const PresetBank& bank, int index, const BankOptions& shared,
                 BankTextWriter::SyxFiles* syxFiles) {
  const VSTPluginProgram& preset = bank[index];
  const VSTPluginProgramExtension& extension = bank.extensions[index];
  out.blank();
  out.header("[[preset]]");
  out.key("number", index + 1);
  WriteTextField(out, "name", "name_bytes", preset.name, kNameSize);
  if (preset.midiThru) out.key("thru", true);
  WriteOptions(out, BankOptions::of(preset, extension), &shared);
  WriteInitAndRows(out, extension, index + 1, syxFiles);
  if (preset.reserved) out.key("reserved", static_cast<int>(preset.reserved));
  if (preset.padding[0] || preset.padding[1]) {
    const int32_t padding[] = {preset.padding[0], preset.padding[1]};
    out.intArray("padding", padding, 2);
  }

  std::vector<int> slots;
  const bool panelLayout = preset::PanelOrder(preset, slots);
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
  for (int slot : slots)
    WriteStrip(out, preset.strips[slot], extension, slot, placedByReader ? 0 : slot + 1, true);
  for (int slot = 0; slot < kStripCount; ++slot) {
    const VSTPluginStrip& strip = preset.strips[slot];
    if (!strip.inUse &&
        (!IsBlankSpare(strip) || HasRowValues(extension.rowValues[slot]) || extension.devices[slot][0]))
      WriteStrip(out, strip, extension, slot, slot + 1, false);
  }
}

}  // namespace

std::string BankTextWriter::write(const PresetBank& bank, int32_t current, SyxFiles* syxFiles) {
  assert(ImpossibleValue(bank).empty());
  const BankOptions shared = BankOptions::of(bank[0], bank.extensions[0]);
  Lines out;
  out.comment("Vantorine bank. Presets not listed are new presets with the options below.");
  out.comment("Values are MIDI data values, 0 to 127; a value that is not sent is left out.");
  out.blank();
  out.header("[options]");
  WriteOptions(out, shared, nullptr);
  out.key("current", current + 1);
  for (int n = 0; n < kProgramCount; ++n)
    if (!IsDefaultPreset(bank, n, shared)) WritePreset(out, bank, n, shared, syxFiles);
  return out.text;
}

}  // namespace vantorine::bank
