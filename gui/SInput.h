// The pointer and modifier state a control keeps between X events: where the pointer was, which buttons
// and modifiers are down, and when the last press came (for double clicks).
#pragma once

namespace tovo::gui::context {

// Entries of the state array.
enum SMouseEntry : int {
  kMouseEntered = 0,
  kMouseMoving = 1,
  kMouseLeft = 2,
  kMouseLeftDown = 3,
  kMouseRightDown = 4,
  kMouseMiddleDown = 5,
  kMouseReleased = 6,
  kMouseLeftDouble = 7,
  kMouseRightDouble = 8,
  kMouseMiddleDouble = 9,
  kMouseWheel = 13,
  kMouseWheelUp = 14,
  kMouseWheelDown = 15,
  kMouseInside = 16,
  kMouseCaptured = 17,
  kMouseTracking = 19,
  kInputAlt = 20,
  kInputShift = 21,
  kInputControl = 22,
  kInputEntries = 23,
};

class SInput {
 public:
  SInput() { Reset(); }
  virtual ~SInput() = default;

  // Everything cleared, position unknown.
  void Reset();

  int reserved;
  int x;
  int y;
  int dx;
  int dy;
  bool state[kInputEntries];
  int button;
  unsigned long pressTime;
  int reserved2;
  int modifiers;
  // While the event entry hands on a press or a motion in the control's own window: where that event
  // happened, in client coordinates. Hosts that read several events in one pass hand them on after the
  // pointer has moved on, so where an event happened is the event's to say, not the server's.
  bool atEvent;
  int eventX;
  int eventY;
};

}  // namespace tovo::gui::context
