// Opening the editor into the host's window, its idle passes on the host's timer, and its size.
#include "clap/ClapEditor.h"

#include <X11/Xlib.h>

#include <cstring>

#include "gui/XDisplay.h"
#include "plugin/StartUp.h"

namespace vantorine::clap {

ClapEditor::ClapEditor(Engine& engineToShow, const clap_host_t& clapHost)
    : engine(engineToShow), host(clapHost) {}

ClapEditor::~ClapEditor() {
  Destroy();
}

void ClapEditor::FindHostInterfaces() {
  hostGui = static_cast<const clap_host_gui_t*>(host.get_extension(&host, CLAP_EXT_GUI));
  hostTimer = static_cast<const clap_host_timer_support_t*>(host.get_extension(&host, CLAP_EXT_TIMER_SUPPORT));
}

// Without a timer of the host's the editor would never read its X connection.
bool ClapEditor::IsApiSupported(const char* api, bool floating) const {
  return api && std::strcmp(api, CLAP_WINDOW_API_X11) == 0 && !floating && hostTimer &&
         hostTimer->register_timer && hostTimer->unregister_timer;
}

// The toolkit's connection opens with the first editor, and an instance runs without one.
bool ClapEditor::Create(const char* api, bool floating) {
  if (created || !IsApiSupported(api, floating) || !OpenToolkit()) return false;
  created = true;
  return true;
}

void ClapEditor::Destroy() {
  if (!created) return;
  if (idleTimer != CLAP_INVALID_ID) hostTimer->unregister_timer(&host, idleTimer);
  idleTimer = CLAP_INVALID_ID;
  // The editor is back in its holder when this returns, so the host may destroy its window now.
  if (engine.EditorWindow()) engine.CloseEditor();
  created = false;
}

bool ClapEditor::Size(uint32_t& width, uint32_t& height) const {
  int w = 0, h = 0;
  if (!engine.EditorSize(w, h)) return false;
  width = static_cast<uint32_t>(w);
  height = static_cast<uint32_t>(h);
  return true;
}

bool ClapEditor::SetParent(const clap_window_t& window) {
  if (!created || engine.EditorWindow() || !window.api || std::strcmp(window.api, CLAP_WINDOW_API_X11) != 0)
    return false;
  if (!engine.OpenEditor(window.x11)) return false;
  if (!hostTimer->register_timer(&host, kIdlePeriodMs, &idleTimer)) {
    idleTimer = CLAP_INVALID_ID;
    engine.CloseEditor();
    return false;
  }
  // The host looks at the window on a connection of its own: it must exist there when we return.
  XSync(tovo::gui::dps, False);
  int width = 0, height = 0;
  // Hosts size the parent from get_size when they embed; a panel laid out for more strips than the
  // default asks once more.
  if (engine.EditorSize(width, height)) RequestResize(width, height);
  return true;
}

void ClapEditor::OnTimer(clap_id timer) {
  if (timer == idleTimer && engine.EditorWindow()) engine.IdleEditor();
}

bool ClapEditor::RequestResize(int width, int height) {
  if (!hostGui || !hostGui->request_resize || width <= 0 || height <= 0) return false;
  return hostGui->request_resize(&host, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

}  // namespace vantorine::clap
