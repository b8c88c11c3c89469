// Real pointer and keyboard input, which the X server delivers (XTest), reaches the panel's controls in both
// ways hosts feed an editor: a click on the panel itself switches the tooltips on and the pointer's crossings
// show and close a tip, a click toggles a button, the wheel and a drag step dials (the drag through the
// pointer grab), and the keys go to the focused text box of the dialog a click on a label opens, the label
// dialog's or, with Shift held on the keyboard, the device dialog's. The other panel tests hand the server's
// events on themselves.
#include "PanelTest.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace editortest {
namespace {

class PanelRealInput : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    realMoveTo(editor->hostWindow(), 300, 300);
  }

  // Every gesture ends with the plug-in having had time to handle it: in hosts that pass no display it
  // reads its own connection in the idle calls.
  void handled() {
    XSync(testDisplay(), False);
    editor->waitForIdles(3);
  }
  void realMoveTo(unsigned long window, int x, int y) {
    Display* display = testDisplay();
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    handled();
  }
  void realMoveTo(PanelPoint point) { realMoveTo(panel, point.x, point.y); }
  void realButton(unsigned button, bool down) {
    XTestFakeButtonEvent(testDisplay(), button, down, CurrentTime);
    handled();
  }
  void realClick(PanelPoint point, unsigned button = 1) {
    realMoveTo(point);
    XTestFakeButtonEvent(testDisplay(), button, True, CurrentTime);
    realButton(button, false);
  }
  void realKey(unsigned long keysym, bool down) {
    Display* display = testDisplay();
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down, CurrentTime);
    XSync(display, False);
  }
  void realType(const std::string& text) {
    Display* display = testDisplay();
    for (char c : text) {
      const unsigned long keysym = c == ' ' ? XK_space : static_cast<unsigned long>(static_cast<unsigned char>(c));
      const bool shifted = XkbKeycodeToKeysym(display, XKeysymToKeycode(display, keysym), 0, 0) != keysym;
      if (shifted) realKey(XK_Shift_L, true);
      realKey(keysym, true);
      realKey(keysym, false);
      if (shifted) realKey(XK_Shift_L, false);
    }
    handled();
  }
};

TEST_P(PanelRealInput, PointerReachesTheControls) {
  realClick(kTooltipSwitch);
  realMoveTo(kMidiThru);
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(0, 0) != 0; })) << "no tip over the Thru button";
  realMoveTo(editor->hostWindow(), 300, 300);
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(0, 0) == 0; })) << "the tip closes when the pointer leaves";

  realClick(kMidiThru);
  EXPECT_EQ(host.getParameter(1), 1.f);
  realMoveTo(stripPoint(0, StripControl::Program));
  for (int notch = 0; notch < 2; ++notch) {
    XTestFakeButtonEvent(testDisplay(), 4, True, CurrentTime);
    XTestFakeButtonEvent(testDisplay(), 4, False, CurrentTime);
  }
  handled();
  EXPECT_EQ(currentPreset().strips[0].program, 3) << "two steps up from 000";

  // A drag of 30 pixels up, one step per 6.
  const PanelPoint msb = stripPoint(0, StripControl::BankMsb);
  realMoveTo(msb);
  realButton(1, true);
  for (int moved = 6; moved <= 30; moved += 6) realMoveTo({msb.x, msb.y - moved});
  realButton(1, false);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 5);
}

TEST_P(PanelRealInput, KeysReachTheDialogsTextBox) {
  loadPreset(presetWithStrips({0, 1}));
  realClick(stripPoint(1, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; })) << "no 180 x 100 dialog opened";
  realMoveTo(dialog, 90, 44);
  realType("Organ");
  realKey(XK_Return, true);
  realKey(XK_Return, false);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; })) << "Return closes the dialog";
  EXPECT_STREQ(currentPreset().strips[1].label, "Organ");

  // Shift held on the keyboard: the device dialog.
  realMoveTo(stripPoint(0, StripControl::Label));
  realKey(XK_Shift_L, true);
  realButton(1, true);
  realButton(1, false);
  realKey(XK_Shift_L, false);
  ASSERT_TRUE(within(20, [&] { return (dialog = deviceDialog()) != 0; })) << "no 330 x 100 dialog opened";
  realMoveTo(dialog, 165, 44);
  realType("general");
  realKey(XK_Return, true);
  realKey(XK_Return, false);
  ASSERT_TRUE(within(20, [&] { return deviceDialog() == 0; }));
  EXPECT_STREQ(currentExtension().devices[0], "General MIDI");
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelRealInput,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
