// Loading and saving the stand-alone host's state file.
#include "host/StateFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "bank/BankFile.h"
#include "bank/BankTextWriter.h"
#include "host/FxCapture.h"

using vantorine::bank::BankFile;
using vantorine::bank::PresetBank;

StateFile::StateFile(std::string path)
    : file(std::move(path)), asText(BankFile::formFor(file) == BankFile::Form::Text) {
  // No program is -1: nothing was written or refused yet.
  written.currentProgram = refused.currentProgram = -1;
}

namespace {

bool SameState(const FxContent& a, const FxContent& b) {
  return a.currentProgram == b.currentProgram && a.chunk == b.chunk;
}

}  // namespace

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
  const bool bankFile = bytes.size() >= 4 && std::memcmp(bytes.data(), "CcnK", 4) == 0;
  reason = bankFile ? loadBankFile(host, bytes) : loadOtherForm(host);
  if (!reason.empty()) return reason;
  found = true;
  // What the plug-in now holds counts as saved; its own reading of the chunk decides the bytes.
  written = lastSeen = CaptureFx(host, FxKind::Bank);
  return {};
}

std::string StateFile::loadBankFile(VstHost& host, const std::vector<uint8_t>& bytes) {
  FxContent content;
  std::string reason = FxFile::decode(bytes, FxKind::Bank, host.effect()->uniqueID, content);
  if (!reason.empty()) return "state file " + file + ": " + reason;
  if (content.currentProgram < 0 || content.currentProgram >= host.effect()->numPrograms)
    return "state file " + file + ": current program " + std::to_string(content.currentProgram) +
           " is not one of the plug-in's " + std::to_string(host.effect()->numPrograms);
  // Program first, then the bank: the chunk then starts the plug-in's start-up send, as when a DAW
  // opens a project, and the selection cannot trigger a change send from the presets it replaces.
  host.setProgram(content.currentProgram);
  if (host.setChunk(content.chunk, false) != 1)
    return "state file " + file + ": the plug-in refused its bank";
  return {};
}

// The text form, and the other forms vantorine-bank reads, as bank/ reads them.
std::string StateFile::loadOtherForm(VstHost& host) {
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  int32_t program = 0;
  if (!BankFile::load(file, *bank, errors, &program)) {
    const std::string more = errors.size() > 1 ? " (and " + std::to_string(errors.size() - 1) + " more)" : "";
    return "state file " + errors.front() + more;
  }
  host.setProgram(program);
  if (host.setChunk(BankBytes(*bank), false) != 1)
    return "state file " + file + ": the plug-in refused its bank";
  return {};
}

std::string StateFile::write(const FxContent& state, bool& wrote) {
  if (state.chunk.empty()) return "the plug-in gave no bank to save in " + file;
  std::vector<uint8_t> bytes;
  if (asText) {
    auto bank = std::make_unique<PresetBank>();
    std::vector<std::string> errors;
    if (!BankFile::fromChunk(state.chunk, "the plug-in's bank", *bank, errors))
      return "cannot save " + errors.front() + " as text in " + file;
    const std::string text = vantorine::bank::BankTextWriter::write(*bank, state.currentProgram);
    bytes.assign(text.begin(), text.end());
  } else {
    bytes = FxFile::encode(state);
  }
  const std::string reason = FxFile::replaceFile(file, bytes);
  if (!reason.empty()) return "state file: " + reason;
  written = state;
  wrote = true;
  return {};
}

std::string StateFile::saveIfChanged(VstHost& host, bool& wrote) {
  wrote = false;
  lastSeen = CaptureFx(host, FxKind::Bank);
  return SameState(lastSeen, written) ? std::string() : write(lastSeen, wrote);
}

std::string StateFile::saveWhenSettled(VstHost& host, bool& wrote) {
  wrote = false;
  FxContent now = CaptureFx(host, FxKind::Bank);
  const bool settled = SameState(now, lastSeen);
  lastSeen = std::move(now);
  if (!settled || SameState(lastSeen, written) || SameState(lastSeen, refused)) return {};
  const std::string reason = write(lastSeen, wrote);
  if (!reason.empty()) refused = lastSeen;
  return reason;
}
