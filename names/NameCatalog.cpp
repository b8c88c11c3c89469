// The catalog: the folders' models found once, each device's names read once, both kept until the catalog
// goes. What cannot be used is told on standard error, one line per file and only the first time.
#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

#include "names/DeviceNames.h"
#include "names/GeneralMidi.h"
#include "names/MidnamDevice.h"
#include "names/MidnamFolders.h"
#include "names/MidnamScan.h"
#include "names/NameText.h"
#include "names/SoundLookup.h"

namespace vantorine::names {

namespace {

void Report(const std::string& file, const std::string& what) {
  std::fprintf(stderr, "vantorine: %s: %s\n", file.c_str(), what.c_str());
}

// "Roland JV-1080" for Roland's JV-1080.
bool IsManufacturerAndModel(std::string_view name, const ModelInfo& model) {
  const size_t length = model.manufacturer.size();
  return name.size() == length + 1 + model.name.size() && name[length] == ' ' &&
         EqualIgnoringCase(name.substr(0, length), model.manufacturer) &&
         EqualIgnoringCase(name.substr(length + 1), model.name);
}

// The first model called `name` by its model name, else by its manufacturer and model name, or -1.
int IndexOf(const std::vector<ModelInfo>& models, std::string_view name) {
  for (size_t n = 0; n < models.size(); ++n)
    if (EqualIgnoringCase(models[n].name, name)) return static_cast<int>(n);
  for (size_t n = 0; n < models.size(); ++n)
    if (IsManufacturerAndModel(name, models[n])) return static_cast<int>(n);
  return -1;
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
  int modelIndex(std::string_view name) { return IndexOf(models(), name); }

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
    found.push_back(ModelInfo{kGeneralMidi, "MMA", {}});
    for (const std::string& file : MidnamFilesIn(folders)) {
      MidnamContents contents;
      std::string why;
      if (!ScanMidnamFile(file, contents, why)) {
        Report(file, "skipped: " + why);
        continue;
      }
      for (ModelInfo& model : contents.models) {
        const auto same = [&](const ModelInfo& other) {
          return EqualIgnoringCase(other.name, model.name) &&
                 EqualIgnoringCase(other.manufacturer, model.manufacturer);
        };
        if (std::none_of(found.begin(), found.end(), same)) found.push_back(std::move(model));
      }
      for (std::string& model : contents.extended) extensions.emplace_back(std::move(model), file);
    }
  }

  std::shared_ptr<const Device> read(const ModelInfo& model) {
    std::vector<std::string> extensionFiles;
    for (const auto& [extended, file] : extensions)
      if (extended == model.name) extensionFiles.push_back(file);
    auto device = std::make_shared<Device>();
    std::string why, warning;
    const bool usable = ReadMidnamDevice(model.file, model.name, extensionFiles, *device, why, warning);
    // A file's other models would only repeat what is wrong with it.
    if ((!usable || !warning.empty()) && reported.insert(model.file).second)
      Report(model.file, usable ? warning : "skipped: " + why);
    return usable ? device : nullptr;
  }

  const std::vector<std::string> folders;
  std::once_flag scanned;
  std::vector<ModelInfo> found;                                 // General MIDI first
  std::vector<std::pair<std::string, std::string>> extensions;  // (the model extended, the file)
  std::mutex mutex;
  std::map<int, std::shared_ptr<const Device>> devices;  // by index into found; null: unusable
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

std::vector<Sound> NameCatalog::sounds(std::string_view device, int channel) const {
  const std::shared_ptr<const Device> names = index->device(device);
  const std::vector<Sound>* sounds = names ? names->soundsOn(channel) : nullptr;
  return sounds ? *sounds : std::vector<Sound>{};
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
