// A control's X window: creation with its window-manager properties and the toolkit's own marks, the
// register of live controls that routing trusts, reparenting, and the mouse capture.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "gui/SControl.h"
#include "gui/SInput.h"
#include "gui/XDisplay.h"
#include "gui/XErrorTrap.h"
#include "gui/XEventEntry.h"

namespace tovo::gui {

namespace {

constexpr long kControlEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                                   EnterWindowMask | LeaveWindowMask | PointerMotionMask | ButtonMotionMask |
                                   ExposureMask | VisibilityChangeMask | StructureNotifyMask | FocusChangeMask |
                                   PropertyChangeMask | OwnerGrabButtonMask;
constexpr long kTopLevelQuietMask = ExposureMask | StructureNotifyMask | FocusChangeMask;
constexpr long kTopLevelNoPropagate = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                                      ButtonMotionMask;
constexpr unsigned kCaptureMask = ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask |
                                  PointerMotionMask | ButtonMotionMask;

// "_TOVOWND" holds the whole control address as 32-bit items, low half first: one item on 32-bit builds,
// two on 64-bit builds, so that no pointer is ever cut.
constexpr int kAddressItems = sizeof(void*) / 4;

// Which control owns which window, kept as windows are made and destroyed. Hosts may hand every event of
// their connection to our event entry; finding out that one is not ours must cost no server round trip.
std::mutex liveMutex;
std::unordered_map<unsigned long, SControl*> liveControls;

void SetAtomProperty(Display* display, Window window, const char* name, Atom type, const long* items, int count) {
  Atom atom = XInternAtom(display, name, True);
  if (atom == None) return;
  XChangeProperty(display, window, atom, type == None ? atom : type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(items), count);
}

// The window-manager hints that strip decorations, each set only when the server knows its atom.
void SetUndecoratedHints(Display* display, Window window) {
  const long motif[4] = {2, 0, 0, 0};
  SetAtomProperty(display, window, "_MOTIF_WM_HINTS", None, motif, 4);
  const long winHints[1] = {0};
  SetAtomProperty(display, window, "_WIN_HINTS", None, winHints, 1);
  const long kwm[1] = {2};
  SetAtomProperty(display, window, "KWM_WIN_DECORATION", None, kwm, 1);
  Atom windowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", True);
  if (windowType != None) {
    const long types[2] = {static_cast<long>(XInternAtom(display, "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", False)),
                           static_cast<long>(XInternAtom(display, "_NET_WM_WINDOW_TYPE_NORMAL", False))};
    XChangeProperty(display, window, windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(types), 2);
  }
}

// The marks by which routing and hosts find the toolkit behind a window.
void SetControlMarks(Display* display, Window window, const SControl* control) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(control);
  long items[kAddressItems];
  for (int i = 0; i < kAddressItems; ++i) items[i] = static_cast<long>((address >> (32 * i)) & 0xFFFFFFFFu);
  Atom mark = XInternAtom(display, "_TOVOWND", False);
  XChangeProperty(display, window, mark, mark, 32, PropModeReplace, reinterpret_cast<unsigned char*>(items),
                  kAddressItems);
  const long entry = static_cast<long>(EventEntryAddress());
  Atom proc = XInternAtom(display, "_XEventProc", False);
  XChangeProperty(display, window, proc, proc, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&entry),
                  1);
}

}  // namespace

int SControl::Create(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name, int styleBits,
                     int x, int y, int width, int height, int hostWindow, bool) {
  globals = owner;
  parent = parentControl;
  style = styleBits;
  id = controlId;
  SetStateBit(kStateMapped, true);
  label.Clear(false).Append(name);
  windowRect = {x, y, x + width, y + height};
  clientRect = {0, 0, width, height};
  modeA = 0;
  modeB = 0;
  Display* display = CurrentDisplay();
  if (!display) return 0;
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  const bool bordered = (style & kStyleBordered) != 0;
  const unsigned w = width > 0 ? static_cast<unsigned>(width) : 1;
  const unsigned h = height > 0 ? static_cast<unsigned>(height) : 1;

  XSetWindowAttributes attributes{};
  attributes.override_redirect = bordered ? False : True;
  attributes.save_under = True;
  attributes.event_mask = kControlEventMask;
  const bool ordinary = !(style & (kStyleApplication | kStyleTopLevel));
  if (style & kStyleApplication) {
    parentWindow = root;
    window = XCreateWindow(display, parentWindow, x, y, w, h, bordered ? 3 : 0, CopyFromParent, CopyFromParent,
                           CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
  } else if (style & kStyleTopLevel) {
    parentWindow = root;
    if (!(style & kStyleRootChild)) {
      if (parent && parent->window)
        parentWindow = parent->window;
      else if (!parent && hostWindow)
        parentWindow = static_cast<Window>(hostWindow);
    }
    attributes.do_not_propagate_mask = kTopLevelNoPropagate;
    window = XCreateWindow(display, parentWindow, x, y, w, h, bordered ? 3 : 0, DefaultDepth(display, screen),
                           InputOutput, DefaultVisual(display, screen),
                           CWOverrideRedirect | CWSaveUnder | CWEventMask | CWDontPropagate, &attributes);
    XSelectInput(display, window, (style & kStyleFullInput) ? kControlEventMask : kTopLevelQuietMask);
  } else {
    XFlush(display);
    parentWindow = parent && parent->window ? parent->window : hostWindow ? static_cast<Window>(hostWindow) : root;
    attributes.override_redirect = True;
    window = XCreateWindow(display, parentWindow, x, y, w, h, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWEventMask, &attributes);
  }
  if (!window) return 0;
  {
    std::lock_guard<std::mutex> guard(liveMutex);
    liveControls[window] = this;
  }

  if (!ordinary) {
    deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", True);
    if (deleteAtom != None) {
      Atom protocols[1] = {deleteAtom};
      XSetWMProtocols(display, window, protocols, 1);
    }
    SetTitleText(name);
    if (!(style & kStyleNoSizeHints)) SetSizeHints(display, window, width, height, SizeLimits::kFixed);
  }
  if (!bordered) SetUndecoratedHints(display, window);
  SetControlMarks(display, window, this);

  CreateContexts();
  Hide();
  return 1;
}

void SControl::DestroyWindow() {
  if (!window) return;
  {
    std::lock_guard<std::mutex> guard(liveMutex);
    liveControls.erase(window);
  }
  if (Display* display = CurrentDisplay()) {
    XDestroyWindow(display, window);
    XFlush(display);
  }
  window = 0;
}

void SControl::SetSizeHints(Display* display, unsigned long window, int width, int height,
                            SizeLimits limits) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMaxSize | PBaseSize;
  hints->max_width = hints->base_width = width;
  hints->max_height = hints->base_height = height;
  if (limits == SizeLimits::kFixed) {
    hints->flags |= PSize | PMinSize | PResizeInc;
    hints->width = hints->min_width = width;
    hints->height = hints->min_height = height;
    hints->width_inc = hints->height_inc = 0;
  }
  XSetWMNormalHints(display, window, hints);
  XFree(hints);
}

SControl* SControl::FindControl(Display*, unsigned long target) {
  if (!target) return nullptr;
  std::lock_guard<std::mutex> guard(liveMutex);
  auto found = liveControls.find(target);
  return found == liveControls.end() ? nullptr : found->second;
}

int SControl::getProperty(unsigned long target, unsigned long atom) {
  Display* display = CurrentDisplay();
  if (!display || !target) return 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  {
    XErrorTrap trap;
    int status =
        XGetWindowProperty(display, target, atom, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data);
    if (trap.Failed() || status != Success) data = nullptr;
  }
  if (!data) return 0;
  int value = 0;
  if (format == 32 && count == 1 && after == 0) value = static_cast<int>(*reinterpret_cast<const long*>(data));
  XFree(data);
  return value;
}

void SControl::SetTitleText(const char* text) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  char* list[1] = {const_cast<char*>(text ? text : "")};
  XTextProperty property;
  if (!XStringListToTextProperty(list, 1, &property)) return;
  XSetWMName(display, window, &property);
  XSetWMIconName(display, window, &property);
  XFree(property.value);
}

void SControl::Reparent(int target) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  const bool wasMapped = IsMapped();
  Hide();
  parentWindow = target ? static_cast<Window>(target) : DefaultRootWindow(display);
  XReparentWindow(display, window, parentWindow, windowRect.left, windowRect.top);
  if (wasMapped) Show();
}

void SControl::Inherit(int other) {
  Display* display = CurrentDisplay();
  XWindowAttributes source;
  if (!display || !window || !other || !XGetWindowAttributes(display, static_cast<Window>(other), &source)) return;
  XSetWindowAttributes copy{};
  copy.save_under = source.save_under;
  copy.event_mask = source.all_event_masks;
  copy.do_not_propagate_mask = source.do_not_propagate_mask;
  copy.override_redirect = source.override_redirect;
  XChangeWindowAttributes(display, window, CWSaveUnder | CWEventMask | CWDontPropagate | CWOverrideRedirect, &copy);
}

void SControl::MouseSetCapture() {
  capture = this;
  if (input) input->state[context::kMouseCaptured] = true;
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  int result = XGrabPointer(display, window, False, kCaptureMask, GrabModeAsync, GrabModeAsync, None, None,
                            CurrentTime);
  if (result != GrabSuccess) {
    capture = nullptr;
    if (input) input->state[context::kMouseCaptured] = false;
  }
}

void SControl::MouseReleaseCapture() {
  if (Display* display = CurrentDisplay()) {
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
  }
  capture = nullptr;
  if (input) input->state[context::kMouseCaptured] = false;
}

}  // namespace tovo::gui
