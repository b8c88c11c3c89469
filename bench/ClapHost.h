// The benchmarks' CLAP host: the built vantorine.clap loaded once through clap_entry and its plug-in
// factory, instances made, activated for blocks of 512 frames and started, and each block processed with an
// input event list (MIDI events in the MIDI dialect, at their frames) and an output list that takes every
// event, as hosts do. The plug-in has no audio ports, so its blocks carry no audio. What it sends the host
// only counts; the host offers none of its extensions.
#pragma once

#include <clap/entry.h>
#include <clap/events.h>
#include <clap/host.h>
#include <clap/plugin-factory.h>
#include <clap/plugin.h>
#include <clap/process.h>
#include <dlfcn.h>

#include <cstdint>
#include <vector>

#include "bench/BenchStreams.h"

namespace bench::clap {

inline const clap_plugin_factory_t* factory = nullptr;

// Null when the module is loaded and its entry initialised, else why it is not.
inline const char* Load(const char* path) {
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!module) return dlerror();
  const auto* entry = static_cast<const clap_plugin_entry_t*>(dlsym(module, "clap_entry"));
  if (!entry || !entry->init(path)) return "no clap_entry, or it refused to start";
  factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  return factory && factory->get_plugin_count(factory) > 0 ? nullptr : "no plug-in factory";
}

// The parameter "OP: Thru".
constexpr clap_id kThruId = 1;

// The host the plug-in sees: it asks for nothing back.
inline const clap_host_t kHost = {CLAP_VERSION_INIT,
                                  nullptr,
                                  "Vantorine benchmarks",
                                  "",
                                  "",
                                  "1",
                                  [](const clap_host_t*, const char*) -> const void* { return nullptr; },
                                  [](const clap_host_t*) {},
                                  [](const clap_host_t*) {},
                                  [](const clap_host_t*) {}};

inline const clap_plugin_t* Create() {
  const clap_plugin_t* plugin =
      factory->create_plugin(factory, &kHost, factory->get_plugin_descriptor(factory, 0)->id);
  if (plugin && !plugin->init(plugin)) {
    plugin->destroy(plugin);
    return nullptr;
  }
  return plugin;
}

// A new instance and its end, nothing else: what making one costs the module.
inline void CreateAndClose() {
  if (const clap_plugin_t* plugin = Create()) plugin->destroy(plugin);
}

// One instance, active and processing, MIDI thru on.
class Instance {
 public:
  Instance() : plugin(Create()) {
    if (!plugin) return;
    if (!plugin->activate(plugin, 48000, 1, kFrames) || !plugin->start_processing(plugin)) {
      plugin->destroy(plugin);
      plugin = nullptr;
      return;
    }
    // Thru goes on with the first block; the second lets the engine settle after it.
    clap_event_param_value_t thru = {};
    thru.header = {sizeof(thru), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    thru.param_id = kThruId;
    thru.note_id = thru.port_index = thru.channel = thru.key = -1;
    thru.value = 1;
    in.push_back(&thru.header);
    Block();
    Input(nullptr);
    Block();
  }
  ~Instance() {
    if (!plugin) return;
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return plugin != nullptr; }

  // What the input list holds for each block from now on: the block's events at their frames, or none.
  void Input(const EventBlock* block) {
    midi.clear();
    in.clear();
    for (int i = 0; block && i < block->size(); ++i) {
      const VstMidiEvent& from = block->events()[i];
      clap_event_midi_t event = {};
      event.header = {sizeof(event), static_cast<uint32_t>(from.deltaFrames), CLAP_CORE_EVENT_SPACE_ID,
                      CLAP_EVENT_MIDI, 0};
      for (int b = 0; b < 3; ++b) event.data[b] = static_cast<uint8_t>(from.midiData[b]);
      midi.push_back(event);
    }
    for (const clap_event_midi_t& event : midi) in.push_back(&event.header);
  }

  void Block() {
    sent = 0;
    clap_process_t process = {};
    process.steady_time = steadyTime;
    process.frames_count = kFrames;
    process.in_events = &inList;
    process.out_events = &outList;
    plugin->process(plugin, &process);
    steadyTime += kFrames;
  }
  int SentInLastBlock() const { return sent; }

 private:
  static uint32_t Size(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<const Instance*>(list->ctx)->in.size());
  }
  static const clap_event_header_t* Get(const clap_input_events_t* list, uint32_t index) {
    const auto& events = static_cast<const Instance*>(list->ctx)->in;
    return index < events.size() ? events[index] : nullptr;
  }
  static bool Push(const clap_output_events_t* list, const clap_event_header_t* event) {
    if (event->space_id == CLAP_CORE_EVENT_SPACE_ID &&
        (event->type == CLAP_EVENT_MIDI || event->type == CLAP_EVENT_MIDI_SYSEX))
      ++static_cast<Instance*>(list->ctx)->sent;
    return true;
  }

  const clap_plugin_t* plugin;
  std::vector<clap_event_midi_t> midi;
  std::vector<const clap_event_header_t*> in;
  const clap_input_events_t inList = {this, Size, Get};
  const clap_output_events_t outList = {this, Push};
  int64_t steadyTime = 0;
  int sent = 0;
};

}  // namespace bench::clap
