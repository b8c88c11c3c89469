// The toolkit's X error handler and the trap that installs it around property reads.
#include "gui/XErrorTrap.h"

#include <X11/Xproto.h>

#include <cstdio>

#include "gui/SControl.h"

namespace tovo::gui {

namespace {

std::recursive_mutex trapMutex;

struct BenignError {
  unsigned char request;
  unsigned char error;
};

// Errors that are expected in normal running, flagged but not reported:
// - GetProperty/BadWindow: an event can arrive for a window that was destroyed after the server queued it;
//   the property read is how routing finds out.
// - SetInputFocus/BadMatch: the window became unviewable between our check and the server's.
// - GrabPointer/BadWindow: the window went away while a press was being handled.
const BenignError kBenignErrors[] = {
    {X_GetProperty, BadWindow},
    {X_SetInputFocus, BadMatch},
    {X_GrabPointer, BadWindow},
};

bool IsBenign(const XErrorEvent* error) {
  for (const BenignError& benign : kBenignErrors)
    if (benign.request == error->request_code && benign.error == error->error_code) return true;
  return false;
}

}  // namespace

int errorHandler(Display* display, XErrorEvent* error) {
  SControl::xerror.store(1, std::memory_order_release);
  if (IsBenign(error)) return 0;
  char text[1024];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "XError Message: %s\n", text);
  if (error->request_code < 128) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", error->request_code);
    char request[1024];
    XGetErrorDatabaseText(display, "XRequest", number, "", request, sizeof request);
    std::fprintf(stderr, "XError Message: (%s)\n", request);
    std::fprintf(stderr, "XError Message: Request=%i\n", error->request_code);
    std::fprintf(stderr, "XError Message: Serial=%i\n", static_cast<int>(error->serial));
    std::fprintf(stderr, "XError Message: Minor=%i\n", error->minor_code);
    std::fprintf(stderr, "XError Message: XID=%i\n", static_cast<int>(error->resourceid));
  }
  return 0;
}

XErrorTrap::XErrorTrap() : hold(trapMutex) {
  SControl::xerror.store(0, std::memory_order_release);
  previous = XSetErrorHandler(errorHandler);
}

XErrorTrap::~XErrorTrap() { XSetErrorHandler(previous); }

bool XErrorTrap::Failed() const { return SControl::xerror.load(std::memory_order_acquire) != 0; }

}  // namespace tovo::gui
