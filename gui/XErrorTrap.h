// Catching X errors around the toolkit's own requests. X reports errors asynchronously and through one
// process-wide handler, so the trap installs the toolkit's handler for its lifetime, serialises traps of
// different threads, and restores whatever handler the host had.
#pragma once

#include <X11/Xlib.h>

#include <mutex>

namespace tovo::gui {

class XErrorTrap {
 public:
  // Clears SControl::xerror and installs the handler.
  XErrorTrap();
  // Restores the previous handler.
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // True when an error was reported since the trap was set.
  bool Failed() const;

 private:
  std::unique_lock<std::recursive_mutex> hold;
  XErrorHandler previous;
};

// The toolkit's handler: reports the error on standard error (unless it is a benign one) and flags it.
int errorHandler(Display* display, XErrorEvent* error);

}  // namespace tovo::gui
