// Speed of the processing path, measured as a host meets it: the built plug-in module is loaded and
// driven through the functions it exports (effProcessEvents through the dispatcher, then
// processReplacing), beside a plain memcpy of the same events and of the same audio. MIDI thru of 256
// events a block (notes, controllers, a mix), the same with 200 notes held, the notes-off flush of 256
// held notes, processReplacing of 2 x 512 frames without MIDI, the strip send with all 16 strips, the
// blocks of a SysEx list paced on the MIDI line, and an instance's creation.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchStreams.h"
#include "preset/ProgramExtensionChunk.h"
#include "preset/VSTPluginProgram.h"
#include "vst/VstInterface.h"

namespace {

using namespace bench;

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
struct Instance : StereoBuffers {
  AEffect* effect = entryPoint ? entryPoint(CountingHost) : nullptr;

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

BENCHMARK(PlainCopyOfTheEvents);
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
  state.counters["per_event"] = PerEvent(kEvents);
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
  state.counters["per_event"] = PerEvent(256);
}
BENCHMARK(NotesOffFlushOf256);

// A resend with all sixteen strips in use: 64 messages queued and sent by the next call.
void ResendSixteenStrips(benchmark::State& state) {
  Instance instance;
  VSTPluginProgram preset;
  void* chunk = nullptr;
  const VstIntPtr size = instance.effect->dispatcher(instance.effect, effGetChunk, 1, 0, &chunk, 0.f);
  if (size != static_cast<VstIntPtr>(sizeof preset) || !chunk) {
    state.SkipWithError("no preset chunk");
    return;
  }
  std::memcpy(&preset, chunk, sizeof preset);
  for (int s = 0; s < kStripCount; ++s) {
    const auto channel = static_cast<uint8_t>(s + 1);
    preset.strips[s] = VSTPluginStrip{1, static_cast<uint8_t>(s % 2), channel, 10, 2, 3, 100, {}};
    preset.stripOrder[s] = s;
  }
  preset.stripCount = kStripCount;
  instance.effect->dispatcher(instance.effect, effSetChunk, 1, sizeof preset, &preset, 0.f);
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

// The blocks of a long paced send at 44.1 kHz: a list of four 60-byte messages, each 847 frames on the
// line, with a gap after each; with 5 ms a message is due every other block, with 500 ms the blocks mostly
// wait for the line. Each iteration is one block; a resend starts the list again once the last send is
// through. Beside ProcessReplacingWithoutMidi, a block without any send.
void PacedSend(benchmark::State& state, int gapMs) {
  Instance instance;
  constexpr int kMessages = 4;
  constexpr int kMessageBytes = 60;
  VSTPluginProgram record;
  InitProgram(record, "paced");
  VSTPluginProgramExtension extension;
  InitProgramExtension(extension);
  for (int m = 0; m < kMessages; ++m) {
    uint8_t* message = extension.sysex + m * kMessageBytes;
    std::memset(message, 0x10 + m, kMessageBytes);
    message[0] = 0xF0;
    message[kMessageBytes - 1] = 0xF7;
  }
  extension.sysexLength = kMessages * kMessageBytes;
  extension.sysexGapMs = static_cast<uint16_t>(gapMs);
  extension.settleMs = 0;
  std::vector<uint8_t> chunk(reinterpret_cast<const uint8_t*>(&record),
                             reinterpret_cast<const uint8_t*>(&record) + sizeof record);
  vantorine::AppendProgramExtensions(&extension, 1, chunk);
  if (instance.effect->dispatcher(instance.effect, effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()),
                                  chunk.data(), 0.f) != 1) {
    state.SkipWithError("preset not taken");
    return;
  }
  const double listFrames = kMessages * kMessageBytes * 44100.0 / 3125 + (kMessages - 1) * gapMs * 44.1;
  const int blocksPerSend = static_cast<int>(listFrames / kFrames) + 2;
  const long before = eventsReceived;
  int block = 0;
  for (auto _ : state) {
    if (block++ % blocksPerSend == 0) {
      instance.effect->setParameter(instance.effect, 0, 1.f);
      instance.effect->setParameter(instance.effect, 0, 0.f);
    }
    instance.Process();
  }
  state.counters["sent_per_block"] =
      static_cast<double>(eventsReceived - before) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(PacedSend, Gap5ms, 5);
BENCHMARK_CAPTURE(PacedSend, Gap500ms, 500);

// What a host scanning its plug-ins pays for each instance: creating it and closing it again. Nothing of
// the editor's sound names may be read here.
void CreateAndClose(benchmark::State& state) {
  for (auto _ : state) {
    AEffect* effect = entryPoint(CountingHost);
    if (!effect) {
      state.SkipWithError("no instance");
      return;
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
  }
}
BENCHMARK(CreateAndClose)->Unit(benchmark::kMicrosecond);

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
