// XML from files we did not write. MIDNAM files come from packages, downloads and forum posts and are read
// inside a DAW's process, so each one is hostile input: its size is checked before a byte is read, nothing
// is ever fetched (no network, no DTD, no external entity), a document that declares any entity or
// attribute list is refused outright (entity expansion and attribute defaults are how a few hundred bytes
// become gigabytes), and elements may nest, hold attributes and add up only as far as names/Limits.h lets
// them. libxml2 does the parsing; only its per-document settings are touched, because the host may use
// libxml2 itself.
#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <memory>
#include <string>

#include "names/Limits.h"

namespace vantorine::names {

// The whole of a regular file of at most kMaxXmlFileBytes, or false and why not.
bool ReadXmlFileBytes(const std::string& path, std::string& bytes, std::string& why);

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlDocFree>;

// The tree of a well-formed document, or null and why (the first error, with its line).
XmlDocument ParseXmlTree(const std::string& bytes, std::string& why);

// What a reader that needs no tree is handed as the parser goes. Depth 1 is the root element.
class XmlEvents {
 public:
  virtual ~XmlEvents() = default;
  virtual void startElement(const char* name, int depth) = 0;
  virtual void endElement(int depth) = 0;
  // Character data of the current element, possibly in several pieces.
  virtual void text(const char* characters, int length) = 0;
};

// Hands `events` the document's elements; false and why if it is not well-formed or was refused (events
// may have been handed part of it by then).
bool ParseXmlEvents(const std::string& bytes, XmlEvents& events, std::string& why);

}  // namespace vantorine::names
