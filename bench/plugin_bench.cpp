// Speed of what the plug-in does beyond passing MIDI, measured as a host meets it: the built plug-in module
// is loaded and driven through the functions it exports (Vst2Host.h). The notes-off flush of 256 held
// notes beside a plain memcpy of as many events, the strip send with all 16 strips, the blocks of a SysEx
// list paced on the MIDI line beside a plain copy of a block's audio, and an instance's creation. MIDI thru
// and blocks without MIDI are formats_bench's, beside the other formats.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchStreams.h"
#include "bench/Vst2Host.h"
#include "preset/ProgramExtensionChunk.h"
#include "preset/VSTPluginProgram.h"
#include "vst/VstInterface.h"

namespace {

using namespace bench;
using vst2::eventsReceived;
using vst2::Instance;

BENCHMARK(PlainCopyOfTheEvents);
BENCHMARK(PlainCopyOfTheAudio);

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
// through. A block without any send is formats_bench's NoMidi/VST2.
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
    AEffect* effect = vst2::entryPoint(vst2::CountingHost);
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
  if (const char* error = vst2::Load(VANTORINE_PLUGIN_PATH)) {
    std::fprintf(stderr, "cannot load %s: %s\n", VANTORINE_PLUGIN_PATH, error);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
