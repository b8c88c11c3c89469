// The processing path of VST 2, LV2 and CLAP side by side, in one run: each built module is loaded and
// driven through the entry point it exports, as its hosts drive it (Vst2Host.h, Lv2Host.h, ClapHost.h),
// with the same workloads: a block of 512 frames without MIDI, and MIDI thru of BenchStreams.h's streams,
// the same 256 events at the same frames of a 512-frame block, thru on in each format. Every benchmark's
// name ends with its format, so that one workload's three lines come one under the other.
//
// What one timed block is:
//   VST 2  effProcessEvents with the host's VstEvents, then processReplacing of 2 x 512 frames; what the
//          plug-in sends comes to the host inside the call (audioMasterProcessEvents).
//   LV2    midi_out's and notify's capacities set, then run of 512 frames (2 x 512 of audio), which reads
//          midi_in's atom sequence and writes what it sends into midi_out.
//   CLAP   process of 512 frames (no audio: the plug-in has no audio ports), which reads the input event
//          list and pushes what it sends to the output list.
// Every host builds its input list (the VstEvents, the atom sequence, the CLAP events) once, before the
// timing, since each block's list is the same; where the plug-in hands its output to the host inside the
// call (VST 2, CLAP), the host's count of it is timed with it, while the LV2 host reads its buffer after
// the last run.
//
// The allocations and mutex locks of the timed blocks are counted (`allocations` and `locks`, which the
// real-time rule wants at 0) by the real-time tests' stand-ins for malloc and pthread_mutex_lock, built into
// this program and exported from it, so that the modules it loads call them too. For a 0 to mean
// anything, the same module's making and closing of one more instance is counted first, outside the
// timing (`creation_allocations`, `creation_locks`): a benchmark whose allocations there are 0 fails.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "CallCounter.h"
#include "bench/BenchStreams.h"
#include "bench/ClapHost.h"
#include "bench/Lv2Host.h"
#include "bench/Vst2Host.h"

namespace {

using namespace bench;

// Each format's instance with MIDI thru on, settled, and the name its benchmarks end with.
struct Vst2 : vst2::Instance {
  static constexpr const char* kName = "VST2";
  static void CreateAndClose() { vst2::CreateAndClose(); }
  Vst2() {
    if (!ok()) return;
    SetThru(true);
    Block();
    Block();
  }
};

// Its midi_thru port is on from the first run.
struct Lv2 : lv2::Instance {
  static constexpr const char* kName = "LV2";
  static void CreateAndClose() { lv2::CreateAndClose(); }
};

// Its first block turns thru on.
struct Clap : clap::Instance {
  static constexpr const char* kName = "CLAP";
  static void CreateAndClose() { clap::CreateAndClose(); }
};

template <class Format>
bool Started(benchmark::State& state, const Format& instance) {
  if (!instance.ok()) state.SkipWithError("the plug-in did not start");
  return instance.ok();
}

// Whether the counter sees the module's own allocations. The locks are shown beside them, as the sign that
// the count of locks reaches into the module too, but a module need take none to make an instance.
template <class Format>
bool CounterSeesTheModule(benchmark::State& state) {
#if VANTORINE_COUNT_CALLS
  const int before = callcount::Allocations(), locksBefore = callcount::MutexLocks();
  callcount::SetCounting(true);
  Format::CreateAndClose();
  callcount::SetCounting(false);
  const int made = callcount::Allocations() - before;
  state.counters["creation_allocations"] = made;
  state.counters["creation_locks"] = callcount::MutexLocks() - locksBefore;
  if (made == 0) state.SkipWithError("the module's allocations are not counted");
  return made > 0;
#else
  state.SkipWithError("the sanitizers own the allocator: nothing can be counted");
  return false;
#endif
}

// The timed blocks, counting only while the host is in the block: the benchmark's own bookkeeping between
// blocks may allocate.
template <class Format>
void Blocks(benchmark::State& state, Format& instance) {
  const int allocations = callcount::Allocations(), locks = callcount::MutexLocks();
  for (auto _ : state) {
    callcount::SetCounting(true);
    instance.Block();
    callcount::SetCounting(false);
    benchmark::ClobberMemory();
  }
  state.counters["allocations"] = callcount::Allocations() - allocations;
  state.counters["locks"] = callcount::MutexLocks() - locks;
}

template <class Format>
void NoMidi(benchmark::State& state) {
  Format instance;
  if (!Started(state, instance) || !CounterSeesTheModule<Format>(state)) return;
  Blocks(state, instance);
}

template <class Format>
void Thru(benchmark::State& state, Stream stream, int held) {
  Format instance;
  if (!Started(state, instance)) return;
  EventBlock holding = MakeHeldNotes(held);
  if (held > 0) {
    instance.Input(&holding);
    instance.Block();
  }
  // The stream's notes lie above the held ones, so it neither ends nor repeats them.
  EventBlock block = MakeStream(stream, 120);
  instance.Input(&block);
  if (!CounterSeesTheModule<Format>(state)) return;
  Blocks(state, instance);
  state.counters["per_event"] = PerEvent(kEvents);
  // Every block is the same: the last one's output stands for all.
  state.counters["sent_per_block"] = instance.SentInLastBlock();
}

template <class... Formats>
void RegisterSideBySide() {
  (benchmark::RegisterBenchmark((std::string("NoMidi/") + Formats::kName).c_str(), NoMidi<Formats>), ...);
  const struct {
    const char* name;
    Stream stream;
    int held;
  } workloads[] = {{"Notes", Stream::Notes, 0},
                   {"Controllers", Stream::Controllers, 0},
                   {"Mix", Stream::Mix, 0},
                   {"NotesWith200Held", Stream::Notes, 200},
                   {"MixWith200Held", Stream::Mix, 200}};
  for (const auto& w : workloads)
    (benchmark::RegisterBenchmark((std::string("Thru/") + w.name + "/" + Formats::kName).c_str(),
                                  &Thru<Formats>, w.stream, w.held),
     ...);
}

}  // namespace

int main(int argc, char** argv) {
  // One module after the other: dlerror's message lasts until the next load.
  const auto failed = [](const char* path, const char* error) {
    if (error) std::fprintf(stderr, "cannot load %s: %s\n", path, error);
    return error != nullptr;
  };
  if (failed(VANTORINE_PLUGIN_PATH, vst2::Load(VANTORINE_PLUGIN_PATH)) ||
      failed(VANTORINE_LV2_PATH, lv2::Load(VANTORINE_LV2_PATH, VANTORINE_LV2_BUNDLE)) ||
      failed(VANTORINE_CLAP_PATH, clap::Load(VANTORINE_CLAP_PATH)))
    return 1;
  benchmark::RegisterBenchmark("PlainCopyOfTheEvents", PlainCopyOfTheEvents);
  benchmark::RegisterBenchmark("PlainCopyOfTheAudio", PlainCopyOfTheAudio);
  RegisterSideBySide<Vst2, Lv2, Clap>();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
