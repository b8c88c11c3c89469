// The file in which the stand-alone host keeps the plug-in's state between runs: a standard bank file
// (.fxb) whose header carries the current program. It is read once before processing starts, as a DAW
// restores a project, and written again whenever the bank or the program changed, always by replacing
// the whole file, so that a kill at any moment leaves the last complete state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/VstHost.h"

class StateFile {
 public:
  explicit StateFile(std::string path) : file(std::move(path)) {}

  const std::string& path() const { return file; }

  // Selects the file's current program, then hands its bank to the plug-in. A missing file is a first
  // run: nothing is loaded and `found` is false. Returns the empty string on success, else a one-line
  // reason (unreadable, not a bank of this plug-in, refused by the plug-in).
  std::string load(VstHost& host, bool& found);
  // Writes the state when it differs from what was last loaded or saved. Returns the empty string on
  // success, else a one-line reason; `wrote` tells whether the file was written.
  std::string saveIfChanged(VstHost& host, bool& wrote);

 private:
  std::string file;
  std::vector<uint8_t> lastWritten;
};
