// The SysEx dialog's texts: hex lines, the line that stands for a long list, and reading what was typed.
#include "editor/SysexEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "midi/SysexMessages.h"
#include "midi/SyxFile.h"

namespace vantorine::editor {

namespace {

// How much of each message the line of a long list shows: its first bytes, then its end.
constexpr size_t kBytesShownOfEach = 4;
// The line stays within the box's width.
constexpr size_t kLongListLineLength = 80;

std::string Hex(const uint8_t* bytes, size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof(hex), i == 0 ? "%02X" : " %02X", bytes[i]);
    text += hex;
  }
  return text;
}

size_t MessageCount(const std::vector<uint8_t>& list) {
  size_t count = 0;
  midi::ForEachSysex(list.data(), list.size(), [&](const uint8_t*, size_t) { ++count; });
  return count;
}

// Each message from a line of its own, in lines of kBoxHexBytesPerLine bytes.
std::vector<std::string> HexLines(const std::vector<uint8_t>& list) {
  std::vector<std::string> lines;
  midi::ForEachSysex(list.data(), list.size(), [&](const uint8_t* message, size_t size) {
    for (size_t at = 0; at < size; at += kBoxHexBytesPerLine)
      lines.push_back(Hex(message + at, std::min(kBoxHexBytesPerLine, size - at)));
  });
  return lines;
}

// "3 messages, 2059 bytes: GS Reset, F0 41 10 6A ... F7, F0 43 10 4C ... F7, ..."
std::string LongListLine(const std::vector<uint8_t>& list) {
  std::string line = SysexListSize(list) + ":";
  bool cut = false;
  midi::ForEachSysex(list.data(), list.size(), [&](const uint8_t* message, size_t size) {
    if (cut) return;
    const char* name = midi::SysexName(message, size);
    const std::string shown =
        name ? name
             : Hex(message, std::min(size, kBytesShownOfEach)) + (size > kBytesShownOfEach ? " ... F7" : "");
    if (line.size() + shown.size() + 2 > kLongListLineLength) {
      line += " ...";
      cut = true;
      return;
    }
    line += (line.back() == ':' ? " " : ", ") + shown;
  });
  return line;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsPath(const std::string& line) {
  return midi::NamesSyxFile(line) || line[0] == '/' || line[0] == '~';
}

// The list in hex bytes separated by spaces or line breaks: whole SysEx messages, at most `room` bytes.
std::string ParseHex(const std::string& text, size_t room, std::vector<uint8_t>& list) {
  std::vector<uint8_t> bytes;
  for (size_t at = 0; at < text.size();) {
    if (std::isspace(static_cast<unsigned char>(text[at]))) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end]))) ++end;
    const bool separated = end == text.size() || std::isspace(static_cast<unsigned char>(text[end]));
    if (end - at != 2 || !separated) return "Not hex bytes (F0 7E ... F7), nor a .syx file's path";
    bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16)));
    at = end;
  }
  if (bytes.size() > room)
    return std::to_string(bytes.size()) + " bytes, more than the " + std::to_string(room) +
           " the SysEx list has room for";
  if (!midi::IsSysexList(bytes.data(), bytes.size())) return "Not whole SysEx (F0 ... F7)";
  list = bytes;
  return {};
}

}  // namespace

std::string SysexListSize(const std::vector<uint8_t>& list) {
  if (list.empty()) return "no messages";
  const size_t count = MessageCount(list);
  return std::to_string(count) + (count == 1 ? " message, " : " messages, ") + std::to_string(list.size()) +
         (list.size() == 1 ? " byte" : " bytes");
}

std::string SysexBoxText(const std::vector<uint8_t>& list) {
  const std::vector<std::string> lines = HexLines(list);
  if (lines.size() > kBoxLines) return LongListLine(list);
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

SysexEntry ReadSysexEntry(const std::string& text, const std::vector<uint8_t>& stored, size_t room) {
  SysexEntry entry;
  const std::string typed = Trimmed(text);
  if (HexLines(stored).size() > kBoxLines && typed == LongListLine(stored)) {
    entry.list = stored;
    return entry;
  }
  // Typing replaces the selected first line only: a path there stands for the file, whatever the lines
  // after it still hold of the list shown.
  const std::string firstLine = Trimmed(typed.substr(0, typed.find('\n')));
  if (!firstLine.empty() && IsPath(firstLine)) {
    entry.source = SysexEntry::Source::File;
    const std::optional<std::string> path = midi::SyxFilePath(firstLine, std::nullopt);
    entry.refusal = path ? midi::ReadSyxFile(*path, firstLine, room, entry.list)
                         : "\"" + firstLine + "\": give the file's whole path, from / or ~/";
    return entry;
  }
  entry.source = SysexEntry::Source::Hex;
  entry.refusal = ParseHex(typed, room, entry.list);
  return entry;
}

}  // namespace vantorine::editor
