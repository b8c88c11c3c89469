// The catalog: the folders' models found once, each device's names read once, both kept until the catalog
// goes. What cannot be used is told on standard error, one line per file and only the first time.
#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "names/DeviceNames.h"
#include "names/GeneralMidi.h"
#include "names/Limits.h"
#include "names/MidnamDevice.h"
#include "names/MidnamFolders.h"
#include "names/MidnamScan.h"
#include "names/NameText.h"
#include "names/ShownNames.h"
#include "names/SoundLookup.h"

namespace vantorine::names {

namespace {

void Report(const std::string& file, const std::string& what) {
  std::fprintf(stderr, "vantorine: %s: %s\n", PrintableText(file).c_str(), PrintableText(what).c_str());
}

// The keys a model is found by, case folded as EqualIgnoringCase compares: its name, and its manufacturer
// and name ("Roland JV-1080"); with a line break between them (names hold none), what tells models apart.
std::string NameKey(const ModelInfo& model) {
  return Lowered(model.name);
}
std::string FullNameKey(const ModelInfo& model) {
  return Lowered(model.manufacturer + " " + model.name);
}
std::string IdentityKey(const ModelInfo& model) {
  return Lowered(model.manufacturer + "\n" + model.name);
}

// The set's sounds in the file's order, made to size: a chooser's list of a few thousand sounds is large
// enough for its own pages.
std::vector<Sound> SoundsOf(const NameSet& set) {
  size_t count = 0;
  for (const Bank& bank : set.banks)
    for (const std::shared_ptr<const PatchList>& list : bank.lists) count += list->size();
  std::vector<Sound> sounds;
  sounds.reserve(count);
  ForEachSound(set, [&](const Bank& bank, const Patch& patch) {
    sounds.push_back(SoundOf(bank, patch));
    return true;
  });
  return sounds;
}

std::string Mebibytes(size_t bytes) {
  return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

}  // namespace

class NameCatalog::Index {
 public:
  explicit Index(std::vector<std::string> searched) : folders(std::move(searched)) {}

  const std::vector<ModelInfo>& models() {
    std::call_once(scanned, [this] { scan(); });
    return found;
  }

  // The model called `name` as NameCatalog::findModel describes, as an index into models(), or -1.
  int modelIndex(std::string_view name) {
    models();
    const std::string key = Lowered(name);
    if (const auto place = byName.find(key); place != byName.end()) return place->second;
    if (const auto place = byFullName.find(key); place != byFullName.end()) return place->second;
    const auto place = byFolded.find(Folded(name));
    return place == byFolded.end() ? -1 : place->second;
  }

  std::shared_ptr<const Device> device(std::string_view name) {
    const int index = modelIndex(name);
    if (index < 0) return nullptr;
    if (index == 0) return GeneralMidiDevice();  // always listed first
    std::lock_guard<std::mutex> lock(mutex);
    auto [place, added] = devices.emplace(index, nullptr);
    if (added) place->second = read(found[index]);
    return place->second;
  }

 private:
  void scan() {
    add(ModelInfo{kGeneralMidi, "MMA", {}});
    for (const std::string& file : MidnamFilesIn(folders)) {
      MidnamContents contents;
      std::string why;
      if (!ScanMidnamFile(file, contents, why)) {
        Report(file, "skipped: " + why);
        continue;
      }
      for (ModelInfo& model : contents.models) add(std::move(model));
      for (std::string& model : contents.extended) extensionsOf[model].push_back(file);
    }
  }

  // Lists the model unless a file before defined it.
  void add(ModelInfo model) {
    if (!identities.insert(IdentityKey(model)).second) return;
    const int index = static_cast<int>(found.size());
    byName.emplace(NameKey(model), index);
    byFullName.emplace(FullNameKey(model), index);
    // A spelling two models share names neither.
    for (const std::string& key : {Folded(model.name), Folded(model.manufacturer + model.name)}) {
      if (key.empty()) continue;
      const auto [place, fresh] = byFolded.emplace(key, index);
      if (!fresh && place->second != index) place->second = kSeveral;
    }
    found.push_back(std::move(model));
  }

  std::shared_ptr<const Device> read(const ModelInfo& model) {
    const auto extensions = extensionsOf.find(model.name);
    const std::vector<std::string> none;
    auto device = std::make_shared<Device>();
    std::string why, warning;
    bool usable = false;
    try {
      usable = ReadMidnamDevice(model.file, model.name,
                                extensions == extensionsOf.end() ? none : extensions->second, *device, why,
                                warning);
    } catch (const std::bad_alloc&) {
      why = "out of memory";  // the host goes on without this device
    }
    const size_t bytes = usable ? device->keptBytes() : 0;
    if (usable && kept + bytes > kMaxKeptBytes) {
      usable = false;
      why = ShownName(model.name) + "'s names (" + Mebibytes(bytes) +
            ") would take what all devices keep past " + Mebibytes(kMaxKeptBytes);
    }
    // A file's other models would only repeat what is wrong with it.
    if ((!usable || !warning.empty()) && reported.insert(model.file).second)
      Report(model.file, usable ? warning : "skipped: " + why);
    if (!usable) return nullptr;
    kept += bytes;
    return device;
  }

  const std::vector<std::string> folders;
  std::once_flag scanned;
  std::vector<ModelInfo> found;  // General MIDI first
  std::unordered_set<std::string> identities;
  static constexpr int kSeveral = -1;
  std::unordered_map<std::string, int> byName, byFullName;  // indexes into found, the first of a key
  std::unordered_map<std::string, int> byFolded;            // an index into found, or kSeveral
  std::unordered_map<std::string, std::vector<std::string>> extensionsOf;  // a model's extension files
  std::mutex mutex;
  std::map<int, std::shared_ptr<const Device>> devices;  // by index into found; null: unusable
  size_t kept = 0;                                       // the devices' keptBytes
  std::set<std::string> reported;                        // files already told about
};

NameCatalog& NameCatalog::shared() {
  static NameCatalog catalog(DefaultMidnamFolders());
  return catalog;
}

NameCatalog::NameCatalog(std::vector<std::string> folders)
    : index(std::make_unique<Index>(std::move(folders))) {}

NameCatalog::~NameCatalog() = default;

std::vector<ModelInfo> NameCatalog::models(std::string_view filter) const {
  std::vector<ModelInfo> chosen;
  for (const ModelInfo& model : index->models())
    if (ContainsIgnoringCase(model.name, filter) || ContainsIgnoringCase(model.manufacturer, filter))
      chosen.push_back(model);
  return chosen;
}

std::optional<ModelInfo> NameCatalog::findModel(std::string_view device) const {
  const int found = index->modelIndex(device);
  if (found < 0) return std::nullopt;
  return index->models()[found];
}

std::vector<std::string> NameCatalog::closestModels(std::string_view device, size_t count) const {
  // Each model by two folded keys, so that "JV1800" and "Roland JV 1800" both come near the JV-1080.
  const std::vector<ModelInfo>& all = index->models();
  std::vector<std::string> keys;
  std::multimap<std::string, size_t> modelsOf;
  for (size_t n = 0; n < all.size(); ++n)
    for (std::string key : {Folded(all[n].name), Folded(all[n].manufacturer + all[n].name)})
      if (!key.empty()) {
        keys.push_back(key);
        modelsOf.emplace(std::move(key), n);
      }
  std::vector<std::string> closest;
  for (const std::string& key : ClosestNames(Folded(device), keys, 2 * count)) {
    const auto [first, last] = modelsOf.equal_range(key);
    for (auto place = first; place != last && closest.size() < count; ++place)
      if (std::find(closest.begin(), closest.end(), all[place->second].name) == closest.end())
        closest.push_back(all[place->second].name);
  }
  return closest;
}

std::vector<Sound> NameCatalog::sounds(std::string_view device, int channel) const {
  const std::shared_ptr<const Device> names = index->device(device);
  const NameSet* set = names ? names->setOn(channel) : nullptr;
  return set ? SoundsOf(*set) : std::vector<Sound>{};
}

std::vector<ChannelSounds> NameCatalog::soundsByChannels(std::string_view device) const {
  const std::shared_ptr<const Device> names = index->device(device);
  std::vector<ChannelSounds> found;
  if (!names) return found;
  std::map<int, size_t> placeOfSet;  // a set's index in the device -> its place in found
  for (int channel = 1; channel <= 16; ++channel) {
    const int set = names->setOfChannel[channel - 1];
    if (set == Device::kNoSet) continue;
    const auto [place, fresh] = placeOfSet.emplace(set, found.size());
    if (fresh) found.push_back({{}, SoundsOf(names->nameSets[set])});
    found[place->second].channels.push_back(channel);
  }
  return found;
}

std::optional<SelectedSound> NameCatalog::soundAt(std::string_view device, int channel, int program,
                                                  BankSelect bank) const {
  const std::shared_ptr<const Device> names = index->device(device);
  if (!names) return std::nullopt;
  return SoundSelectedBy(*names, channel, program, bank);
}

SoundSearch NameCatalog::findSound(std::string_view device, std::string_view name, int channel) const {
  const std::shared_ptr<const Device> names = index->device(device);
  if (!names) return {};
  return SoundsNamed(*names, name, channel);
}

}  // namespace vantorine::names
