// The reader of the text form: toml11 parses, then every table is checked key by key against what a preset
// can hold, collecting all errors with their lines before any record is handed out.
#include "bank/BankTextReader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <toml.hpp>

namespace vantorine::bank {

namespace {

using Table = toml::value;

const std::vector<std::string> kTopKeys = {"options", "preset"};
const std::vector<std::string> kOptionKeys = {"init_send", "init_delay", "change_send", "change_delay",
                                              "preset_switching"};
const std::vector<std::string> kPresetKeys = {
    "number",       "name",         "name_bytes",  "thru",     "init_send", "init_delay", "change_send",
    "change_delay", "preset_switching", "reserved", "padding", "strip_order", "strip_count", "strip", "spare"};
const std::vector<std::string> kStripKeys = {"slot",   "channel", "program", "bank_msb", "bank_lsb",
                                             "volume", "swap",    "label",   "label_bytes"};

std::string Describe(const toml::value& value) {
  if (value.is_integer()) return std::to_string(value.as_integer());
  if (value.is_boolean()) return value.as_boolean() ? "true" : "false";
  if (value.is_string()) return "\"" + value.as_string().str + "\"";
  if (value.is_table()) return "a table";
  if (value.is_array()) return "a list";
  return toml::format(value);
}

// The first line of a toml11 message, without its "[error] toml::function: " prefix.
std::string ParseMessage(const std::string& what) {
  std::string line = what.substr(0, what.find('\n'));
  const size_t prefix = line.find(": ");
  if (line.rfind("[error] toml::", 0) == 0 && prefix != std::string::npos) line = line.substr(prefix + 2);
  return line;
}

class Checker {
 public:
  explicit Checker(std::string name) : fileName(std::move(name)) {}

  void error(const toml::value& where, const std::string& message) { error(Line(where), message); }
  void error(size_t line, const std::string& message) { errors.emplace_back(line, message); }
  bool failed() const { return !errors.empty(); }

  std::vector<std::string> messages() {
    std::stable_sort(errors.begin(), errors.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> lines;
    for (const auto& [line, message] : errors)
      lines.push_back(fileName + ":" + std::to_string(line) + ": " + message);
    return lines;
  }

  static size_t Line(const toml::value& value) { return value.location().line(); }

  void checkKeys(const Table& table, const std::vector<std::string>& known, const char* what) {
    for (const auto& [key, value] : table.as_table())
      if (std::find(known.begin(), known.end(), key) == known.end())
        error(value, "unknown key '" + key + "' in " + what);
  }

  // Each read leaves `out` alone when the key is absent or wrong, and returns whether the key was given.
  bool readBool(const Table& table, const char* key, bool& out) {
    if (!table.contains(key)) return false;
    const toml::value& value = table.at(key);
    if (!value.is_boolean()) {
      error(value, std::string(key) + " must be true or false, got " + Describe(value));
      return false;
    }
    out = value.as_boolean();
    return true;
  }

  bool readInt(const Table& table, const char* key, int64_t low, int64_t high, int32_t& out) {
    if (!table.contains(key)) return false;
    const toml::value& value = table.at(key);
    if (!value.is_integer() || value.as_integer() < low || value.as_integer() > high) {
      error(value, std::string(key) + " must be " + std::to_string(low) + " to " + std::to_string(high) +
                       ", got " + Describe(value));
      return false;
    }
    out = static_cast<int32_t>(value.as_integer());
    return true;
  }

  // A stored value byte: absent or "none" is 0, a data value v is v + 1.
  void readValue(const Table& table, const char* key, int64_t high, uint8_t& out) {
    out = 0;
    if (!table.contains(key)) return;
    const toml::value& value = table.at(key);
    if (value.is_string() && value.as_string().str == "none") return;
    const int64_t low = high == 16 ? 1 : 0;
    if (value.is_integer() && value.as_integer() >= low && value.as_integer() <= high) {
      out = static_cast<uint8_t>(value.as_integer() + (high == 16 ? 0 : 1));
      return;
    }
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    error(value, std::string(key) + " must be " + range + (value.is_integer() ? "" : " or \"none\"") +
                     ", got " + Describe(value));
  }

  // A name or label, as text or as its bytes in hex.
  void readText(const Table& table, const char* key, const char* bytesKey, char* field, size_t size,
                const char* what) {
    const bool hasText = table.contains(key);
    const bool hasBytes = table.contains(bytesKey);
    if (hasText && hasBytes) {
      error(table.at(bytesKey), std::string("give ") + key + " or " + bytesKey + ", not both");
      return;
    }
    if (hasText) {
      const toml::value& value = table.at(key);
      if (!value.is_string()) {
        error(value, std::string(key) + " must be text, got " + Describe(value));
        return;
      }
      const std::string& text = value.as_string().str;
      if (text.size() > size - 1) {
        const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        error(value, std::string(what) + " is " + std::to_string(text.size()) +
                         (ascii ? " characters" : " bytes") + " long, at most " + std::to_string(size - 1) +
                         " fit: \"" + text + "\"");
      } else if (text.find('\0') != std::string::npos) {
        error(value, std::string(key) + " must not hold a NUL character");
      } else {
        CopyText(field, size, text.c_str());
      }
    } else if (hasBytes) {
      const toml::value& value = table.at(bytesKey);
      if (!value.is_string() || !FieldFromHex(value.as_string().str, field, size))
        error(value, std::string(bytesKey) + " must be hex digits for at most " + std::to_string(size - 1) +
                         " bytes, got " + Describe(value));
    }
  }

  // A key that must hold a list of tables; empty when absent or wrong.
  std::vector<const toml::value*> tables(const Table& table, const char* key, const char* what) {
    std::vector<const toml::value*> list;
    if (!table.contains(key)) return list;
    const toml::value& value = table.at(key);
    bool good = value.is_array();
    if (good)
      for (const toml::value& item : value.as_array()) good = good && item.is_table();
    if (!good) {
      error(value, std::string(key) + " must be a list of [[" + what + "]] tables, got " + Describe(value));
      return list;
    }
    for (const toml::value& item : value.as_array()) list.push_back(&item);
    return list;
  }

  void readOptions(const Table& table, BankOptions& options) {
    readBool(table, "init_send", options.initSend);
    readInt(table, "init_delay", 0, kMaxDelay, options.initDelay);
    readBool(table, "change_send", options.changeSend);
    readInt(table, "change_delay", 0, kMaxDelay, options.changeDelay);
    readBool(table, "preset_switching", options.presetSwitching);
  }

  void readStrip(const Table& table, VSTPluginStrip& strip, bool inUse) {
    checkKeys(table, kStripKeys, inUse ? "a strip" : "a spare strip");
    std::memset(&strip, 0, sizeof(strip));
    CopyText(strip.label, sizeof(strip.label), kNewLabel);
    strip.inUse = inUse ? 1 : 0;
    readValue(table, "channel", 16, strip.channel);
    readValue(table, "program", kMaxValue, strip.program);
    readValue(table, "bank_msb", kMaxValue, strip.bankMsb);
    readValue(table, "bank_lsb", kMaxValue, strip.bankLsb);
    readValue(table, "volume", kMaxValue, strip.volume);
    bool swap = false;
    readBool(table, "swap", swap);
    strip.swapBankOrder = swap ? 1 : 0;
    readText(table, "label", "label_bytes", strip.label, kLabelSize, "label");
  }

  // The record slot (0 to 15) a strip names, -1 when it names none or a wrong one.
  int slotOf(const Table& table) {
    int32_t slot = 0;
    if (!readInt(table, "slot", 1, kStripCount, slot)) return -1;
    return slot - 1;
  }

  void readStrips(const Table& table, VSTPluginProgram& preset, int number) {
    const std::vector<const toml::value*> strips = tables(table, "strip", "preset.strip");
    const std::vector<const toml::value*> spares = tables(table, "spare", "preset.spare");
    const bool asStored = table.contains("strip_order") || table.contains("strip_count");
    if (strips.size() > kStripCount) {
      error(*strips[kStripCount], "preset " + std::to_string(number) + " has " + std::to_string(strips.size()) +
                                      " strips, at most 16 fit");
      return;
    }
    if (!asStored && !table.contains("strip") && spares.empty()) return;  // the new preset's strips stay

    VSTPluginProgram result = preset;
    for (VSTPluginStrip& strip : result.strips) {
      std::memset(&strip, 0, sizeof(strip));
      CopyText(strip.label, sizeof(strip.label), kNewLabel);
    }
    // Explicit slots first; the others take the lowest free slots in the order given.
    std::map<int, size_t> taken;  // slot -> line
    std::vector<int> slots(strips.size(), -1);
    auto take = [&](const toml::value& item, int slot) {
      const auto [at, fresh] = taken.emplace(slot, Line(item));
      if (!fresh)
        error(item.at("slot"), "slot " + std::to_string(slot + 1) + " is used twice (also at line " +
                                   std::to_string(at->second) + ")");
      return fresh;
    };
    for (size_t i = 0; i < strips.size(); ++i) {
      if (strips[i]->contains("slot")) {
        slots[i] = slotOf(*strips[i]);
        if (slots[i] >= 0 && !take(*strips[i], slots[i])) slots[i] = -1;
      } else if (asStored) {
        error(*strips[i], "slot missing: with strip_order every strip names its slot");
      }
    }
    for (size_t i = 0; i < strips.size(); ++i) {
      if (strips[i]->contains("slot") || asStored) continue;
      int free = 0;
      while (taken.count(free)) ++free;
      slots[i] = free;
      taken.emplace(free, Line(*strips[i]));
    }
    for (size_t i = 0; i < strips.size(); ++i)
      if (slots[i] >= 0) readStrip(*strips[i], result.strips[slots[i]], true);
    for (const toml::value* spare : spares) {
      if (!spare->contains("slot")) {
        error(*spare, "slot missing: a spare strip names its slot");
        continue;
      }
      const int slot = slotOf(*spare);
      if (slot >= 0 && take(*spare, slot)) readStrip(*spare, result.strips[slot], false);
    }

    if (asStored) {
      readStoredLayout(table, result);
    } else {
      if (strips.empty()) {
        error(table, "preset " + std::to_string(number) + " has no strip; it needs at least one");
        return;
      }
      if (slots[0] > 0)
        error(*strips[0], "the first strip is always slot 1 (the panel shows it first), got slot " +
                              std::to_string(slots[0] + 1));
      for (int row = 0; row < kStripCount; ++row)
        result.stripOrder[row] = row < int(slots.size()) ? slots[row] : kEmptyRow;
      result.stripCount = static_cast<int32_t>(strips.size());
    }
    preset = result;
  }

  void readStoredLayout(const Table& table, VSTPluginProgram& preset) {
    if (!table.contains("strip_order") || !table.contains("strip_count")) {
      error(table, "strip_order and strip_count go together");
      return;
    }
    const toml::value& order = table.at("strip_order");
    bool good = order.is_array() && order.as_array().size() == kStripCount;
    for (size_t i = 0; good && i < kStripCount; ++i) {
      const toml::value& row = order.as_array()[i];
      good = row.is_integer() && row.as_integer() >= 0 && row.as_integer() <= kEmptyRow;
      if (good) preset.stripOrder[i] = static_cast<int32_t>(row.as_integer());
    }
    if (!good) error(order, "strip_order must be a list of 16 numbers 0 to 16, got " + Describe(order));
    readInt(table, "strip_count", 1, kStripCount, preset.stripCount);
  }

  void readBytes(const Table& table, VSTPluginProgram& preset) {
    int32_t reserved = 0;
    if (readInt(table, "reserved", 0, 255, reserved)) preset.reserved = static_cast<uint8_t>(reserved);
    if (!table.contains("padding")) return;
    const toml::value& padding = table.at("padding");
    bool good = padding.is_array() && padding.as_array().size() == 3;
    for (size_t i = 0; good && i < 3; ++i) {
      const toml::value& byte = padding.as_array()[i];
      good = byte.is_integer() && byte.as_integer() >= 0 && byte.as_integer() <= 255;
      if (good) preset.padding[i] = static_cast<uint8_t>(byte.as_integer());
    }
    if (!good) error(padding, "padding must be a list of 3 numbers 0 to 255, got " + Describe(padding));
  }

  void readPreset(const Table& table, const BankOptions& shared, PresetBank& bank,
                  std::map<int, size_t>& seen) {
    checkKeys(table, kPresetKeys, "a preset");
    int32_t number = 0;
    if (!table.contains("number")) {
      error(table, "number missing: every preset says which one it is (1 to 128)");
      return;
    }
    if (!readInt(table, "number", 1, kProgramCount, number)) return;
    const auto [first, fresh] = seen.emplace(number, Line(table));
    if (!fresh) {
      error(table.at("number"), "preset " + std::to_string(number) + " is given twice (first at line " +
                                    std::to_string(first->second) + ")");
      return;
    }
    VSTPluginProgram preset = DefaultPreset(number - 1, shared);
    readText(table, "name", "name_bytes", preset.name, kNameSize, "name");
    bool thru = false;
    readBool(table, "thru", thru);
    preset.midiThru = thru ? 1 : 0;
    BankOptions own = shared;
    readOptions(table, own);
    own.applyTo(preset);
    readBytes(table, preset);
    readStrips(table, preset, number);
    bank[number - 1] = preset;
  }

  void readBank(const toml::value& root, PresetBank& bank) {
    checkKeys(root, kTopKeys, "the bank (known: options, preset)");
    BankOptions shared;
    if (root.contains("options")) {
      const toml::value& options = root.at("options");
      if (options.is_table()) {
        checkKeys(options, kOptionKeys, "[options]");
        readOptions(options, shared);
      } else {
        error(options, "options must be a table, got " + Describe(options));
      }
    }
    for (int n = 0; n < kProgramCount; ++n) bank[n] = DefaultPreset(n, shared);
    std::map<int, size_t> seen;
    for (const toml::value* preset : tables(root, "preset", "preset")) readPreset(*preset, shared, bank, seen);
  }

 private:
  std::string fileName;
  std::vector<std::pair<size_t, std::string>> errors;
};

}  // namespace

bool BankTextReader::read(const std::string& text, const std::string& fileName, PresetBank& bank,
                          std::vector<std::string>& errors) {
  Checker checker(fileName);
  errors.clear();
  toml::value root;
  try {
    std::istringstream in(text);
    root = toml::parse(in, fileName);
  } catch (const toml::exception& e) {
    checker.error(e.location().line(), ParseMessage(e.what()));
    errors = checker.messages();
    return false;
  }
  // Built aside, so that a file with errors leaves the caller's bank as it was.
  auto result = std::make_unique<PresetBank>();
  checker.readBank(root, *result);
  if (checker.failed()) {
    errors = checker.messages();
    return false;
  }
  bank = *result;
  return true;
}

}  // namespace vantorine::bank
