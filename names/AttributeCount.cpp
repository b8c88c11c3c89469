#include "names/AttributeCount.h"

#include <cstring>

namespace vantorine::names {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

bool MayHaveMoreAttributes(std::string_view text, size_t most) {
  // memchr from one '=' to the next: every file is looked at before it is parsed, at startup too.
  const char* const end = text.data() + text.size();
  const char* after = text.data();  // just past the '=' before
  size_t attributes = 0;
  while (const void* found = std::memchr(after, '=', static_cast<size_t>(end - after))) {
    const char* equals = static_cast<const char*>(found);
    if (std::memchr(after, '<', static_cast<size_t>(equals - after))) attributes = 0;  // another tag
    after = equals + 1;
    const char* value = after;
    while (value < end && IsSpace(*value)) ++value;
    if (value < end && (*value == '"' || *value == '\'') && ++attributes > most) return true;
  }
  return false;
}

}  // namespace vantorine::names
