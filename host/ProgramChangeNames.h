// What the host's print adds to a Program Change the plug-in sent when a strip of its current preset on that
// channel has a device: the sound it selects and the device, "  (Brush, General MIDI)". The host knows the
// preset only through the plug-in's bank chunk, read through bank/ at each Program Change. The names are
// read from files: use this where the printing happens, never on a processing thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ProgramChangeNames {
 public:
  // The plug-in's bank chunk (empty when it has none) and its current preset, counted from 0.
  struct PluginBank {
    std::vector<uint8_t> chunk;
    int current = 0;
  };
  using BankSource = std::function<PluginBank()>;

  explicit ProgramChangeNames(BankSource pluginBank) : bankSource(std::move(pluginBank)) {}

  // "  (Brush, General MIDI)" for the Program Change of `count` bytes at `bytes`, "  (JV-1080)" when the
  // device has no name for it here; empty for any other message, and when no strip of the preset on its
  // channel has a device.
  std::string of(const uint8_t* bytes, size_t count) const;

 private:
  BankSource bankSource;
};
