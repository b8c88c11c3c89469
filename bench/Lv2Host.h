// The benchmarks' LV2 host: the built bundle's module loaded once and driven through its descriptor, every
// port connected, runs of 512 frames with an atom sequence of MIDI in and room for MIDI out and
// notifications, the outputs' capacities set again before each run, as hosts do. The plug-in writes what
// it sends into the host's buffer; the host reads it after the run.
#pragma once

#include <dlfcn.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/BenchStreams.h"
#include "lv2/LV2Ports.h"
#include "midi/MidiMessageLength.h"

namespace bench::lv2 {

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

inline UridMap urids;
inline const LV2_Descriptor* descriptor = nullptr;
inline std::string bundle;

// Null when the module is loaded, else why it is not. The bundle path ends with a slash.
inline const char* Load(const char* path, const char* bundlePath) {
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  using Entry = const LV2_Descriptor* (*)(uint32_t);
  if (!module) return dlerror();
  if (auto entry = reinterpret_cast<Entry>(dlsym(module, "lv2_descriptor"))) descriptor = entry(0);
  bundle = bundlePath;
  return descriptor ? nullptr : "no descriptor";
}

constexpr double kRate = 48000;

// A new instance and its end, nothing else: what making one costs the module.
inline void CreateAndClose() {
  if (LV2_Handle handle = descriptor->instantiate(descriptor, kRate, bundle.c_str(), urids.Features()))
    descriptor->cleanup(handle);
}

// The size of each atom port's buffer: midi_out's capacity is the least the plug-in asks for.
constexpr uint32_t kAtomBytes = kMidiOutMinimumBytes;

// One instance with every port connected, activated, MIDI thru on.
struct Instance : StereoBuffers {
  LV2_Handle handle = descriptor->instantiate(descriptor, kRate, bundle.c_str(), urids.Features());
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
    Input(nullptr);
    // The first run takes the ports' values as they are; let the engine settle after it.
    Block();
    Block();
  }
  ~Instance() {
    if (!handle) return;
    descriptor->deactivate(handle);
    descriptor->cleanup(handle);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return handle != nullptr; }

  // What midi_in holds for each run from now on: the block's events at their frames, or none.
  void Input(const EventBlock* block) {
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
  void Block() {
    for (auto* buffer : {&midiOut, &notify}) {
      auto* atom = reinterpret_cast<LV2_Atom*>(buffer->data());
      atom->type = chunk;
      atom->size = kAtomBytes - sizeof(LV2_Atom);
    }
    descriptor->run(handle, kFrames);
  }

  // The MIDI events the last run wrote to midi_out.
  int SentInLastBlock() const {
    int count = 0;
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(midiOut.data());
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) count += event->body.type == midiEvent;
    return count;
  }
};

}  // namespace bench::lv2
