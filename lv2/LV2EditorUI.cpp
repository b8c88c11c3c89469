// The UI's life: opening the editor into the host's window, the idle passes, and keeping the host's preset
// and MIDI thru ports in step with the plug-in.
#include "lv2/LV2EditorUI.h"

#include <X11/Xlib.h>
#include <lv2/core/lv2_util.h>
#include <lv2/instance-access/instance-access.h>

#include <cstring>

#include "gui/SControl.h"
#include "gui/XDisplay.h"
#include "plugin/VSTPlugin.h"

namespace vantorine::lv2 {
LV2EditorUI* LV2EditorUI::Create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                 LV2UI_Widget* widget, const LV2_Feature* const* features) {
  void* parent = lv2_features_data(features, LV2_UI__parent);
  auto* plugin = static_cast<LV2Adapter*>(lv2_features_data(features, LV2_INSTANCE_ACCESS_URI));
  // One editor per instance: a second UI while one shows it would take its panel away.
  if (!parent || !plugin || plugin->EngineEntry().EditorWindow()) return nullptr;
  auto* resize = static_cast<LV2UI_Resize*>(lv2_features_data(features, LV2_UI__resize));
  auto* ui = new LV2EditorUI(plugin, write, controller, resize);

  plugin->AttachEditorHost(ui);
  // No display passed: the editor lives on its own connection and reads it in the idle passes. One pass
  // lays the panel out for its strips; the sizes it goes through meanwhile are not the host's business
  // (Qtractor keeps the first size it is asked for as the window's smallest).
  ui->opening = true;
  const bool opened = plugin->EngineEntry().OpenEditor(reinterpret_cast<unsigned long>(parent));
  ui->opening = false;
  ui->panelWindow = plugin->EngineEntry().EditorWindow();
  if (!opened || !ui->panelWindow) {
    delete ui;
    return nullptr;
  }
  int width = 0;
  int height = 0;
  // Some hosts size the UI's window only when asked, so it is asked for now and not only on a change.
  if (plugin->EngineEntry().EditorSize(width, height)) ui->AskForSize(width, height);
  ui->FollowPlugin();
  // The host looks at the window on a connection of its own: it must exist there when we return.
  XSync(tovo::gui::dps, False);
  *widget = reinterpret_cast<LV2UI_Widget>(ui->panelWindow);
  return ui;
}

LV2EditorUI::LV2EditorUI(LV2Adapter* plugin, LV2UI_Write_Function writeFunction,
                         LV2UI_Controller hostController, LV2UI_Resize* hostResize)
    : adapter(plugin), write(writeFunction), controller(hostController), resize(hostResize) {}

LV2EditorUI::~LV2EditorUI() {
  adapter->AttachEditorHost(nullptr);
  // The editor is back in its holder when this returns, so the host may destroy its window now.
  adapter->EngineEntry().CloseEditor();
}

int LV2EditorUI::Idle() {
  adapter->EngineEntry().IdleEditor();
  FollowPlugin();
  return 0;
}

void LV2EditorUI::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (format != 0 || size != sizeof(float) || !buffer) return;
  float value;
  std::memcpy(&value, buffer, sizeof(value));
  // The panel follows the plug-in, which the port reaches through the next run.
  if (port == kPresetPort) presetPortValue = value;
  if (port == kMidiThruPort) thruPortValue = value;
}

// A change the plug-in made itself goes to the port, once; one the host made through the port is there.
void LV2EditorUI::FollowPlugin() {
  const int preset = adapter->EngineEntry().Preset() + 1;
  if (preset != pluginPreset) {
    pluginPreset = preset;
    if (PresetFromPort(presetPortValue) + 1 != preset) WritePort(kPresetPort, static_cast<float>(preset));
  }
  const bool thru = adapter->EngineEntry().Parameter(VSTPlugin::kMidiThru) > 0.5f;
  if (thru != pluginThru) {
    pluginThru = thru;
    if ((thruPortValue > 0.5f) != thru) WritePort(kMidiThruPort, thru ? 1.f : 0.f);
  }
}

void LV2EditorUI::WritePort(uint32_t port, float value) {
  if (port == kPresetPort) presetPortValue = value;
  if (port == kMidiThruPort) thruPortValue = value;
  if (write) write(controller, port, sizeof(value), 0, &value);
}

bool LV2EditorUI::ResizeWindow(int width, int height) {
  if (!opening) AskForSize(width, height);
  return resize != nullptr;
}

void LV2EditorUI::AskForSize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  if (panelWindow) {
    // Hosts that embed through suil (Ardour) stretch a UI to their window's width unless it has a largest
    // size hint. A smallest one would keep their window from ever growing: suil pins its size request to it
    // when it maps the UI.
    tovo::gui::SControl::SetSizeHints(tovo::gui::dps, panelWindow, width, height,
                                      tovo::gui::SControl::SizeLimits::kNoSmallest);
    // The host reads the hints on its own connection as soon as it is asked.
    XSync(tovo::gui::dps, False);
  }
  if (resize) resize->ui_resize(resize->handle, width, height);
}

}  // namespace vantorine::lv2
