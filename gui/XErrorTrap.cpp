// The toolkit's X error handler, its place in front of the host's, and the trap around property reads.
#include "gui/XErrorTrap.h"

#include <X11/Xproto.h>

#include <atomic>
#include <cstdio>

#include "gui/SControl.h"
#include "gui/SToolkitLock.h"
#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

std::recursive_mutex trapMutex;
thread_local int trapDepth = 0;

std::mutex installMutex;
// The handler that was current before ours: the host's, or Xlib's default.
std::atomic<XErrorHandler> previousHandler{nullptr};

// Errors that are expected in normal running, flagged but not reported:
// - BadWindow and BadDrawable of any request: windows go away under us (an event queued before its window
//   was destroyed, a host that destroys its window with the editor's inside it); the requests that follow
//   fail harmlessly until the editor notices.
// - SetInputFocus/BadMatch: the window became unviewable between our check and the server's.
bool IsBenign(const XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return true;
  return error->request_code == X_SetInputFocus && error->error_code == BadMatch;
}

bool IsOurs(Display* display, const XErrorEvent* error) {
  return trapDepth > 0 || (display && display == dps) || SToolkitLock::MadeByToolkit(display, error->serial);
}

void Report(Display* display, const XErrorEvent* error) {
  char text[1024];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "XError Message: %s\n", text);
  if (error->request_code >= 128) return;
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

}  // namespace

int errorHandler(Display* display, XErrorEvent* error) {
  if (!IsOurs(display, error)) {
    XErrorHandler previous = previousHandler.load(std::memory_order_acquire);
    return previous ? previous(display, error) : 0;
  }
  SControl::xerror.store(1, std::memory_order_release);
  if (!IsBenign(error)) Report(display, error);
  return 0;
}

void InstallErrorHandler() {
  std::lock_guard<std::mutex> guard(installMutex);
  XErrorHandler current = XSetErrorHandler(errorHandler);
  if (current != errorHandler) previousHandler.store(current, std::memory_order_release);
}

void UninstallErrorHandler() {
  std::lock_guard<std::mutex> guard(installMutex);
  XErrorHandler previous = previousHandler.exchange(nullptr, std::memory_order_acq_rel);
  XErrorHandler current = XSetErrorHandler(previous);
  // Someone put a handler in front of ours meanwhile: theirs stays.
  if (current != errorHandler) XSetErrorHandler(current);
}

XErrorTrap::XErrorTrap() : hold(trapMutex) {
  InstallErrorHandler();
  ++trapDepth;
  SControl::xerror.store(0, std::memory_order_release);
}

XErrorTrap::~XErrorTrap() { --trapDepth; }

bool XErrorTrap::Failed() const { return SControl::xerror.load(std::memory_order_acquire) != 0; }

}  // namespace tovo::gui
