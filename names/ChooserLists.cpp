#include "names/ChooserLists.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "names/NameText.h"
#include "names/ShownNames.h"
#include "preset/PresetLimits.h"

namespace vantorine::names {

namespace {

constexpr const char* kModelIndent = "   ";

std::string ByteText(const std::optional<uint8_t>& byte) {
  return byte ? std::to_string(*byte) : std::string("-");
}

}  // namespace

std::vector<const ModelInfo*> ModelsFound(const std::vector<ModelInfo>& models, std::string_view typed) {
  const WordFilter filter(typed);
  std::vector<const ModelInfo*> found;
  for (const ModelInfo& model : models)
    if (IsStorableDeviceName(model.name) && filter.Matches(model.manufacturer + " " + model.name))
      found.push_back(&model);
  std::stable_sort(found.begin(), found.end(), [](const ModelInfo* a, const ModelInfo* b) {
    const bool aFirst = a->name == kGeneralMidi, bFirst = b->name == kGeneralMidi;
    if (aFirst != bFirst) return aFirst;
    return std::make_pair(Lowered(a->manufacturer), Lowered(a->name)) <
           std::make_pair(Lowered(b->manufacturer), Lowered(b->name));
  });
  return found;
}

std::vector<DeviceLine> DeviceLines(const std::vector<ModelInfo>& models, std::string_view typed) {
  std::vector<DeviceLine> lines;
  std::optional<std::string> maker;  // of the last heading
  for (const ModelInfo* model : ModelsFound(models, typed)) {
    if (model->name == kGeneralMidi) {
      lines.push_back({model->name, model->name});
      continue;
    }
    if (maker != Lowered(model->manufacturer)) {
      maker = Lowered(model->manufacturer);
      lines.push_back({ShownName(model->manufacturer), {}});
    }
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
