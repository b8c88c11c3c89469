// Showing, closing and the modal loop of dialogs.
#include "gui/widgets/SDialog.h"

#include <X11/Xlib.h>

#include <cstring>

#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

// How long the modal loop waits for an event before it looks for due timers.
constexpr int kModalTurnMs = 5;

bool IsProtocolMessage(Display* display, const XEvent& event) {
  if (event.type != ClientMessage) return false;
  char* name = XGetAtomName(display, event.xclient.message_type);
  if (!name) return false;
  const bool protocols = std::strcmp(name, "WM_PROTOCOLS") == 0;
  XFree(name);
  return protocols;
}

}  // namespace

SDialog::SDialog(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name, int styleBits, int x,
                 int y, int width, int height, int hostWindow, bool flag)
    : SWindow(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag) {}

void SDialog::Present() {
  Show();
  Foreground(true);
  showing.store(true, std::memory_order_release);
}

void SDialog::ShowDialog() { Present(); }

void SDialog::CloseDialog() {
  Hide();
  showing.store(false, std::memory_order_release);
  Stop();
}

void SDialog::ShowModal() {
  Present();
  Run();
  if (Display* display = CurrentDisplay()) XFlush(display);
  RunModal();
}

void SDialog::RunModal() {
  Display* display = CurrentDisplay();
  bool protocol = false;
  // A window manager's request ends the loop at once. It is still handed on, so that a close request for
  // the dialog closes it instead of leaving it shown with nothing serving it.
  auto deliver = [&](XEvent& event) {
    protocol = IsProtocolMessage(display, event);
    eventProc(&event);
    return !protocol && Looping();
  };
  while (display && Looping() && !protocol) ServeDisplay(display, kModalTurnMs, deliver, nullptr);
}

}  // namespace tovo::gui
