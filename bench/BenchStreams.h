// What the benchmarks of the processing path feed a plug-in module, whichever entry point they drive it
// through: blocks of 512 stereo frames, and blocks of 256 MIDI events (note starts and ends, controller
// sweeps, a mix, held notes), spread over the block's frames in time order as any host hands them over.
// The plain copies of the same events and audio are the yardsticks the processing calls are read against.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "vst/VstInterface.h"

namespace bench {

constexpr int kFrames = 512;
constexpr int kEvents = 256;

// The input and output audio of one block, two channels each. They lie the same way to each other in every
// instance: a copy between buffers whose distance is a multiple of 4 KB runs slower, and where the heap put
// them would otherwise decide which format's block without MIDI looks dearer.
struct StereoBuffers {
  StereoBuffers() {
    for (int i = 0; i < kFrames; ++i) {
      in[0][i] = 0.5f;
      in[1][i] = 0.25f;
    }
  }
  StereoBuffers(const StereoBuffers&) = delete;
  StereoBuffers& operator=(const StereoBuffers&) = delete;

  alignas(64) float in[2][kFrames];
  float apart[64];  // the outputs 256 bytes past 4 KB from the inputs
  float out[2][kFrames] = {};
  float* inputs[2] = {in[0], in[1]};
  float* outputs[2] = {out[0], out[1]};
};

// A block of MIDI events as a VST 2 host hands it over; other hosts' blocks are built from its events.
class EventBlock {
 public:
  explicit EventBlock(int count)
      : store(static_cast<size_t>(count)),
        memory(sizeof(VstEvents) + sizeof(VstEvent*) * static_cast<size_t>(count)) {
    list()->numEvents = count;
    for (int i = 0; i < count; ++i) {
      std::memset(&store[i], 0, sizeof(VstMidiEvent));
      store[i].type = kVstMidiType;
      store[i].byteSize = sizeof(VstMidiEvent);
      store[i].deltaFrames = i * kFrames / count;
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
inline EventBlock MakeStream(Stream stream, int firstNote) {
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
inline EventBlock MakeHeldNotes(int count) {
  EventBlock block(count);
  for (int i = 0; i < count; ++i) block.Set(i, 0x90 + i % 16, i / 16, 90);
  return block;
}

// The time a block's events take, per event (shown as time, like the benchmark's own columns).
inline benchmark::Counter PerEvent(int events) {
  return benchmark::Counter(events,
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

inline void PlainCopyOfTheEvents(benchmark::State& state) {
  const EventBlock block = MakeStream(Stream::Mix, 60);
  std::vector<VstMidiEvent> copy(kEvents);
  for (auto _ : state) {
    std::memcpy(copy.data(), block.events(), sizeof(VstMidiEvent) * kEvents);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
  state.counters["per_event"] = PerEvent(kEvents);
}

inline void PlainCopyOfTheAudio(benchmark::State& state) {
  StereoBuffers buffers;
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) std::memcpy(buffers.outputs[c], buffers.inputs[c], kFrames * sizeof(float));
    benchmark::ClobberMemory();
  }
}

}  // namespace bench
