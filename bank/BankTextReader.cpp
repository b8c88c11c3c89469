// The reader of the text form: the text's size and nesting are checked first, toml++ parses, then every
// table is checked key by key against what a preset can hold, collecting all errors with their lines
// before any record is handed out.
#include "bank/BankTextReader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "bank/StripSoundLookup.h"
#include "bank/TextHints.h"
#include "bank/Toml.h"
#include "bank/TomlNesting.h"
#include "bank/TomlSyntax.h"
#include "midi/Controllers.h"
#include "midi/SyxFile.h"
#include "names/NameText.h"

namespace vantorine::bank {

namespace {

using Table = toml::table;
using Node = toml::node;

const std::vector<std::string> kTopKeys = {"options", "preset"};
const std::vector<std::string> kOptionKeys = {"init_send",         "init_delay",       "change_send",
                                              "change_delay",      "preset_switching", "bank_first",
                                              "reset_controllers", "current"};
const std::vector<std::string> kPresetKeys = {
    "number",      "name",         "name_bytes",       "thru",       "init_send",         "init_delay",
    "change_send", "change_delay", "preset_switching", "bank_first", "reset_controllers", "sysex",
    "sysex_gap",   "settle",       "controllers",      "reserved",   "padding",           "strip_order",
    "strip_count", "strip",        "spare"};
const std::vector<std::string> kStripKeys = {"slot",     "channel",  "device", "sound", "bank",
                                             "program",  "bank_msb", "bank_lsb", "volume", "swap",
                                             "label",    "label_bytes"};

std::string Describe(const Node& value) {
  if (value.is_table()) return "a table";
  if (value.is_array()) return "a list";
  if (const auto* text = value.as_string()) return "\"" + text->get() + "\"";
  // Numbers, dates and times as TOML writes them.
  std::ostringstream shown;
  value.visit([&shown](const auto& node) {
    if constexpr (toml::is_value<std::decay_t<decltype(node)>>) shown << node;
  });
  return shown.str();
}

bool IsIntegerIn(const Node& value, int64_t low, int64_t high) {
  const auto* integer = value.as_integer();
  return integer && integer->get() >= low && integer->get() <= high;
}

// The named messages as a message lists them: "GM System On", ..., "XG System On".
std::string SysexNames() {
  std::string names;
  for (const midi::NamedSysex& message : midi::NamedSysexMessages())
    names += (names.empty() ? "\"" : ", \"") + std::string(message.name) + "\"";
  return names;
}

class Checker {
 public:
  static constexpr size_t kShownErrors = 20;

  Checker(std::string name, std::optional<std::string> folder)
      : fileName(std::move(name)), syxFolder(std::move(folder)) {}

  void error(const Node& where, const std::string& message) { error(Line(where), message); }
  void error(size_t line, const std::string& message, size_t column = 0) {
    errors.push_back({line, column, message});
  }
  // Told once for each text, at the first line that gives it.
  void warn(const Node& where, const std::string& message) {
    if (std::none_of(warnings.begin(), warnings.end(), [&](const Said& said) { return said.text == message; }))
      warnings.push_back({Line(where), 0, message});
  }
  bool failed() const { return !errors.empty(); }

  // "FILE:LINE: message" (or "FILE:LINE:COLUMN: message") in line order; line 0 stands for the file as a
  // whole. A damaged or hostile file can hold a mistake on every line: the first kShownErrors are told,
  // then how many more there were.
  std::vector<std::string> messages() {
    std::stable_sort(errors.begin(), errors.end(), [](const Said& a, const Said& b) { return a.line < b.line; });
    std::vector<std::string> lines;
    for (size_t i = 0; i < errors.size() && i < kShownErrors; ++i) lines.push_back(place(errors[i]) + errors[i].text);
    if (errors.size() > kShownErrors)
      lines.push_back(fileName + ": " + std::to_string(errors.size() - kShownErrors) + " more errors");
    return lines;
  }
  // "FILE:LINE: warning: message", in the order found.
  std::vector<std::string> warningMessages() const {
    std::vector<std::string> lines;
    for (const Said& warning : warnings) lines.push_back(place(warning) + "warning: " + warning.text);
    return lines;
  }

  static size_t Line(const Node& value) { return value.source().begin.line; }

  static std::string quotesHint(const char* key, const Node& value, int64_t low, int64_t high) {
    return value.is_string() ? QuotesHint(key, value.as_string()->get(), low, high) : "";
  }

  // With `rowKeys`, keys that name a controller row are known too: whether the preset has that row is
  // checked where the values are read.
  void checkKeys(const Table& table, const std::vector<std::string>& known, const char* what,
                 bool rowKeys = false) {
    std::vector<std::string> suggested = known;
    for (int controller = 0; rowKeys && controller <= kMaxValue; ++controller)
      if (const char* name = midi::ControllerKey(controller)) suggested.push_back(name);
    for (const auto& [key, value] : table) {
      const std::string name(key.str());
      if (std::find(known.begin(), known.end(), name) == known.end() &&
          !(rowKeys && RowKeyController(name) >= 0))
        error(value, "unknown key '" + name + "' in " + what + DidYouMean(name, suggested));
    }
  }

  // Each read leaves `out` alone when the key is absent or wrong, and returns whether the key was given.
  bool readBool(const Table& table, const char* key, bool& out) {
    const Node* value = table.get(key);
    if (!value) return false;
    if (!value->is_boolean()) {
      const std::string text = value->is_string() ? value->as_string()->get() : "";
      error(*value, std::string(key) + " must be true or false, got " + Describe(*value) +
                        QuotesHint(key, text, 0, 0, true));
      return false;
    }
    out = value->as_boolean()->get();
    return true;
  }

  bool readInt(const Table& table, const char* key, int64_t low, int64_t high, int32_t& out) {
    const Node* value = table.get(key);
    if (!value) return false;
    if (!IsIntegerIn(*value, low, high)) {
      error(*value, std::string(key) + " must be " + std::to_string(low) + " to " + std::to_string(high) +
                        ", got " + Describe(*value) + quotesHint(key, *value, low, high));
      return false;
    }
    out = static_cast<int32_t>(value->as_integer()->get());
    return true;
  }

  // A stored value byte: absent or "none" is 0, a data value v is v + 1.
  void readValue(const Table& table, const char* key, int64_t high, uint8_t& out) {
    out = 0;
    const Node* value = table.get(key);
    if (!value) return;
    if (value->is_string() && value->as_string()->get() == "none") return;
    const int64_t low = high == 16 ? 1 : 0;
    if (IsIntegerIn(*value, low, high)) {
      out = static_cast<uint8_t>(value->as_integer()->get() + (high == 16 ? 0 : 1));
      return;
    }
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    error(*value, std::string(key) + " must be " + range + (value->is_integer() ? "" : " or \"none\"") +
                      ", got " + Describe(*value) + quotesHint(key, *value, low, high));
  }

  // A name or label, as text or as its bytes in hex.
  void readText(const Table& table, const char* key, const char* bytesKey, char* field, size_t size,
                const char* what) {
    const Node* value = table.get(key);
    const Node* bytes = table.get(bytesKey);
    if (value && bytes) {
      error(*bytes, std::string("give ") + key + " or " + bytesKey + ", not both");
      return;
    }
    if (value) {
      if (!value->is_string()) {
        error(*value, std::string(key) + " must be text, got " + Describe(*value));
        return;
      }
      const std::string& text = value->as_string()->get();
      if (text.size() > size - 1) {
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        error(*value, std::string(what) + " is " + std::to_string(text.size()) +
                          (ascii ? " characters" : " bytes") + " long, at most " + std::to_string(size - 1) +
                          " fit: \"" + text + "\"");
      } else if (text.find('\0') != std::string::npos) {
        error(*value, std::string(key) + " must not hold a NUL character");
      } else {
        CopyText(field, size, text.c_str());
      }
    } else if (bytes) {
      if (!bytes->is_string() || !FieldFromHex(bytes->as_string()->get(), field, size))
        error(*bytes, std::string(bytesKey) + " must be hex digits for at most " + std::to_string(size - 1) +
                          " bytes, got " + Describe(*bytes));
    }
  }

  // A key that must hold a list of tables; empty when absent or wrong.
  std::vector<const Table*> tables(const Table& table, const char* key, const char* what) {
    std::vector<const Table*> list;
    const Node* value = table.get(key);
    if (!value) return list;
    const toml::array* array = value->as_array();
    if (array)
      for (const Node& item : *array) list.push_back(item.as_table());
    if (!array || std::count(list.begin(), list.end(), nullptr) > 0) {
      error(*value, std::string(key) + " must be a list of [[" + what + "]] tables, got " + Describe(*value));
      list.clear();
    }
    return list;
  }

  // A list of `count` integers 0 to `high` into `out`; false (with its message) for anything else.
  bool readIntList(const Table& table, const char* key, size_t count, int64_t high, int32_t* out) {
    const Node* value = table.get(key);
    if (!value) return false;
    const toml::array* array = value->as_array();
    bool good = array && array->size() == count;
    for (size_t i = 0; good && i < count; ++i) {
      good = IsIntegerIn((*array)[i], 0, high);
      if (good) out[i] = static_cast<int32_t>((*array)[i].as_integer()->get());
    }
    if (!good)
      error(*value, std::string(key) + " must be a list of " + std::to_string(count) + " numbers 0 to " +
                        std::to_string(high) + ", got " + Describe(*value));
    return good;
  }

  void readOptions(const Table& table, BankOptions& options) {
    readBool(table, "init_send", options.initSend);
    readInt(table, "init_delay", 0, kMaxDelaySeconds, options.initDelay);
    readBool(table, "change_send", options.changeSend);
    readInt(table, "change_delay", 0, kMaxDelaySeconds, options.changeDelay);
    readBool(table, "preset_switching", options.presetSwitching);
    readBool(table, "bank_first", options.bankFirst);
    readBool(table, "reset_controllers", options.resetControllers);
  }

  // The SysEx list: each item a named message or the hex of one whole message, all of them together at
  // most kMaxSysexListBytes.
  void readSysex(const Table& table, VSTPluginProgramExtension& extension) {
    const Node* value = table.get("sysex");
    if (!value) return;
    const toml::array* items = value->as_array();
    if (!items) {
      error(*value, "sysex must be a list of messages, got " + Describe(*value));
      return;
    }
    std::vector<uint8_t> list, message;
    bool good = true;
    for (const Node& item : *items) {
      if (item.is_string() && midi::NamesSyxFile(item.as_string()->get())) {
        good = readSyxFile(item, list) && good;
        continue;
      }
      if (item.is_string() && SysexFromText(item.as_string()->get(), message)) {
        list.insert(list.end(), message.begin(), message.end());
        continue;
      }
      good = false;
      std::vector<std::string> known;
      for (const midi::NamedSysex& named : midi::NamedSysexMessages()) known.push_back(named.name);
      error(item, "sysex: " + Describe(item) + " is not one of " + SysexNames() +
                      ", nor the hex bytes of one whole message (F0, data bytes 00 to 7F, F7)" +
                      (item.is_string() ? DidYouMean(item.as_string()->get(), known, "\"") : ""));
    }
    if (!good) return;
    if (list.size() > midi::kMaxSysexListBytes) {
      error(*value, "sysex holds " + std::to_string(list.size()) + " bytes in all, at most " +
                        std::to_string(midi::kMaxSysexListBytes) + " fit");
      return;
    }
    std::copy(list.begin(), list.end(), extension.sysex);
    extension.sysexLength = static_cast<uint32_t>(list.size());
  }

  // The messages of the .syx file a list item names, after the list's others. A list that is already full
  // reads nothing more, however many files it names.
  bool readSyxFile(const Node& item, std::vector<uint8_t>& list) {
    const std::string& name = item.as_string()->get();
    const std::optional<std::string> path = midi::SyxFilePath(name, syxFolder);
    if (!path) {
      error(item,
            "sysex: \"" + name +
                "\" is a file beside the bank's text, but this text comes from no file; give the file's "
                "whole path");
      return false;
    }
    const size_t room = midi::kMaxSysexListBytes - std::min(list.size(), midi::kMaxSysexListBytes);
    std::vector<uint8_t> messages;
    const std::string reason = midi::ReadSyxFile(*path, name, room, messages);
    if (!reason.empty()) {
      error(item, "sysex: " + reason);
      return false;
    }
    list.insert(list.end(), messages.begin(), messages.end());
    return true;
  }

  // The controllers of the four rows: each one a row can send, and each once, since a strip names a row's
  // value by its controller.
  void readControllers(const Table& table, VSTPluginProgramExtension& extension) {
    int32_t controllers[kControllerRows];
    if (!readIntList(table, "controllers", kControllerRows, kMaxValue, controllers)) return;
    const toml::array& items = *table.get("controllers")->as_array();
    bool good = true;
    for (int row = 0; row < kControllerRows; ++row) {
      const std::string number = std::to_string(controllers[row]);
      if (!midi::IsRowController(controllers[row])) {
        error(items[row], "controllers: " + number +
                              " cannot be a row; rows send controllers 1 to 119 but 6 and 38 (data entry), 7 "
                              "and 32 (the strip's volume and Bank Select LSB)");
        good = false;
      } else if (std::find(controllers, controllers + row, controllers[row]) != controllers + row) {
        error(items[row],
              "controllers: " + number + " is given twice; each row sends a controller of its own");
        good = false;
      }
    }
    if (good) std::copy(controllers, controllers + kControllerRows, extension.rowControllers);
  }

  // A strip's values for the preset's controller rows, each under its row's key.
  void readRowValues(const Table& table, const uint8_t* controllers, uint8_t* values, int number) {
    std::fill(values, values + kControllerRows, 0);
    for (const auto& [name, value] : table) {
      const std::string key(name.str());
      const int controller = RowKeyController(key);
      if (controller < 0) continue;
      const uint8_t* row = std::find(controllers, controllers + kControllerRows, controller);
      if (key != RowKey(controller)) {
        error(value,
              "CC " + std::to_string(controller) + " is written " + RowKey(controller) + ", not " + key);
      } else if (row == controllers + kControllerRows) {
        std::string rows;
        for (int i = 0; i < kControllerRows; ++i) rows += (i ? ", " : "") + std::to_string(controllers[i]);
        error(value, key + ": preset " + std::to_string(number) + " has no controller row for CC " +
                         std::to_string(controller) + " (its controllers are " + rows + ")");
      } else {
        readValue(table, key.c_str(), kMaxValue, values[row - controllers]);
      }
    }
  }

  // The model a strip's device is. A name the catalog finds only with spaces and punctuation ignored
  // ("jv1080") is stored as the model's file names it, as every lookup finds it; any other as written, so
  // that one not installed here keeps its name (a bank made on another machine), with a warning that names
  // the installed devices closest to it, unless `sound` needs it and refuses it. False when absent or wrong.
  bool readDevice(const Table& table, char* device) {
    std::memset(device, 0, kDeviceNameSize);
    const Node* value = table.get("device");
    if (!value) return false;
    const std::string* text = value->is_string() ? &value->as_string()->get() : nullptr;
    if (!text || !IsStorableDeviceName(*text)) {
      error(*value, "device must be a model name of 1 to " + std::to_string(kDeviceNameSize - 1) +
                        " printable ASCII characters, got " + Describe(*value));
      return false;
    }
    const std::optional<names::ModelInfo> model = names::NameCatalog::shared().findModel(*text);
    const bool spelledOtherwise = model && !names::EqualIgnoringCase(*text, model->name) &&
                                  !names::EqualIgnoringCase(*text, model->manufacturer + " " + model->name) &&
                                  IsStorableDeviceName(model->name);
    CopyText(device, kDeviceNameSize, spelledOtherwise ? model->name.c_str() : text->c_str());
    if (!model && !table.contains("sound")) {
      bool close = false;
      warn(*value, NotInstalled(*text, close) + "; its strips keep their numbers");
    }
    return true;
  }

  // `sound` stands for the program and Bank Select of the device's sound of that name, in the bank `bank`
  // names when several have it. It takes the place of those keys rather than mixing with them, so that a
  // strip's values come from one source.
  void readSound(const Table& table, VSTPluginStrip& strip, const char* device, bool hasDevice) {
    const Node* value = table.get("sound");
    const Node* bank = table.get("bank");
    if (bank && !bank->is_string()) {
      error(*bank, "bank must be the name of a bank of the device, as text, got " + Describe(*bank));
      return;
    }
    if (bank && !value) {
      error(*bank, "bank tells which bank's sound = \"...\" is meant; without sound, give bank_msb and bank_lsb");
      return;
    }
    if (!value) return;
    if (!value->is_string()) {
      error(*value, "sound must be text, got " + Describe(*value));
    } else if (table.contains("program") || table.contains("bank_msb") || table.contains("bank_lsb")) {
      error(*value,
            "give sound, or program, bank_msb and bank_lsb, not both: the sound's name sets all three");
    } else if (!table.contains("device")) {
      error(*value, "sound needs the strip's device, whose names it is looked up in: add device = \"...\"");
    } else if (hasDevice) {
      const std::string why =
          SelectSound(device, value->as_string()->get(), bank ? bank->as_string()->get() : "", strip);
      if (!why.empty()) error(*value, why);
    }
  }

  void readStrip(const Table& table, VSTPluginStrip& strip, VSTPluginProgramExtension& fields, int slot,
                 int number, bool inUse) {
    checkKeys(table, kStripKeys, inUse ? "a strip" : "a spare strip", true);
    std::memset(&strip, 0, sizeof(strip));
    CopyText(strip.label, sizeof(strip.label), kNewLabel);
    strip.inUse = inUse ? 1 : 0;
    readValue(table, "channel", 16, strip.channel);
    const bool hasDevice = readDevice(table, fields.devices[slot]);
    readValue(table, "program", kMaxValue, strip.program);
    readValue(table, "bank_msb", kMaxValue, strip.bankMsb);
    readValue(table, "bank_lsb", kMaxValue, strip.bankLsb);
    readSound(table, strip, fields.devices[slot], hasDevice);
    readValue(table, "volume", kMaxValue, strip.volume);
    bool swap = false;
    readBool(table, "swap", swap);
    strip.swapBankOrder = swap ? 1 : 0;
    readText(table, "label", "label_bytes", strip.label, kLabelSize, "label");
    readRowValues(table, fields.rowControllers, fields.rowValues[slot], number);
  }

  // The record slot (0 to 15) a strip names, -1 when it names none or a wrong one.
  int slotOf(const Table& table) {
    int32_t slot = 0;
    if (!readInt(table, "slot", 1, kStripCount, slot)) return -1;
    return slot - 1;
  }

  void readStrips(const Table& table, VSTPluginProgram& preset, VSTPluginProgramExtension& extension,
                  int number) {
    const std::vector<const Table*> strips = tables(table, "strip", "preset.strip");
    const std::vector<const Table*> spares = tables(table, "spare", "preset.spare");
    const bool asStored = table.contains("strip_order") || table.contains("strip_count");
    if (strips.size() > kStripCount) {
      error(*strips[kStripCount], "preset " + std::to_string(number) + " has " +
                                      std::to_string(strips.size()) + " strips, at most 16 fit");
      return;
    }
    if (!asStored && !table.contains("strip") && spares.empty()) return;  // the new preset's strips stay

    VSTPluginProgram result = preset;
    for (VSTPluginStrip& strip : result.strips) {
      std::memset(&strip, 0, sizeof(strip));
      CopyText(strip.label, sizeof(strip.label), kNewLabel);
    }
    // The strips' row values and devices, taken only with the strips.
    VSTPluginProgramExtension fields = extension;
    // Explicit slots first; the others take the lowest free slots in the order given.
    std::map<int, size_t> taken;  // slot -> line
    std::vector<int> slots(strips.size(), -1);
    auto take = [&](const Table& item, int slot) {
      const auto [at, fresh] = taken.emplace(slot, Line(item));
      if (!fresh)
        error(*item.get("slot"), "slot " + std::to_string(slot + 1) + " is used twice (also at line " +
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
      if (slots[i] >= 0) readStrip(*strips[i], result.strips[slots[i]], fields, slots[i], number, true);
    for (const Table* spare : spares) {
      if (!spare->contains("slot")) {
        error(*spare, "slot missing: a spare strip names its slot");
        continue;
      }
      const int slot = slotOf(*spare);
      if (slot >= 0 && take(*spare, slot))
        readStrip(*spare, result.strips[slot], fields, slot, number, false);
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
    extension = fields;
  }

  void readStoredLayout(const Table& table, VSTPluginProgram& preset) {
    if (!table.contains("strip_order") || !table.contains("strip_count")) {
      error(table, "strip_order and strip_count go together");
      return;
    }
    readIntList(table, "strip_order", kStripCount, kEmptyRow, preset.stripOrder);
    readInt(table, "strip_count", 1, kStripCount, preset.stripCount);
  }

  void readBytes(const Table& table, VSTPluginProgram& preset) {
    int32_t reserved = 0;
    if (readInt(table, "reserved", 0, 255, reserved)) preset.reserved = static_cast<uint8_t>(reserved);
    constexpr size_t kPadding = sizeof(preset.padding);
    int32_t padding[kPadding];
    if (readIntList(table, "padding", kPadding, 255, padding))
      std::copy(padding, padding + kPadding, preset.padding);
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
      error(*table.get("number"), "preset " + std::to_string(number) + " is given twice (first at line " +
                                      std::to_string(first->second) + ")");
      return;
    }
    VSTPluginProgram preset = DefaultPreset(number - 1, shared);
    VSTPluginProgramExtension extension = DefaultExtension(shared);
    readText(table, "name", "name_bytes", preset.name, kNameSize, "name");
    bool thru = false;
    readBool(table, "thru", thru);
    preset.midiThru = thru ? 1 : 0;
    BankOptions own = shared;
    readOptions(table, own);
    own.applyTo(preset, extension);
    readBytes(table, preset);
    readSysex(table, extension);
    int32_t gap = 0;
    if (readInt(table, "sysex_gap", 0, kMaxSysexGapMs, gap)) extension.sysexGapMs = static_cast<uint16_t>(gap);
    int32_t settle = extension.settleMs;
    if (readInt(table, "settle", 0, kMaxSettleMs, settle)) extension.settleMs = static_cast<uint16_t>(settle);
    readControllers(table, extension);
    readStrips(table, preset, extension, number);
    bank[number - 1] = preset;
    bank.extensions[number - 1] = extension;
  }

  void readBank(const Table& root, PresetBank& bank, int32_t& current) {
    checkKeys(root, kTopKeys, "the bank (known: options, preset)");
    BankOptions shared;
    int32_t number = 1;
    if (const Node* options = root.get("options")) {
      if (const Table* table = options->as_table()) {
        checkKeys(*table, kOptionKeys, "[options]");
        readOptions(*table, shared);
        readInt(*table, "current", 1, kProgramCount, number);
      } else {
        error(*options, "options must be a table, got " + Describe(*options));
      }
    }
    current = number - 1;
    for (int n = 0; n < kProgramCount; ++n) {
      bank[n] = DefaultPreset(n, shared);
      bank.extensions[n] = DefaultExtension(shared);
    }
    std::map<int, size_t> seen;
    for (const Table* preset : tables(root, "preset", "preset")) readPreset(*preset, shared, bank, seen);
    size_t sysexBytes = 0;
    for (const VSTPluginProgramExtension& extension : bank.extensions) sysexBytes += extension.sysexLength;
    if (sysexBytes > midi::kMaxBankSysexBytes)
      error(root, "the presets' sysex lists hold " + std::to_string(sysexBytes) + " bytes in all, at most " +
                      std::to_string(midi::kMaxBankSysexBytes) + " fit in a bank");
  }

 private:
  // A message and its place; column 0 when only the line is known.
  struct Said {
    size_t line, column;
    std::string text;
  };

  std::string place(const Said& said) const {
    return fileName + (said.line ? ":" + std::to_string(said.line) : "") +
           (said.column ? ":" + std::to_string(said.column) : "") + ": ";
  }

  std::string fileName;
  // Where relative .syx names are read from; none for a text from memory.
  std::optional<std::string> syxFolder;
  std::vector<Said> errors, warnings;
};

}  // namespace

bool BankTextReader::read(const std::string& text, const std::string& fileName, PresetBank& bank,
                          std::vector<std::string>& errors, int32_t* current,
                          std::vector<std::string>* warnings, SyxNames syxNames) {
  std::optional<std::string> folder;
  if (syxNames == SyxNames::BesideFile) {
    const size_t slash = fileName.rfind('/');
    folder = slash == std::string::npos ? "" : fileName.substr(0, slash + (slash == 0 ? 1 : 0));
  }
  Checker checker(fileName, folder);
  errors.clear();
  if (text.size() > kMaxBytes) {
    checker.error(0, "larger than 8 MiB (" + std::to_string(kMaxBytes) +
                         " bytes), the most a bank in text form may have");
    errors = checker.messages();
    return false;
  }
  if (const size_t line = LineNestedTooDeep(text, kMaxNesting)) {
    checker.error(
        line,
        "nested deeper than " + std::to_string(kMaxNesting) +
            " levels (tables, dotted keys, lists and inline tables together); no bank needs more than 5");
    errors = checker.messages();
    return false;
  }
  toml::table root;
  try {
    root = toml::parse(text, std::string_view(fileName));
  } catch (const toml::parse_error& e) {
    checker.error(e.source().begin.line, SyntaxMessage(e, text), e.source().begin.column);
    errors = checker.messages();
    return false;
  }
  // Built aside, so that a file with errors leaves the caller's bank as it was.
  auto result = std::make_unique<PresetBank>();
  int32_t selected = 0;
  checker.readBank(root, *result, selected);
  if (checker.failed()) {
    errors = checker.messages();
    return false;
  }
  bank = *result;
  if (current) *current = selected;
  if (warnings) *warnings = checker.warningMessages();
  return true;
}

}  // namespace vantorine::bank
