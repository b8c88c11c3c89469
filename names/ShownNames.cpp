// Printable, short names for lines, comments and tooltips.
#include "names/ShownNames.h"

#include <optional>

namespace vantorine::names {

namespace {

// The length of the well-formed UTF-8 character at text[at] and its code point, or 0 when the bytes there
// are not one (a stray continuation byte, a cut or overlong sequence, a surrogate, past U+10FFFF).
size_t CharacterAt(std::string_view text, size_t at, char32_t& code) {
  const auto byte = [&](size_t n) { return static_cast<unsigned char>(text[at + n]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  if (length == 0 || at + length > text.size()) return 0;
  code = lead & (0x7F >> length);
  for (size_t n = 1; n < length; ++n) {
    if ((byte(n) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(n) & 0x3F);
  }
  const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    char32_t code = 0;
    const size_t length = CharacterAt(text, at, code);
    // C0 and C1 controls and DEL move a terminal's cursor or start its escape sequences (U+009B is CSI),
    // and bytes that are not UTF-8 may be taken for them.
    if (length == 0 || code < 0x20 || (code >= 0x7F && code <= 0x9F))
      shown += '?';
    else
      shown.append(text, at, length);
    at += length == 0 ? 1 : length;
  }
  return shown;
}

std::string ShownName(const std::string& name, size_t most) {
  std::string shown = PrintableText(name);
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
