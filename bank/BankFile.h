// Banks on disk in the forms users meet: the text form, a .fxb bank file as hosts write it, the raw chunk
// (55808 bytes, and the version 2 fields after them when used), and the LV2 plug-in's state (a host's
// state file, or a preset bundle). Loading tells the form by the content, whatever the file is called, so
// every command takes any of them; saving takes it from the name. All but the raw chunk also keep which
// program was selected.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankFile {
 public:
  enum class Form { Text, Fxb, Chunk, Lv2Preset };

  // Fills `bank` from the file at `path`, and `current` (when given) with the program selected when it was
  // saved (0 for a raw chunk), or returns false with one message per line in `errors` (text errors as
  // "PATH:LINE: message") and leaves both alone.
  // `warnings` (when given) gets what BankTextReader::read warns of in a text.
  static bool load(const std::string& path, PresetBank& bank, std::vector<std::string>& errors,
                   int32_t* current = nullptr, std::vector<std::string>* warnings = nullptr);
  // A plug-in's bank chunk, which is never read as any other form: one that is not exactly a bank the
  // plug-in can hold fails with its message in `errors`, and leaves `bank` alone.
  static bool fromChunk(const std::vector<uint8_t>& chunk, const std::string& name, PresetBank& bank,
                        std::vector<std::string>& errors);
  // Writes the bank in `form`, with `current` as its selected program where the form keeps one; returns
  // the empty string on success, else a one-line reason.
  static std::string save(const std::string& path, const PresetBank& bank, Form form, int32_t current = 0);
  // The form a name asks for: .toml text, .fxb, .chunk the raw chunk, .lv2 (or .lv2/) a preset bundle;
  // nothing for any other name, which says nothing of what the file should be.
  static std::optional<Form> formFor(const std::string& path);
};

}  // namespace vantorine::bank
