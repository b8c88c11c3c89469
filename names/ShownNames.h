// Names from device files as the tools and the editor show them. The files are hostile input: a name may
// hold control characters or run for a kilobyte, and it goes into terminals, text files and tooltips.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "names/DeviceNames.h"

namespace vantorine::names {

constexpr size_t kShownNameBytes = 40;

// The text made safe to print: C0 and C1 control characters, DEL and each byte that is not part of
// well-formed UTF-8 as '?'.
std::string PrintableText(std::string_view text);

// The name made printable, cut at a character's start with "..." when longer than `most` bytes.
std::string ShownName(const std::string& name, size_t most = kShownNameBytes);

// What `device` calls the sound Program Change `program` with `bank` selects on `channel` (1 to 16), shown:
// "Brush", or "Warm Strings (bank Preset A assumed)" when the name holds only if the module is in that bank
// (the strip sends no Bank Select byte the bank needs, or the bank is selected by messages a strip cannot
// send). Empty when the device is not known here or has no sound there.
std::string ShownSoundName(const std::string& device, int channel, int program, BankSelect bank);

}  // namespace vantorine::names
