// Loading and saving banks in any of their forms; the binary forms are checked as strictly as the text.
#include "bank/BankFile.h"

#include <cstring>
#include <memory>

#include "bank/BankLv2State.h"
#include "bank/BankTextReader.h"
#include "bank/BankTextWriter.h"
#include "plugin/ProductInfo.h"
#include "vst/FxFile.h"

namespace vantorine::bank {

namespace {

// The version the plug-in reports to hosts, which they write into every bank file they save; a bank file
// written here is the same file a host would write.
constexpr VstInt32 kPluginVersion = 1;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool BankFile::load(const std::string& path, PresetBank& bank, std::vector<std::string>& errors,
                    int32_t* current, std::vector<std::string>* warnings) {
  errors.clear();
  // A chunk read out of any binary form, with the program selected when it was saved.
  auto takeChunk = [&](const std::vector<uint8_t>& chunk, int32_t selected) {
    if (!fromChunk(chunk, path, bank, errors)) return false;
    if (current) *current = selected;
    return true;
  };
  std::vector<uint8_t> bytes;
  auto takeState = [&] {
    int32_t selected = 0;
    const std::string reason = BankLv2State::read(path, bytes, selected);
    if (!reason.empty()) {
      errors.push_back(reason);
      return false;
    }
    return takeChunk(bytes, selected);
  };
  if (BankLv2State::isFolder(path)) return takeState();
  // The text's limit is far above any binary form's size, so it bounds what any file may cost.
  std::string reason = FxFile::readFile(path, bytes, BankTextReader::kMaxBytes + 1);
  if (!reason.empty()) {
    errors.push_back(reason);
    return false;
  }
  if (bytes.size() >= 4 && bytes[0] == 'C' && bytes[1] == 'c' && bytes[2] == 'n' && bytes[3] == 'K') {
    FxContent content;
    reason = bytes.size() > BankTextReader::kMaxBytes
                 ? "larger than any bank file"
                 : FxFile::decode(bytes, FxKind::Bank, vantorine::kUniqueId, content);
    if (!reason.empty()) {
      errors.push_back(path + ": " + reason);
      return false;
    }
    // A current program no bank has is taken as the first, as hosts take it.
    const bool known = content.currentProgram >= 0 && content.currentProgram < kProgramCount;
    return takeChunk(content.chunk, known ? content.currentProgram : 0);
  }
  // Every chunk holds NUL bytes (each name ends with one), text never does: TOML forbids them.
  if (bytes.size() >= kBankBytes && std::memchr(bytes.data(), 0, bytes.size())) return takeChunk(bytes, 0);
  if (BankLv2State::isTurtle(bytes)) return takeState();
  return BankTextReader::read(std::string(bytes.begin(), bytes.end()), path, bank, errors, current, warnings,
                              BankTextReader::SyxNames::BesideFile);
}

// A chunk of the right size may still hold bytes no preset can hold; those would not survive as text.
bool BankFile::fromChunk(const std::vector<uint8_t>& chunk, const std::string& name, PresetBank& bank,
                         std::vector<std::string>& errors) {
  errors.clear();
  auto read = std::make_unique<PresetBank>();
  std::string reason = BankFromBytes(chunk, *read);
  if (reason.empty() && !(reason = ImpossibleValue(*read)).empty())
    reason = "not a bank the plug-in can hold: " + reason;
  if (!reason.empty()) {
    errors.push_back(name + ": " + reason);
    return false;
  }
  bank = *read;
  return true;
}

std::string BankFile::save(const std::string& path, const PresetBank& bank, Form form, int32_t current) {
  if (form == Form::Text) {
    const std::string text = BankTextWriter::write(bank, current);
    return FxFile::writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  if (form == Form::Chunk) return FxFile::writeFile(path, BankBytes(bank));
  if (form == Form::Lv2Preset) return BankLv2State::writePreset(path, BankBytes(bank), current);
  FxContent content;
  content.kind = FxKind::Bank;
  content.fxId = vantorine::kUniqueId;
  content.fxVersion = kPluginVersion;
  content.numPrograms = kProgramCount;
  content.currentProgram = current;
  content.chunk = BankBytes(bank);
  return FxFile::writeFile(path, FxFile::encode(content));
}

std::optional<BankFile::Form> BankFile::formFor(const std::string& path) {
  if (EndsWith(path, ".fxb")) return Form::Fxb;
  if (EndsWith(path, ".toml")) return Form::Text;
  if (EndsWith(path, ".chunk")) return Form::Chunk;
  if (EndsWith(path, ".lv2") || EndsWith(path, ".lv2/")) return Form::Lv2Preset;
  return std::nullopt;
}

}  // namespace vantorine::bank
