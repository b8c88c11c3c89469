#include "names/ChooserLists.h"

#include <algorithm>
#include <map>

#include "names/NameText.h"
#include "names/ShownNames.h"
#include "preset/PresetLimits.h"

namespace vantorine::names {

namespace {

constexpr const char* kModelIndent = "   ";

bool BeforeIgnoringCase(const std::string& a, const std::string& b) {
  return Lowered(a) < Lowered(b);
}

std::string ByteText(const std::optional<uint8_t>& byte) {
  return byte ? std::to_string(*byte) : std::string("-");
}

}  // namespace

std::vector<DeviceLine> DeviceLines(const std::vector<ModelInfo>& models, std::string_view typed) {
  const WordFilter filter(typed);
  std::vector<DeviceLine> lines;
  std::map<std::string, std::vector<const ModelInfo*>> byMaker;
  for (const ModelInfo& model : models) {
    if (!IsStorableDeviceName(model.name) || !filter.Matches(model.manufacturer + " " + model.name)) continue;
    if (model.name == kGeneralMidi)
      lines.push_back({model.name, model.name});
    else
      byMaker[Lowered(model.manufacturer)].push_back(&model);
  }
  for (auto& [maker, group] : byMaker) {
    std::stable_sort(group.begin(), group.end(), [](const ModelInfo* a, const ModelInfo* b) {
      return BeforeIgnoringCase(a->name, b->name);
    });
    lines.push_back({ShownName(group.front()->manufacturer), {}});
    for (const ModelInfo* model : group)
      lines.push_back({kModelIndent + ShownName(model->name), model->name});
  }
  return lines;
}

SoundChoices::SoundChoices(std::vector<Sound> given) : sounds(std::move(given)) {
  folded.reserve(sounds.size());
  for (const Sound& sound : sounds) folded.push_back(Folded(sound.name + " " + sound.bank));
}

std::vector<size_t> SoundChoices::Find(std::string_view typed) const {
  const WordFilter filter(typed);
  std::vector<size_t> found;
  for (size_t i = 0; i < sounds.size(); ++i)
    if (filter.MatchesFolded(folded[i])) found.push_back(i);
  return found;
}

std::vector<std::string> SoundCells(const Sound& sound) {
  return {ShownName(sound.bank),
          ByteText(sound.bankSelect.msb) + "/" + ByteText(sound.bankSelect.lsb),
          std::to_string(sound.program), ShownName(sound.name)};
}

}  // namespace vantorine::names
