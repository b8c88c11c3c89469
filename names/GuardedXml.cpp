// libxml2's parser with our guards in its SAX handler table: the table belongs to one parser context, so
// nothing outside this document's parse changes.
#include "names/GuardedXml.h"

#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "names/AttributeCount.h"
#include "names/ShownNames.h"

namespace vantorine::names {

namespace {

// No XML_PARSE_NOENT (entities stay unexpanded), no XML_PARSE_DTDLOAD (the DOCTYPE's DTD is never read),
// no XML_PARSE_HUGE (libxml2's own size limits stay on). Errors come to RecordError instead of stderr.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
// libxml2's message with the line, short enough for one line of a terminal or two.
constexpr size_t kShownErrorBytes = 120;

struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) close(fd);
  }
};

// What one parse's guards know; the context's _private points at it.
struct Guard {
  XmlEvents* events = nullptr;  // null while a tree is built
  int depth = 0;
  size_t nodes = 0;  // elements, attributes and namespace declarations so far
  std::string refusal;     // why a guard stopped the parser
  std::string firstError;  // libxml2's first fatal error, with its line
};

Guard& GuardOf(void* context) {
  return *static_cast<Guard*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void Refuse(void* context, const char* why) {
  Guard& guard = GuardOf(context);
  if (guard.refusal.empty()) guard.refusal = why;
  xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void StartElement(void* context, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri,
                  int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                  const xmlChar** attributes) {
  Guard& guard = GuardOf(context);
  if (++guard.depth > kMaxXmlDepth) return Refuse(context, "elements nested too deep");
  guard.nodes += 1 + static_cast<size_t>(namespaceCount) + static_cast<size_t>(attributeCount);
  if (guard.nodes > kMaxXmlNodes) {
    const std::string why = "more than " + std::to_string(kMaxXmlNodes) + " elements and attributes";
    return Refuse(context, why.c_str());
  }
  if (guard.events)
    guard.events->startElement(reinterpret_cast<const char*>(name), guard.depth);
  else
    xmlSAX2StartElementNs(context, name, prefix, uri, namespaceCount, namespaces, attributeCount,
                          defaultedCount, attributes);
}

void EndElement(void* context, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri) {
  Guard& guard = GuardOf(context);
  if (guard.events)
    guard.events->endElement(guard.depth);
  else
    xmlSAX2EndElementNs(context, name, prefix, uri);
  --guard.depth;
}

void Text(void* context, const xmlChar* characters, int length) {
  GuardOf(context).events->text(reinterpret_cast<const char*>(characters), length);
}

void EntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
  Refuse(context, "declares an entity");
}

// The parser adds an attribute list's defaults to every element it names, before any handler sees them.
void AttributeDeclaration(void* context, const xmlChar*, const xmlChar*, int, int, const xmlChar*,
                          xmlEnumerationPtr values) {
  xmlFreeEnumeration(values);  // the handler owns them
  Refuse(context, "declares an attribute list");
}

// Whatever asks for an external entity or DTD gets nothing.
xmlParserInputPtr NoExternalInput(void*, const xmlChar*, const xmlChar*) {
  return nullptr;
}

void RecordError(void* context, xmlErrorPtr error) {
  Guard& guard = GuardOf(context);
  if (error->level != XML_ERR_FATAL || !guard.firstError.empty()) return;
  std::string message = error->message ? error->message : "not well-formed";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  for (char& c : message)
    if (c == '\n') c = ' ';
  // The message may quote a name of the file's, up to 50,000 bytes long.
  guard.firstError = "line " + std::to_string(error->line) + ": " + ShownName(message, kShownErrorBytes);
}

struct ContextFree {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using ParserContext = std::unique_ptr<xmlParserCtxt, ContextFree>;

// Parses `bytes` with the guards in place over whatever handlers the context has; the tree, if one was
// built, is handed over in `tree`.
bool GuardedParse(const std::string& bytes, Guard& guard, bool buildTree, XmlDocument& tree,
                  std::string& why) {
  static std::once_flag initialised;
  std::call_once(initialised, xmlInitParser);
  if (bytes.size() > kMaxXmlFileBytes) {
    why = "larger than the size limit";
    return false;
  }
  if (MayHaveMoreAttributes(bytes, kMaxXmlAttributes)) {
    why = "an element has more than " + std::to_string(kMaxXmlAttributes) + " attributes";
    return false;
  }
  ParserContext context(xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
  if (!context) {
    why = bytes.empty() ? "empty" : "out of memory";
    return false;
  }
  xmlSAXHandler* handlers = context->sax;
  if (!buildTree) {
    *handlers = xmlSAXHandler{};
    handlers->initialized = XML_SAX2_MAGIC;
    handlers->characters = Text;
    handlers->cdataBlock = Text;
  }
  handlers->startElementNs = StartElement;
  handlers->endElementNs = EndElement;
  handlers->entityDecl = EntityDeclaration;
  handlers->attributeDecl = AttributeDeclaration;
  handlers->resolveEntity = NoExternalInput;
  handlers->externalSubset = nullptr;
  handlers->serror = RecordError;
  context->_private = &guard;
  xmlCtxtUseOptions(context.get(), kParseOptions);
  xmlParseDocument(context.get());
  tree.reset(context->myDoc);
  context->myDoc = nullptr;
  if (!guard.refusal.empty()) {
    why = guard.refusal;
  } else if (!context->wellFormed) {
    why = guard.firstError.empty() ? "not well-formed XML" : guard.firstError;
  } else if (buildTree && !tree) {
    why = "no document";
  } else {
    return true;
  }
  tree.reset();
  return false;
}

}  // namespace

bool ReadXmlFileBytes(const std::string& path, std::string& bytes, std::string& why) {
  // O_NONBLOCK: a FIFO that someone named *.midnam must not keep the open waiting for a writer.
  const FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
  struct stat info;
  if (file.fd < 0 || fstat(file.fd, &info) != 0) {
    why = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    why = "not a regular file";
    return false;
  }
  if (info.st_size > static_cast<off_t>(kMaxXmlFileBytes)) {
    why = "larger than " + std::to_string(kMaxXmlFileBytes >> 20) + " MiB (" + std::to_string(info.st_size) +
          " bytes)";
    return false;
  }
  // A file growing while it is read is cut at the size it had.
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(file.fd, &bytes[done], bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      why = std::strerror(errno);
      return false;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
  return true;
}

XmlDocument ParseXmlTree(const std::string& bytes, std::string& why) {
  Guard guard;
  XmlDocument tree;
  GuardedParse(bytes, guard, true, tree, why);
  return tree;
}

bool ParseXmlEvents(const std::string& bytes, XmlEvents& events, std::string& why) {
  Guard guard;
  guard.events = &events;
  XmlDocument none;
  return GuardedParse(bytes, guard, false, none, why);
}

}  // namespace vantorine::names
