// .syx files: System Exclusive messages as a module or an editor dumps them, F0 ... F7 back to back with
// nothing between. The bank's text and the panel's SysEx dialog read them through this one reader, so that
// both take the same files and refuse a bad one in the same words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantorine::midi {

// Whether a SysEx list item or a typed text names a .syx file: it ends in ".syx", in any case.
bool NamesSyxFile(const std::string& text);

// The file a .syx name stands for: a name that starts with ~/ is in the home folder, one that starts with /
// is whole, any other is in `folder` ("" for the current one); nothing for such a name without a folder.
std::optional<std::string> SyxFilePath(const std::string& name, const std::optional<std::string>& folder);

// Reads the messages of the .syx file at `path`, at most `most` bytes of them, into `messages`; returns
// empty, or why not in one line that starts with `name` in quotes (the file as the user named it): a file
// that cannot be read, is empty, holds more than `most` bytes (told before it is read), or is not whole
// messages (told with the offset of the first byte that is wrong).
std::string ReadSyxFile(const std::string& path, const std::string& name, size_t most,
                        std::vector<uint8_t>& messages);

}  // namespace vantorine::midi
