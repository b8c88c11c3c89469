// The LV2 X11 UI: the plug-in's own editor, opened by the engine into the host's window exactly as a VST 2
// host that passes no X display opens it. The host hands such a UI no X events; the editor reads its own
// connection in idle(), and every X call and every change in its controls happens inside the host's calls
// into the UI (instantiate, idle, port_event, cleanup), on the host's UI thread.
//
// The host's ports and the editor agree: when the plug-in changes its preset or MIDI thru by itself (a
// Program Change coming in, the editor's Thru button), the UI writes the port, so the host's controls and
// automation show it; the plug-in ignores that echo.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "lv2/LV2Adapter.h"

namespace vantorine::lv2 {

class LV2EditorUI : public LV2EditorHost {
 public:
  // Null when the host offers no parent window or no access to the plug-in instance, when there is no X
  // display, or when another UI shows this instance's editor already.
  static LV2EditorUI* Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                             const LV2_Feature* const* features);
  ~LV2EditorUI() override;
  LV2EditorUI(const LV2EditorUI&) = delete;
  LV2EditorUI& operator=(const LV2EditorUI&) = delete;

  // 0 while the UI lives on.
  int Idle();
  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);

  bool CanResizeWindow() const override { return resize != nullptr; }
  bool ResizeWindow(int width, int height) override;

 private:
  LV2EditorUI(LV2Adapter* plugin, LV2UI_Write_Function write, LV2UI_Controller controller,
              LV2UI_Resize* resize);
  void FollowPlugin();
  void WritePort(uint32_t port, float value);
  void AskForSize(int width, int height);

  LV2Adapter* adapter;
  LV2UI_Write_Function write;
  LV2UI_Controller controller;
  LV2UI_Resize* resize;
  unsigned long panelWindow = 0;
  bool opening = false;
  // What the host's ports show, and what the plug-in had at the last look.
  float presetPortValue = 1.f;
  float thruPortValue = 0.f;
  int pluginPreset = -1;
  bool pluginThru = false;
};

}  // namespace vantorine::lv2
