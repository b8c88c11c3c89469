// What a message about a mistake in a bank's text suggests writing instead: the name that comes closest to
// a misspelt one, and a value without the quotes that made it text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorine::bank {

// "; did you mean sound?" for the known name closest to `wanted` (see names::ClosestNames), with `quote`
// around it; empty when none is close.
std::string DidYouMean(const std::string& wanted, const std::vector<std::string>& known,
                       const char* quote = "");

// For `text`, a value in quotes, ": the quotes make it text; write KEY = VALUE" when without them it is a
// number from `low` to `high`, or true or false when `boolean`; else empty.
std::string QuotesHint(const std::string& key, const std::string& text, int64_t low, int64_t high,
                       bool boolean = false);

}  // namespace vantorine::bank
