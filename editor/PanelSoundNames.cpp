// The device a typed text chooses and the sound a strip's dials select, as the panel tells them.
#include "editor/PanelSoundNames.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "names/DeviceNames.h"
#include "names/ShownNames.h"
#include "preset/PresetLimits.h"
#include "preset/StoredValue.h"

namespace vantorine::editor {

namespace {

constexpr size_t kNamesInRefusal = 3;
constexpr const char* kNoSound = "(none)";

DeviceChoice Chosen(const names::ModelInfo& model) {
  if (IsStorableDeviceName(model.name)) return {model.name, {}};
  return {{}, "That device's name cannot be stored"};
}

}  // namespace

DeviceChoice ChooseDevice(std::string_view typed) {
  if (typed.empty()) return {};
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  if (const std::optional<names::ModelInfo> exact = catalog.findModel(typed)) return Chosen(*exact);
  const std::vector<names::ModelInfo> found = catalog.models(typed);
  if (found.size() == 1) return Chosen(found.front());
  if (found.empty()) return {{}, "No device matches"};
  std::string refusal = std::to_string(found.size()) + " devices match: ";
  for (size_t i = 0; i < kNamesInRefusal && i < found.size(); ++i)
    refusal.append(i ? ", " : "").append(names::ShownName(found[i].name));
  if (found.size() > kNamesInRefusal) refusal.append("...");
  return {{}, refusal};
}

StripSound DescribeSound(std::string_view device, const StripSelection& values) {
  char program[16] = "not sent";
  if (values.program > 0) std::snprintf(program, sizeof(program), "%03d", values.program - 1);
  const std::string numbers = std::string("Sound:\nProgram ") + program + "\n";
  if (device.empty()) return {{}, {}, numbers + "(no device:\nShift-click the label)"};
  const std::string named(device);
  const std::optional<names::ModelInfo> model = names::NameCatalog::shared().findModel(device);
  if (!model) return {"(not installed)", named, numbers + "(" + named + "\nnot installed)"};
  const std::string brief = model->name == names::kGeneralMidi ? "GM" : names::ShownName(model->name);
  if (values.channel <= 0 || values.program <= 0) return {kNoSound, brief, numbers + "(" + named + ")"};
  const std::string sound =
      names::ShownSoundName(named, values.channel, values.program - 1,
                            {preset::SentValue(values.bankMsb), preset::SentValue(values.bankLsb)});
  if (sound.empty()) return {kNoSound, brief, numbers + "(" + named + ":\nno such sound)"};
  return {sound, brief, "Sound:\n" + sound + "\n(" + named + ")"};
}

}  // namespace vantorine::editor
