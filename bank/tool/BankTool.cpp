// vantorine-bank: turns a bank (.fxb file, raw chunk or LV2 state) into its text form and back, and prints
// what a bank holds. Errors go to stderr, one per line, and the exit status is non-zero; nothing is written then.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bank/BankFile.h"
#include "bank/BankSummary.h"
#include "bank/BankTextWriter.h"

namespace {

using vantorine::bank::BankFile;
using vantorine::bank::PresetBank;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* kUsage =
    "usage: vantorine-bank to-text BANK                   print the bank as text (TOML)\n"
    "       vantorine-bank from-text BANK -o OUTPUT       write the bank as OUTPUT: a .fxb file when\n"
    "                                                     OUTPUT ends in .fxb, an LV2 preset bundle when\n"
    "                                                     it ends in .lv2, else the raw chunk\n"
    "       vantorine-bank show BANK                      print the presets in use and what they send\n"
    "BANK is a .fxb file, a raw chunk, the text form, or the LV2 plug-in's state (a host's .ttl state\n"
    "file, or a folder holding one, such as a preset bundle).\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "vantorine-bank: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

bool Load(const std::string& path, PresetBank& bank, int32_t& current) {
  std::vector<std::string> errors;
  if (BankFile::load(path, bank, errors, &current)) return true;
  for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
  return false;
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
  auto bank = std::make_unique<PresetBank>();
  int32_t current = 0;
  if (command == "to-text" || command == "show") {
    if (args.size() != 2) return Usage(command + " takes one file");
    if (!Load(args[1], *bank, current)) return kExitFailure;
    const std::string text = command == "show" ? vantorine::bank::BankSummary::describe(*bank)
                                               : vantorine::bank::BankTextWriter::write(*bank, current);
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  if (command == "from-text") {
    if (args.size() != 4 || args[2] != "-o") return Usage("from-text takes BANK -o OUTPUT");
    if (!Load(args[1], *bank, current)) return kExitFailure;
    BankFile::Form form = BankFile::formFor(args[3]);
    if (form == BankFile::Form::Text) form = BankFile::Form::Chunk;
    const std::string reason = BankFile::save(args[3], *bank, form, current);
    if (!reason.empty()) {
      std::fprintf(stderr, "vantorine-bank: %s\n", reason.c_str());
      return kExitFailure;
    }
    return 0;
  }
  return Usage("unknown command '" + command + "'");
}
