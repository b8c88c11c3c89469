// The plug-in's side of reading chunks: where they go, and the message about a newer version.
#include "plugin/VSTPluginProgramBank.h"

#include <cstring>

#include "data/datastring.h"
#include "gui/widgets/SInfo.h"
#include "plugin/ProductInfo.h"
#include "preset/PresetChunk.h"

using vantorine::preset::ChunkRead;

namespace {

void ShowNewerVersionMessage(bool isBank) {
  tovo::data::datastring<32, char> message;
  message.Append(isBank ? "Failed to load bank" : "Failed to load program");
  message.Append("\n(Reason: ");
  message.Append("Saved with newer version");
  message.Append("\nThis version = ");
  message.Append(16, "%.2f", vantorine::kProductVersion);
  message.Append("\nSome settings will be lost !)");
  tovo::gui::SInfo(message.Get(), vantorine::kProductName);
}

}  // namespace

int VSTPluginProgramBank::readProgram(const void* data, int32_t size, int index) {
  if (index < 0 || index >= kProgramCount || size < 0) return 0;
  // Read into a copy first, so the timer or audio thread never sees unchecked bytes in the bank.
  VSTPluginProgram program = bank[index];
  VSTPluginProgramExtension extension;
  const ChunkRead read =
      vantorine::preset::ReadPresetChunk(data, static_cast<size_t>(size), program, extension);
  if (read == ChunkRead::kRefused) return 0;
  std::memcpy(&bank[index], &program, sizeof(program));
  std::memcpy(&extensions[index], &extension, sizeof(extension));
  if (read == ChunkRead::kNewer) ShowNewerVersionMessage(false);
  return 1;
}

int VSTPluginProgramBank::readBank(const void* data, int32_t size) {
  if (size < 0) return 0;
  const ChunkRead read = vantorine::preset::ReadBankChunk(data, static_cast<size_t>(size), bank, extensions);
  if (read == ChunkRead::kRefused) return 0;
  if (read == ChunkRead::kNewer) ShowNewerVersionMessage(true);
  return 1;
}
