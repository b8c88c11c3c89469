// Banks on disk in the three forms users meet: the text form, a .fxb bank file as hosts write it, and the
// raw 55808-byte chunk. Loading tells the form by the content, so every command takes any of them.
#pragma once

#include <string>
#include <vector>

#include "bank/BankFormat.h"

namespace vantorine::bank {

class BankFile {
 public:
  enum class Form { Text, Fxb, Chunk };

  // Fills `bank` from the file at `path`, or returns false with one message per line in `errors` (text
  // errors as "PATH:LINE: message") and leaves `bank` alone.
  static bool load(const std::string& path, PresetBank& bank, std::vector<std::string>& errors);
  // The bank bytes read as text, as a .fxb file or as a chunk, with the same checks as `load`.
  static bool fromBytes(const std::vector<uint8_t>& bytes, const std::string& name, PresetBank& bank,
                        std::vector<std::string>& errors);
  // Writes the bank in `form`; returns the empty string on success, else a one-line reason.
  static std::string save(const std::string& path, const PresetBank& bank, Form form);
  // .fxb for a path ending so, .toml for text, otherwise the raw chunk.
  static Form formFor(const std::string& path);
};

}  // namespace vantorine::bank
