// What the SysEx dialog shows of a preset's list and what a text confirmed in it stands for. A list shows
// as hex while that fits the box; a longer one (lists reach tens of kilobytes, which no box line could show
// or edit) shows as one line that says how big it is and how its messages begin, and that line confirmed
// as it is keeps the list. A text whose first line is a path (it ends in .syx, or starts with / or ~) is
// the .syx file there, read as the bank's text reads one (see midi/SyxFile.h), refused in the same words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorine::editor {

// What the dialog's box shows as hex: this many bytes to a line, each message from a line of its own, in
// at most this many lines.
constexpr size_t kBoxHexBytesPerLine = 24;
constexpr size_t kBoxLines = 10;

// "3 messages, 2059 bytes"; "1 message, 11 bytes"; "no messages".
std::string SysexListSize(const std::vector<uint8_t>& list);

// The box's text for the list: its hex lines, or the line that stands for a list too long for them.
std::string SysexBoxText(const std::vector<uint8_t>& list);

// A confirmed text: the list it stands for and where that came from, or why it stands for none.
struct SysexEntry {
  enum class Source { Kept, Hex, File };
  Source source = Source::Kept;
  std::vector<uint8_t> list;
  std::string refusal;
};

// What `text` stands for in a dialog that showed SysexBoxText(stored), for a list that has room for at
// most `room` bytes (less than a list holds when the bank's other lists leave less).
SysexEntry ReadSysexEntry(const std::string& text, const std::vector<uint8_t>& stored, size_t room);

}  // namespace vantorine::editor
