// Sound names for strips through the shared catalog, and the wording of what a name cannot select.
#include "bank/StripSoundLookup.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>

#include "names/MidnamFolders.h"
#include "names/NameText.h"
#include "names/ShownNames.h"
#include "preset/StoredValue.h"

namespace vantorine::bank {

namespace {

// The banks a message about an ambiguous sound names; a device may have thousands.
constexpr size_t kBanksTold = 5;
// The names a message about a name that is not here suggests.
constexpr size_t kClosestTold = 5;

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

std::string QuotedList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + Quoted(name);
  return list;
}

// The matches a strip can select, each way of selecting once: banks of the same numbers under other names
// select the same sound, so one way to select it is no choice.
std::vector<names::Sound> Selectable(const std::vector<names::Sound>& matches) {
  std::vector<names::Sound> selectable;
  std::set<std::tuple<uint8_t, std::optional<uint8_t>, std::optional<uint8_t>>> numbers;
  for (const names::Sound& sound : matches)
    if (!sound.bankNeedsOtherMessages &&
        numbers.emplace(sound.program, sound.bankSelect.msb, sound.bankSelect.lsb).second)
      selectable.push_back(sound);
  return selectable;
}

// The matches in the bank called `bank`, compared as a filter folds names.
std::vector<names::Sound> InBank(const std::vector<names::Sound>& matches, const std::string& bank) {
  std::vector<names::Sound> inBank;
  for (const names::Sound& sound : matches)
    if (names::Folded(sound.bank) == names::Folded(bank)) inBank.push_back(sound);
  return inBank;
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

std::string DeviceFolders() {
  const std::vector<std::string> folders = names::DefaultMidnamFolders();
  if (folders.empty()) return "no folder of MIDNAM files was found (see VANTORINE_MIDNAM_PATH)";
  std::string list;
  for (const std::string& folder : folders) list += (list.empty() ? "" : ", ") + names::PrintableText(folder);
  return "MIDNAM files in " + list + " (see VANTORINE_MIDNAM_PATH)";
}

std::string NotInstalled(const std::string& device, bool& close) {
  const std::vector<std::string> closest = names::NameCatalog::shared().closestModels(device, kClosestTold);
  close = !closest.empty();
  const std::string message = "device " + Quoted(device) + " is not installed here";
  if (close) return message + "; closest: " + QuotedList(closest);
  return message + "; devices come from " + DeviceFolders();
}

std::string SoundOfStrip(const std::string& device, const VSTPluginStrip& strip) {
  const std::optional<uint8_t> program = StripProgram(strip);
  if (device.empty() || !program) return {};
  const std::string shown = names::ShownSoundName(device, strip.channel, *program, StripBankSelect(strip));
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  const std::optional<names::SelectedSound> selected =
      catalog.soundAt(device, strip.channel, *program, StripBankSelect(strip));
  if (!selected || selected->bankGuessed || selected->sound.bankNeedsOtherMessages) return shown;
  const names::SoundSearch same = catalog.findSound(device, selected->sound.name, strip.channel);
  if (Selectable(same.matches).size() < 2) return shown;
  return shown + " (bank " + names::ShownName(selected->sound.bank) + ")";
}

std::string SelectSound(const std::string& device, const std::string& name, const std::string& bank,
                        VSTPluginStrip& strip) {
  const names::NameCatalog& catalog = names::NameCatalog::shared();
  if (!catalog.findModel(device)) {
    bool close = false;
    const std::string why = "sound " + Quoted(name) + ": " + NotInstalled(device, close);
    return close ? why : why + "; give program, bank_msb and bank_lsb instead";
  }
  const int channel = strip.channel;  // 0, a silent strip's: every channel's names
  const names::SoundSearch search = catalog.findSound(device, name, channel);
  const std::string where = device + (channel ? " on channel " + std::to_string(channel) : "");
  if (search.matches.empty()) {
    std::string message = "no sound " + Quoted(name) + " in " + where;
    if (!search.closest.empty()) message += "; closest: " + QuotedList(search.closest);
    return message;
  }
  const std::vector<names::Sound> matches = bank.empty() ? search.matches : InBank(search.matches, bank);
  if (matches.empty()) {
    std::vector<std::string> banks;
    for (const names::Sound& sound : search.matches)
      if (banks.size() < kBanksTold && std::find(banks.begin(), banks.end(), sound.bank) == banks.end())
        banks.push_back(sound.bank);
    return "sound " + Quoted(name) + " of " + where + " is in no bank " + Quoted(bank) + "; it is in " +
           QuotedList(banks);
  }
  const std::vector<names::Sound> selectable = Selectable(matches);
  if (selectable.empty())
    return "sound " + Quoted(name) + " of " + device + " is in bank " + Quoted(matches[0].bank) +
           ", which the module selects with System Exclusive or Program Change messages a strip cannot send";
  if (selectable.size() > 1) {
    std::string message =
        "sound " + Quoted(name) + " is in " + std::to_string(selectable.size()) + " banks of " + where + ": ";
    const size_t told = std::min(selectable.size(), kBanksTold);
    for (size_t n = 0; n < told; ++n)
      message += (n ? ", " : "") + Quoted(selectable[n].bank) + " (" + Selection(selectable[n]) + ")";
    if (told < selectable.size()) message += " and " + std::to_string(selectable.size() - told) + " more";
    if (bank.empty()) message += "; say which with bank = " + Quoted(selectable[0].bank) + ", or";
    return message + (bank.empty() ? " give" : "; give") + " program, bank_msb and bank_lsb instead of sound";
  }
  const names::Sound& sound = selectable[0];
  strip.program = preset::StoredValue(sound.program);
  strip.bankMsb = preset::StoredValue(sound.bankSelect.msb);
  strip.bankLsb = preset::StoredValue(sound.bankSelect.lsb);
  return {};
}

}  // namespace vantorine::bank
