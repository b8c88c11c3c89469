// The SysEx init's choices, its hex text and the custom list kept while the user steps.
#include "editor/SysexChoice.h"

#include <cctype>
#include <cstdio>

#include "midi/SysexMessages.h"

namespace vantorine::editor {

const char* const kSysexChoiceNames[kSysexChoiceCount] = {"none", "GM", "GM2", "GS", "XG", "Custom"};

int ChoiceOfList(const std::vector<uint8_t>& list) {
  if (list.empty()) return kSysexNone;
  const std::vector<midi::NamedSysex>& named = midi::NamedSysexMessages();
  for (size_t i = 0; i < named.size(); ++i)
    if (named[i].bytes == list) return kSysexGm + static_cast<int>(i);
  return kSysexCustom;
}

std::string SysexListText(const std::vector<uint8_t>& list) {
  std::string text;
  midi::ForEachSysex(list.data(), list.size(), [&](const uint8_t* message, size_t size) {
    if (!text.empty()) text += '\n';
    for (size_t i = 0; i < size; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof(hex), i == 0 ? "%02X" : " %02X", message[i]);
      text += hex;
    }
  });
  return text;
}

const char* ParseSysexListText(const std::string& text, std::vector<uint8_t>& list) {
  std::vector<uint8_t> bytes;
  for (size_t at = 0; at < text.size();) {
    if (std::isspace(static_cast<unsigned char>(text[at]))) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end]))) ++end;
    const bool separated = end == text.size() || std::isspace(static_cast<unsigned char>(text[end]));
    if (end - at != 2 || !separated) return "Not hex bytes (F0 7E ... F7)";
    bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16)));
    at = end;
  }
  if (bytes.size() > midi::kMaxSysexListBytes) return "More than 64 KiB";
  if (!midi::IsSysexList(bytes.data(), bytes.size())) return "Not whole SysEx (F0 ... F7)";
  list = bytes;
  return nullptr;
}

void SysexChoiceMemory::Follow(int currentPreset, const std::vector<uint8_t>& list) {
  if (currentPreset == preset && list == shown) return;
  preset = currentPreset;
  shown = list;
  custom = ChoiceOfList(list) == kSysexCustom ? list : std::vector<uint8_t>{};
}

const std::vector<uint8_t>& SysexChoiceMemory::Choose(int choice) {
  if (choice == kSysexCustom) {
    shown = custom;
  } else if (choice > kSysexNone && choice < kSysexCustom) {
    shown = midi::NamedSysexMessages()[static_cast<size_t>(choice - kSysexGm)].bytes;
  } else {
    shown.clear();
  }
  return shown;
}

void SysexChoiceMemory::Typed(const std::vector<uint8_t>& list) {
  shown = list;
  if (ChoiceOfList(list) == kSysexCustom) custom = list;
}

}  // namespace vantorine::editor
