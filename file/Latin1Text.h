// The toolkit's text is Latin-1: what key presses give and what its fonts draw. Text from elsewhere is
// UTF-8 (other clients' clipboards, the names in device files), so it is re-encoded on the way in and out,
// and accented characters stay the same characters.
#pragma once

#include <cstddef>
#include <string>

namespace tovo::file {

std::string Latin1ToUtf8(const char* text, size_t length);
// Characters beyond Latin-1 and each broken sequence become '?'.
std::string Utf8ToLatin1(const std::string& text);

}  // namespace tovo::file
