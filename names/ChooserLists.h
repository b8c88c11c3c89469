// What a chooser of devices and sounds lists, apart from how it shows it: the installed devices grouped by
// maker, and a device's sounds with the numbers a strip sends for them, each kept as typed words find it
// (see WordFilter in names/NameText.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "names/DeviceNames.h"

namespace vantorine::names {

// A line of the device list: a maker's heading (no device), or a model under it.
struct DeviceLine {
  std::string text;
  std::string device;  // what a strip stores for it; empty for a heading
};

// The models the typed words find among their maker and name together (see WordFilter): General MIDI
// first, then by maker and by model in alphabetical order ignoring case. A model whose name a strip cannot
// store is left out.
std::vector<const ModelInfo*> ModelsFound(const std::vector<ModelInfo>& models, std::string_view typed);

// ModelsFound's models, each maker's under a heading.
std::vector<DeviceLine> DeviceLines(const std::vector<ModelInfo>& models, std::string_view typed);

// A device's sounds and the text the filter searches in each: its name and its bank's name.
class SoundChoices {
 public:
  explicit SoundChoices(std::vector<Sound> sounds);

  // The indices of the sounds the typed words find, in the file's order.
  std::vector<size_t> Find(std::string_view typed) const;
  const Sound& operator[](size_t index) const { return sounds[index]; }
  size_t size() const { return sounds.size(); }

 private:
  std::vector<Sound> sounds;
  std::vector<std::string> folded;
};

// A sound's cells as the list shows them: bank, "MSB/LSB" ("-" for a byte not sent), program 0-127, name.
std::vector<std::string> SoundCells(const Sound& sound);

}  // namespace vantorine::names
