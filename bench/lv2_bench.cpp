// Speed of the LV2 processing path, measured as an LV2 host meets it: the built bundle's module is loaded
// and driven through its descriptor (every port connected, run of 512 frames with an atom sequence of MIDI
// in and room for MIDI out and notifications, the outputs' capacities set again before each run), beside a
// plain memcpy of the same audio. The blocks are plugin_bench's, so the two read side by side: what LV2 adds
// over the engine is the difference.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchStreams.h"
#include "lv2/LV2Ports.h"
#include "plugin/MidiMessageLength.h"

namespace {

using namespace bench;
using namespace vantorine::lv2;

// The host's URIDs: a map of its own, as every LV2 host keeps one.
class UridMap {
 public:
  LV2_URID Map(const char* uri) {
    for (size_t i = 0; i < uris.size(); ++i)
      if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
  }
  LV2_URID_Map* Interface() { return &map; }
  const LV2_Feature* const* Features() { return features; }

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->Map(uri);
  }

  std::vector<std::string> uris;
  LV2_URID_Map map = {this, &UridMap::MapUri};
  LV2_Feature mapFeature = {LV2_URID__map, &map};
  const LV2_Feature* features[2] = {&mapFeature, nullptr};
};

UridMap urids;

// The plug-in's descriptor, from the module loaded once for the whole run.
const LV2_Descriptor* descriptor = nullptr;

// The size of each atom port's buffer: midi_out's capacity is the least the plug-in asks for.
constexpr uint32_t kAtomBytes = kMidiOutMinimumBytes;

// One instance with every port connected, activated, MIDI thru on.
struct Instance : StereoBuffers {
  LV2_Handle handle = descriptor->instantiate(descriptor, 48000, VANTORINE_LV2_BUNDLE, urids.Features());
  // 64-bit aligned, as atoms need.
  std::vector<uint64_t> midiIn = std::vector<uint64_t>(kAtomBytes / 8);
  std::vector<uint64_t> midiOut = std::vector<uint64_t>(kAtomBytes / 8);
  std::vector<uint64_t> notify = std::vector<uint64_t>(kAtomBytes / 8);
  float controls[kPortCount] = {};
  const LV2_URID chunk = urids.Map(LV2_ATOM__Chunk);
  const LV2_URID midiEvent = urids.Map(LV2_MIDI__MidiEvent);

  Instance() {
    if (!handle) return;
    for (const PortInfo& port : kPorts) controls[port.index] = port.fallback;
    controls[kMidiThruPort] = 1.f;
    descriptor->connect_port(handle, kMidiIn, midiIn.data());
    descriptor->connect_port(handle, kMidiOut, midiOut.data());
    descriptor->connect_port(handle, kNotify, notify.data());
    for (int c = 0; c < 2; ++c) {
      descriptor->connect_port(handle, kAudioIn1 + c, inputs[c]);
      descriptor->connect_port(handle, kAudioOut1 + c, outputs[c]);
    }
    for (uint32_t port : {kPresetPort, kResendPort, kMidiThruPort})
      descriptor->connect_port(handle, port, &controls[port]);
    descriptor->activate(handle);
    SetMidiIn(nullptr);
    // The first run takes the ports' values as they are; let the engine settle after it.
    Run();
    Run();
  }
  ~Instance() {
    if (!handle) return;
    descriptor->deactivate(handle);
    descriptor->cleanup(handle);
  }

  // What midi_in holds for each run from now on: the block's events at their frames, or none.
  void SetMidiIn(const EventBlock* block) {
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, urids.Interface());
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(midiIn.data()), kAtomBytes);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    for (int i = 0; block && i < block->size(); ++i) {
      const VstMidiEvent& event = block->events()[i];
      const auto length = static_cast<uint32_t>(MidiMessageLength(static_cast<uint8_t>(event.midiData[0])));
      lv2_atom_forge_frame_time(&forge, event.deltaFrames);
      lv2_atom_forge_atom(&forge, length, midiEvent);
      lv2_atom_forge_write(&forge, event.midiData, length);
    }
    lv2_atom_forge_pop(&forge, &sequence);
  }

  // One cycle: the outputs' atoms carry their capacity into it, as the host sets them each time.
  void Run() {
    for (auto* buffer : {&midiOut, &notify}) {
      auto* atom = reinterpret_cast<LV2_Atom*>(buffer->data());
      atom->type = chunk;
      atom->size = kAtomBytes - sizeof(LV2_Atom);
    }
    descriptor->run(handle, kFrames);
  }

  // How many MIDI events the last run wrote to midi_out.
  int EventsOut() const {
    int count = 0;
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(midiOut.data());
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) count += event->body.type == midiEvent;
    return count;
  }
};

BENCHMARK(PlainCopyOfTheAudio);

bool Started(benchmark::State& state, const Instance& instance) {
  if (!instance.handle) state.SkipWithError("the plug-in did not instantiate");
  return instance.handle != nullptr;
}

void RunWithoutMidi(benchmark::State& state) {
  Instance instance;
  if (!Started(state, instance)) return;
  for (auto _ : state) {
    instance.Run();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RunWithoutMidi);

void Thru(benchmark::State& state, Stream stream, int held) {
  Instance instance;
  if (!Started(state, instance)) return;
  if (held > 0) {
    const EventBlock holding = MakeHeldNotes(held);
    instance.SetMidiIn(&holding);
    instance.Run();
  }
  // The stream's notes lie above the held ones, so it neither ends nor repeats them.
  const EventBlock block = MakeStream(stream, 120);
  instance.SetMidiIn(&block);
  for (auto _ : state) {
    instance.Run();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
  state.counters["per_event"] = PerEvent(kEvents);
  // Every block is the same: the last one's output stands for all.
  state.counters["sent_per_block"] = instance.EventsOut();
}
BENCHMARK_CAPTURE(Thru, Notes, Stream::Notes, 0);
BENCHMARK_CAPTURE(Thru, Controllers, Stream::Controllers, 0);
BENCHMARK_CAPTURE(Thru, Mix, Stream::Mix, 0);
BENCHMARK_CAPTURE(Thru, NotesWith200Held, Stream::Notes, 200);
BENCHMARK_CAPTURE(Thru, MixWith200Held, Stream::Mix, 200);

}  // namespace

int main(int argc, char** argv) {
  void* module = dlopen(VANTORINE_LV2_PATH, RTLD_NOW | RTLD_LOCAL);
  using Entry = const LV2_Descriptor* (*)(uint32_t);
  if (module)
    if (auto entry = reinterpret_cast<Entry>(dlsym(module, "lv2_descriptor"))) descriptor = entry(0);
  if (!descriptor) {
    std::fprintf(stderr, "cannot load %s: %s\n", VANTORINE_LV2_PATH, module ? "no descriptor" : dlerror());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
