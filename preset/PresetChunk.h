// Reading the chunks a host stores: one preset or the whole bank. A chunk has no header: its size tells the
// layout (436/55808 bytes now, 424/54288 from the older layout, anything larger the version 1 image with the
// version 2 fields after it, or from a newer version). The bytes come from a project file and may be damaged
// or hostile, so every field of the image that is later used as an index, a length, a MIDI byte or a flag is
// brought into range, and the version 2 fields are checked whole: one bad field refuses the chunk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

namespace vantorine::preset {

constexpr size_t kPresetChunkBytes = sizeof(VSTPluginProgram);
constexpr size_t kOldPresetChunkBytes = 424;
constexpr size_t kBankChunkBytes = kPresetChunkBytes * kProgramCount;
// The older bank keeps the global options in a trailer after its 128 records.
constexpr size_t kOldBankChunkBytes = kOldPresetChunkBytes * kProgramCount + 16;

enum class ChunkRead {
  kRead,     // all of it taken
  kNewer,    // what this version knows taken, the rest written by a newer version
  kRefused,  // a size of no layout, or damaged version 2 fields: nothing taken
};

// Reads a preset chunk into `program` and `extension`. The older layout ends before the global options
// bankSelectFirst, initDelay and changeDelay: those keep the values `program` holds. Both are changed only
// when the chunk is not refused.
ChunkRead ReadPresetChunk(const void* data, size_t size, VSTPluginProgram& program,
                          VSTPluginProgramExtension& extension);

// Reads a bank chunk into kProgramCount records and their extensions, changed only when it is not refused.
ChunkRead ReadBankChunk(const void* data, size_t size, VSTPluginProgram* programs,
                        VSTPluginProgramExtension* extensions);

}  // namespace vantorine::preset
