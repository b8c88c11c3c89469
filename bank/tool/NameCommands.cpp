#include "bank/tool/NameCommands.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "bank/StripSoundLookup.h"
#include "names/ChooserLists.h"
#include "names/DeviceNames.h"
#include "names/ShownNames.h"

namespace vantorine::bank {

namespace {

constexpr int kExitNothingFound = 1;

void Tell(const std::string& message) {
  std::fprintf(stderr, "vantorine-bank: %s\n", message.c_str());
}

void PrintColumns(const std::vector<std::string>& cells) {
  std::string line;
  for (const std::string& cell : cells) line += (line.empty() ? "" : "\t") + cell;
  std::printf("%s\n", line.c_str());
}

std::string ByteText(const std::optional<uint8_t>& byte) {
  return byte ? std::to_string(*byte) : std::string("-");
}

// "1-9,11-15": the channels, runs of them as ranges.
std::string ChannelsText(const std::vector<int>& channels) {
  std::string text;
  for (size_t n = 0; n < channels.size(); ++n) {
    size_t last = n;
    while (last + 1 < channels.size() && channels[last + 1] == channels[last] + 1) ++last;
    text += (text.empty() ? "" : ",") + std::to_string(channels[n]);
    if (last > n) text += "-" + std::to_string(channels[last]);
    n = last;
  }
  return text;
}

size_t SelectableCount(const std::vector<names::ChannelSounds>& sets) {
  size_t count = 0;
  for (const names::ChannelSounds& set : sets)
    for (const names::Sound& sound : set.sounds) count += sound.bankNeedsOtherMessages ? 0 : 1;
  return count;
}

// The model `typed` names as a bank's text would, or else the one model its words find; nothing, with the
// reason told, when none or several are.
std::optional<names::ModelInfo> FindDevice(const std::string& typed) {
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  if (std::optional<names::ModelInfo> model = catalog.findModel(typed)) return model;
  const std::vector<names::ModelInfo> models = catalog.models();
  const std::vector<const names::ModelInfo*> found = names::ModelsFound(models, typed);
  if (found.size() == 1 && !typed.empty()) return *found[0];
  if (found.size() > 1 && !typed.empty()) {
    std::string list;
    for (const names::ModelInfo* model : found)
      list += (list.empty() ? "" : ", ") + names::PrintableText(model->manufacturer + " " + model->name);
    Tell("\"" + names::PrintableText(typed) + "\" finds " + std::to_string(found.size()) + " devices: " + list +
         "; give more of the one you mean");
    return std::nullopt;
  }
  bool close = false;
  const std::string why = NotInstalled(typed, close);
  Tell(close ? why + "; devices come from " + DeviceFolders() : why);
  return std::nullopt;
}

}  // namespace

int ListDevices(const std::string& typed) {
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  const std::vector<names::ModelInfo> models = catalog.models();
  const std::vector<const names::ModelInfo*> found = names::ModelsFound(models, typed);
  if (found.empty()) {
    Tell("no device matches \"" + names::PrintableText(typed) + "\"; devices come from " + DeviceFolders());
    return kExitNothingFound;
  }
  for (const names::ModelInfo* model : found)
    PrintColumns({names::PrintableText(model->manufacturer), names::PrintableText(model->name),
                  std::to_string(SelectableCount(catalog.soundsByChannels(model->name))),
                  model->file.empty() ? "(built in)" : names::PrintableText(model->file)});
  return 0;
}

int ListSounds(const std::string& device, const std::string& typed, int channel) {
  const std::optional<names::ModelInfo> model = FindDevice(device);
  if (!model) return kExitNothingFound;
  const std::string shownDevice = names::PrintableText(model->name);
  size_t listed = 0, unselectable = 0;
  for (const names::ChannelSounds& set : names::NameCatalog::shared().soundsByChannels(model->name)) {
    if (channel && std::find(set.channels.begin(), set.channels.end(), channel) == set.channels.end())
      continue;
    const names::SoundChoices choices(set.sounds);
    for (const size_t index : choices.Find(typed)) {
      const names::Sound& sound = choices[index];
      if (sound.bankNeedsOtherMessages) {
        ++unselectable;
        continue;
      }
      PrintColumns({names::PrintableText(sound.name), names::PrintableText(sound.bank),
                    ByteText(sound.bankSelect.msb), ByteText(sound.bankSelect.lsb),
                    std::to_string(sound.program), ChannelsText(set.channels)});
      ++listed;
    }
  }
  if (unselectable > 0)
    Tell("left out: " + std::to_string(unselectable) + (unselectable == 1 ? " sound" : " sounds") + " of " +
         shownDevice + " in banks selected by System Exclusive or Program Change messages a strip cannot send");
  if (listed > 0) return 0;
  const std::string where = channel ? " on channel " + std::to_string(channel) : "";
  Tell(typed.empty() ? shownDevice + " has no sound" + where + " that a strip can select"
                     : "no sound of " + shownDevice + where + " matches \"" + names::PrintableText(typed) + "\"");
  return kExitNothingFound;
}

}  // namespace vantorine::bank
