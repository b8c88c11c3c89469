// What the panel tells about a strip's device and sound, from the name catalog: the device a text typed in
// the device dialog chooses, and the tooltip of the strip's program and bank dials, which names the sound
// they select. Both read files on first use, so the panel calls them on user input and host changes only,
// never while drawing, and keeps the tooltip text as the dials' tooltip data.
#pragma once

#include <string>
#include <string_view>

namespace vantorine::editor {

// What a typed text chooses: a device (empty for none), or why it chooses none.
struct DeviceChoice {
  std::string device;
  std::string refusal;
};

// Empty text chooses no device; a text that is a model's name (or its manufacturer and name) chooses it,
// as does one that only one model's name or manufacturer contains. Several matches are refused with their
// count and the first few names, so the user can type more of the one meant.
DeviceChoice ChooseDevice(std::string_view typed);

// A strip's values as its dials hold them: 0 for "not sent", else the MIDI value plus one (the channel 1-16).
struct StripSelection {
  int channel = 0;
  int program = 0;
  int bankMsb = 0;
  int bankLsb = 0;
};

// The tooltip of a strip's program and bank dials: the sound its device calls what they select and the
// device, or the program's number when there is no device, it is not installed or it has no such sound.
// Without a device it reads nothing, so it may also give a new strip its first tip.
std::string SoundTip(std::string_view device, const StripSelection& values);

}  // namespace vantorine::editor
