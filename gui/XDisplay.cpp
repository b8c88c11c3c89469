// The toolkit's two X connections, their lifetime, and the pump for our own connection.
#include "gui/XDisplay.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "gui/SControl.h"
#include "gui/XEventEntry.h"
#include "threading/STimerIdle.h"

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
  tovo::threading::STimerIdle::Shutdown();
  ReleaseEventEntry();
  if (!dps) return;
  XCloseDisplay(dps);
  dps = nullptr;
}

int PumpToolkitEvents() {
  if (!dps) return 0;
  int handled = 0;
  while (XPending(dps) > 0) {
    XEvent event;
    XNextEvent(dps, &event);
    SControl::eventProc(&event);
    ++handled;
  }
  return handled;
}

unsigned long InternAtom(const char* name, bool onlyIfExists) {
  Display* display = CurrentDisplay();
  if (!display) return 0;
  return XInternAtom(display, name, onlyIfExists ? True : False);
}

}  // namespace tovo::gui
