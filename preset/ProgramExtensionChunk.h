// The stored form of the version 2 fields: appended to the version 1 image of a preset (436 bytes) or a
// bank (55808 bytes) only when some preset uses them, so a chunk without them is byte for byte what earlier
// versions wrote, and a chunk with them is refused by those versions as any chunk of a newer version.
//
// After the image: the tag "VTX2" and the size of what follows (32-bit), then fields, each a tag byte, the
// preset it belongs to, a 16-bit length and its bytes (a strip's device: the strip's slot, then its name). Only fields that differ from the defaults are
// written, preset by preset, in tag order. Fields are read as hostile input: a field of the wrong length,
// for a preset the chunk does not hold, twice, or with a value no preset can hold (two rows on one
// controller among them) refuses the whole chunk.
// A tag this version does not know comes from a newer one; it is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "preset/VSTPluginProgramExtension.h"

namespace vantorine {

// Appends the fields of `count` presets that differ from the defaults; nothing when none do.
void AppendProgramExtensions(const VSTPluginProgramExtension* extensions, int count,
                             std::vector<uint8_t>& out);

enum class ExtensionRead {
  kRead,    // all of it taken
  kNewer,   // what this version knows taken, the rest written by a newer version
  kBroken,  // refused: nothing taken
};

// Reads the bytes after the version 1 image into `count` extensions, which start at their defaults; on
// kBroken they are left in an unspecified state, for the caller to drop.
ExtensionRead ReadProgramExtensions(const uint8_t* bytes, size_t size, int count,
                                    VSTPluginProgramExtension* extensions);

}  // namespace vantorine
