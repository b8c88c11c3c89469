// The strip that sent a Program Change, read from the plug-in's bank, and its sound's name.
#include "host/ProgramChangeNames.h"

#include <memory>

#include "bank/BankFile.h"
#include "bank/StripSoundLookup.h"
#include "names/ShownNames.h"

namespace {

// The strip of `preset` that sent Program Change `program` on `channel` and has a device: in use, on that
// channel, and the one whose own program it is when several are. -1 for none.
int SendingStrip(const VSTPluginProgram& preset, const VSTPluginProgramExtension& extension, int channel,
                 int program) {
  int found = -1;
  for (int slot = 0; slot < kStripCount; ++slot) {
    const VSTPluginStrip& strip = preset.strips[slot];
    if (!strip.inUse || strip.channel != channel || extension.devices[slot][0] == '\0') continue;
    if (vantorine::bank::StripProgram(strip) == program) return slot;
    if (found < 0) found = slot;
  }
  return found;
}

}  // namespace

std::string ProgramChangeNames::of(const uint8_t* bytes, size_t count) const {
  using namespace vantorine::bank;
  if (count < 2 || (bytes[0] & 0xF0) != 0xC0) return {};
  // Whatever plug-in is loaded, its chunk is read as hostile: one that is not exactly a bank names nothing.
  const PluginBank source = bankSource();
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (source.current < 0 || source.current >= kProgramCount ||
      !BankFile::fromChunk(source.chunk, "the plug-in's bank", *bank, errors))
    return {};
  const VSTPluginProgram& preset = (*bank)[source.current];
  const VSTPluginProgramExtension& extension = bank->extensions[source.current];
  const int channel = (bytes[0] & 0x0F) + 1;
  const int program = bytes[1] & 0x7F;
  const int slot = SendingStrip(preset, extension, channel, program);
  if (slot < 0) return {};
  const std::string device = StripDevice(extension, slot);
  const std::string sound =
      vantorine::names::ShownSoundName(device, channel, program, StripBankSelect(preset.strips[slot]));
  return "  (" + (sound.empty() ? "" : sound + ", ") + device + ")";
}
