// The bundle's entry point: the plug-in's descriptor and the state interface, each call handed to the
// adapter of its instance. Nothing thrown reaches the host.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "lv2/LV2Adapter.h"
#include "lv2/LV2Ports.h"

namespace {

using vantorine::lv2::LV2Adapter;

LV2Adapter* AdapterOf(LV2_Handle instance) {
  return static_cast<LV2Adapter*>(instance);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char* bundlePath,
                       const LV2_Feature* const* features) {
  try {
    return LV2Adapter::Create(rate, bundlePath, features);
  } catch (...) {
    return nullptr;  // out of memory while building
  }
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  AdapterOf(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
  AdapterOf(instance)->Activate();
}

void Run(LV2_Handle instance, uint32_t frames) {
  AdapterOf(instance)->Run(frames);
}

void Deactivate(LV2_Handle instance) {
  AdapterOf(instance)->Deactivate();
}

void Cleanup(LV2_Handle instance) {
  delete AdapterOf(instance);
}

LV2_State_Status Save(LV2_State_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
  try {
    return AdapterOf(instance)->Save(store, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_State_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
  try {
    return AdapterOf(instance)->Restore(retrieve, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {Save, Restore};

const void* ExtensionData(const char* uri) {
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {
    vantorine::lv2::kPluginUri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
