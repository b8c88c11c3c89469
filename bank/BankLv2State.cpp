// Reading the bank out of LV2 state files with serd (a Turtle reader), and writing a preset bundle.
#include "bank/BankLv2State.h"

#include <serd/serd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "bank/BankTextReader.h"

namespace vantorine::bank {

namespace {

namespace fs = std::filesystem;

constexpr const char* kBankKey = "urn:vantorine:bank";
constexpr const char* kPluginUri = "urn:vantorine:vantorine";
// Hosts write an atom:Chunk value as base64Binary (lilv, and so Ardour and jalv), some keep the atom type.
constexpr const char* kAtomChunk = "http://lv2plug.in/ns/ext/atom#Chunk";
constexpr const char* kBase64Binary = "http://www.w3.org/2001/XMLSchema#base64Binary";
constexpr const char* kLv2Symbol = "http://lv2plug.in/ns/lv2core#symbol";
constexpr const char* kPresetValue = "http://lv2plug.in/ns/ext/presets#value";
constexpr const char* kPresetPortSymbol = "preset";
// The plug-in's state nests two levels deep; the Turtle reader recurses for every level, so a file nested
// deeper than any state is refused before it is read.
constexpr int kMaxNesting = 32;

// What the statements of one file say about the bank and the preset port.
struct Found {
  SerdEnv* env = nullptr;
  std::vector<uint8_t> chunk;
  bool bank = false;
  bool badBank = false;
  std::map<std::string, std::string> symbolOf;  // port node -> lv2:symbol
  std::map<std::string, double> valueOf;        // port node -> pset:value
};

// A node as a full URI (prefixed names expanded), or its plain text for other kinds.
std::string Expanded(SerdEnv* env, const SerdNode* node) {
  if (!node || !node->buf) return "";
  if (node->type != SERD_CURIE) return std::string(reinterpret_cast<const char*>(node->buf), node->n_bytes);
  SerdNode uri = serd_env_expand_node(env, node);
  std::string text = uri.buf ? std::string(reinterpret_cast<const char*>(uri.buf), uri.n_bytes) : "";
  serd_node_free(&uri);
  return text;
}

SerdStatus OnBase(void* handle, const SerdNode* uri) {
  return serd_env_set_base_uri(static_cast<Found*>(handle)->env, uri);
}

SerdStatus OnPrefix(void* handle, const SerdNode* name, const SerdNode* uri) {
  return serd_env_set_prefix(static_cast<Found*>(handle)->env, name, uri);
}

SerdStatus OnStatement(void* handle, SerdStatementFlags, const SerdNode*, const SerdNode* subject,
                       const SerdNode* predicate, const SerdNode* object, const SerdNode* datatype,
                       const SerdNode*) {
  auto* found = static_cast<Found*>(handle);
  const std::string key = Expanded(found->env, predicate);
  if (key == kBankKey && object->type == SERD_LITERAL && !found->bank) {
    const std::string type = Expanded(found->env, datatype);
    if (type != kAtomChunk && type != kBase64Binary) {
      found->badBank = true;
      return SERD_SUCCESS;
    }
    size_t size = 0;
    void* bytes = serd_base64_decode(object->buf, object->n_bytes, &size);
    if (bytes) found->chunk.assign(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + size);
    serd_free(bytes);
    found->bank = bytes != nullptr;
    found->badBank = bytes == nullptr;
  } else if (key == kLv2Symbol && object->type == SERD_LITERAL) {
    found->symbolOf[Expanded(found->env, subject)] = Expanded(found->env, object);
  } else if (key == kPresetValue && object->type == SERD_LITERAL) {
    found->valueOf[Expanded(found->env, subject)] =
        std::strtod(Expanded(found->env, object).c_str(), nullptr);
  }
  return SERD_SUCCESS;
}

// How deep blank nodes and collections nest in Turtle text, not counting what strings, IRIs and comments
// hold.
int NestingDepth(const std::string& text) {
  int depth = 0, deepest = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '#') {
      i = text.find('\n', i);
      if (i == std::string::npos) break;
    } else if (c == '<') {
      i = text.find('>', i);
      if (i == std::string::npos) break;
    } else if (c == '"' || c == '\'') {
      const bool longString = text.compare(i, 3, std::string(3, c)) == 0;
      const std::string end = longString ? std::string(3, c) : std::string(1, c);
      size_t j = i + end.size();
      while (j < text.size() && text.compare(j, end.size(), end) != 0) j += text[j] == '\\' ? 2 : 1;
      i = j + end.size() - 1;
    } else if (c == '[' || c == '(') {
      deepest = std::max(deepest, ++depth);
    } else if ((c == ']' || c == ')') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

// Reads one Turtle file; false with a reason when it is not Turtle at all.
bool ReadTurtle(const fs::path& file, Found& found, std::string& reason) {
  std::error_code error;
  if (fs::file_size(file, error) > BankTextReader::kMaxBytes) {
    reason = file.string() + ": larger than any LV2 state of the plug-in";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    reason = file.string() + ": cannot be read";
    return false;
  }
  if (NestingDepth(text.str()) > kMaxNesting) {
    reason = file.string() + ": nested deeper than " + std::to_string(kMaxNesting) +
             " levels, more than any LV2 state";
    return false;
  }
  const std::string uri = "file://" + fs::absolute(file).string();
  SerdNode base = serd_node_from_string(SERD_URI, reinterpret_cast<const uint8_t*>(uri.c_str()));
  found.env = serd_env_new(&base);
  SerdReader* reader = serd_reader_new(SERD_TURTLE, &found, nullptr, OnBase, OnPrefix, OnStatement, nullptr);
  serd_reader_set_error_sink(
      reader, [](void*, const SerdError*) { return SERD_SUCCESS; }, nullptr);
  const SerdStatus status =
      serd_reader_read_string(reader, reinterpret_cast<const uint8_t*>(text.str().c_str()));
  serd_reader_free(reader);
  serd_env_free(found.env);
  found.env = nullptr;
  if (status != SERD_SUCCESS && !found.bank) {
    reason = file.string() + ": not an LV2 state file (" +
             reinterpret_cast<const char*>(serd_strerror(status)) + ")";
    return false;
  }
  return true;
}

std::string TurtleString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) quoted += c;
  }
  return quoted + "\"";
}

std::string WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return out ? "" : "cannot write " + file.string();
}

}  // namespace

bool BankLv2State::isFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool BankLv2State::isTurtle(const std::vector<uint8_t>& bytes) {
  bool comment = false;
  for (const uint8_t byte : bytes) {
    if (comment) {
      comment = byte != '\n';
    } else if (byte == '#') {
      comment = true;
    } else if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n') {
      return byte == '@' || byte == '<';
    }
  }
  return false;
}

std::string BankLv2State::read(const std::string& path, std::vector<uint8_t>& chunk, int32_t& current) {
  std::vector<fs::path> files;
  std::error_code error;
  if (fs::is_directory(path, error)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
      if (entry.path().extension() == ".ttl" && entry.path().filename() != "manifest.ttl")
        files.push_back(entry.path());
  } else {
    files.push_back(path);
  }
  std::string reason;
  for (const fs::path& file : files) {
    Found found;
    if (!ReadTurtle(file, found, reason)) continue;
    if (found.badBank) return file.string() + ": the bank in this state is not a chunk of base64 bytes";
    if (!found.bank) continue;
    chunk = found.chunk;
    current = 0;
    for (const auto& [node, symbol] : found.symbolOf) {
      const auto value = found.valueOf.find(node);
      if (symbol == kPresetPortSymbol && value != found.valueOf.end() && value->second >= 1 &&
          value->second <= 128)
        current = static_cast<int32_t>(std::lround(value->second)) - 1;
    }
    return "";
  }
  if (!reason.empty()) return reason;
  return path + ": holds no state of the Vantorine LV2 plug-in (no " + kBankKey + ")";
}

std::string BankLv2State::writePreset(const std::string& folder, const std::vector<uint8_t>& chunk,
                                      int32_t current) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot make the folder " + folder + ": " + error.message();
  std::string name = fs::path(folder).filename().string();
  if (name.empty()) name = fs::path(folder).parent_path().filename().string();
  const std::string stem = fs::path(name).stem().string();
  const std::string file = stem + ".ttl";

  SerdNode base64 = serd_node_new_blob(chunk.data(), chunk.size(), true);
  const std::string prefixes =
      "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
      "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
      "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";
  std::string preset = prefixes + "<" + file + ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" + kPluginUri +
                       "> ;\n" + "\trdfs:label " + TurtleString(stem) + " ;\n" +
                       "\tlv2:port [\n\t\tlv2:symbol \"" + kPresetPortSymbol + "\" ;\n\t\tpset:value " +
                       std::to_string(current + 1) + ".0\n\t] ;\n" + "\tstate:state [\n\t\t<" + kBankKey +
                       "> \"\"\"" + std::string(reinterpret_cast<const char*>(base64.buf), base64.n_bytes) +
                       "\"\"\"^^xsd:base64Binary\n\t] .\n";
  serd_node_free(&base64);
  const std::string manifest = prefixes + "<" + file + ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" +
                               kPluginUri + "> ;\n\trdfs:seeAlso <" + file + "> .\n";
  std::string reason = WriteText(fs::path(folder) / file, preset);
  if (reason.empty()) reason = WriteText(fs::path(folder) / "manifest.ttl", manifest);
  return reason;
}

}  // namespace vantorine::bank
