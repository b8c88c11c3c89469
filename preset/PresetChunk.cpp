// The chunk reader: current, older and newer layouts, brought into range in a copy before anything is taken.
#include "preset/PresetChunk.h"

#include <cstring>
#include <vector>

#include "preset/PresetRules.h"
#include "preset/ProgramExtensionChunk.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored chunks are little-endian memory images");

namespace vantorine::preset {

namespace {

// Where the older bank keeps the global options, after its 128 records.
constexpr size_t kTrailer = kOldPresetChunkBytes * kProgramCount;
constexpr size_t kTrailerPresetSwitching = kTrailer + 4;
constexpr size_t kTrailerChangeSend = kTrailer + 5;
constexpr size_t kTrailerInitSend = kTrailer + 6;
constexpr size_t kTrailerChangeDelay = kTrailer + 8;
constexpr size_t kTrailerInitDelay = kTrailer + 12;

int32_t ReadInt32(const uint8_t* bytes) {
  int32_t value;
  std::memcpy(&value, bytes, sizeof(value));
  return value;
}

ChunkRead ReadExtensions(const uint8_t* bytes, size_t size, size_t imageBytes, int count,
                         VSTPluginProgramExtension* extensions) {
  const ExtensionRead read =
      size > imageBytes ? ReadProgramExtensions(bytes + imageBytes, size - imageBytes, count, extensions)
                        : ReadProgramExtensions(nullptr, 0, count, extensions);
  switch (read) {
    case ExtensionRead::kBroken:
      return ChunkRead::kRefused;
    case ExtensionRead::kNewer:
      return ChunkRead::kNewer;
    case ExtensionRead::kRead:
      break;
  }
  return ChunkRead::kRead;
}

}  // namespace

ChunkRead ReadPresetChunk(const void* data, size_t size, VSTPluginProgram& program,
                          VSTPluginProgramExtension& extension) {
  if (!data || (size != kOldPresetChunkBytes && size < kPresetChunkBytes)) return ChunkRead::kRefused;
  const auto* bytes = static_cast<const uint8_t*>(data);
  VSTPluginProgram read = program;
  std::memcpy(&read, bytes, size == kOldPresetChunkBytes ? kOldPresetChunkBytes : kPresetChunkBytes);
  SanitizeProgram(read);
  VSTPluginProgramExtension readExtension;
  const ChunkRead result = ReadExtensions(bytes, size, kPresetChunkBytes, 1, &readExtension);
  if (result == ChunkRead::kRefused) return result;
  program = read;
  extension = readExtension;
  return result;
}

ChunkRead ReadBankChunk(const void* data, size_t size, VSTPluginProgram* programs,
                        VSTPluginProgramExtension* extensions) {
  if (!data || (size != kOldBankChunkBytes && size < kBankChunkBytes)) return ChunkRead::kRefused;
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::vector<VSTPluginProgram> read(programs, programs + kProgramCount);
  std::vector<VSTPluginProgramExtension> readExtensions(kProgramCount);
  const ChunkRead result = ReadExtensions(bytes, size, kBankChunkBytes, kProgramCount, readExtensions.data());
  if (result == ChunkRead::kRefused) return result;
  if (size == kOldBankChunkBytes) {
    for (int n = 0; n < kProgramCount; ++n) {
      VSTPluginProgram& program = read[n];
      std::memcpy(&program, bytes + n * kOldPresetChunkBytes, kOldPresetChunkBytes);
      program.presetSwitching = bytes[kTrailerPresetSwitching];
      program.changeSend = bytes[kTrailerChangeSend];
      program.initSend = bytes[kTrailerInitSend];
      program.initDelay = ReadInt32(bytes + kTrailerInitDelay);
      program.changeDelay = ReadInt32(bytes + kTrailerChangeDelay);
      // The versions that wrote this layout always sent the Program Change first.
      program.bankSelectFirst = 0;
    }
  } else {
    std::memcpy(read.data(), bytes, kBankChunkBytes);
  }
  for (VSTPluginProgram& program : read) SanitizeProgram(program);
  std::memcpy(programs, read.data(), kBankChunkBytes);
  std::memcpy(extensions, readExtensions.data(), sizeof(VSTPluginProgramExtension) * kProgramCount);
  return result;
}

}  // namespace vantorine::preset
