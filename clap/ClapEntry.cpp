// The module's entry: its one plug-in descriptor, the factory, and the C interfaces a host calls, each
// handed to the instance. Nothing thrown reaches the host.
#include <cstring>

#include "clap/ClapHeaders.h"
#include "clap/ClapPlugin.h"
#include "plugin/ProductInfo.h"

namespace {

using vantorine::clap::ClapPlugin;

// The CLAP instance and ours, one allocation.
struct Instance {
  clap_plugin_t clap;
  std::unique_ptr<ClapPlugin> plugin;
};

ClapPlugin& Of(const clap_plugin_t* clap) {
  return *static_cast<Instance*>(clap->plugin_data)->plugin;
}

// The instance, for a call that changes it or the editor and must come on the main thread; null, and the
// call refused, when the host says it comes on another. The host's questions about it are answered anywhere.
ClapPlugin* OnMain(const clap_plugin_t* clap) {
  ClapPlugin& plugin = Of(clap);
  return plugin.OnMainThread() ? &plugin : nullptr;
}

const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_NOTE_EFFECT, CLAP_PLUGIN_FEATURE_UTILITY, nullptr};
const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION_INIT,
    vantorine::clap::kPluginId,
    vantorine::kProductName,
    vantorine::kVendorName,
    "",
    "",
    "",
    VANTORINE_VERSION,
    "Puts external MIDI sound modules into a known state: SysEx, then each part's bank, program, volume "
    "and controllers, per preset",
    kFeatures,
};

// Note ports: one MIDI in, one MIDI out.
uint32_t NotePortCount(const clap_plugin_t*, bool) {
  return 1;
}

bool NotePortInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
  if (index != 0 || !info) return false;
  *info = {};
  info->id = 0;
  info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
  info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
  std::strcpy(info->name, isInput ? "MIDI in" : "MIDI out");
  return true;
}

const clap_plugin_note_ports_t kNotePorts = {NotePortCount, NotePortInfo};

uint32_t ParamsCount(const clap_plugin_t* clap) {
  return Of(clap).Parameters().Count();
}

bool ParamsInfo(const clap_plugin_t* clap, uint32_t index, clap_param_info_t* info) {
  return info && Of(clap).Parameters().Info(index, *info);
}

bool ParamsValue(const clap_plugin_t* clap, clap_id id, double* value) {
  return value && Of(clap).Parameters().Value(id, *value);
}

bool ParamsValueToText(const clap_plugin_t* clap, clap_id id, double value, char* text, uint32_t size) {
  return Of(clap).Parameters().ValueToText(id, value, text, size);
}

bool ParamsTextToValue(const clap_plugin_t* clap, clap_id id, const char* text, double* value) {
  return value && Of(clap).Parameters().TextToValue(id, text, *value);
}

void ParamsFlush(const clap_plugin_t* clap, const clap_input_events_t* in, const clap_output_events_t* out) {
  if (in && out && Of(clap).OnFlushThread()) Of(clap).Flush(*in, *out);
}

const clap_plugin_params_t kParams = {ParamsCount, ParamsInfo, ParamsValue, ParamsValueToText, ParamsTextToValue,
                                      ParamsFlush};

bool StateSave(const clap_plugin_t* clap, const clap_ostream_t* stream) {
  try {
    ClapPlugin* plugin = OnMain(clap);
    return stream && plugin && plugin->Save(*stream);
  } catch (...) {
    return false;
  }
}

bool StateLoad(const clap_plugin_t* clap, const clap_istream_t* stream) {
  try {
    ClapPlugin* plugin = OnMain(clap);
    return stream && plugin && plugin->Load(*stream);
  } catch (...) {
    return false;
  }
}

const clap_plugin_state_t kState = {StateSave, StateLoad};

bool GuiIsApiSupported(const clap_plugin_t* clap, const char* api, bool floating) {
  return Of(clap).Editor().IsApiSupported(api, floating);
}

bool GuiPreferredApi(const clap_plugin_t*, const char** api, bool* floating) {
  if (!api || !floating) return false;
  *api = CLAP_WINDOW_API_X11;
  *floating = false;
  return true;
}

bool GuiCreate(const clap_plugin_t* clap, const char* api, bool floating) {
  ClapPlugin* plugin = OnMain(clap);
  return plugin && plugin->Editor().Create(api, floating);
}

void GuiDestroy(const clap_plugin_t* clap) {
  if (ClapPlugin* plugin = OnMain(clap)) plugin->Editor().Destroy();
}

// The toolkit draws at its own size.
bool GuiSetScale(const clap_plugin_t*, double) {
  return false;
}

bool GuiSize(const clap_plugin_t* clap, uint32_t* width, uint32_t* height) {
  return width && height && Of(clap).Editor().Size(*width, *height);
}

// The panel sets its own size, from its strips.
bool GuiCanResize(const clap_plugin_t*) {
  return false;
}

bool GuiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) {
  return false;
}

bool GuiAdjustSize(const clap_plugin_t* clap, uint32_t* width, uint32_t* height) {
  return GuiSize(clap, width, height);
}

bool GuiSetSize(const clap_plugin_t* clap, uint32_t width, uint32_t height) {
  uint32_t ownWidth = 0, ownHeight = 0;
  return Of(clap).Editor().Size(ownWidth, ownHeight) && width == ownWidth && height == ownHeight;
}

bool GuiSetParent(const clap_plugin_t* clap, const clap_window_t* window) {
  try {
    ClapPlugin* plugin = OnMain(clap);
    return window && plugin && plugin->Editor().SetParent(*window);
  } catch (...) {
    return false;
  }
}

bool GuiSetTransient(const clap_plugin_t*, const clap_window_t*) {
  return false;
}

void GuiSuggestTitle(const clap_plugin_t*, const char*) {}

// The editor is a child of the host's window: it shows and hides with it.
bool GuiShowOrHide(const clap_plugin_t*) {
  return true;
}

const clap_plugin_gui_t kGui = {GuiIsApiSupported, GuiPreferredApi, GuiCreate,    GuiDestroy,      GuiSetScale,
                                GuiSize,           GuiCanResize,    GuiResizeHints, GuiAdjustSize, GuiSetSize,
                                GuiSetParent,      GuiSetTransient, GuiSuggestTitle, GuiShowOrHide, GuiShowOrHide};

void TimerFired(const clap_plugin_t* clap, clap_id timer) {
  if (ClapPlugin* plugin = OnMain(clap)) plugin->Editor().OnTimer(timer);
}

const clap_plugin_timer_support_t kTimer = {TimerFired};

bool Init(const clap_plugin_t* clap) {
  Of(clap).Init();
  return true;
}

void Destroy(const clap_plugin_t* clap) {
  delete static_cast<Instance*>(clap->plugin_data);
}

bool Activate(const clap_plugin_t* clap, double sampleRate, uint32_t, uint32_t maxFrames) {
  ClapPlugin* plugin = OnMain(clap);
  if (!plugin) return false;
  plugin->Activate(sampleRate, maxFrames);
  return true;
}

void Deactivate(const clap_plugin_t* clap) {
  if (ClapPlugin* plugin = OnMain(clap)) plugin->Deactivate();
}

bool StartProcessing(const clap_plugin_t*) {
  return true;
}

void StopProcessing(const clap_plugin_t*) {}

void Reset(const clap_plugin_t*) {}

clap_process_status Process(const clap_plugin_t* clap, const clap_process_t* process) {
  return process ? Of(clap).Process(*process) : CLAP_PROCESS_ERROR;
}

const void* Extension(const clap_plugin_t*, const char* id) {
  if (!id) return nullptr;
  if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &kNotePorts;
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kGui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimer;
  return nullptr;
}

void OnMainThread(const clap_plugin_t* clap) {
  if (ClapPlugin* plugin = OnMain(clap)) plugin->MainThreadCallback();
}

uint32_t FactoryCount(const clap_plugin_factory_t*) {
  return 1;
}

const clap_plugin_descriptor_t* FactoryDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* FactoryCreate(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
  if (!host || !id || std::strcmp(id, kDescriptor.id) != 0 || !clap_version_is_compatible(host->clap_version))
    return nullptr;
  try {
    auto* instance = new Instance{};
    instance->plugin = ClapPlugin::Create(*host);
    if (!instance->plugin) {
      delete instance;
      return nullptr;
    }
    instance->clap = {&kDescriptor, instance, Init,    Destroy, Activate,  Deactivate, StartProcessing,
                      StopProcessing, Reset,  Process, Extension, OnMainThread};
    return &instance->clap;
  } catch (...) {
    return nullptr;  // out of memory while building
  }
}

const clap_plugin_factory_t kFactory = {FactoryCount, FactoryDescriptor, FactoryCreate};

bool EntryInit(const char*) {
  return true;
}

void EntryDeinit() {}

const void* EntryFactory(const char* id) {
  return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, EntryInit, EntryDeinit, EntryFactory};
