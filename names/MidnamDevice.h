// A model's sounds from its MIDNAM file: each ChannelNameSet's banks (their Bank Select from the bank's
// MIDICommands, a patch's own PatchMIDICommands overriding it) with their patches (the Program Change from
// the ProgramChange attribute or the patch's commands; its Number is only display text), the name lists
// banks share through UsesPatchNameList, and which set each channel uses: the first (default) device
// mode's ChannelNameSetAssignments, else the first set whose AvailableForChannels offers the channel.
#pragma once

#include <string>
#include <vector>

#include "names/Device.h"

namespace vantorine::names {

// Reads `model`'s sounds from the file at `path` into `device`, or returns false and why (also when the
// device would cost more than names/Limits.h lets one). A name list the file lacks is looked for in
// `extensionFiles` (the files that extend the model), read only then. What was left out of a usable device
// (patches without a program, missing name lists, extensions) is told in `warning`, in one line.
bool ReadMidnamDevice(const std::string& path, const std::string& model,
                      const std::vector<std::string>& extensionFiles, Device& device, std::string& why,
                      std::string& warning);

}  // namespace vantorine::names
