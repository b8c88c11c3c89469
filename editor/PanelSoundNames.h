// What the panel tells about a strip's device and sound, from the name catalog: the device a text typed in
// the device dialog chooses, and the sound the strip's values select, as its place under the strip and the
// tooltips of that place and of the program and bank dials show it. Both read files on first use, so the
// panel calls them on user input and host changes only, never while drawing, and keeps the texts.
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

// The sound a strip's values select on its device, told in three ways.
struct StripSound {
  // What the device calls the sound; "(none)" when the values select none of its sounds (or send no
  // program or channel), "(not installed)" for a device this machine has no file of; empty without a
  // device, for a strip that shows no sound.
  std::string sound;
  // The device in short: its model's name without the maker, "GM" for General MIDI.
  std::string device;
  // The tooltip: the sound's whole name and the device's, or the program's number when there is no
  // device, it is not installed or it has no such sound.
  std::string tip;
};

// Without a device it reads nothing, so it may also give a new strip its first tip.
StripSound DescribeSound(std::string_view device, const StripSelection& values);

}  // namespace vantorine::editor
