// The X event entry: finds the control behind an event's window and turns the event into calls of the
// control's virtual operations, through a table indexed by X event type.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "gui/SControl.h"
#include "gui/SInput.h"
#include "gui/SKeyMap.h"
#include "gui/SToolkitLock.h"
#include "gui/XDisplay.h"

namespace tovo::gui {

using namespace context;

// The translators, one per X event type; friends of SControl so they can reach its state.
class SEventDispatch {
 public:
  using Translator = int (*)(SControl* target, XEvent* event);
  static int Dispatch(SControl* target, XEvent* event);

 private:
  static SControl* Receiver(SControl* target) { return capture ? capture : target; }
  static void SetEntries(bool* state, std::initializer_list<int> entries, bool on);
  static int ModifierBits(unsigned state);

  static int OnKey(SControl* target, XEvent* event);
  static int OnButtonPress(SControl* target, XEvent* event);
  static int OnWheel(SControl* target, XButtonEvent& button);
  static int OnButtonRelease(SControl* target, XEvent* event);
  static int OnMotion(SControl* target, XEvent* event);
  static int OnCrossing(SControl* target, XEvent* event);
  static int OnFocusIn(SControl* target, XEvent* event);
  static int OnFocusOut(SControl* target, XEvent* event);
  static int OnExpose(SControl* target, XEvent* event);
  static int OnConfigure(SControl* target, XEvent* event);
  static int OnMapping(SControl* target, XEvent* event);
  static int OnClient(SControl* target, XEvent* event);
  static int OnKeyboardMapping(SControl* target, XEvent* event);
};

namespace {

Display* EventDisplay(XEvent* event) { return event->xany.display ? event->xany.display : CurrentDisplay(); }

// A paint notice runs under the display lock so that drawing started on another thread cannot interleave.
class DisplayLock {
 public:
  explicit DisplayLock(Display* display) : held(display) {
    if (held) XLockDisplay(held);
  }
  ~DisplayLock() {
    if (!held) return;
    XFlush(held);
    XUnlockDisplay(held);
  }
  DisplayLock(const DisplayLock&) = delete;
  DisplayLock& operator=(const DisplayLock&) = delete;

 private:
  Display* held;
};

constexpr int kNoChange = -1;

// For the length of one press or motion, the receiver's input record holds where it happened, when the
// event is in the receiver's own window (as every event is while the receiver holds the pointer grab).
class EventPosition {
 public:
  EventPosition(SInput* record, bool ownWindow, int x, int y) : input(ownWindow ? record : nullptr) {
    if (!input) return;
    input->atEvent = true;
    input->eventX = x;
    input->eventY = y;
  }
  ~EventPosition() {
    if (input) input->atEvent = false;
  }
  EventPosition(const EventPosition&) = delete;
  EventPosition& operator=(const EventPosition&) = delete;

 private:
  SInput* input;
};

}  // namespace

void SEventDispatch::SetEntries(bool* state, std::initializer_list<int> entries, bool on) {
  for (int entry : entries) state[entry] = on;
}

int SEventDispatch::ModifierBits(unsigned state) {
  return ((state & ShiftMask) ? kModShift : 0) | ((state & ControlMask) ? kModControl : 0) |
         ((state & Mod1Mask) ? kModAlt : 0);
}

int SEventDispatch::OnKey(SControl* target, XEvent* event) {
  if (!target->Enabled()) return 0;
  SControl* receiver = Receiver(target);
  const bool pressed = event->type == KeyPress;
  char text[20];
  KeySym keysym = NoSymbol;
  XLookupString(&event->xkey, text, sizeof text, &keysym, nullptr);
  const SKey key = TranslateKeySymbol(keysym);

  // X reports the modifiers held before this event; a modifier key's own change counts already.
  int bits = ModifierBits(event->xkey.state);
  int modifierBit = 0, modifierEntry = -1;
  if (keysym == XK_Shift_L || keysym == XK_Shift_R) modifierBit = kModShift, modifierEntry = kInputShift;
  if (keysym == XK_Control_L || keysym == XK_Control_R) modifierBit = kModControl, modifierEntry = kInputControl;
  if (keysym == XK_Alt_L || keysym == XK_Alt_R) modifierBit = kModAlt, modifierEntry = kInputAlt;
  if (modifierBit) {
    bits = pressed ? (bits | modifierBit) : (bits & ~modifierBit);
    if (receiver->input) receiver->input->state[modifierEntry] = pressed;
  }

  if (pressed) {
    for (const SShortcut& shortcut : receiver->shortcuts) {
      if (static_cast<KeySym>(shortcut.keysym) != keysym) continue;
      int payload[3] = {0, static_cast<int>(keysym), bits};
      receiver->SendEvent(kEventShortcut, kKindRecord, 0, 0.0f, payload, receiver, nullptr);
      break;
    }
  }
  receiver->KeyStateChanged(key.code, pressed, bits, key.keyClass);
  return 1;
}

int SEventDispatch::OnWheel(SControl* target, XButtonEvent& button) {
  if ((target->style & kStyleWheelToParentA) && (target->style & kStyleWheelToParentB)) {
    target = target->parent;
    if (!target || !target->Enabled()) return 0;
  }
  if (!target->input) return 0;
  bool* state = target->input->state;
  SetEntries(state, {kMouseLeftDown, kMouseRightDown, kMouseMiddleDown}, false);
  state[kMouseWheel] = true;
  state[kMouseWheelUp] = button.button == Button4;
  state[kMouseWheelDown] = button.button == Button5;
  target->Modifiers(static_cast<int>(button.state));
  target->MouseStateChanged(state, kMouseWheel);
  target->MousePosition(button.x, button.y);
  return 0;
}

int SEventDispatch::OnButtonPress(SControl* target, XEvent* event) {
  target->ApplySharedCursor();
  if (!target->Enabled()) return 0;
  XButtonEvent& button = event->xbutton;
  if (button.button == Button4 || button.button == Button5) return OnWheel(target, button);
  SControl* receiver = Receiver(target);
  SInput* input = receiver->input;
  if (!input || button.button < Button1 || button.button > Button3) return 0;
  const EventPosition at(input, receiver->window == button.window, button.x, button.y);
  bool* state = input->state;

  // X numbers the buttons left, middle, right; the state array keeps left, right, middle.
  static const int kPressEntry[4] = {0, kMouseLeftDown, kMouseMiddleDown, kMouseRightDown};
  static const int kDoubleEntry[4] = {0, kMouseLeftDouble, kMouseMiddleDouble, kMouseRightDouble};
  const int pressEntry = kPressEntry[button.button];
  int change = state[pressEntry] ? kNoChange : pressEntry;
  SetEntries(state, {kMouseLeftDown, kMouseRightDown, kMouseMiddleDown}, false);
  state[pressEntry] = true;

  // Server times are 32-bit and wrap; the difference is taken in that width.
  const auto elapsed = static_cast<uint32_t>(button.time) - static_cast<uint32_t>(input->pressTime);
  const bool isDouble = input->pressTime != 0 && elapsed <= 359 && input->button == static_cast<int>(button.button);
  input->pressTime = button.time;
  input->button = static_cast<int>(button.button);
  if (isDouble) {
    const int doubleEntry = kDoubleEntry[button.button];
    change = state[doubleEntry] ? kNoChange : doubleEntry;
    SetEntries(state, {kMouseLeftDouble, kMouseRightDouble, kMouseMiddleDouble}, false);
    state[doubleEntry] = true;
  }

  state[kMouseInside] = true;
  SetEntries(state, {kMouseEntered, kMouseLeft, kMouseReleased, kMouseWheel}, false);
  receiver->Modifiers(static_cast<int>(button.state));
  if (change != kNoChange) receiver->MouseStateChanged(state, change);
  if ((receiver->style & kStyleCaptureOnPress) && !state[kMouseCaptured]) {
    receiver->MouseSetCapture();
    receiver->MouseStateChanged(state, kMouseCaptured);
  }
  receiver->MousePosition(button.x, button.y);
  return 0;
}

int SEventDispatch::OnButtonRelease(SControl* target, XEvent* event) {
  if (!target->Enabled()) return 0;
  SControl* receiver = Receiver(target);
  if (!receiver->input) return 0;
  bool* state = receiver->input->state;
  const bool wasReleased = state[kMouseReleased];
  state[kMouseReleased] = true;
  SetEntries(state,
             {kMouseMoving, kMouseLeftDown, kMouseRightDown, kMouseMiddleDown, kMouseLeftDouble, kMouseRightDouble,
              kMouseMiddleDouble, kMouseWheel},
             false);
  if (state[kMouseInside]) {
    SetEntries(state, {kMouseEntered, kMouseLeft}, false);
    receiver->ApplySharedCursor();
  } else {
    state[kMouseEntered] = false;
    state[kMouseLeft] = true;
    receiver->ReleaseSharedCursor();
  }
  receiver->Modifiers(static_cast<int>(event->xbutton.state));
  if (!wasReleased) receiver->MouseStateChanged(state, kMouseReleased);
  receiver->MousePosition(event->xbutton.x, event->xbutton.y);
  if ((receiver->style & kStyleCaptureOnPress) && state[kMouseCaptured]) {
    receiver->MouseReleaseCapture();
    receiver->MouseStateChanged(state, kMouseCaptured);
  }
  return 0;
}

int SEventDispatch::OnMotion(SControl* target, XEvent* event) {
  target->ApplySharedCursor();
  if (!target->Enabled()) return 0;
  SControl* receiver = Receiver(target);
  if (!receiver->input) return 0;
  const EventPosition at(receiver->input, receiver->window == event->xmotion.window, event->xmotion.x,
                         event->xmotion.y);
  bool* state = receiver->input->state;
  if (state[kMouseInside]) {
    const bool notify = !state[kMouseMoving] || state[kMouseEntered];
    state[kMouseEntered] = false;
    state[kMouseMoving] = true;
    receiver->Modifiers(static_cast<int>(event->xmotion.state));
    if (notify) receiver->MouseStateChanged(state, kMouseMoving);
  } else {
    SetEntries(state, {kMouseEntered, kMouseMoving}, false);
    receiver->Modifiers(static_cast<int>(event->xmotion.state));
  }
  receiver->MousePosition(event->xmotion.x, event->xmotion.y);
  return 0;
}

int SEventDispatch::OnCrossing(SControl* target, XEvent* event) {
  const bool enter = event->type == EnterNotify;
  if (enter)
    target->ApplySharedCursor();
  else
    target->ReleaseSharedCursor();
  if (capture || !target->Enabled() || !target->input) return 0;
  bool* state = target->input->state;
  const XCrossingEvent& crossing = event->xcrossing;
  int change;
  if (enter) {
    change = state[kMouseEntered] ? kNoChange : kMouseEntered;
    state[kMouseInside] = state[kMouseEntered] = true;
    state[kMouseLeft] = false;
    if (target->tooltipData && (target->state & kStateTooltip)) target->ShowTooltip(target->TooltipPosition());
  } else {
    change = state[kMouseLeft] ? kNoChange : kMouseLeft;
    state[kMouseInside] = state[kMouseEntered] = false;
    state[kMouseLeft] = true;
    if (target->tooltipData && (target->state & kStateTooltip)) target->HideTooltip();
  }
  if (!state[kMouseCaptured])
    SetEntries(state,
               {kMouseLeftDown, kMouseRightDown, kMouseMiddleDown, kMouseLeftDouble, kMouseRightDouble,
                kMouseMiddleDouble},
               false);
  state[kMouseWheel] = false;
  target->Modifiers(static_cast<int>(crossing.state));
  if (change != kNoChange) target->MouseStateChanged(state, change);
  target->MousePosition(crossing.x, crossing.y);
  if (target->style & kStyleOutlineOnHover) target->RefreshOutlines();
  return 0;
}

int SEventDispatch::OnFocusIn(SControl* target, XEvent*) {
  target->Focussing(true);
  if (target->PointerInside()) target->ApplySharedCursor();
  return 0;
}

int SEventDispatch::OnFocusOut(SControl* target, XEvent*) {
  if (target->style & kStyleTopLevel) {
    if (target->input && target->input->state[kMouseCaptured]) {
      target->MouseReleaseCapture();
      target->MouseStateChanged(target->input->state, kMouseCaptured);
    }
    if (target->style & kStyleOwnsMenu) target->CloseMenu();
  }
  target->Focussing(false);
  return 0;
}

// A burst of exposures (a window uncovered piece by piece, or many refresh requests) is drawn once.
int SEventDispatch::OnExpose(SControl* target, XEvent* event) {
  if (!target->IsMapped()) return 0;
  Display* display = EventDisplay(event);
  DisplayLock lock(display);
  XEvent later;
  while (XCheckTypedWindowEvent(display, event->xexpose.window, Expose, &later)) {
  }
  target->Draw(target->clientRect);
  return 1;
}

// A control that asked for a new size took it at once (SetSize); the server's word on it may come after
// the word on an earlier size, and an exposure handled in between is drawn at that earlier size and, with
// the burst it ends, taken from the queue. So the word that changes the size brings a paint of its own,
// asked for after it: it reaches the control once the size is right.
int SEventDispatch::OnConfigure(SControl* target, XEvent* event) {
  XConfigureEvent last = event->xconfigure;
  XEvent later;
  while (XCheckTypedWindowEvent(EventDisplay(event), last.window, ConfigureNotify, &later)) last = later.xconfigure;
  const SRect& before = target->clientRect;
  const bool resized = last.width != before.right - before.left || last.height != before.bottom - before.top;
  target->windowRect = {last.x, last.y, last.x + last.width, last.y + last.height};
  target->clientRect = {0, 0, last.width, last.height};
  if (resized) target->Refresh();
  return 0;
}

int SEventDispatch::OnMapping(SControl* target, XEvent* event) {
  const bool mapped = event->type == MapNotify;
  if ((mapped || target->parent) && target->PointerInside()) target->ApplySharedCursor();
  target->SetStateBit(kStateMapped, mapped);
  return 0;
}

int SEventDispatch::OnClient(SControl* target, XEvent* event) {
  XClientMessageEvent& message = event->xclient;
  Display* display = EventDisplay(event);
  char* name = XGetAtomName(display, message.message_type);
  if (!name) return 0;
  const std::string type(name);
  XFree(name);
  if (type == "WM_PAINT_REGION") {
    DisplayLock lock(display);
    target->DrawRegion(reinterpret_cast<SDrawRegion*>(message.data.l[1]));
    return 1;
  }
  if (type == "WM_PAINT_AREA") {
    DisplayLock lock(display);
    target->DrawArea(static_cast<unsigned>(message.data.l[1]));
    return 1;
  }
  if (type == "WM_PAINT_OUTLINES") {
    DisplayLock lock(display);
    const SRect& r = target->windowRect;
    target->DrawOutlines({0, 0, r.right - r.left, r.bottom - r.top});
    return 1;
  }
  if (type == "WM_MENU_ENTERED" || type == "WM_MENU_LEFT") return 1;
  if (type == "WM_PROTOCOLS") {
    if ((target->style & kStyleTopLevel) && !(target->style & kStyleRootChild)) {
      target->CloseDialog();
      return 1;
    }
    if (target->style & kStyleApplication) {
      target->Stop();
      return 1;
    }
  }
  return 0;
}

int SEventDispatch::OnKeyboardMapping(SControl*, XEvent* event) {
  if (event->xmapping.request != MappingModifier && event->xmapping.request != MappingKeyboard) return 0;
  XRefreshKeyboardMapping(&event->xmapping);
  return 1;
}

int SEventDispatch::Dispatch(SControl* target, XEvent* event) {
  static const Translator kTranslators[LASTEvent] = {
      /* 0, 1 */ nullptr, nullptr,
      /* KeyPress */ OnKey,
      /* KeyRelease */ OnKey,
      /* ButtonPress */ OnButtonPress,
      /* ButtonRelease */ OnButtonRelease,
      /* MotionNotify */ OnMotion,
      /* EnterNotify */ OnCrossing,
      /* LeaveNotify */ OnCrossing,
      /* FocusIn */ OnFocusIn,
      /* FocusOut */ OnFocusOut,
      /* KeymapNotify */ nullptr,
      /* Expose */ OnExpose,
      /* GraphicsExpose */ nullptr,
      /* NoExpose */ nullptr,
      /* VisibilityNotify */ nullptr,
      /* CreateNotify */ nullptr,
      /* DestroyNotify */ nullptr,
      /* UnmapNotify */ OnMapping,
      /* MapNotify */ OnMapping,
      /* MapRequest */ nullptr,
      /* ReparentNotify */ nullptr,
      /* ConfigureNotify */ OnConfigure,
      /* ConfigureRequest */ nullptr,
      /* GravityNotify */ nullptr,
      /* ResizeRequest */ nullptr,
      /* CirculateNotify */ nullptr,
      /* CirculateRequest */ nullptr,
      /* PropertyNotify */ nullptr,
      /* SelectionClear */ nullptr,
      /* SelectionRequest */ nullptr,
      /* SelectionNotify */ nullptr,
      /* ColormapNotify */ nullptr,
      /* ClientMessage */ OnClient,
      /* MappingNotify */ OnKeyboardMapping,
  };
  if (event->type < 0 || event->type >= LASTEvent) return 0;
  const Translator translate = kTranslators[event->type];
  return translate ? translate(target, event) : 0;
}

int SControl::eventProc(XEvent* event) {
  if (!event) return 0;
  // The keyboard mapping concerns the connection, not a window: no control is needed for it.
  if (event->type == MappingNotify) return SEventDispatch::Dispatch(nullptr, event);
  Display* display = EventDisplay(event);
  // Hosts may pass every event of their connection: one that is not ours costs a lookup and nothing else.
  if (!FindControl(display, event->xany.window)) return 0;
  SToolkitLock inside;
  // Whatever the handlers do for this window goes to the connection the window lives on.
  ScopedDisplay scoped(display);
  // Looked up again under the lock: the control may have been destroyed while we waited for it.
  SControl* target = FindControl(display, event->xany.window);
  if (!target) return 0;
  return SEventDispatch::Dispatch(target, event);
}

}  // namespace tovo::gui
