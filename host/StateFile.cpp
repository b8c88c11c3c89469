// Loading and saving the stand-alone host's state file.
#include "host/StateFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "host/FxCapture.h"

std::string StateFile::load(VstHost& host, bool& found) {
  found = false;
  struct stat info;
  if (::stat(file.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return "cannot read state file " + file + ": " + std::strerror(errno);
  }
  std::vector<uint8_t> bytes;
  std::string reason = FxFile::readFile(file, bytes);
  if (!reason.empty()) return "state file: " + reason;
  FxContent content;
  reason = FxFile::decode(bytes, FxKind::Bank, host.effect()->uniqueID, content);
  if (!reason.empty()) return "state file " + file + ": " + reason;
  if (content.currentProgram < 0 || content.currentProgram >= host.effect()->numPrograms)
    return "state file " + file + ": current program " + std::to_string(content.currentProgram) +
           " is not one of the plug-in's " + std::to_string(host.effect()->numPrograms);
  // Program first, then the bank: the chunk then starts the plug-in's start-up send, as when a DAW
  // opens a project, and the selection cannot trigger a change send from the presets it replaces.
  host.setProgram(content.currentProgram);
  if (host.setChunk(content.chunk, false) != 1)
    return "state file " + file + ": the plug-in refused its bank";
  found = true;
  // What the plug-in now holds counts as saved; its own reading of the chunk decides the bytes.
  lastWritten = FxFile::encode(CaptureFx(host, FxKind::Bank));
  return {};
}

std::string StateFile::saveIfChanged(VstHost& host, bool& wrote) {
  wrote = false;
  const FxContent content = CaptureFx(host, FxKind::Bank);
  if (content.chunk.empty()) return "the plug-in gave no bank to save in " + file;
  std::vector<uint8_t> bytes = FxFile::encode(content);
  if (bytes == lastWritten) return {};
  const std::string reason = FxFile::replaceFile(file, bytes);
  if (!reason.empty()) return "state file: " + reason;
  lastWritten.swap(bytes);
  wrote = true;
  return {};
}
