// vantorine-bank: turns a bank (.fxb file, raw chunk or LV2 state) into its text form and back, prints what
// a bank holds, and lists the devices and sounds this machine's MIDNAM files name. Errors go to stderr,
// one per line, and the exit status is non-zero; nothing is written then.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bank/BankFile.h"
#include "bank/BankSummary.h"
#include "bank/BankTextWriter.h"
#include "bank/tool/NameCommands.h"
#include "vst/FxFile.h"

namespace {

using vantorine::bank::BankFile;
using vantorine::bank::BankTextWriter;
using vantorine::bank::PresetBank;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* kUsage =
    "usage: vantorine-bank to-text BANK [--syx-files]   print the bank as text (TOML); --syx-files writes\n"
    "                                                   long SysEx messages to .syx files in the current\n"
    "                                                   folder, where the text goes, named after BANK\n"
    "       vantorine-bank from-text BANK -o OUTPUT     write the bank in the form OUTPUT's name asks for:\n"
    "                                                   .toml text, .fxb a bank file for VST hosts, .chunk\n"
    "                                                   the raw chunk bytes a host stores, .lv2 an LV2\n"
    "                                                   preset bundle (a folder)\n"
    "       vantorine-bank show BANK                    print the presets in use and what they send\n"
    "       vantorine-bank devices [TEXT]               list the devices whose maker and model the words\n"
    "                                                   of TEXT find: maker, model, sounds, file\n"
    "       vantorine-bank sounds DEVICE [TEXT] [--channel N]\n"
    "                                                   list DEVICE's sounds whose name or bank the words\n"
    "                                                   find: name, bank, MSB, LSB, program, channels\n"
    "BANK is the text form, a .fxb file, a raw chunk or the LV2 plug-in's state (a host's state file, or a\n"
    "folder holding one, such as a preset bundle), told apart by what the file holds. The lists print one\n"
    "line each, their columns separated by tabs; words match ignoring case, spaces and punctuation.\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "vantorine-bank: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

bool Load(const std::string& path, PresetBank& bank, int32_t& current) {
  std::vector<std::string> errors, warnings;
  const bool loaded = BankFile::load(path, bank, errors, &current, &warnings);
  for (const std::string& line : loaded ? warnings : errors) std::fprintf(stderr, "%s\n", line.c_str());
  return loaded;
}

// The words given from `first` on, as one text.
std::string Words(const std::vector<std::string>& args, size_t first) {
  std::string words;
  for (size_t n = first; n < args.size(); ++n) words += (words.empty() ? "" : " ") + args[n];
  return words;
}

// What the .syx files of a bank are named after: BANK's name without its folder and ending, in letters,
// digits, '.', '_' and '-' only, so that the name is a plain file name and plain text.
std::string BankName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  if (name.rfind('.') != std::string::npos && name.rfind('.') > 0) name.erase(name.rfind('.'));
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-') c = '-';
  return name.empty() || name == "." || name == ".." ? "bank" : name;
}

// Prints the bank's text, its long messages in .syx files when `syxFiles`; a file that cannot be written
// takes those written before it away and prints nothing.
int ToText(const std::string& path, const PresetBank& bank, int32_t current, bool syxFiles) {
  BankTextWriter::SyxFiles files{BankName(path), {}};
  const std::string text = BankTextWriter::write(bank, current, syxFiles ? &files : nullptr);
  for (size_t n = 0; n < files.files.size(); ++n) {
    const std::string reason = FxFile::writeFile(files.files[n].first, files.files[n].second);
    if (reason.empty()) continue;
    std::fprintf(stderr, "vantorine-bank: %s\n", reason.c_str());
    for (size_t written = 0; written < n; ++written) std::remove(files.files[written].first.c_str());
    return kExitFailure;
  }
  std::fputs(text.c_str(), stdout);
  return 0;
}

int Sounds(std::vector<std::string> args) {
  int channel = 0;
  for (size_t n = 1; n < args.size(); ++n) {
    if (args[n] != "--channel") continue;
    char* end = nullptr;
    const long number = n + 1 < args.size() ? std::strtol(args[n + 1].c_str(), &end, 10) : 0;
    if (!end || *end != '\0' || number < 1 || number > 16) return Usage("--channel takes a channel, 1 to 16");
    channel = static_cast<int>(number);
    args.erase(args.begin() + n, args.begin() + n + 2);
    break;
  }
  if (args.size() < 2) return Usage("sounds takes a DEVICE");
  return vantorine::bank::ListSounds(args[1], Words(args, 2), channel);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "devices") return vantorine::bank::ListDevices(Words(args, 1));
  if (command == "sounds") return Sounds(args);
  auto bank = std::make_unique<PresetBank>();
  int32_t current = 0;
  if (command == "to-text") {
    const bool syxFiles = args.size() == 3 && args[2] == "--syx-files";
    if (args.size() != 2 && !syxFiles) return Usage("to-text takes one file, and --syx-files after it");
    if (!Load(args[1], *bank, current)) return kExitFailure;
    return ToText(args[1], *bank, current, syxFiles);
  }
  if (command == "show") {
    if (args.size() != 2) return Usage("show takes one file");
    if (!Load(args[1], *bank, current)) return kExitFailure;
    std::fputs(vantorine::bank::BankSummary::describe(*bank).c_str(), stdout);
    return 0;
  }
  if (command == "from-text") {
    if (args.size() != 4 || args[2] != "-o") return Usage("from-text takes BANK -o OUTPUT");
    const std::optional<BankFile::Form> form = BankFile::formFor(args[3]);
    if (!form)
      return Usage("the name " + args[3] +
                   " does not say which form to write: end it in .toml, .fxb, .chunk or .lv2");
    if (!Load(args[1], *bank, current)) return kExitFailure;
    const std::string reason = BankFile::save(args[3], *bank, *form, current);
    if (!reason.empty()) {
      std::fprintf(stderr, "vantorine-bank: %s\n", reason.c_str());
      return kExitFailure;
    }
    return 0;
  }
  return Usage("unknown command '" + command + "'");
}
