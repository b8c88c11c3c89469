// Walks the file's tree, which the guards keep within names/Limits.h: name lists may be used before the
// place that defines them. What is kept is the device's own structures, each name list once, not the tree.
#include "names/MidnamDevice.h"

#include <libxml/tree.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "names/GuardedXml.h"
#include "names/Limits.h"
#include "names/NameText.h"
#include "names/ShownNames.h"

namespace vantorine::names {

namespace {

bool Is(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// Calls `visit` with each child element of `parent` called `name`.
template <typename Visit>
void ForEachChild(const xmlNode* parent, const char* name, Visit visit) {
  for (const xmlNode* child = parent->children; child; child = child->next)
    if (Is(child, name)) visit(child);
}

const xmlNode* FirstChild(const xmlNode* parent, const char* name) {
  for (const xmlNode* child = parent->children; child; child = child->next)
    if (Is(child, name)) return child;
  return nullptr;
}

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return {};
  std::string text = Collapsed(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

std::string Content(const xmlNode* node) {
  xmlChar* value = xmlNodeGetContent(node);
  if (!value) return {};
  std::string text = Collapsed(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

// A number from `low` to `high` written in decimal digits and nothing else, or -1.
int Number(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  const int value = std::atoi(text.c_str());
  return value >= low && value <= high ? value : -1;
}

int MidiByte(const std::string& text) {
  return Number(text, 0, 127);
}

// What a MIDICommands or PatchMIDICommands element sends besides its Bank Select, which it writes over
// `select`'s bytes.
struct Commands {
  int program = -1;  // the last Program Change's number, when valid
  bool programChange = false;
  bool sysex = false;
};

Commands ReadCommands(const xmlNode* element, BankSelect& select) {
  Commands commands;
  for (const xmlNode* command = element->children; command; command = command->next) {
    if (Is(command, "ControlChange")) {
      const int control = MidiByte(Attribute(command, "Control"));
      const int value = MidiByte(Attribute(command, "Value"));
      if (value < 0) continue;
      if (control == 0) select.msb = static_cast<uint8_t>(value);
      if (control == 32) select.lsb = static_cast<uint8_t>(value);
    } else if (Is(command, "ProgramChange")) {
      commands.program = MidiByte(Attribute(command, "Number"));
      commands.programChange = true;
    } else if (Is(command, "SysEx")) {
      commands.sysex = true;
    }
  }
  return commands;
}

// "the name list "A" is nowhere; the name list "B" is nowhere; and 7 more name lists are nowhere": each of
// `items` up to a handful, then how many more.
template <typename Items, typename Tell>
std::string Told(const Items& items, Tell tell, const char* more) {
  constexpr size_t kTold = 5;
  std::string text;
  size_t told = 0;
  for (const auto& item : items) {
    if (told++ == kTold) break;
    text += (text.empty() ? "" : "; ") + tell(item);
  }
  if (items.size() > kTold) text += "; and " + std::to_string(items.size() - kTold) + " more " + more;
  return text;
}

class DeviceReader {
 public:
  DeviceReader(const xmlNode* modelSection, size_t fileBytes, const std::vector<std::string>& extensions,
               Device& filled)
      : master(modelSection), bytesRead(fileBytes), extensionFiles(extensions), device(filled) {}

  // False when the device offers more than one may.
  bool read(const xmlNode* root) {
    // The model's own lists first, then those of the file's other sections.
    addNamedLists(master);
    for (const xmlNode* section = root->children; section; section = section->next)
      if (section != master && section->type == XML_ELEMENT_NODE) addNamedLists(section);
    ForEachChild(master, "ChannelNameSet", [&](const xmlNode* set) { readNameSet(set); });
    if (listedBytes > kMaxDeviceListedBytes) return false;
    assignChannels();
    return true;
  }

  std::string warning() const {
    std::string text;
    if (skippedPatches > 0)
      text = std::to_string(skippedPatches) + " patch" + (skippedPatches > 1 ? "es" : "") +
             " without a Program Change from 0 to 127 left out, the first on line " +
             std::to_string(firstSkippedLine);
    const std::string missing = Told(
        missingLists,
        [](const std::string& name) { return "the name list \"" + ShownName(name) + "\" is nowhere"; },
        "name lists are nowhere");
    const std::string unusable = Told(
        unusableExtensions, [](const std::string& problem) { return problem; }, "extensions are unusable");
    for (const std::string* part : {&missing, &unusable})
      if (!part->empty()) text += (text.empty() ? "" : "; ") + *part;
    return text;
  }

 private:
  // The PatchNameLists that are children of `section`, by name; the first of a name stays.
  void addNamedLists(const xmlNode* section) {
    ForEachChild(section, "PatchNameList", [&](const xmlNode* list) {
      const std::string name = Attribute(list, "Name");
      if (!name.empty()) namedLists.emplace(name, list);
    });
  }

  void readNameSet(const xmlNode* element) {
    NameSet set{Attribute(element, "Name"), {}};
    ForEachChild(element, "PatchBank", [&](const xmlNode* bank) { readBank(bank, set.banks); });
    std::array<bool, 16> available{};
    if (const xmlNode* channels = FirstChild(element, "AvailableForChannels"))
      ForEachChild(channels, "AvailableChannel", [&](const xmlNode* channel) {
        const int number = Number(Attribute(channel, "Channel"), 1, 16);
        if (number > 0) available[number - 1] = Attribute(channel, "Available") == "true";
      });
    availableOn.push_back(available);
    device.nameSets.push_back(std::move(set));
  }

  void readBank(const xmlNode* element, std::vector<Bank>& banks) {
    if (listedBytes > kMaxDeviceListedBytes) return;  // refused: the rest would only cost more
    Bank bank;
    bank.name = Attribute(element, "Name");
    if (const xmlNode* commands = FirstChild(element, "MIDICommands")) {
      const Commands sent = ReadCommands(commands, bank.bankSelect);
      bank.needsOtherMessages = sent.programChange || sent.sysex;
    }
    for (const xmlNode* child = element->children; child; child = child->next) {
      if (Is(child, "PatchNameList")) use(listOf(child), bank);
      if (Is(child, "UsesPatchNameList")) {
        const std::string name = Attribute(child, "Name");
        if (std::shared_ptr<const PatchList> list = namedList(name))
          use(std::move(list), bank);
        else
          missingLists.insert(name);
      }
    }
    banks.push_back(std::move(bank));
  }

  // Adds the list to the bank's, and what listing its sounds in this bank costs to the device's, up to
  // past the limit: a list shared by every bank is kept once but listed for each.
  void use(std::shared_ptr<const PatchList> list, Bank& bank) {
    for (const Patch& patch : *list) {
      if (listedBytes > kMaxDeviceListedBytes) return;
      listedBytes += sizeof(Sound) + patch.name.size() + bank.name.size();
    }
    bank.lists.push_back(std::move(list));
  }

  // The list a PatchNameList element of the file holds, read on its first use.
  std::shared_ptr<const PatchList> listOf(const xmlNode* element) {
    auto [place, added] = readLists.emplace(element, nullptr);
    if (added) place->second = readPatches(element);
    return place->second;
  }

  std::shared_ptr<const PatchList> readPatches(const xmlNode* listElement) {
    auto list = std::make_shared<PatchList>();
    ForEachChild(listElement, "Patch", [&](const xmlNode* element) {
      Patch patch;
      patch.name = Attribute(element, "Name");
      int program = MidiByte(Attribute(element, "ProgramChange"));
      if (const xmlNode* commands = FirstChild(element, "PatchMIDICommands")) {
        const Commands sent = ReadCommands(commands, patch.ownBankSelect);
        if (program < 0) program = sent.program;
        patch.sendsSysex = sent.sysex;
      }
      // A patch without a name is an empty user slot, which a chooser has no use for.
      if (patch.name.empty()) return;
      if (program < 0) {
        if (skippedPatches++ == 0) firstSkippedLine = xmlGetLineNo(element);
        return;
      }
      patch.program = static_cast<uint8_t>(program);
      list->push_back(std::move(patch));
    });
    return list;
  }

  // The list called `name`: the file's, else one an extension file adds to the model.
  std::shared_ptr<const PatchList> namedList(const std::string& name) {
    if (const auto found = namedLists.find(name); found != namedLists.end()) return listOf(found->second);
    if (!extensionsRead) readExtensions();
    const auto found = extensionLists.find(name);
    return found == extensionLists.end() ? nullptr : found->second;
  }

  // Reads the lists the model's banks use and the file lacks from its extension files, one tree at a time.
  void readExtensions() {
    extensionsRead = true;
    const std::set<std::string> wanted = listsWanted();
    for (size_t n = 0; n < extensionFiles.size(); ++n) {
      const std::string& file = extensionFiles[n];
      std::string bytes, why;
      XmlDocument tree;
      if (ReadXmlFileBytes(file, bytes, why)) {
        if (bytesRead + bytes.size() > kMaxDeviceFileBytes) {
          unusableExtensions.push_back(
              "the extension " + file + (n + 1 < extensionFiles.size() ? " and those after it are" : " is") +
              " left out: with it the model's files would pass " + std::to_string(kMaxDeviceFileBytes >> 20) +
              " MiB");
          return;
        }
        bytesRead += bytes.size();
        tree = ParseXmlTree(bytes, why);
      }
      if (!tree) {
        unusableExtensions.push_back("the extension " + file + " is unusable: " + why);
        continue;
      }
      const xmlNode* root = xmlDocGetRootElement(tree.get());
      for (const xmlNode* section = root ? root->children : nullptr; section; section = section->next)
        if (Is(section, "ExtendingDeviceNames"))
          ForEachChild(section, "PatchNameList", [&](const xmlNode* list) {
            const std::string name = Attribute(list, "Name");
            if (wanted.count(name) && !extensionLists.count(name))
              extensionLists.emplace(name, readPatches(list));
          });
    }
  }

  // The names of lists the model's banks use that the file does not define.
  std::set<std::string> listsWanted() const {
    std::set<std::string> wanted;
    ForEachChild(master, "ChannelNameSet", [&](const xmlNode* set) {
      ForEachChild(set, "PatchBank", [&](const xmlNode* bank) {
        ForEachChild(bank, "UsesPatchNameList", [&](const xmlNode* uses) {
          const std::string name = Attribute(uses, "Name");
          if (!namedLists.count(name)) wanted.insert(name);
        });
      });
    });
    return wanted;
  }

  void assignChannels() {
    // A file may hold tens of thousands of sets and assignments: each name is looked up, not searched for.
    std::map<std::string, int> firstNamed;
    for (size_t set = 0; set < device.nameSets.size(); ++set)
      firstNamed.emplace(device.nameSets[set].name, static_cast<int>(set));
    if (const xmlNode* mode = FirstChild(master, "CustomDeviceMode"))
      if (const xmlNode* assignments = FirstChild(mode, "ChannelNameSetAssignments"))
        ForEachChild(assignments, "ChannelNameSetAssign", [&](const xmlNode* assign) {
          const int channel = Number(Attribute(assign, "Channel"), 1, 16);
          const auto set = firstNamed.find(Attribute(assign, "NameSet"));
          if (channel > 0 && set != firstNamed.end()) device.setOfChannel[channel - 1] = set->second;
        });
    for (int channel = 0; channel < 16; ++channel)
      for (size_t set = 0; device.setOfChannel[channel] == Device::kNoSet && set < availableOn.size(); ++set)
        if (availableOn[set][channel]) device.setOfChannel[channel] = static_cast<int>(set);
  }

  const xmlNode* master;
  size_t bytesRead;  // of the file and the extensions read so far
  const std::vector<std::string>& extensionFiles;
  Device& device;
  size_t listedBytes = 0;  // see kMaxDeviceListedBytes
  std::map<std::string, const xmlNode*> namedLists;
  std::map<const xmlNode*, std::shared_ptr<const PatchList>> readLists;  // the file's lists read so far
  bool extensionsRead = false;
  std::map<std::string, std::shared_ptr<const PatchList>> extensionLists;
  std::vector<std::array<bool, 16>> availableOn;  // for each name set, the channels it is available on
  int skippedPatches = 0;
  long firstSkippedLine = 0;
  std::set<std::string> missingLists;  // named by banks, found neither in the file nor in an extension
  std::vector<std::string> unusableExtensions;
};

// The MasterDeviceNames that lists `model`.
const xmlNode* MasterOf(const xmlNode* root, const std::string& model) {
  for (const xmlNode* section = root->children; section; section = section->next) {
    if (!Is(section, "MasterDeviceNames")) continue;
    for (const xmlNode* child = section->children; child; child = child->next)
      if (Is(child, "Model") && Content(child) == model) return section;
  }
  return nullptr;
}

}  // namespace

bool ReadMidnamDevice(const std::string& path, const std::string& model,
                      const std::vector<std::string>& extensionFiles, Device& device, std::string& why,
                      std::string& warning) {
  std::string bytes;
  if (!ReadXmlFileBytes(path, bytes, why)) return false;
  const XmlDocument tree = ParseXmlTree(bytes, why);
  if (!tree) return false;
  const xmlNode* root = xmlDocGetRootElement(tree.get());
  const xmlNode* master = root && Is(root, "MIDINameDocument") ? MasterOf(root, model) : nullptr;
  if (!master) {
    why = "no longer defines " + ShownName(model);
    return false;
  }
  device = Device{};
  DeviceReader reader(master, bytes.size(), extensionFiles, device);
  if (!reader.read(root)) {
    device = Device{};
    why = ShownName(model) + " offers more sounds than a device may: listed, they would take more than " +
          std::to_string(kMaxDeviceListedBytes >> 20) + " MiB";
    return false;
  }
  warning = reader.warning();
  return true;
}

}  // namespace vantorine::names
