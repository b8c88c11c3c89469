// The strip that sent a Program Change, read from the plug-in's preset chunk, and its sound's name.
#include "host/ProgramChangeNames.h"

#include "bank/StripSoundLookup.h"
#include "names/ShownNames.h"
#include "preset/PresetChunk.h"
#include "preset/StoredValue.h"

namespace {

// The strip of `preset` that sent Program Change `program` on `channel` and has a device: in use, on that
// channel, and the one whose own program it is when several are. -1 for none.
int SendingStrip(const VSTPluginProgram& preset, const VSTPluginProgramExtension& extension, int channel,
                 int program) {
  int found = -1;
  for (int slot = 0; slot < kStripCount; ++slot) {
    const VSTPluginStrip& strip = preset.strips[slot];
    if (!strip.inUse || strip.channel != channel || extension.devices[slot][0] == '\0') continue;
    if (vantorine::preset::SentValue(strip.program) == program) return slot;
    if (found < 0) found = slot;
  }
  return found;
}

}  // namespace

std::string ProgramChangeNames::of(const uint8_t* bytes, size_t count) const {
  if (count < 2 || (bytes[0] & 0xF0) != 0xC0) return {};
  // Whatever plug-in is loaded, its chunk is read as hostile: a size of no layout or fields that are not ours
  // name nothing.
  const std::vector<uint8_t> chunk = presetChunk();
  VSTPluginProgram preset;
  InitProgram(preset, "");
  VSTPluginProgramExtension extension;
  if (vantorine::preset::ReadPresetChunk(chunk.data(), chunk.size(), preset, extension) ==
      vantorine::preset::ChunkRead::kRefused)
    return {};
  const int channel = (bytes[0] & 0x0F) + 1;
  const int program = bytes[1] & 0x7F;
  const int slot = SendingStrip(preset, extension, channel, program);
  if (slot < 0) return {};
  const std::string device = vantorine::bank::StripDevice(extension, slot);
  const std::string sound = vantorine::names::ShownSoundName(device, channel, program,
                                                             vantorine::bank::StripBankSelect(preset.strips[slot]));
  return "  (" + (sound.empty() ? "" : sound + ", ") + device + ")";
}
