// A scan of TOML's brackets, braces, dots and quotes: strings and comments are skipped, dots count only
// in keys (a value's dots belong to numbers and dates), and each list or inline table opens a level below
// the key or list that holds it.
#include "bank/TomlNesting.h"

#include <vector>

namespace vantorine::bank {

namespace {

// The index just past the string that starts at `at` ("...", '...', """...""" or '''...'''); newlines in
// it are added to `line`. A one-line string left open ends at its line's end, as a parser's error would.
size_t SkipString(const std::string& text, size_t at, size_t& line) {
  const char quote = text[at];
  const std::string triple(3, quote);
  const bool multiLine = text.compare(at, 3, triple) == 0;
  size_t i = at + (multiLine ? 3 : 1);
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\' && quote == '"') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++line;
      i += 2;
      continue;
    }
    if (c == '\n') {
      if (!multiLine) return i;
      ++line;
    } else if (c == quote) {
      if (!multiLine) return i + 1;
      if (text.compare(i, 3, triple) == 0) {
        i += 3;
        // A closing run of four or five quotes ends the text with one or two of them.
        for (int extra = 0; extra < 2 && i < text.size() && text[i] == quote; ++extra) ++i;
        return i;
      }
    }
    ++i;
  }
  return i;
}

}  // namespace

size_t LineNestedTooDeep(const std::string& text, size_t most) {
  struct Open {
    bool inlineTable;  // else a list
    size_t level;      // the level of the list or table itself
  };
  std::vector<Open> open;
  size_t line = 1;
  size_t tableLevel = 0;  // the level of the table the last header opened
  bool inKey = true;      // a key or a header is being read, not a value
  bool inHeader = false;
  size_t keyLevel = 1;    // the level of the key being read, one more for each dot
  size_t valueLevel = 0;  // the level of the value after the last '='

  auto startKey = [&] {
    inKey = true;
    keyLevel = (open.empty() ? tableLevel : open.back().level) + 1;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = SkipString(text, i, line) - 1;
    } else if (c == '#') {
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
    } else if (c == '\n') {
      ++line;
      if (open.empty()) {
        inHeader = false;
        startKey();
      }
    } else if (inKey && (c == '.' || c == '=')) {
      if (c == '.') {
        ++keyLevel;
      } else {
        inKey = false;
        valueLevel = keyLevel;
      }
      if (keyLevel > most) return line;
    } else if (c == '[' && inKey && open.empty() && !inHeader) {
      // A table header, [name] or [[name]]: an element of a list of tables is one level further down.
      inHeader = true;
      const bool listOfTables = i + 1 < text.size() && text[i + 1] == '[';
      if (listOfTables) ++i;
      keyLevel = listOfTables ? 2 : 1;
    } else if (c == ']' && inHeader) {
      inHeader = false;
      inKey = false;
      tableLevel = keyLevel;
      if (tableLevel > most) return line;
    } else if ((c == '[' || c == '{') && !inKey) {
      const bool inList = !open.empty() && !open.back().inlineTable;
      const size_t level = inList ? open.back().level + 1 : valueLevel;
      if (level > most) return line;
      open.push_back({c == '{', level});
      if (c == '{') startKey();
    } else if ((c == ']' || c == '}') && !open.empty()) {
      open.pop_back();
      inKey = false;
    } else if (c == ',' && !open.empty() && open.back().inlineTable) {
      startKey();
    }
  }
  return 0;
}

}  // namespace vantorine::bank
