// The file in which the stand-alone host keeps the plug-in's state between runs: its bank and current
// preset. Its form follows its content when it is read (a standard bank file, .fxb, whose header carries
// the current program, or any form vantorine-bank reads, the bank's text among them) and its name when it
// is written: the text form (TOML) for a name ending in .toml, as `vantorine-bank to-text` writes it, else
// a bank file. It is read once before processing starts, as a DAW restores a project, and written again
// when the bank or the preset changed, always by replacing the whole file, so that a kill at any moment
// leaves the last complete state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/VstHost.h"
#include "vst/FxFile.h"

class StateFile {
 public:
  explicit StateFile(std::string path);

  const std::string& path() const { return file; }

  // Selects the file's current program, then hands its bank to the plug-in. A missing file is a first
  // run: nothing is loaded and `found` is false. Returns the empty string on success, else a one-line
  // reason (unreadable, not a bank of this plug-in, refused by the plug-in).
  std::string load(VstHost& host, bool& found);
  // Writes the state when it differs from what was last loaded or saved. Returns the empty string on
  // success, else a one-line reason; `wrote` tells whether the file was written.
  std::string saveIfChanged(VstHost& host, bool& wrote);
  // The same, once the state has stayed as it was at the previous call: called at intervals, it writes a
  // burst of changes (a dial turned in the editor) once, after its end. A state that could not be written
  // is tried again once it changed, and by saveIfChanged.
  std::string saveWhenSettled(VstHost& host, bool& wrote);

 private:
  std::string loadBankFile(VstHost& host, const std::vector<uint8_t>& bytes);
  std::string loadOtherForm(VstHost& host);
  std::string write(const FxContent& state, bool& wrote);

  std::string file;
  bool asText;
  // The bank chunks and current programs of the states last written, seen and refused.
  FxContent written, lastSeen, refused;
};
