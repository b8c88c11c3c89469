// Speed of the processing path: audio pass-through against a plain copy of
// the same frames, the cost per incoming event with MIDI thru on, and the
// strip send with all 16 strips in use.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "plugin/VSTPlugin.h"

namespace {

VstIntPtr SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : opcode == audioMasterProcessEvents ? 1 : 0;
}

struct Instance {
  int status = 0;
  VSTPlugin plugin{SilentHost, status};
  std::vector<float> in[2], out[2];
  float* inputs[2];
  float* outputs[2];
  explicit Instance(int frames) {
    for (int c = 0; c < 2; ++c) {
      in[c].assign(frames, 0.5f);
      out[c].assign(frames, 0.f);
      inputs[c] = in[c].data();
      outputs[c] = out[c].data();
    }
    plugin.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  }
};

void PlainCopy(benchmark::State& state) {
  std::vector<float> in[2] = {std::vector<float>(512, 0.5f), std::vector<float>(512, 0.5f)};
  std::vector<float> out[2] = {std::vector<float>(512), std::vector<float>(512)};
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) std::memcpy(out[c].data(), in[c].data(), 512 * sizeof(float));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(PlainCopy);

void ProcessReplacingWithoutMidi(benchmark::State& state) {
  Instance instance(512);
  for (auto _ : state) {
    instance.plugin.processReplacing(instance.inputs, instance.outputs, 512);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ProcessReplacingWithoutMidi);

void ThruPerIncomingEvent(benchmark::State& state) {
  Instance instance(64);
  instance.plugin.processReplacing(instance.inputs, instance.outputs, 64);
  instance.plugin.processReplacing(instance.inputs, instance.outputs, 64);
  instance.plugin.setParameter(VSTPlugin::kMidiThru, 1.f);
  constexpr int kEvents = 256;
  std::vector<VstMidiEvent> store(kEvents);
  std::vector<char> block(sizeof(VstEvents) + kEvents * sizeof(VstEvent*));
  VstEvents* list = reinterpret_cast<VstEvents*>(block.data());
  list->numEvents = kEvents;
  for (int i = 0; i < kEvents; ++i) {
    std::memset(&store[i], 0, sizeof(VstMidiEvent));
    store[i].type = kVstMidiType;
    store[i].byteSize = 24;
    // Note ons and offs for the same notes, so the held-note table stays small, and controllers.
    const int kind = i % 4;
    store[i].midiData[0] = static_cast<char>(kind == 0 ? 0x90 : kind == 1 ? 0x80 : 0xB0);
    store[i].midiData[1] = static_cast<char>((i / 4) % 128);
    store[i].midiData[2] = static_cast<char>(kind == 0 ? 100 : 0);
    list->events[i] = reinterpret_cast<VstEvent*>(&store[i]);
  }
  for (auto _ : state) {
    instance.plugin.processEvents(list);
    instance.plugin.processReplacing(instance.inputs, instance.outputs, 64);
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(ThruPerIncomingEvent);

void SendPCDataSixteenStrips(benchmark::State& state) {
  Instance instance(64);
  VSTPluginProgram& program = instance.plugin.CurrentProgram();
  for (int s = 0; s < kStripCount; ++s) {
    VSTPluginStrip& strip = program.strips[s];
    strip = {1, static_cast<uint8_t>(s % 2), static_cast<uint8_t>(s + 1), 10, 2, 3, 100, "strip"};
  }
  for (auto _ : state) {
    instance.plugin.sendPCData();
    instance.plugin.midiInProcess();  // moves the 64 messages on, so the queues never fill
    instance.plugin.midiPostProcess();
  }
}
BENCHMARK(SendPCDataSixteenStrips);

}  // namespace

BENCHMARK_MAIN();
