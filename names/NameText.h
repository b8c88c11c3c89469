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

// The text as a name filter compares it: ASCII letters in lower case, digits and every other UTF-8 byte
// kept, ASCII spaces and punctuation left out ("Roland JV-1080" is "rolandjv1080").
std::string Folded(std::string_view text);

// What a user types to find a name: words, each of which must be part of the name, in any order, with
// case, spaces and punctuation ignored, so "jv1080", "JV 1080" and "roland jv" all find "Roland JV-1080"
// and "warm str" finds "Warm Strings". An empty filter keeps every name.
class WordFilter {
 public:
  explicit WordFilter(std::string_view typed);
  // `folded` is a name as Folded gives it.
  bool MatchesFolded(std::string_view folded) const;
  bool Matches(std::string_view name) const { return MatchesFolded(Folded(name)); }
  bool Empty() const { return words.empty(); }

 private:
  std::vector<std::string> words;
};

// Up to `count` of `names` that come closest to `wanted`: those containing it (shortest first), then those
// at most a third of its length of single-letter edits away (fewest first), each once, ties in the given
// order. Names neither contain nor are near are left out, so an empty result means nothing is close.
std::vector<std::string> ClosestNames(std::string_view wanted, const std::vector<std::string>& names,
                                      size_t count);

}  // namespace vantorine::names
