// How deep a TOML text nests, found without parsing it. A TOML library builds its tree, and frees it, by
// recursion, so text nested far deeper than any bank (a long dotted key, thousands of brackets) must be
// refused before a library sees it.
#pragma once

#include <cstddef>
#include <string>

namespace vantorine::bank {

// The line (from 1) where `text` first nests more than `most` levels, or 0 when it never does. Table
// headers, dotted keys, lists and inline tables count together, as the levels of the tree a parser would
// build. Valid TOML within the limit is never refused; text that is not TOML may be counted loosely.
size_t LineNestedTooDeep(const std::string& text, size_t most);

}  // namespace vantorine::bank
