#include "names/AttributeCount.h"

namespace vantorine::names {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

bool MayHaveMoreAttributes(std::string_view text, size_t most) {
  size_t attributes = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '<') {
      attributes = 0;
    } else if (text[at] == '=') {
      size_t next = at + 1;
      while (next < text.size() && IsSpace(text[next])) ++next;
      if (next < text.size() && (text[next] == '"' || text[next] == '\'') && ++attributes > most) return true;
    }
  }
  return false;
}

}  // namespace vantorine::names
