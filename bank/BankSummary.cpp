// Formatting of the bank table; names and labels are shown as text, or as hex when they are not text.
#include "bank/BankSummary.h"

#include <cstdio>

#include "bank/StripSoundLookup.h"
#include "preset/StripRows.h"

namespace vantorine::bank {

namespace {

std::string Shown(const char* field, size_t size) {
  std::string text;
  if (FieldAsText(field, size, text)) return text;
  return "<bytes " + FieldAsHex(field, size) + ">";
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

std::string Options(const BankOptions& options) {
  return "Init-Send " + OnOff(options.initSend) + " (delay " + std::to_string(options.initDelay) +
         " s), Change-Send " + OnOff(options.changeSend) + " (delay " + std::to_string(options.changeDelay) +
         " s), preset switching " + OnOff(options.presetSwitching);
}

std::string BankFirst(const BankOptions& options) {
  return options.bankFirst ? "on (each strip sends its Bank Select before its Program Change)"
                           : "off (each strip sends its Program Change before its Bank Select)";
}

// "GS Reset, XG System On, then 100 ms": the messages by name, others as their hex, and a module's dump
// by its first bytes and its size, which is what tells one dump from another at a glance.
std::string Sysex(const VSTPluginProgramExtension& extension) {
  constexpr size_t kShownBytes = 8;
  std::string text;
  midi::ForEachSysex(extension.sysex, extension.sysexLength, [&text](const uint8_t* message, size_t size) {
    text += size <= 2 * kShownBytes ? SysexAsText(message, size)
                                    : SysexAsText(message, kShownBytes) + " ... F7 (" + std::to_string(size) +
                                          " bytes)";
    text += ", ";
  });
  return text + "then " + std::to_string(extension.settleMs) + " ms";
}

// A row's controller as people know it: the four common ones by name, others by number ("CC74").
std::string RowName(int controller) {
  return midi::ControllerKey(controller) ? midi::ControllerMeaning(controller)
                                         : "CC" + std::to_string(controller);
}

// "  Brush  (General MIDI)": the sound the strip selects and its device; the device alone when the strip
// selects none of its sounds, and said to be missing when no file here knows it.
std::string DeviceAndSound(const std::string& device, const VSTPluginStrip& strip) {
  if (device.empty()) return {};
  if (!DeviceKnownHere(device)) return "  (" + device + ", not installed)";
  const std::string sound = SoundOfStrip(device, strip);
  return (sound.empty() ? "" : "  " + sound) + "  (" + device + ")";
}

}  // namespace

std::string BankSummary::strip(const PresetBank& bank, int preset, int slot) {
  const VSTPluginStrip& strip = bank[preset].strips[slot];
  const VSTPluginProgramExtension& extension = bank.extensions[preset];
  const std::string device = DeviceAndSound(StripDevice(extension, slot), strip);
  if (strip.channel == 0) return "silent    " + device + "  '" + Shown(strip.label, kLabelSize) + "'";
  char channel[16];
  std::snprintf(channel, sizeof channel, "ch %-2d", strip.channel);
  std::string line = channel;
  if (strip.program) line += "  Program Change " + std::to_string(strip.program - 1);
  const std::string msb = std::to_string(strip.bankMsb - 1);
  const std::string lsb = std::to_string(strip.bankLsb - 1);
  if (strip.bankMsb && strip.bankLsb)
    line += "  Bank " + msb + "/" + lsb;
  else if (strip.bankMsb)
    line += "  Bank MSB " + msb;
  else if (strip.bankLsb)
    line += "  Bank LSB " + lsb;
  if (strip.swapBankOrder && (strip.bankMsb || strip.bankLsb)) line += " (LSB first)";
  line += device;
  if (strip.volume) line += "  Volume " + std::to_string(strip.volume - 1);
  bool rows = false;
  for (int row = 0; row < kControllerRows; ++row) {
    const uint8_t value = extension.rowValues[slot][row];
    if (value) line += "  " + RowName(extension.rowControllers[row]) + " " + std::to_string(value - 1);
    rows = rows || value;
  }
  if (!strip.program && !strip.bankMsb && !strip.bankLsb && !strip.volume && !rows)
    line += "  nothing to send";
  return line + "  '" + Shown(strip.label, kLabelSize) + "'";
}

std::string BankSummary::describe(const PresetBank& bank) {
  const BankOptions shared = BankOptions::of(bank[0], bank.extensions[0]);
  std::string text = "Options: " + Options(shared) + "\nBank Select first: " + BankFirst(shared) + "\n";
  if (shared.resetControllers)
    text +=
        "Reset All Controllers first: on (each strip sends CC 121 before its Bank Select and Program "
        "Change)\n";
  int shown = 0;
  for (int n = 0; n < kProgramCount; ++n) {
    const VSTPluginProgram& preset = bank[n];
    const VSTPluginProgramExtension& extension = bank.extensions[n];
    if (IsDefaultPreset(bank, n, shared)) continue;
    ++shown;
    text += "\nPreset " + std::to_string(n + 1) + "  \"" + Shown(preset.name, kNameSize) + "\"" +
            (preset.midiThru ? "  MIDI thru on" : "") + "\n";
    const BankOptions own = BankOptions::of(preset, extension);
    if (own != shared)
      text += "  own options: " + Options(own) + ", Bank Select first " + OnOff(own.bankFirst) +
              (own.resetControllers || shared.resetControllers
                   ? ", Reset All Controllers first " + OnOff(own.resetControllers)
                   : "") +
              "\n";
    if (extension.sysexLength) text += "  SysEx: " + Sysex(extension) + "\n";
    std::vector<int> slots;
    if (!preset::PanelOrder(preset, slots)) {
      text += "  (strip order as stored; strips in record order)\n";
      for (int slot = 0; slot < kStripCount; ++slot)
        if (preset.strips[slot].inUse) slots.push_back(slot);
    }
    for (int slot : slots) text += "  " + strip(bank, n, slot) + "\n";
  }
  if (shown == 0) text += "All 128 presets are new presets.\n";
  return text;
}

}  // namespace vantorine::bank
