// A strip's sound by its name, for a strip with a device: the sound the text form's `sound` key names, and
// the name of the sound a strip's values select, as to-text's comments, show and the host's print give it.
// The names come from NameCatalog::shared() (names/DeviceNames.h), which reads files on first use: never
// call these from a real-time thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "names/DeviceNames.h"
#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

namespace vantorine::bank {

// The device of the strip in record slot `slot`, empty for none.
std::string StripDevice(const VSTPluginProgramExtension& extension, int slot);

// The Bank Select a strip sends; a stored byte beyond a data value counts as not sent.
names::BankSelect StripBankSelect(const VSTPluginStrip& strip);
// The Program Change a strip sends, the same way.
std::optional<uint8_t> StripProgram(const VSTPluginStrip& strip);

// Whether a MIDNAM file on this machine (or General MIDI) knows `device`.
bool DeviceKnownHere(const std::string& device);

// Where the devices of this machine come from, for a message about one that is not here: "MIDNAM files
// in FOLDER, FOLDER" or that no folder was found, with the variable that chooses them.
std::string DeviceFolders();

// Why `device` is not here, in words: the installed names closest to it, or else the folders searched.
// Sets `close` to whether any name is close.
std::string NotInstalled(const std::string& device, bool& close);

// The sound `strip`'s own values select, as names::ShownSoundName gives it, with " (bank NAME)" after a
// name that sounds in other banks on the strip's channel have too, which `sound` alone would not select;
// empty when it sends no Program Change.
std::string SoundOfStrip(const std::string& device, const VSTPluginStrip& strip);

// Sets `strip`'s program and Bank Select to those of the sound called `name` on `device`, looked up on the
// strip's channel (on every channel for a silent strip), in the bank called `bank` when it is not empty
// (its name as the file gives it, case, spaces and punctuation ignored); a Bank Select byte the sound's
// bank does not send becomes "not sent". Returns why it cannot, or empty: the device is not known here
// (with the closest devices), no sound has the name (with the closest names), no bank of that name has
// it, sounds in several banks have it (with what tells them apart), or its bank is selected by messages a
// strip cannot send. Sounds a strip cannot select are left out when one it can select has the name too.
std::string SelectSound(const std::string& device, const std::string& name, const std::string& bank,
                        VSTPluginStrip& strip);

}  // namespace vantorine::bank
