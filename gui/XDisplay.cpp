// The toolkit's two X connections and their lifetime.
#include "gui/XDisplay.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace tovo::gui {

Display* dp = nullptr;
Display* dps = nullptr;

Display* CurrentDisplay() { return dp ? dp : dps; }

void OpenToolkitDisplay() {
  if (dps) return;
  const char* name = std::getenv("DISPLAY");
  dps = XOpenDisplay(name ? name : ":0.0");
  if (dps)
    XFlush(dps);
  else
    std::fputs("Error: XOpenDisplay failed.\n", stderr);
}

void CloseToolkitDisplay() {
  if (!dps) return;
  XCloseDisplay(dps);
  dps = nullptr;
}

}  // namespace tovo::gui
