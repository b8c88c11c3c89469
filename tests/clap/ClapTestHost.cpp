// The test host's module loading, process blocks, streams, editor embedding and timers.
#include "tests/clap/ClapTestHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "CallCounter.h"
#include "midi/MidiMessageLength.h"

namespace claptest {
namespace {

// A block's input events, owned here; CLAP hosts hand them over sorted by time.
struct InputEvents {
  std::vector<clap_event_midi_t> midi;
  std::vector<clap_event_param_value_t> values;
  std::vector<const clap_event_header_t*> sorted;
  clap_input_events_t list{this, Size, Get};

  InputEvents(const std::vector<TimedMidi>& messages, const std::vector<ParamChange>& params) {
    for (const ParamChange& change : params) {
      clap_event_param_value_t value = {};
      value.header = {sizeof(value), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      value.param_id = change.id;
      value.note_id = value.port_index = value.channel = value.key = -1;
      value.value = change.value;
      values.push_back(value);
    }
    for (const TimedMidi& message : messages) {
      clap_event_midi_t event = {};
      event.header = {sizeof(event), message.frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
      std::copy_n(message.bytes.begin(), std::min<size_t>(3, message.bytes.size()), event.data);
      midi.push_back(event);
    }
    for (const auto& value : values) sorted.push_back(&value.header);
    for (const auto& event : midi) sorted.push_back(&event.header);
    std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->time < b->time; });
  }
  static uint32_t Size(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<InputEvents*>(list->ctx)->sorted.size());
  }
  static const clap_event_header_t* Get(const clap_input_events_t* list, uint32_t index) {
    return static_cast<InputEvents*>(list->ctx)->sorted.at(index);
  }
};

// What comes out: MIDI and parameter values, their bytes copied at once (a SysEx's too, as a host must
// before the call returns) into room made before the block, so that taking an event allocates nothing.
struct OutputEvents {
  struct Taken {
    uint32_t time;
    size_t at, size;
  };
  std::vector<Taken> midi;
  std::vector<uint8_t> bytes;
  std::vector<ParamChange> values;
  std::vector<uint32_t> times;
  uint32_t room;
  clap_output_events_t list{this, Push};

  explicit OutputEvents(uint32_t eventRoom) : room(eventRoom) {
    midi.reserve(4096);
    bytes.reserve(1 << 20);
    values.reserve(64);
    times.reserve(8192);
  }
  static bool Push(const clap_output_events_t* list, const clap_event_header_t* event) {
    auto& self = *static_cast<OutputEvents*>(list->ctx);
    if (self.room == 0 || event->space_id != CLAP_CORE_EVENT_SPACE_ID) return false;
    --self.room;
    self.times.push_back(event->time);
    if (event->type == CLAP_EVENT_MIDI) {
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      self.take(event->time, midi->data, MidiMessageLength(midi->data[0]));
    } else if (event->type == CLAP_EVENT_MIDI_SYSEX) {
      const auto* sysex = reinterpret_cast<const clap_event_midi_sysex_t*>(event);
      self.take(event->time, sysex->buffer, sysex->size);
    } else if (event->type == CLAP_EVENT_PARAM_VALUE) {
      const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
      self.values.push_back({value->param_id, value->value});
    }
    return true;
  }
  void take(uint32_t time, const uint8_t* from, size_t size) {
    midi.push_back({time, bytes.size(), size});
    bytes.insert(bytes.end(), from, from + size);
  }
  std::vector<TimedMidi> messages() const {
    std::vector<TimedMidi> out;
    for (const Taken& taken : midi)
      out.push_back({taken.time, Bytes(bytes.begin() + taken.at, bytes.begin() + taken.at + taken.size)});
    return out;
  }
};

struct OutStream {
  Bytes bytes;
  size_t piece;
  clap_ostream_t stream{this, Write};
  static int64_t Write(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
    auto& self = *static_cast<OutStream*>(stream->ctx);
    const size_t taken = std::min<uint64_t>(size, self.piece);
    const auto* from = static_cast<const uint8_t*>(buffer);
    self.bytes.insert(self.bytes.end(), from, from + taken);
    return static_cast<int64_t>(taken);
  }
};

struct InStream {
  const Bytes& bytes;
  size_t piece;
  size_t at = 0;
  clap_istream_t stream{this, Read};
  static int64_t Read(const clap_istream_t* stream, void* buffer, uint64_t size) {
    auto& self = *static_cast<InStream*>(stream->ctx);
    const size_t given = std::min<uint64_t>({size, self.piece, self.bytes.size() - self.at});
    // An empty state has no bytes to copy from at all.
    if (given > 0) std::memcpy(buffer, self.bytes.data() + self.at, given);
    self.at += given;
    return static_cast<int64_t>(given);
  }
};

}  // namespace

ClapModule::ClapModule(const std::string& path) {
  library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return;
  entry = static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry"));
  if (!entry || !entry->init(path.c_str())) {
    entry = nullptr;
    return;
  }
  factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
}

ClapModule::~ClapModule() {
  if (entry) entry->deinit();
  if (library) dlclose(library);
}

ClapInstance& ClapInstance::Of(const clap_host_t* host) {
  return *static_cast<ClapInstance*>(host->host_data);
}

void ClapInstance::checkMainThread() {
  if (std::this_thread::get_id() != mainThread) ++offMain;
}

const clap_host_params_t ClapInstance::kHostParams = {
    [](const clap_host_t* host, clap_param_rescan_flags flags) {
      Of(host).checkMainThread();
      if (flags & CLAP_PARAM_RESCAN_VALUES) ++Of(host).rescans;
    },
    [](const clap_host_t* host, clap_id, clap_param_clear_flags) { Of(host).checkMainThread(); },
    [](const clap_host_t* host) {
      ++Of(host).flushRequested;
      Of(host).flushPending = true;
    }};

const clap_host_state_t ClapInstance::kHostState = {[](const clap_host_t* host) {
  Of(host).checkMainThread();
  ++Of(host).dirtyMarks;
}};

const clap_host_gui_t ClapInstance::kHostGui = {
    [](const clap_host_t*) {},
    [](const clap_host_t* host, uint32_t width, uint32_t height) {
      Of(host).resizes.push_back({width, height});
      return true;
    },
    [](const clap_host_t*) { return false; }, [](const clap_host_t*) { return false; },
    [](const clap_host_t*, bool) {}};

const clap_host_timer_support_t ClapInstance::kHostTimer = {
    [](const clap_host_t* host, uint32_t period, clap_id* id) {
      ClapInstance& self = Of(host);
      self.checkMainThread();
      *id = self.nextTimer++;
      self.timers[*id] = period;
      return true;
    },
    [](const clap_host_t* host, clap_id id) {
      Of(host).checkMainThread();
      return Of(host).timers.erase(id) == 1;
    }};

const clap_host_thread_check_t ClapInstance::kHostThreadCheck = {
    [](const clap_host_t* host) { return std::this_thread::get_id() == Of(host).mainThread; },
    [](const clap_host_t* host) { return std::this_thread::get_id() != Of(host).mainThread; }};

const void* ClapInstance::GetExtension(const clap_host_t*, const char* id) {
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kHostParams;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kHostState;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kHostGui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kHostTimer;
  if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return &kHostThreadCheck;
  return nullptr;
}

void ClapInstance::RequestCallback(const clap_host_t* host) {
  Of(host).callbackRequested = true;
}

ClapInstance::ClapInstance(ClapModule& module) : mainThread(std::this_thread::get_id()) {
  host = {CLAP_VERSION_INIT, this, "Vantorine test host", "velkaro", "", "1", GetExtension,
          [](const clap_host_t*) {}, [](const clap_host_t*) {}, RequestCallback};
  if (!module.ok()) return;
  const clap_plugin_descriptor_t* descriptor = module.pluginFactory()->get_plugin_descriptor(module.pluginFactory(), 0);
  plugin = module.pluginFactory()->create_plugin(module.pluginFactory(), &host, descriptor->id);
  if (!plugin) return;
  if (!plugin->init(plugin)) {
    plugin->destroy(plugin);
    plugin = nullptr;
    return;
  }
  paramsExt = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  stateExt = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
  guiExt = static_cast<const clap_plugin_gui_t*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
  timerExt = static_cast<const clap_plugin_timer_support_t*>(plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
}

ClapInstance::~ClapInstance() {
  if (!plugin) return;
  if (active) {
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
  }
  plugin->destroy(plugin);
}

bool ClapInstance::activate() {
  active = plugin->activate(plugin, kRate, 1, kMaxBlock) && plugin->start_processing(plugin);
  return active;
}

std::vector<TimedMidi> ClapInstance::process(uint32_t frames, const std::vector<TimedMidi>& midiIn,
                                             const std::vector<ParamChange>& params) {
  InputEvents in(midiIn, params);
  OutputEvents out(outRoom);
  // A block is what a requested flush waits for while the plug-in processes.
  flushPending = false;
  clap_process_t block = {};
  block.steady_time = steadyTime;
  block.frames_count = frames;
  block.in_events = &in.list;
  block.out_events = &out.list;
  callcount::SetCounting(countCalls);
  plugin->process(plugin, &block);
  callcount::SetCounting(false);
  steadyTime += frames;
  if (!std::is_sorted(out.times.begin(), out.times.end())) return {{~0u, {}}};
  paramOut = out.values;
  return out.messages();
}

std::vector<ParamChange> ClapInstance::flush(const std::vector<ParamChange>& params) {
  InputEvents in({}, params);
  OutputEvents out(outRoom);
  paramsExt->flush(plugin, &in.list, &out.list);
  paramOut = out.values;
  return out.values;
}

bool ClapInstance::saveState(Bytes& bytes, size_t piece) {
  OutStream stream{{}, piece};
  const bool saved = stateExt->save(plugin, &stream.stream);
  bytes = stream.bytes;
  return saved;
}

bool ClapInstance::loadState(const Bytes& bytes, size_t piece) {
  InStream stream{bytes, piece};
  return stateExt->load(plugin, &stream.stream);
}

bool ClapInstance::runMainThreadCallback() {
  if (!callbackRequested) return false;
  callbackRequested = false;
  plugin->on_main_thread(plugin);
  return true;
}

void ClapInstance::idle() {
  fireTimers();
  runMainThreadCallback();
  if (!flushPending || active) return;
  flushPending = false;
  const std::vector<ParamChange> told = flush();
  learned.insert(learned.end(), told.begin(), told.end());
}

bool ClapInstance::openEditor(unsigned long parent) {
  if (!guiExt || !guiExt->is_api_supported(plugin, CLAP_WINDOW_API_X11, false) ||
      !guiExt->create(plugin, CLAP_WINDOW_API_X11, false))
    return false;
  uint32_t width = 0, height = 0;
  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_X11;
  window.x11 = parent;
  if (!guiExt->get_size(plugin, &width, &height) || !guiExt->set_parent(plugin, &window) || !guiExt->show(plugin)) {
    guiExt->destroy(plugin);
    return false;
  }
  return true;
}

void ClapInstance::closeEditor() {
  guiExt->hide(plugin);
  guiExt->destroy(plugin);
}

void ClapInstance::fireTimers() {
  const auto registered = timers;
  for (const auto& timer : registered) timerExt->on_timer(plugin, timer.first);
}

}  // namespace claptest
