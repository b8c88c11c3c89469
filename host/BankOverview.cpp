// The bank's presets in use, one line each.
#include "host/BankOverview.h"

#include <memory>
#include <vector>

#include "bank/BankFile.h"

void BankOverview::print(VstHost& host, const std::string& name, std::FILE* out) {
  using namespace vantorine::bank;
  const auto selected = static_cast<long>(host.dispatch(effGetProgram)) + 1;
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (!BankFile::fromChunk(host.getChunk(false), name, *bank, errors)) {
    std::fprintf(out, "%s: not one this host can read; preset %ld of %d selected\n", name.c_str(), selected,
                 host.effect()->numPrograms);
    return;
  }
  const BankOptions shared = BankOptions::of((*bank)[0], bank->extensions[0]);
  std::vector<int> used;
  for (int preset = 0; preset < kProgramCount; ++preset)
    if (!IsDefaultPreset(*bank, preset, shared)) used.push_back(preset);
  if (used.empty())
    std::fprintf(out, "%s: no preset in use, preset %ld selected\n", name.c_str(), selected);
  else
    std::fprintf(out, "%s: %zu preset(s) in use, preset %ld selected\n", name.c_str(), used.size(), selected);
  for (const int preset : used) {
    int strips = 0;
    for (const VSTPluginStrip& strip : (*bank)[preset].strips) strips += strip.inUse != 0;
    std::fprintf(out, "  %3d  %s  (%d strip%s)\n", preset + 1, host.programName(preset).c_str(), strips,
                 strips == 1 ? "" : "s");
  }
}
