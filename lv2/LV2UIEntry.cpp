// The bundle's UI entry point: the X11 UI's descriptor, each call handed to the UI of its instance.
// Nothing thrown reaches the host.
#include <lv2/ui/ui.h>

#include <cstring>

#include "lv2/LV2EditorUI.h"
#include "lv2/LV2Ports.h"

namespace {

using vantorine::lv2::LV2EditorUI;

LV2EditorUI* UIOf(LV2UI_Handle handle) {
  return static_cast<LV2EditorUI*>(handle);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  try {
    return LV2EditorUI::Create(write, controller, widget, features);
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) {
  delete UIOf(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  UIOf(handle)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle handle) {
  try {
    return UIOf(handle)->Idle();
  } catch (...) {
    return 0;
  }
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

const void* ExtensionData(const char* uri) {
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {vantorine::lv2::kUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
