// Banks on disk in the forms users meet: the text form, a .fxb bank file as hosts write it, the raw chunk
// (55808 bytes, and the version 2 fields after them when used), and the LV2 plug-in's state (a host's
// state file, or a preset bundle). Loading tells the form by the content (LV2 state by its name: a .ttl
// file or a folder), so every command takes any of them. All but the raw chunk also keep which program was
// selected.
#pragma once

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
  static bool load(const std::string& path, PresetBank& bank, std::vector<std::string>& errors,
                   int32_t* current = nullptr);
  // A plug-in's bank chunk, which is never read as any other form: one that is not exactly a bank the
  // plug-in can hold fails with its message in `errors`, and leaves `bank` alone.
  static bool fromChunk(const std::vector<uint8_t>& chunk, const std::string& name, PresetBank& bank,
                        std::vector<std::string>& errors);
  // Writes the bank in `form`, with `current` as its selected program where the form keeps one; returns
  // the empty string on success, else a one-line reason.
  static std::string save(const std::string& path, const PresetBank& bank, Form form, int32_t current = 0);
  // .fxb for a path ending so, .toml for text, .lv2 for a preset bundle, otherwise the raw chunk.
  static Form formFor(const std::string& path);
};

}  // namespace vantorine::bank
