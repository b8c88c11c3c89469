// The chunk reader: current, older and newer layouts, and the range checks.
#include "plugin/VSTPluginProgramBank.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/datastring.h"
#include "gui/widgets/SInfo.h"
#include "plugin/ProductInfo.h"
#include "plugin/ProgramExtensionChunk.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored chunks are little-endian memory images");

using vantorine::ExtensionRead;
using vantorine::ReadProgramExtensions;

namespace {

// Where the older bank keeps the global options, after its 128 records.
constexpr int32_t kTrailer = VSTPluginProgramBank::kOldProgramSize * kProgramCount;
constexpr int32_t kTrailerPresetSwitching = kTrailer + 4;
constexpr int32_t kTrailerChangeSend = kTrailer + 5;
constexpr int32_t kTrailerInitSend = kTrailer + 6;
constexpr int32_t kTrailerChangeDelay = kTrailer + 8;
constexpr int32_t kTrailerInitDelay = kTrailer + 12;

constexpr int32_t kMaxDelay = 999;

uint8_t Flag(uint8_t value) { return value ? 1 : 0; }
uint8_t ValueByte(uint8_t value, uint8_t highest) { return value > highest ? 0 : value; }
int32_t Delay(int32_t seconds) { return std::clamp(seconds, 0, kMaxDelay); }

int32_t ReadInt32(const uint8_t* bytes) {
  int32_t value;
  std::memcpy(&value, bytes, sizeof(value));
  return value;
}

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

void SanitizeProgram(VSTPluginProgram& program) {
  program.name[kNameSize - 1] = 0;
  for (VSTPluginStrip& strip : program.strips) {
    strip.inUse = Flag(strip.inUse);
    strip.swapBankOrder = Flag(strip.swapBankOrder);
    strip.channel = ValueByte(strip.channel, 16);
    strip.program = ValueByte(strip.program, 128);
    strip.bankMsb = ValueByte(strip.bankMsb, 128);
    strip.bankLsb = ValueByte(strip.bankLsb, 128);
    strip.volume = ValueByte(strip.volume, 128);
    strip.label[kLabelSize - 1] = 0;
  }
  for (int32_t& row : program.stripOrder)
    if (row < 0 || row > kEmptyRow) row = kEmptyRow;
  program.stripCount = std::clamp(program.stripCount, 1, kStripCount);
  program.midiThru = Flag(program.midiThru);
  program.presetSwitching = Flag(program.presetSwitching);
  program.changeSend = Flag(program.changeSend);
  program.initSend = Flag(program.initSend);
  program.bankSelectFirst = Flag(program.bankSelectFirst);
  program.initDelay = Delay(program.initDelay);
  program.changeDelay = Delay(program.changeDelay);
}

int VSTPluginProgramBank::readProgram(const void* data, int32_t size, int index) {
  if (!data || index < 0 || index >= kProgramCount) return 0;
  if (size != kOldProgramSize && size < kProgramSize) return 0;
  // Checked in a copy first, so the timer or audio thread never sees unchecked bytes in the bank.
  VSTPluginProgram program = bank[index];
  std::memcpy(&program, data, size == kOldProgramSize ? kOldProgramSize : kProgramSize);
  SanitizeProgram(program);
  VSTPluginProgramExtension extension;
  const auto* bytes = static_cast<const uint8_t*>(data);
  const ExtensionRead read =
      size > kProgramSize ? ReadProgramExtensions(bytes + kProgramSize, size - kProgramSize, 1, &extension)
                          : ReadProgramExtensions(nullptr, 0, 1, &extension);
  if (read == ExtensionRead::kBroken) return 0;
  std::memcpy(&bank[index], &program, sizeof(program));
  std::memcpy(&extensions[index], &extension, sizeof(extension));
  if (read == ExtensionRead::kNewer) ShowNewerVersionMessage(false);
  return 1;
}

int VSTPluginProgramBank::readBank(const void* data, int32_t size) {
  if (!data || (size != kOldBankSize && size < kBankSize)) return 0;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  std::vector<VSTPluginProgram> programs(bank, bank + kProgramCount);
  std::vector<VSTPluginProgramExtension> read(kProgramCount);
  const ExtensionRead readResult =
      size > kBankSize
          ? ReadProgramExtensions(bytes + kBankSize, size - kBankSize, kProgramCount, read.data())
          : ReadProgramExtensions(nullptr, 0, kProgramCount, read.data());
  if (readResult == ExtensionRead::kBroken) return 0;
  if (size == kOldBankSize) {
    for (int n = 0; n < kProgramCount; ++n) {
      VSTPluginProgram& program = programs[n];
      std::memcpy(&program, bytes + n * kOldProgramSize, kOldProgramSize);
      program.presetSwitching = bytes[kTrailerPresetSwitching];
      program.changeSend = bytes[kTrailerChangeSend];
      program.initSend = bytes[kTrailerInitSend];
      program.initDelay = ReadInt32(bytes + kTrailerInitDelay);
      program.changeDelay = ReadInt32(bytes + kTrailerChangeDelay);
      // The versions that wrote this layout always sent the Program Change first.
      program.bankSelectFirst = 0;
    }
  } else {
    std::memcpy(programs.data(), bytes, kBankSize);
  }
  for (VSTPluginProgram& program : programs) SanitizeProgram(program);
  std::memcpy(bank, programs.data(), kBankSize);
  std::memcpy(extensions, read.data(), sizeof(VSTPluginProgramExtension) * kProgramCount);
  if (readResult == ExtensionRead::kNewer) ShowNewerVersionMessage(true);
  return 1;
}
