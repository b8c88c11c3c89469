// Speed of sound names as the editor and the bank tools will meet them, with the MIDNAM files this machine
// has (the folders a process searches: VANTORINE_MIDNAM_PATH's, or ours and Ardour's): the first use in a
// process, which parses every file to list the models; a device's first use, which reads its file; and
// the lookups after that, by what a strip sends and by name. Then files made to be costly, whatever the
// machine has.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bench/LargestDevice.h"
#include "names/DeviceNames.h"
#include "names/MidnamFolders.h"
#include "tests/names/HostileMidnam.h"

namespace {

using namespace vantorine::names;

const std::vector<std::string>& Folders() {
  static const std::vector<std::string> folders = DefaultMidnamFolders();
  return folders;
}

// The catalog the lookups use, as a process keeps it; each benchmark uses it once before it measures.
NameCatalog& Listed() {
  static NameCatalog catalog(Folders());
  return catalog;
}

// The model defined by the largest file: the slowest first use of a device.
std::string LargestModel() { return LargestDevice(Listed()); }

void FirstUseListingEveryModel(benchmark::State& state) {
  size_t models = 0;
  for (auto _ : state) {
    NameCatalog catalog(Folders());
    models = catalog.models().size();
  }
  if (models < 2) state.SkipWithError("no MIDNAM files on this machine");
  state.counters["models"] = static_cast<double>(models);
}
BENCHMARK(FirstUseListingEveryModel)->Unit(benchmark::kMillisecond);

// A catalog over a folder holding only the device's file: its scan and its first lookup.
void FirstUseOfOneDevice(benchmark::State& state, bool largest) {
  const std::string model = largest ? LargestModel() : "JV-1080";
  const std::optional<ModelInfo> info = Listed().findModel(model);
  if (!info) return state.SkipWithError("the device is not on this machine");
  char folder[] = "/tmp/names_bench_XXXXXX";
  if (!mkdtemp(folder)) return state.SkipWithError("no temporary folder");
  const std::string link = std::string(folder) + "/device.midnam";
  if (symlink(info->file.c_str(), link.c_str()) != 0) return state.SkipWithError("no link");
  size_t sounds = 0;
  for (auto _ : state) {
    NameCatalog catalog({folder});
    sounds = catalog.sounds(model, 1).size();
  }
  unlink(link.c_str());
  rmdir(folder);
  state.SetLabel(model + ", " + std::to_string(sounds) + " sounds on channel 1");
}
BENCHMARK_CAPTURE(FirstUseOfOneDevice, typical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FirstUseOfOneDevice, largest, true)->Unit(benchmark::kMicrosecond);

// The last sound on channel 1 is the one a lookup reaches last.
void SoundAtLastSound(benchmark::State& state, bool largest) {
  const std::string model = largest ? LargestModel() : "JV-1080";
  const std::vector<Sound> sounds = Listed().sounds(model, 1);
  if (sounds.empty()) return state.SkipWithError("the device is not on this machine");
  const Sound& last = sounds.back();
  for (auto _ : state) benchmark::DoNotOptimize(Listed().soundAt(model, 1, last.program, last.bankSelect));
  state.SetLabel(model + ", " + std::to_string(sounds.size()) + " sounds on channel 1");
}
BENCHMARK_CAPTURE(SoundAtLastSound, typical, false);
BENCHMARK_CAPTURE(SoundAtLastSound, largest, true);

void FindSoundByName(benchmark::State& state, bool known) {
  const std::vector<Sound> sounds = Listed().sounds("JV-1080", 1);
  if (sounds.empty()) return state.SkipWithError("the device is not on this machine");
  // An unknown name costs the search for the closest ones.
  const std::string name = known ? sounds.back().name : sounds.back().name + "x";
  for (auto _ : state) benchmark::DoNotOptimize(Listed().findSound("JV-1080", name, 1));
}
BENCHMARK_CAPTURE(FindSoundByName, known, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FindSoundByName, unknown, false)->Unit(benchmark::kMicrosecond);

void ModelsFilteredForAChooser(benchmark::State& state) {
  Listed().models();
  for (auto _ : state) benchmark::DoNotOptimize(Listed().models("rol"));
}
BENCHMARK(ModelsFilteredForAChooser)->Unit(benchmark::kMicrosecond);

// A hostile file's first use in a process: a new catalog over a folder holding only the case's files scans
// them and does what a chooser, a strip or the bank text would do with the device. The count it gives is
// the label, so that a refused file shows as 0.
using HostileUse = std::function<size_t(const NameCatalog&)>;

void FirstUseOfHostileFiles(benchmark::State& state, std::vector<std::string> texts, HostileUse use) {
  char pattern[] = "/tmp/names_bench_XXXXXX";
  if (!mkdtemp(pattern)) return state.SkipWithError("no temporary folder");
  const std::string folder = pattern;
  for (size_t n = 0; n < texts.size(); ++n)
    std::ofstream(folder + "/hostile" + std::to_string(n) + ".midnam", std::ios::binary) << texts[n];
  size_t found = 0;
  for (auto _ : state) {
    NameCatalog catalog({folder});
    found = use(catalog);
  }
  std::filesystem::remove_all(folder);
  state.SetLabel(std::to_string(found));
}

std::vector<std::string> ModelFiles(int files, int modelsEach) {
  std::vector<std::string> texts;
  for (int file = 0; file < files; ++file) {
    std::string text = namestest::ManyModels(modelsEach);
    // Each file's models named apart, "M<file>_<n>", so that none is a repeat left out.
    for (size_t at = text.find("<Model>M"); at != std::string::npos; at = text.find("<Model>M", at + 1))
      text.insert(at + 8, std::to_string(file) + "_");
    texts.push_back(std::move(text));
  }
  return texts;
}

// 5000 banks sharing a list of 5000 sounds, 0.5 MB: every sound on channel 1, as a chooser lists them.
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, shared_list_bomb, {namestest::SharedListBomb(5000, 5000)},
                  [](const NameCatalog& catalog) { return catalog.sounds("Bomb", 1).size(); })
    ->Unit(benchmark::kMillisecond);
// 1000 banks sharing 128 sounds: the sound a strip selects in the last bank.
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, shared_lists, {namestest::SharedListBomb(1000, 128)},
                  [](const NameCatalog& catalog) {
                    return catalog.soundAt("Bomb", 1, 127, {}).has_value() ? size_t{1} : size_t{0};
                  })
    ->Unit(benchmark::kMillisecond);
// 128,000 sounds of one name, each selected otherwise: the bank text's `sound = "Same"`.
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, same_name_everywhere, {namestest::SameNameEverywhere(1000)},
                  [](const NameCatalog& catalog) {
                    return catalog.findSound("Same", "Same", 1).matches.size();
                  })
    ->Unit(benchmark::kMillisecond);
// 150,000 models in one file of 3.2 MB, and 20,000 models in 100 files: finding the last one.
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, many_models, {namestest::ManyModels(150000)},
                  [](const NameCatalog& catalog) { return catalog.models().size(); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, many_model_files, ModelFiles(100, 200),
                  [](const NameCatalog& catalog) {
                    return catalog.findModel("M99_199").has_value() ? catalog.models().size() : size_t{0};
                  })
    ->Unit(benchmark::kMillisecond);
// 110,000 attributes on one element, 1.1 MB: the models, then the device's sounds.
BENCHMARK_CAPTURE(FirstUseOfHostileFiles, many_attributes, {namestest::ManyAttributes(110000)},
                  [](const NameCatalog& catalog) {
                    return catalog.models().size() + catalog.sounds("Attributes", 1).size();
                  })
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
