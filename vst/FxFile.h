// The standard preset (.fxp) and bank (.fxb) files in their opaque-chunk forms, which is how a plug-in
// whose programs are chunks is saved by hosts and shared between users. Reading checks every header
// field against the file's real length and the plug-in, so a damaged or foreign file is refused with a
// reason instead of being handed to the plug-in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vst/VstInterface.h"

enum class FxKind { Program, Bank };

// What a preset or bank file carries besides its fixed header.
struct FxContent {
  FxKind kind = FxKind::Program;
  VstInt32 fxId = 0;
  VstInt32 fxVersion = 0;
  VstInt32 numPrograms = 1;
  VstInt32 currentProgram = 0;  // Banks only.
  std::string programName;      // Programs only; at most 27 characters are stored.
  std::vector<uint8_t> chunk;
};

class FxFile {
 public:
  static constexpr size_t kProgramHeaderSize = 60;
  static constexpr size_t kBankHeaderSize = 160;

  static std::vector<uint8_t> encode(const FxContent& content);
  // Fills `content` from `bytes` if they are a file of the wanted kind for the plug-in with `expectedId`.
  // Returns the empty string on success, else a one-line reason.
  static std::string decode(const std::vector<uint8_t>& bytes, FxKind kind, VstInt32 expectedId,
                            FxContent& content);

  // Whole-file helpers; all return the empty string on success, else a one-line reason.
  // Reads at most `most` bytes, so that a caller with a size limit can tell a file beyond it (reading
  // `limit + 1`) without reading all of a huge one.
  static std::string readFile(const std::string& path, std::vector<uint8_t>& bytes, size_t most = SIZE_MAX);
  static std::string writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
  // Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so that a
  // crash or a kill at any moment leaves either the old file or the new one, never a part of one.
  static std::string replaceFile(const std::string& path, const std::vector<uint8_t>& bytes);
};
