// Sound names for strips through the shared catalog, and the wording of what a name cannot select.
#include "bank/StripSoundLookup.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>

#include "names/ShownNames.h"
#include "preset/StoredValue.h"

namespace vantorine::bank {

namespace {

// The banks a message about an ambiguous sound names; a device may have thousands.
constexpr size_t kBanksTold = 5;

std::string Quoted(const std::string& name) {
  return "\"" + names::ShownName(name) + "\"";
}

// "program 0, bank 81/0": what selects a sound, in the text form's numbers.
std::string Selection(const names::Sound& sound) {
  const auto& [msb, lsb] = sound.bankSelect;
  std::string text = "program " + std::to_string(sound.program) + ", ";
  if (msb && lsb) return text + "bank " + std::to_string(*msb) + "/" + std::to_string(*lsb);
  if (msb) return text + "bank MSB " + std::to_string(*msb);
  if (lsb) return text + "bank LSB " + std::to_string(*lsb);
  return text + "no Bank Select";
}

}  // namespace

std::string StripDevice(const VSTPluginProgramExtension& extension, int slot) {
  return std::string(extension.devices[slot], strnlen(extension.devices[slot], kDeviceNameSize));
}

names::BankSelect StripBankSelect(const VSTPluginStrip& strip) {
  return {preset::SentValue(strip.bankMsb), preset::SentValue(strip.bankLsb)};
}

std::optional<uint8_t> StripProgram(const VSTPluginStrip& strip) {
  return preset::SentValue(strip.program);
}

bool DeviceKnownHere(const std::string& device) {
  return names::NameCatalog::shared().findModel(device).has_value();
}

std::string SoundOfStrip(const std::string& device, const VSTPluginStrip& strip) {
  const std::optional<uint8_t> program = StripProgram(strip);
  if (device.empty() || !program) return {};
  return names::ShownSoundName(device, strip.channel, *program, StripBankSelect(strip));
}

std::string SelectSound(const std::string& device, const std::string& name, VSTPluginStrip& strip) {
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  if (!catalog.findModel(device))
    return "sound " + Quoted(name) + ": no MIDNAM file on this machine defines device \"" + device +
           "\" (see VANTORINE_MIDNAM_PATH); give program, bank_msb and bank_lsb instead";
  const int channel = strip.channel;  // 0, a silent strip's: every channel's names
  const names::SoundSearch search = catalog.findSound(device, name, channel);
  const std::string where = device + (channel ? " on channel " + std::to_string(channel) : "");
  if (search.matches.empty()) {
    std::string message = "no sound " + Quoted(name) + " in " + where;
    for (size_t n = 0; n < search.closest.size(); ++n)
      message += (n ? ", " : "; closest: ") + Quoted(search.closest[n]);
    return message;
  }
  // Banks of the same numbers under other names select the same sound: one way to select it is no choice.
  std::vector<names::Sound> selectable;
  std::set<std::tuple<uint8_t, std::optional<uint8_t>, std::optional<uint8_t>>> numbers;
  for (const names::Sound& sound : search.matches)
    if (!sound.bankNeedsOtherMessages &&
        numbers.emplace(sound.program, sound.bankSelect.msb, sound.bankSelect.lsb).second)
      selectable.push_back(sound);
  if (selectable.empty())
    return "sound " + Quoted(name) + " of " + device + " is in bank " + Quoted(search.matches[0].bank) +
           ", which the module selects with System Exclusive or Program Change messages a strip cannot send";
  if (selectable.size() > 1) {
    std::string message =
        "sound " + Quoted(name) + " is in " + std::to_string(selectable.size()) + " banks of " + where + ": ";
    const size_t told = std::min(selectable.size(), kBanksTold);
    for (size_t n = 0; n < told; ++n)
      message += (n ? ", " : "") + Quoted(selectable[n].bank) + " (" + Selection(selectable[n]) + ")";
    if (told < selectable.size()) message += " and " + std::to_string(selectable.size() - told) + " more";
    return message + "; give program, bank_msb and bank_lsb instead of sound";
  }
  const names::Sound& sound = selectable[0];
  strip.program = preset::StoredValue(sound.program);
  strip.bankMsb = preset::StoredValue(sound.bankSelect.msb);
  strip.bankLsb = preset::StoredValue(sound.bankSelect.lsb);
  return {};
}

}  // namespace vantorine::bank
