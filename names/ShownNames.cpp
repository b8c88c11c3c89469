// Printable, short names for lines, comments and tooltips.
#include "names/ShownNames.h"

#include <optional>

namespace vantorine::names {

std::string ShownName(const std::string& name, size_t most) {
  std::string shown;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool c1 =
        c == 0xC2 && i + 1 < name.size() && (static_cast<unsigned char>(name[i + 1]) & 0xE0) == 0x80;
    if (c < 0x20 || c == 0x7F || c1) {
      shown += '?';
      i += c1 ? 1 : 0;
    } else {
      shown += name[i];
    }
  }
  if (shown.size() <= most) return shown;
  size_t cut = most - 3;
  while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
  return shown.substr(0, cut) + "...";
}

std::string ShownSoundName(const std::string& device, int channel, int program, BankSelect bank) {
  const std::optional<SelectedSound> found = NameCatalog::shared().soundAt(device, channel, program, bank);
  if (!found) return {};
  // The bank's name is cut shorter: with the sound's it makes one line, and one comment in to-text.
  std::string name = ShownName(found->sound.name);
  if (found->bankGuessed || found->sound.bankNeedsOtherMessages)
    name += " (bank " + ShownName(found->sound.bank, kShownNameBytes / 2) + " assumed)";
  return name;
}

}  // namespace vantorine::names
