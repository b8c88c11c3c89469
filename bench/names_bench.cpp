// Speed of sound names as the editor and the bank tools will meet them, with the MIDNAM files this machine
// has (the folders a process searches: VANTORINE_MIDNAM_PATH's, or ours and Ardour's): the first use in a
// process, which parses every file to list the models; a device's first use, which reads its file; and
// the lookups after that, by what a strip sends and by name.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "names/DeviceNames.h"
#include "names/MidnamFolders.h"

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
std::string LargestModel() {
  std::string largest;
  off_t most = -1;
  for (const ModelInfo& model : Listed().models()) {
    struct stat info;
    if (!model.file.empty() && stat(model.file.c_str(), &info) == 0 && info.st_size > most) {
      most = info.st_size;
      largest = model.name;
    }
  }
  return largest;
}

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

}  // namespace

BENCHMARK_MAIN();
