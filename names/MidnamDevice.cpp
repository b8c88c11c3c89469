// Walks the file's tree: the tree is small (half a megabyte at most in practice), and name lists may be
// used before the place that defines them.
#include "names/MidnamDevice.h"

#include <libxml/tree.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "names/GuardedXml.h"
#include "names/NameText.h"

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

class DeviceReader {
 public:
  DeviceReader(const xmlNode* modelSection, const std::vector<std::string>& extensions, Device& filled)
      : master(modelSection), extensionFiles(extensions), device(filled) {}

  void read(const xmlNode* root) {
    // The model's own lists first, then those of the file's other sections.
    addNamedLists(master);
    for (const xmlNode* section = root->children; section; section = section->next)
      if (section != master && section->type == XML_ELEMENT_NODE) addNamedLists(section);
    ForEachChild(master, "ChannelNameSet", [&](const xmlNode* set) { readNameSet(set); });
    assignChannels();
  }

  std::string warning() const {
    std::string text;
    if (skippedPatches > 0)
      text = std::to_string(skippedPatches) + " patch" + (skippedPatches > 1 ? "es" : "") +
             " without a Program Change from 0 to 127 left out, the first on line " +
             std::to_string(firstSkippedLine);
    for (const std::string& name : missingLists)
      text += (text.empty() ? "" : "; ") + ("the name list \"" + name + "\" is nowhere");
    for (const std::string& problem : unusableExtensions) text += (text.empty() ? "" : "; ") + problem;
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
    ForEachChild(element, "PatchBank", [&](const xmlNode* bank) { readBank(bank, set.sounds); });
    std::array<bool, 16> available{};
    if (const xmlNode* channels = FirstChild(element, "AvailableForChannels"))
      ForEachChild(channels, "AvailableChannel", [&](const xmlNode* channel) {
        const int number = Number(Attribute(channel, "Channel"), 1, 16);
        if (number > 0) available[number - 1] = Attribute(channel, "Available") == "true";
      });
    availableOn.push_back(available);
    device.nameSets.push_back(std::move(set));
  }

  void readBank(const xmlNode* bank, std::vector<Sound>& sounds) {
    Sound bankSound;
    bankSound.bank = Attribute(bank, "Name");
    if (const xmlNode* element = FirstChild(bank, "MIDICommands")) {
      const Commands commands = ReadCommands(element, bankSound.bankSelect);
      bankSound.bankNeedsOtherMessages = commands.programChange || commands.sysex;
    }
    for (const xmlNode* child = bank->children; child; child = child->next) {
      if (Is(child, "PatchNameList")) readPatches(child, bankSound, sounds);
      if (Is(child, "UsesPatchNameList")) {
        const std::string name = Attribute(child, "Name");
        if (const xmlNode* list = namedList(name))
          readPatches(list, bankSound, sounds);
        else
          missingLists.insert(name);
      }
    }
  }

  void readPatches(const xmlNode* list, const Sound& bankSound, std::vector<Sound>& sounds) {
    ForEachChild(list, "Patch", [&](const xmlNode* patch) {
      Sound sound = bankSound;
      sound.name = Attribute(patch, "Name");
      int program = MidiByte(Attribute(patch, "ProgramChange"));
      if (const xmlNode* element = FirstChild(patch, "PatchMIDICommands")) {
        const Commands commands = ReadCommands(element, sound.bankSelect);
        if (program < 0) program = commands.program;
        sound.bankNeedsOtherMessages = sound.bankNeedsOtherMessages || commands.sysex;
      }
      // A patch without a name is an empty user slot, which a chooser has no use for.
      if (sound.name.empty()) return;
      if (program < 0) {
        if (skippedPatches++ == 0) firstSkippedLine = xmlGetLineNo(patch);
        return;
      }
      sound.program = static_cast<uint8_t>(program);
      sounds.push_back(std::move(sound));
    });
  }

  // The list called `name`: the file's, else one an extension file adds to the model.
  const xmlNode* namedList(const std::string& name) {
    auto found = namedLists.find(name);
    if (found == namedLists.end() && !extensionsRead) {
      readExtensions();
      found = namedLists.find(name);
    }
    return found == namedLists.end() ? nullptr : found->second;
  }

  void readExtensions() {
    extensionsRead = true;
    for (const std::string& file : extensionFiles) {
      std::string bytes, why;
      XmlDocument tree;
      if (ReadXmlFileBytes(file, bytes, why)) tree = ParseXmlTree(bytes, why);
      if (!tree) {
        unusableExtensions.push_back("the extension " + file + " is unusable: " + why);
        continue;
      }
      const xmlNode* root = xmlDocGetRootElement(tree.get());
      for (const xmlNode* section = root ? root->children : nullptr; section; section = section->next)
        if (Is(section, "ExtendingDeviceNames")) addNamedLists(section);
      extensionTrees.push_back(std::move(tree));
    }
  }

  void assignChannels() {
    if (const xmlNode* mode = FirstChild(master, "CustomDeviceMode"))
      if (const xmlNode* assignments = FirstChild(mode, "ChannelNameSetAssignments"))
        ForEachChild(assignments, "ChannelNameSetAssign", [&](const xmlNode* assign) {
          const int channel = Number(Attribute(assign, "Channel"), 1, 16);
          const std::string name = Attribute(assign, "NameSet");
          for (size_t set = 0; channel > 0 && set < device.nameSets.size(); ++set)
            if (device.nameSets[set].name == name) {
              device.setOfChannel[channel - 1] = static_cast<int>(set);
              break;
            }
        });
    for (int channel = 0; channel < 16; ++channel)
      for (size_t set = 0; device.setOfChannel[channel] == Device::kNoSet && set < availableOn.size(); ++set)
        if (availableOn[set][channel]) device.setOfChannel[channel] = static_cast<int>(set);
  }

  const xmlNode* master;
  const std::vector<std::string>& extensionFiles;
  Device& device;
  std::map<std::string, const xmlNode*> namedLists;
  bool extensionsRead = false;
  std::vector<XmlDocument> extensionTrees;        // the extensions' lists point into these
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
    why = "no longer defines " + model;
    return false;
  }
  device = Device{};
  DeviceReader reader(master, extensionFiles, device);
  reader.read(root);
  warning = reader.warning();
  return true;
}

}  // namespace vantorine::names
