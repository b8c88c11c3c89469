// Shared ground for the toolkit's X tests: the toolkit connection and the shared colour table for the
// whole run, a control that records what the event translation calls on it, and helpers that build
// X events the way a server would deliver them.
#pragma once

// gtest first: Xlib defines macros (None, Bool) that gtest's own names would collide with.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <vector>

#include "gui/SControl.h"
#include "gui/SInput.h"
#include "gui/SWindow.h"
#include "gui/XDisplay.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui::test {

// Opens the toolkit's connection before the first test and closes it, with everything it holds, after
// the last.
class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    XInitThreads();
    OpenToolkitDisplay();
    ASSERT_NE(dps, nullptr) << "the X tests need DISPLAY";
    context::InitStaticData();
  }
  void TearDown() override {
    context::ReleaseStaticData();
    CloseToolkitDisplay();
  }
};

// A control that keeps a log of the calls the event translation makes.
class Probe : public SWindow {
 public:
  Probe(SGlobals* owner, SControl* parentControl, int styleBits, int width = 100, int height = 40)
      : SWindow(owner, parentControl, owner->NextId(), "probe", styleBits, 0, 0, width, height, 0, false) {}

  struct KeyCall {
    int code;
    bool pressed;
    int modifiers;
    int keyClass;
  };

  void Draw(const SRect& rect) override {
    draws.push_back(rect);
    SControl::Draw(rect);
  }
  void DrawArea(unsigned area) override { areas.push_back(area); }
  void MouseStateChanged(bool*, int index) override { changes.push_back(index); }
  void KeyStateChanged(int code, bool pressed, int modifiers, int keyClass) override {
    keys.push_back({code, pressed, modifiers, keyClass});
  }
  void ParseEvent(SEvent* message) override {
    messages.push_back(*message);
    if (message->type == kEventShortcut && message->data) {
      const int* payload = static_cast<const int*>(message->data);
      shortcutPayloads.push_back({payload[0], payload[1], payload[2]});
    }
  }

  std::vector<SRect> draws;
  std::vector<unsigned> areas;
  std::vector<int> changes;
  std::vector<KeyCall> keys;
  std::vector<SEvent> messages;
  std::vector<std::vector<int>> shortcutPayloads;
};

// Builds events addressed to a control's window on the toolkit connection.
inline XEvent ButtonEvent(const SControl& control, int type, unsigned button, unsigned long time, int x = 5,
                          int y = 5) {
  XEvent event{};
  event.xbutton.type = type;
  event.xbutton.display = dps;
  event.xbutton.window = control.GetWindow();
  event.xbutton.button = button;
  event.xbutton.time = time;
  event.xbutton.x = x;
  event.xbutton.y = y;
  event.xbutton.same_screen = True;
  return event;
}

inline XEvent KeyEvent(const SControl& control, int type, KeySym keysym, unsigned state = 0) {
  XEvent event{};
  event.xkey.type = type;
  event.xkey.display = dps;
  event.xkey.window = control.GetWindow();
  event.xkey.keycode = XKeysymToKeycode(dps, keysym);
  event.xkey.state = state;
  event.xkey.same_screen = True;
  return event;
}

// The modifier bit the server uses for Num Lock, so that keypad keys read as digits.
inline unsigned NumLockMask() {
  const KeyCode numLock = XKeysymToKeycode(dps, XK_Num_Lock);
  unsigned mask = 0;
  XModifierKeymap* map = XGetModifierMapping(dps);
  for (int modifier = 0; modifier < 8; ++modifier)
    for (int k = 0; k < map->max_keypermod; ++k)
      if (numLock && map->modifiermap[modifier * map->max_keypermod + k] == numLock) mask = 1u << modifier;
  XFreeModifiermap(map);
  return mask;
}

}  // namespace tovo::gui::test
