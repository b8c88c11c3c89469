// The event translation as a control sees it: exposure bursts drawn once, double clicks by server time,
// key codes and modifier bits, shortcuts, input blocked by a disabled parent, and the pump that drives
// our own connection when the host gives us none.
#include "GuiTest.h"
#include "gui/SKeyMap.h"

namespace tovo::gui {
namespace {

using test::ButtonEvent;
using test::KeyEvent;
using test::Probe;

class ControlEvents : public ::testing::Test {
 protected:
  void TearDown() override {
    XSync(dps, False);
    PumpToolkitEvents();
  }

  int Send(XEvent event) { return SControl::eventProc(&event); }

  // Hands a press and its release to the control and returns the state change the press reported.
  int Click(Probe& probe, unsigned button, unsigned long time) {
    probe.changes.clear();
    Send(ButtonEvent(probe, ButtonPress, button, time));
    const int reported = probe.changes.empty() ? -1 : probe.changes.back();
    Send(ButtonEvent(probe, ButtonRelease, button, time + 20));
    return reported;
  }

  SGlobals globals;
};

TEST_F(ControlEvents, ExposureBurstIsDrawnOnce) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 100, 40);
  probe.Show();
  XSync(dps, False);
  PumpToolkitEvents();
  ASSERT_TRUE(probe.IsMapped());
  probe.draws.clear();

  for (int i = 0; i < 10; ++i) probe.RefreshRectangle({i, i, i + 5, i + 5});
  XSync(dps, False);
  EXPECT_EQ(PumpToolkitEvents(), 1);
  ASSERT_EQ(probe.draws.size(), 1u);
  const SRect& drawn = probe.draws[0];
  EXPECT_EQ(drawn.left, 0);
  EXPECT_EQ(drawn.top, 0);
  EXPECT_EQ(drawn.right, 100);
  EXPECT_EQ(drawn.bottom, 40);
}

TEST_F(ControlEvents, UnmappedControlIsNotDrawn) {
  Probe probe(&globals, nullptr, 0);
  XEvent exposure{};
  exposure.xexpose.type = Expose;
  exposure.xexpose.display = dps;
  exposure.xexpose.window = probe.GetWindow();
  EXPECT_EQ(Send(exposure), 0);
  EXPECT_TRUE(probe.draws.empty());
}

TEST_F(ControlEvents, DoubleClickWithinThreeHundredFiftyNineMilliseconds) {
  Probe probe(&globals, nullptr, 0);
  EXPECT_EQ(Click(probe, Button1, 1000), context::kMouseLeftDown);
  EXPECT_EQ(Click(probe, Button1, 1359), context::kMouseLeftDouble);
  EXPECT_EQ(Click(probe, Button1, 1719), context::kMouseLeftDown);
  // Another button between two presses breaks the pair.
  EXPECT_EQ(Click(probe, Button3, 1800), context::kMouseRightDown);
  EXPECT_EQ(Click(probe, Button1, 1900), context::kMouseLeftDown);
  EXPECT_EQ(Click(probe, Button2, 2000), context::kMouseMiddleDown);
  EXPECT_EQ(Click(probe, Button2, 2100), context::kMouseMiddleDouble);
  // Server time wraps at 32 bits; the interval is still 100 ms.
  EXPECT_EQ(Click(probe, Button3, 0xFFFFFFC0ul), context::kMouseRightDown);
  EXPECT_EQ(Click(probe, Button3, 0x24ul), context::kMouseRightDouble);
}

TEST_F(ControlEvents, ReleaseAndPositionFollowThePress) {
  Probe probe(&globals, nullptr, 0);
  Send(ButtonEvent(probe, ButtonPress, Button1, 500, 10, 12));
  bool* state = probe.MouseState();
  EXPECT_TRUE(state[context::kMouseLeftDown]);
  EXPECT_TRUE(state[context::kMouseInside]);
  EXPECT_EQ(probe.GetInput()->x, 10);
  EXPECT_EQ(probe.GetInput()->y, 12);
  probe.changes.clear();
  Send(ButtonEvent(probe, ButtonRelease, Button1, 520, 10, 12));
  EXPECT_EQ(probe.changes, std::vector<int>{context::kMouseReleased});
  EXPECT_FALSE(state[context::kMouseLeftDown]);
  EXPECT_FALSE(state[context::kMouseMoving]);
}

TEST_F(ControlEvents, KeysAreTranslatedWithTheirModifiers) {
  Probe probe(&globals, nullptr, 0);
  EXPECT_EQ(Send(KeyEvent(probe, KeyPress, XK_KP_5, test::NumLockMask())), 1);
  EXPECT_EQ(Send(KeyEvent(probe, KeyPress, XK_F5)), 1);
  EXPECT_EQ(Send(KeyEvent(probe, KeyPress, XK_Shift_L)), 1);
  EXPECT_TRUE(probe.MouseState()[context::kInputShift]);
  EXPECT_EQ(Send(KeyEvent(probe, KeyRelease, XK_Shift_L, ShiftMask)), 1);
  EXPECT_FALSE(probe.MouseState()[context::kInputShift]);
  EXPECT_EQ(Send(KeyEvent(probe, KeyPress, XK_Left, ControlMask | Mod1Mask)), 1);

  ASSERT_EQ(probe.keys.size(), 5u);
  EXPECT_EQ(probe.keys[0].code, '5');
  EXPECT_EQ(probe.keys[0].keyClass, kKeyCharacter);
  EXPECT_EQ(probe.keys[1].code, static_cast<int>(XK_F5));
  EXPECT_EQ(probe.keys[1].keyClass, kKeyFunction);
  // The modifier's own press counts already on its event, and its release no longer.
  EXPECT_EQ(probe.keys[2].code, kKeyShift);
  EXPECT_EQ(probe.keys[2].keyClass, kKeyModifier);
  EXPECT_EQ(probe.keys[2].modifiers, kModShift);
  EXPECT_TRUE(probe.keys[2].pressed);
  EXPECT_EQ(probe.keys[3].modifiers, 0);
  EXPECT_FALSE(probe.keys[3].pressed);
  EXPECT_EQ(probe.keys[4].code, kKeyLeft);
  EXPECT_EQ(probe.keys[4].keyClass, kKeySpecial);
  EXPECT_EQ(probe.keys[4].modifiers, kModControl | kModAlt);
}

TEST_F(ControlEvents, MatchingShortcutsSendOneMessage) {
  Probe probe(&globals, nullptr, 0);
  Probe listener(&globals, nullptr, 0);
  probe.AddEventListener(&listener, kEventShortcut);
  probe.AddShortcut(XK_a, 0);
  probe.AddShortcut(XK_a, kModControl);
  probe.AddShortcut(XK_b, 0);

  Send(KeyEvent(probe, KeyPress, XK_a, ControlMask));
  ASSERT_EQ(listener.messages.size(), 1u);
  EXPECT_EQ(listener.messages[0].type, kEventShortcut);
  EXPECT_EQ(listener.messages[0].kind, kKindRecord);
  EXPECT_EQ(listener.messages[0].sender, &probe);
  EXPECT_EQ(listener.shortcutPayloads[0], (std::vector<int>{0, static_cast<int>(XK_a), kModControl}));

  Send(KeyEvent(probe, KeyRelease, XK_a));
  Send(KeyEvent(probe, KeyPress, XK_c));
  EXPECT_EQ(listener.messages.size(), 1u);
}

TEST_F(ControlEvents, DisabledParentBlocksInputUnlessAlwaysActive) {
  Probe parent(&globals, nullptr, 0);
  Probe child(&globals, &parent, 0);
  parent.Enable(false);
  EXPECT_FALSE(child.Enabled());
  EXPECT_EQ(Send(KeyEvent(child, KeyPress, XK_x)), 0);
  Send(ButtonEvent(child, ButtonPress, Button1, 100));
  EXPECT_TRUE(child.keys.empty());
  EXPECT_TRUE(child.changes.empty());

  child.SetAlwaysActive(true);
  EXPECT_EQ(Send(KeyEvent(child, KeyPress, XK_x)), 1);
  Send(ButtonEvent(child, ButtonPress, Button1, 200));
  EXPECT_EQ(child.keys.size(), 1u);
  EXPECT_EQ(child.changes, std::vector<int>{context::kMouseLeftDown});
}

TEST_F(ControlEvents, ListenerTableRefusesOutOfRangeRows) {
  Probe probe(&globals, nullptr, 0);
  Probe listener(&globals, nullptr, 0);
  EXPECT_EQ(probe.AddEventListener(&listener, 13), -1);
  EXPECT_EQ(probe.AddEventListener(nullptr, 3), -1);
  EXPECT_EQ(probe.AddEventListener(&listener, 3), 0);
  EXPECT_EQ(probe.AddEventListener(&listener, 3), 0);
  EXPECT_EQ(probe.SendEvent(3, kKindValue, 5, 0.0f, nullptr, &probe, nullptr), 1u);
  EXPECT_EQ(probe.SendEvent(13, kKindValue, 5, 0.0f, nullptr, &probe, nullptr), 0u);
  probe.RemoveEventListener(&listener, 3);
  EXPECT_EQ(probe.SendEvent(3, kKindValue, 5, 0.0f, nullptr, &probe, nullptr), 0u);
  ASSERT_EQ(listener.messages.size(), 1u);
  EXPECT_EQ(listener.messages[0].value, 5);
}

TEST_F(ControlEvents, PumpReadsOurConnectionAndNeverTheHosts) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  probe.Show();
  XSync(dps, False);
  PumpToolkitEvents();
  probe.areas.clear();
  probe.RefreshArea(4);
  XSync(dps, False);
  EXPECT_EQ(PumpToolkitEvents(), 1);
  EXPECT_EQ(probe.areas, std::vector<unsigned>{4});

  // With a host connection in use, what is queued there stays for the host.
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  Window hostWindow = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 10, 10, 0, 0, 0);
  XEvent note{};
  note.xclient.type = ClientMessage;
  note.xclient.window = hostWindow;
  note.xclient.message_type = XInternAtom(host, "WM_PAINT_AREA", False);
  note.xclient.format = 32;
  XSendEvent(host, hostWindow, False, NoEventMask, &note);
  XSync(host, False);
  dp = host;
  EXPECT_EQ(PumpToolkitEvents(), 0);
  dp = nullptr;
  EXPECT_EQ(XPending(host), 1);
  XDestroyWindow(host, hostWindow);
  XCloseDisplay(host);
}

}  // namespace
}  // namespace tovo::gui
