// The toolkit's X error handling. Xlib has one process-wide error handler and its default one ends the
// process, so the toolkit installs its own in front of whatever handler was there: errors that the toolkit
// caused (anything on its own connection, requests it made on the host's connection, property reads inside a
// trap) are reported and flagged, never fatal; every other error goes on to the handler installed before.
#pragma once

#include <X11/Xlib.h>

#include <mutex>

namespace tovo::gui {

// Puts the toolkit's handler in front (again, when a host has replaced it meanwhile). Any thread.
void InstallErrorHandler();
// Library unload: gives the handler slot back, so that no error ever reaches unloaded code.
void UninstallErrorHandler();

// Marks the calling thread's requests as expected to fail (property reads of windows that may be gone) and
// clears SControl::xerror; traps of different threads are serialised so that the flag answers for one.
class XErrorTrap {
 public:
  XErrorTrap();
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // True when an error was reported since the trap was set.
  bool Failed() const;

 private:
  std::unique_lock<std::recursive_mutex> hold;
};

// The toolkit's handler: an error of ours is reported on standard error (unless it is a benign one) and
// flagged in SControl::xerror; any other goes to the previous handler.
int errorHandler(Display* display, XErrorEvent* error);

}  // namespace tovo::gui
