// The parser describes what it expected; a user needs to know what to write. Each of its descriptions is
// recognised by a phrase of toml++'s messages, the most particular first, and anything else gets the
// general advice.
#include "bank/TomlSyntax.h"

#include <cctype>
#include <cstring>
#include <utility>

namespace vantorine::bank {

namespace {

// The number that ends just before column `column` (in characters, from 1) of line `line`, as the text
// writes it; empty when there is none.
std::string NumberEndingAt(const std::string& text, size_t line, size_t column) {
  size_t at = 0;
  for (size_t n = 1; n < line && at < text.size(); ++at)
    if (text[at] == '\n') ++n;
  for (size_t c = 1; c < column && at < text.size(); ++c) {
    ++at;  // past one character: its first byte and any UTF-8 continuation bytes
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  size_t begin = at;
  auto partOfNumber = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_+-.", c);
  };
  while (begin > 0 && partOfNumber(text[begin - 1])) --begin;
  return text.substr(begin, at - begin);
}

const std::pair<const char*, const char*> kAdvice[] = {
    {"unknown escape sequence",
     "a backslash in text starts an escape such as \\\" or \\\\; write \\\\ for a backslash itself"},
    {" string:", "text must end with the quote it starts with, on the same line"},
    {"array-of-tables", "[x] and [[x]] name different things: presets and strips are [[preset]] and "
                        "[[preset.strip]], options are [options]"},
    {"cannot redefine existing table", "this table is given twice; [options] comes once, and each preset "
                                       "and strip starts with [[preset]] or [[preset.strip]]"},
    {"cannot redefine", "this key is given twice in the same table; keep one"},
    {"table header", "a table header is a name in brackets on a line of its own: [options], [[preset]], "
                     "[[preset.strip]]"},
    {"bare key", "a name is missing here: keys and table names are words of letters, digits, _ and -, as "
                 "in [[preset]] or volume = 100"},
    {"expected '='", "a key is one word (letters, digits, _ and -) followed by = and its value, as in "
                     "volume = 100"},
    {"expected value", "the value is missing after =: a number, true or false, \"text\" in quotes or a list"},
    {"could not determine value type", "this value is not a number, true or false, a list nor text; text "
                                       "needs quotes, as in name = \"Piano\""},
    {"expected a comment or whitespace", "only a comment (# ...) may follow a value on its line; give each "
                                         "key = value a line of its own"},
    {"leading zero", "numbers are written without leading zeros: 8, not 08"},
    {"parsing boolean", "true and false are written in lower case, without quotes"},
    {"floating-point", "values here are whole numbers, without a decimal point or exponent"},
    {"inline table", "an inline table is { key = value, key = value } on one line"},
    {"parsing array", "a list is [item, item, ...], its items separated by commas and closed with ]"},
    {"root table", "each line is key = value, a [table] header or a # comment"},
};

}  // namespace

std::string SyntaxMessage(const toml::parse_error& error, const std::string& text) {
  const std::string description(error.description());
  // A number beyond 64 bits is named with its sign and digit separators, as the file writes it.
  if (description.find("is not representable in 64 bits") != std::string::npos) {
    const std::string number = NumberEndingAt(text, error.source().begin.line, error.source().begin.column);
    if (!number.empty()) return "integer " + number + " is beyond the 64-bit range of TOML integers";
  }
  for (const auto& [phrase, advice] : kAdvice)
    if (description.find(phrase) != std::string::npos) return "not valid TOML: " + std::string(advice);
  return "not valid TOML: check the quotes around text, the = after each key and the brackets of tables "
         "and lists";
}

}  // namespace vantorine::bank
