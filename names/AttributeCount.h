// A look at a document's markup before libxml2 parses it: libxml2 checks each attribute of an element
// against all those before it, and its tree appends each to the end of the element's list, so an element
// with a hundred thousand attributes costs minutes before a SAX handler could see its count.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantorine::names {

// Whether some element of `text` may have more than `most` attributes. Never false when one has: an
// element's start tag holds no '<' (not even in a value), so it lies between one '<' and the next, and
// each attribute in it is an '=' followed by a quote. Text or a comment with many `="` may count high.
bool MayHaveMoreAttributes(std::string_view text, size_t most);

}  // namespace vantorine::names
