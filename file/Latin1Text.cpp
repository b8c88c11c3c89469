// Latin-1 to UTF-8 and back.
#include "file/Latin1Text.h"

namespace tovo::file {

std::string Latin1ToUtf8(const char* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string Utf8ToLatin1(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    const size_t extra = (lead & 0xE0) == 0xC0   ? 1
                         : (lead & 0xF0) == 0xE0 ? 2
                         : (lead & 0xF8) == 0xF0 ? 3
                                                 : 0;
    bool valid = extra > 0 && i + extra < size;
    unsigned code = lead & (0x3F >> extra);
    for (size_t k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      // A broken sequence costs one character, and the next byte starts afresh.
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    i += extra + 1;
  }
  return out;
}

}  // namespace tovo::file
