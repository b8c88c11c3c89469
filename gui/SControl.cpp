// The control base: life cycle, listeners and messages, geometry, focus, repaint requests and the pointer
// and modifier state. Window creation and capture live in SControlWindow.cpp, the event translation in
// SControlEvents.cpp, drawing and the shared resources in SControlContext.cpp, timers in SControlTimers.cpp.
#include "gui/SControl.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <ctime>

#include "gui/SDisplay.h"
#include "gui/SInput.h"
#include "gui/XDisplay.h"
#include "threading/SMutexID.h"

namespace tovo::gui {

using context::SInput;

SControl* capture = nullptr;
std::atomic<unsigned char> SControl::xerror{0};

SControl::SControl() = default;

SControl::SControl(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name, int styleBits,
                   int x, int y, int width, int height, int hostWindow, bool flag) {
  // Called by name: a subclass's Create must not run before the subclass exists.
  SControl::Create(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag);
}

SControl::~SControl() {
  cleaning.store(true, std::memory_order_release);
  SControl::CleanUp();
  if (capture == this) capture = nullptr;
  DestroyWindow();
}

void SControl::CleanRessources() { cleaning.store(true, std::memory_order_release); }

void SControl::CleanUp() {
  // Marked at once: a window's CleanRessources calls CleanUp again.
  if (cleanedUp) return;
  cleanedUp = true;
  cleaning.store(true, std::memory_order_release);
  CleanRessources();
  DestroyIdleTimer();
  StopTimer(true);
  if ((style & kStyleCaptureOnPress) && capture == this) {
    MouseReleaseCapture();
    if (input) input->Reset();
  }
  ReleaseTooltip();
  ReleaseContexts();
}

void SControl::PrepareCleanUp() {
  if (window) Hide();
}

void SControl::Destroy() {
  cleaning.store(true, std::memory_order_release);
  CleanUp();
  if (capture == this) capture = nullptr;
  DestroyWindow();
}

// --- Enabled and visible ---------------------------------------------------------------------------------

bool SControl::Enabled() const {
  if (!(state & kStateEnabled)) return false;
  return !parent || parent->Enabled() || alwaysActive;
}

void SControl::Enable(bool on) {
  SetStateBit(kStateEnabled, on);
  Refresh();
}

void SControl::Show() {
  if (IsMapped()) return;
  Display* display = CurrentDisplay();
  if (display && window) XMapRaised(display, window);
  SetStateBit(kStateMapped, true);
  Refresh();
}

void SControl::Hide() {
  Display* display = CurrentDisplay();
  if (IsMapped() && display && window) XUnmapWindow(display, window);
  SetStateBit(kStateMapped, false);
}

void SControl::EnableTooltip(bool on) { SetStateBit(kStateTooltip, on); }

void SControl::Minimized() {
  if (style & kStyleOwnsMenu) CloseMenu();
}

// --- Geometry --------------------------------------------------------------------------------------------

void SControl::SetSize(int width, int height) {
  windowRect.right = windowRect.left + width;
  windowRect.bottom = windowRect.top + height;
  clientRect.right = clientRect.left + width;
  clientRect.bottom = clientRect.top + height;
  Display* display = CurrentDisplay();
  if (display && window && width > 0 && height > 0)
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void SControl::SetPosition(int x, int y) {
  const int width = windowRect.right - windowRect.left;
  const int height = windowRect.bottom - windowRect.top;
  windowRect = {x, y, x + width, y + height};
  Display* display = CurrentDisplay();
  if (display && window) XMoveWindow(display, window, x, y);
}

void SControl::Move(int dx, int dy) { SetPosition(windowRect.left + dx, windowRect.top + dy); }
void SControl::Move(SPoint& delta) { Move(delta.x, delta.y); }
void SControl::Move(const SPoint& delta) { Move(delta.x, delta.y); }

// The monitors are read afresh: screens come and go while a host runs.
void SControl::Center() {
  SDisplay monitors;
  monitors.AllMonitorRects();
  monitors.CenterOnWindow(this);
}

void SControl::Center(SPoint& point) {
  SDisplay monitors;
  monitors.AllMonitorRects();
  monitors.CenterOnWindow(this, point);
}

void SControl::Foreground(bool) {
  Display* display = CurrentDisplay();
  if (display && window) XRaiseWindow(display, window);
}

void SControl::Resized(bool refresh) {
  Display* display = CurrentDisplay();
  XWindowAttributes attributes;
  if (!display || !window || !XGetWindowAttributes(display, window, &attributes)) return;
  windowRect = {attributes.x, attributes.y, attributes.x + attributes.width, attributes.y + attributes.height};
  clientRect = {0, 0, attributes.width, attributes.height};
  if (refresh) Refresh();
}

void SControl::GetClient2Screen(int* x, int* y) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), *x, *y, x, y, &child);
}

void SControl::GetClient2Screen(SPoint& point) { GetClient2Screen(&point.x, &point.y); }

void SControl::GetScreen2Client(int* x, int* y) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  Window child;
  XTranslateCoordinates(display, DefaultRootWindow(display), window, *x, *y, x, y, &child);
}

void SControl::GetScreen2Client(SPoint& point) { GetScreen2Client(&point.x, &point.y); }

SPoint SControl::GetScreenPosition() {
  Display* display = CurrentDisplay();
  XWindowAttributes attributes;
  if (!display || !window || !XGetWindowAttributes(display, window, &attributes)) return {0, 0};
  return {attributes.x, attributes.y};
}

SPoint SControl::GetTopPosition() {
  Display* display = CurrentDisplay();
  if (!display || !window) return {0, 0};
  Window current = window;
  for (;;) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, current, &root, &up, &children, &count)) break;
    if (children) XFree(children);
    if (up == 0 || up == root) break;
    current = up;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, current, &attributes)) return {0, 0};
  return {attributes.x, attributes.y};
}

void SControl::MousePointer(int x, int y) {
  Display* display = CurrentDisplay();
  if (display && window) XWarpPointer(display, 0, window, 0, 0, 0, 0, x, y);
}

void SControl::SetRoundShape(bool round) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  if (!round) {
    XShapeCombineMask(display, window, ShapeBounding, 0, 0, 0, ShapeSet);
    return;
  }
  const int width = clientRect.right - clientRect.left;
  const int height = clientRect.bottom - clientRect.top;
  // How many pixels each of the five rows nearest a horizontal edge loses at both ends.
  static const int kCornerCut[5] = {5, 3, 2, 1, 1};
  Region shape = XCreateRegion();
  for (int row = 0; row < height; ++row) {
    const int fromEdge = row < height - 1 - row ? row : height - 1 - row;
    const int cut = fromEdge < 5 ? kCornerCut[fromEdge] : 0;
    if (width - 2 * cut <= 0) continue;
    XRectangle span{static_cast<short>(cut), static_cast<short>(row), static_cast<unsigned short>(width - 2 * cut), 1};
    XUnionRectWithRegion(&span, shape, shape);
  }
  XShapeCombineRegion(display, window, ShapeBounding, 0, 0, shape, ShapeSet);
  XDestroyRegion(shape);
}

bool SControl::IsSubcontrol(unsigned controlId) { return controlId == id; }

const SLabelText& SControl::GetLabel() { return label; }

// --- Focus -----------------------------------------------------------------------------------------------

void SControl::Focussing(bool on) { SetStateBit(kStateFocus, on); }

void SControl::Focus(bool on) {
  Display* display = CurrentDisplay();
  if (!display || !window) return;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (on) {
    if (IsCleaningUp() || !IsMapped()) return;
    if (focus == window) return;
    previousFocus = focus;
    XSetInputFocus(display, window, RevertToNone, CurrentTime);
  } else if (focus == window && previousFocus) {
    XSetInputFocus(display, previousFocus, RevertToNone, CurrentTime);
  }
}

void SControl::ActivateOwner() {
  if (parent) parent->Focus(true);
}

// --- Repaint requests ------------------------------------------------------------------------------------

namespace {

void SendToSelf(Display* display, Window window, XEvent& message, long mask) {
  message.xany.display = display;
  message.xany.window = window;
  XSendEvent(display, window, False, mask, &message);
}

void SendPaintMessage(Display* display, Window window, const char* type, long second, long fourth, long fifth) {
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.message_type = XInternAtom(display, type, False);
  message.xclient.format = 32;
  message.xclient.data.l[1] = second;
  message.xclient.data.l[3] = fourth;
  message.xclient.data.l[4] = fifth;
  SendToSelf(display, window, message, NoEventMask);
}

}  // namespace

// Each request builds its own event record: timer and idle threads refresh controls too, and a shared
// record would be filled by two threads at once.
void SControl::RefreshRectangle(const SRect& rect) {
  Display* display = CurrentDisplay();
  if (!display || !window || !IsMapped()) return;
  XEvent exposure{};
  exposure.xexpose.type = Expose;
  exposure.xexpose.x = rect.left;
  exposure.xexpose.y = rect.top;
  exposure.xexpose.width = rect.right - rect.left;
  exposure.xexpose.height = rect.bottom - rect.top;
  exposure.xexpose.count = 0;
  SendToSelf(display, window, exposure, ExposureMask);
}

void SControl::Refresh() {
  Display* display = CurrentDisplay();
  if (!display || !window || !IsMapped()) return;
  RefreshRectangle({0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top});
  XFlush(display);
}

void SControl::RefreshArea(unsigned area) {
  Display* display = CurrentDisplay();
  if (!display || !window || !IsMapped()) return;
  SendPaintMessage(display, window, "WM_PAINT_AREA", static_cast<long>(area), 0, 0);
}

void SControl::RefreshRegion(context::SDrawRegion* region) {
  Display* display = CurrentDisplay();
  if (!display || !window || !IsMapped()) return;
  SendPaintMessage(display, window, "WM_PAINT_REGION", reinterpret_cast<long>(region), 0, 0);
}

void SControl::RefreshOutlines() {
  Display* display = CurrentDisplay();
  if (!display || !window || !IsMapped()) return;
  SendPaintMessage(display, window, "WM_PAINT_OUTLINES", 0, clientRect.right - clientRect.left,
                   clientRect.bottom - clientRect.top);
}

// --- Pointer and modifiers -------------------------------------------------------------------------------

void SControl::MousePosition(int x, int y) {
  if (!input) return;
  if (x == input->x && y == input->y) {
    input->dx = 0;
    input->dy = 0;
    input->state[context::kMouseMoving] = false;
    return;
  }
  input->dx = x - input->x;
  input->dy = y - input->y;
  input->x = x;
  input->y = y;
  input->state[context::kMouseMoving] = true;
  MousePosChanged(input->dx, input->dy);
}

bool* SControl::MouseState() { return input ? input->state : nullptr; }

bool SControl::MouseTracking() { return input && input->state[context::kMouseTracking]; }

void SControl::Modifiers(int mask) {
  if (!input) return;
  input->state[context::kInputShift] = (mask & ShiftMask) != 0;
  input->state[context::kInputControl] = (mask & ControlMask) != 0;
  input->state[context::kInputAlt] = (mask & Mod1Mask) != 0;
}

void SControl::KeyStateSet(int mask) {
  if (!input) return;
  input->modifiers = mask;
  Modifiers(mask);
}

int SControl::KeyStateGet() const { return input ? input->modifiers : 0; }

void SControl::UpdateModifiers(int, bool) {
  if (input) Modifiers(input->modifiers);
}

void SControl::AddShortcut(int keysym, int modifiers) { shortcuts.push_back({0, keysym, modifiers}); }

// --- Listeners and messages ------------------------------------------------------------------------------

int SControl::AddEventListener(SControl* listener, int type) { return listeners.EnableListener(listener, type); }

void SControl::RemoveEventListener(SControl* listener, int type) { listeners.DisableListener(listener, type); }

void SControl::EnableEventHandler(int type) {
  if (SEventHandler* row = listeners.GetEventHandler(type)) row->SetEnabled(true);
}

void SControl::DisableEventHandler(int type) {
  if (SEventHandler* row = listeners.GetEventHandler(type)) row->SetEnabled(false);
}

bool SControl::EventHandled(int type) const {
  const SEventHandler* row = listeners.GetEventHandler(type);
  return row && row->Enabled();
}

void SControl::PrepareEvent(SEvent& message, int type, int kind, int value, float fvalue, void* data,
                            SControl* sender, tovo::threading::SMutexID* lock) {
  message.time = static_cast<int>(std::clock());
  message.type = type;
  message.kind = kind;
  message.value = value;
  message.fvalue = fvalue;
  message.data = data;
  message.sender = sender;
  message.lock = lock;
}

unsigned SControl::SendEvent(int type, int kind, int value, float fvalue, void* data, SControl* sender,
                             tovo::threading::SMutexID* lock) {
  if (!listeners.GetEventHandler(type)) return 0;
  PrepareEvent(outgoing, type, kind, value, fvalue, data, sender, lock);
  return SendEvent(&outgoing);
}

unsigned SControl::SendEvent(SEvent* message) {
  if (!message) return 0;
  const SEventHandler* row = listeners.GetEventHandler(message->type);
  if (!row) return 0;
  message->time = static_cast<int>(std::clock());
  // A listener may remove itself while handling the message, so deliver to a snapshot of the row.
  const std::vector<SControl*> receivers = row->Listeners();
  for (SControl* receiver : receivers) {
    if (message->lock) message->lock->Lock();
    receiver->ParseEvent(message);
    if (message->lock) message->lock->Unlock();
  }
  return static_cast<unsigned>(receivers.size());
}

}  // namespace tovo::gui
