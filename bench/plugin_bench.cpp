// Speed of the processing path, measured as a host meets it: the built plug-in module is loaded and
// driven through the functions it exports (effProcessEvents through the dispatcher, then
// processReplacing), beside a plain memcpy of the same events and of the same audio. MIDI thru of 256
// events a block (notes, controllers, a mix), the same with 200 notes held, the notes-off flush of 256
// held notes, processReplacing of 2 x 512 frames without MIDI, and the strip send with all 16 strips.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "vst/VstInterface.h"

namespace {

constexpr int kFrames = 512;
constexpr int kEvents = 256;

long eventsReceived = 0;

VstIntPtr CountingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  if (opcode == audioMasterVersion) return 2400;
  if (opcode == audioMasterProcessEvents) {
    eventsReceived += static_cast<const VstEvents*>(ptr)->numEvents;
    return 1;
  }
  return 0;
}

// The plug-in module, loaded once for the whole run.
AEffect* (*entryPoint)(audioMasterCallback) = nullptr;

// One instance with stereo buffers, resumed.
struct Instance {
  AEffect* effect = entryPoint ? entryPoint(CountingHost) : nullptr;
  std::vector<float> in[2] = {std::vector<float>(kFrames, 0.5f), std::vector<float>(kFrames, 0.25f)};
  std::vector<float> out[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  float* inputs[2] = {in[0].data(), in[1].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};

  Instance() {
    if (!effect) return;
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.f);
    // A new instance spends its first two calls ending the notes of thru, which starts off.
    Process();
    Process();
  }
  ~Instance() {
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
  }
  void Events(VstEvents* list) { effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.f); }
  void Process() { effect->processReplacing(effect, inputs, outputs, kFrames); }
  void SetThru(bool on) { effect->setParameter(effect, 1, on ? 1.f : 0.f); }
};

// A block of MIDI events as a host hands it over.
class EventBlock {
 public:
  explicit EventBlock(int count)
      : store(static_cast<size_t>(count)), memory(sizeof(VstEvents) + sizeof(VstEvent*) * static_cast<size_t>(count)) {
    list()->numEvents = count;
    for (int i = 0; i < count; ++i) {
      std::memset(&store[i], 0, sizeof(VstMidiEvent));
      store[i].type = kVstMidiType;
      store[i].byteSize = sizeof(VstMidiEvent);
      list()->events[i] = reinterpret_cast<VstEvent*>(&store[i]);
    }
  }
  void Set(int i, int status, int data1, int data2) {
    store[i].midiData[0] = static_cast<char>(status);
    store[i].midiData[1] = static_cast<char>(data1);
    store[i].midiData[2] = static_cast<char>(data2);
  }
  VstEvents* list() { return reinterpret_cast<VstEvents*>(memory.data()); }
  const VstMidiEvent* events() const { return store.data(); }
  int size() const { return static_cast<int>(store.size()); }

 private:
  std::vector<VstMidiEvent> store;
  std::vector<char> memory;
};

enum class Stream { Notes, Controllers, Mix };

// Note starts and ends of the same notes (the table stays as it was), controller sweeps, or both.
EventBlock MakeStream(Stream stream, int firstNote) {
  EventBlock block(kEvents);
  for (int i = 0; i < kEvents; ++i) {
    const int channel = (i / 2) % 16;
    const int note = firstNote + (i / 32) % 8;
    const bool note_event = stream == Stream::Notes || (stream == Stream::Mix && i % 4 < 2);
    if (note_event)
      block.Set(i, (i % 2 ? 0x80 : 0x90) + channel, note, i % 2 ? 0 : 100);
    else
      block.Set(i, 0xB0 + channel, 1 + i % 64, i % 128);
  }
  return block;
}

// Note starts of count different notes, spread over the channels.
EventBlock MakeHeldNotes(int count) {
  EventBlock block(count);
  for (int i = 0; i < count; ++i) block.Set(i, 0x90 + i % 16, i / 16, 90);
  return block;
}

void PlainCopyOfTheEvents(benchmark::State& state) {
  const EventBlock block = MakeStream(Stream::Mix, 60);
  std::vector<VstMidiEvent> copy(kEvents);
  for (auto _ : state) {
    std::memcpy(copy.data(), block.events(), sizeof(VstMidiEvent) * kEvents);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(PlainCopyOfTheEvents);

void PlainCopyOfTheAudio(benchmark::State& state) {
  Instance buffers;
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) std::memcpy(buffers.outputs[c], buffers.inputs[c], kFrames * sizeof(float));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(PlainCopyOfTheAudio);

void ProcessReplacingWithoutMidi(benchmark::State& state) {
  Instance instance;
  for (auto _ : state) {
    instance.Process();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ProcessReplacingWithoutMidi);

void Thru(benchmark::State& state, Stream stream, int held) {
  Instance instance;
  instance.SetThru(true);
  if (held > 0) {
    EventBlock holding = MakeHeldNotes(held);
    instance.Events(holding.list());
    instance.Process();
  }
  // The stream's notes lie above the held ones, so it neither ends nor repeats them.
  EventBlock block = MakeStream(stream, 120);
  const long before = eventsReceived;
  for (auto _ : state) {
    instance.Events(block.list());
    instance.Process();
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
  state.counters["sent_per_block"] =
      static_cast<double>(eventsReceived - before) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(Thru, Notes, Stream::Notes, 0);
BENCHMARK_CAPTURE(Thru, Controllers, Stream::Controllers, 0);
BENCHMARK_CAPTURE(Thru, Mix, Stream::Mix, 0);
BENCHMARK_CAPTURE(Thru, NotesWith200Held, Stream::Notes, 200);
BENCHMARK_CAPTURE(Thru, MixWith200Held, Stream::Mix, 200);

// Thru goes off with 256 notes held: the next call queues their Note Offs, the one after sends them.
void NotesOffFlushOf256(benchmark::State& state) {
  Instance instance;
  EventBlock holding = MakeHeldNotes(256);
  for (auto _ : state) {
    state.PauseTiming();
    instance.SetThru(true);
    instance.Events(holding.list());
    instance.Process();
    state.ResumeTiming();
    instance.SetThru(false);
    instance.Process();
    instance.Process();
  }
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(NotesOffFlushOf256);

// A resend with all sixteen strips in use: 64 messages queued and sent by the next call.
void ResendSixteenStrips(benchmark::State& state) {
  Instance instance;
  std::vector<unsigned char> preset(436);
  void* chunk = nullptr;
  const VstIntPtr size = instance.effect->dispatcher(instance.effect, effGetChunk, 1, 0, &chunk, 0.f);
  if (size != 436 || !chunk) {
    state.SkipWithError("no preset chunk");
    return;
  }
  std::memcpy(preset.data(), chunk, preset.size());
  constexpr int kStrips = 48, kStripSize = 19, kOrder = 352, kCount = 416;
  for (int s = 0; s < 16; ++s) {
    unsigned char* strip = &preset[kStrips + kStripSize * s];
    const unsigned char values[7] = {1, static_cast<unsigned char>(s % 2), static_cast<unsigned char>(s + 1), 10, 2,
                                     3, 100};
    std::memcpy(strip, values, sizeof values);
    const int32_t row = s;
    std::memcpy(&preset[kOrder + 4 * s], &row, 4);
  }
  const int32_t count = 16;
  std::memcpy(&preset[kCount], &count, 4);
  instance.effect->dispatcher(instance.effect, effSetChunk, 1, 436, preset.data(), 0.f);
  const long before = eventsReceived;
  for (auto _ : state) {
    instance.effect->setParameter(instance.effect, 0, 1.f);
    instance.effect->setParameter(instance.effect, 0, 0.f);
    instance.Process();
  }
  state.counters["sent_per_block"] =
      static_cast<double>(eventsReceived - before) / static_cast<double>(state.iterations());
}
BENCHMARK(ResendSixteenStrips);

}  // namespace

int main(int argc, char** argv) {
  void* module = dlopen(VANTORINE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  if (module) entryPoint = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain"));
  if (!entryPoint) {
    std::fprintf(stderr, "cannot load %s: %s\n", VANTORINE_PLUGIN_PATH, dlerror());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
