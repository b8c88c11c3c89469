// Comparing and tidying the names in MIDNAM files and the names people type for them. Case is ignored for
// ASCII letters only: other UTF-8 bytes compare as they are, which is exact if not generous.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorine::names {

// The text with every run of whitespace made one space, and none at either end: files indent and wrap.
std::string Collapsed(std::string_view text);

bool EqualIgnoringCase(std::string_view a, std::string_view b);
// The text with ASCII letters in lower case: a key that two texts EqualIgnoringCase share.
std::string Lowered(std::string_view text);
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// Up to `count` of `names` that come closest to `wanted`: those containing it (shortest first), then those
// at most a third of its length of single-letter edits away (fewest first), each once, ties in the given
// order. Names neither contain nor are near are left out, so an empty result means nothing is close.
std::vector<std::string> ClosestNames(std::string_view wanted, const std::vector<std::string>& names,
                                      size_t count);

}  // namespace vantorine::names
