// What a text that is not valid TOML gets told: where, and what to write instead, in the words of the
// bank's text form rather than the parser's.
#pragma once

#include <string>

#include "bank/Toml.h"

namespace vantorine::bank {

// The message for the parser's `error` in `text`, without its place (the error's source has that).
std::string SyntaxMessage(const toml::parse_error& error, const std::string& text);

}  // namespace vantorine::bank
