// The message box is built hidden with its labels and click button, sizes itself to its texts (empty
// lines counting as full ones), closes only on a left click of its own button, and its modal loop ends
// when the box is closed or the window manager asks.
#include <X11/Xatom.h>

#include <cstring>

#include "gui/SCursor.h"
#include "gui/SInput.h"
#include "gui/context/SDrawFont.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SMessageDialog.h"
#include "TooltipTest.h"
#include "tests/gui/GuiTest.h"

namespace tovo::gui {
namespace {

using test::ButtonEvent;

int Width(const context::SDrawFont* font, const char* text) {
  return font->TextWidth(text, static_cast<int>(std::strlen(text)));
}

SRect ServerGeometry(const SControl& control) {
  XSync(dps, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(dps, control.GetWindow(), &attributes);
  return {attributes.x, attributes.y, attributes.x + attributes.width, attributes.y + attributes.height};
}

void ExpectRect(const SRect& actual, const SRect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

class MessageBox : public testing::Test {
 protected:
  void TearDown() override {
    XSync(dps, False);
    PumpToolkitEvents();
  }

  // A full click of one mouse button on the box's button, far enough from the last one not to be a double.
  void Click(unsigned which) {
    time += 1000;
    XEvent press = ButtonEvent(*box.GetButton(), ButtonPress, which, time);
    SControl::eventProc(&press);
    XEvent release = ButtonEvent(*box.GetButton(), ButtonRelease, which, time + 30);
    SControl::eventProc(&release);
  }

  void Queue(XEvent event, long mask) {
    XSendEvent(dps, event.xany.window, False, mask, &event);
    XFlush(dps);
  }

  SMessageDialog box;
  unsigned long time = 10000;
};

TEST_F(MessageBox, IsBuiltHiddenWithItsOwnPointer) {
  EXPECT_EQ(std::strncmp(box.GetLabel().Get(), "SDialog (ID ", 12), 0);
  EXPECT_FALSE(box.IsMapped());
  ASSERT_NE(box.GetGlobals()->GetCursor(), nullptr);
  EXPECT_EQ(box.GetGlobals()->GetCursor()->GetWindow(), box.GetWindow());
  EXPECT_EQ(box.GetButton()->GetGlobals(), box.GetGlobals());
}

TEST_F(MessageBox, AnEmptyMessageLeavesTheTitleAndTheMinimumHeight) {
  box.SetMessage("", "Vantorine");
  const int m = Width(box.GetTitleFont(), "Vantorine");
  ASSERT_GT(m, 0);
  ExpectRect(ServerGeometry(box), {0, 0, m + 64, 128});
  ExpectRect(box.GetButton()->GetWindowRect(), {(m + 64) / 2 - 20, 88, (m + 64) / 2 + 20, 108});
  ExpectRect(ServerGeometry(*box.GetMessageLabel()), {10, 40, 10 + m + 44, 40 + 38});
  ExpectRect(ServerGeometry(*box.GetTitleLabel()), {10, 10, 10 + m + 44, 30});
  EXPECT_STREQ(box.GetTitleLabel()->GetLabel().Get(), "Vantorine");
  EXPECT_FALSE(box.IsMapped());
}

TEST_F(MessageBox, EmptyLinesOfTheMessageCountAsLines) {
  context::SDrawFont* font = box.GetMessageFont();
  ASSERT_TRUE(font->IsLoaded());
  const test::Ink a(font, "A"), b(font, "B");
  const int h = 2 * a.height + b.height;
  box.SetMessage("A\n\nB", "");
  const int m = std::max(a.width, b.width);
  ExpectRect(ServerGeometry(box), {0, 0, m + 64, h + 128});
  EXPECT_EQ(box.GetButton()->GetWindowRect().top, h + 88);
  ASSERT_EQ(box.GetMessageLabel()->GetLines().size(), 2u);
  EXPECT_EQ(box.GetMessageLabel()->GetTextHeight(), h);

  // A second layout takes the new texts and nothing of the old ones.
  box.SetMessage("Failed to load bank", "Vantorine");
  EXPECT_STREQ(box.GetMessage().Get(), "Failed to load bank");
  EXPECT_EQ(box.GetWindowRect().bottom, test::Ink(font, "Failed to load bank").height + 128);
}

TEST_F(MessageBox, OnlyALeftClickOfItsOwnButtonClosesIt) {
  box.ShowMessage("Saved with newer version", "Vantorine");
  ASSERT_TRUE(box.IsShowing());
  Click(Button3);
  Click(Button2);
  EXPECT_TRUE(box.IsShowing());
  EXPECT_TRUE(box.IsMapped());

  SEvent foreign;
  SControl::PrepareEvent(foreign, kEventValueChanged, kKindValue, 1, 0.0f, nullptr, box.GetTitleLabel(), nullptr);
  box.ParseEvent(&foreign);
  EXPECT_TRUE(box.IsShowing());

  box.DisableEventHandler(kEventValueChanged);
  Click(Button1);
  EXPECT_TRUE(box.IsShowing());
  box.EnableEventHandler(kEventValueChanged);

  // The press alone closes it, and the button forgets that press: its release goes to a hidden box.
  XEvent press = ButtonEvent(*box.GetButton(), ButtonPress, Button1, time + 1000);
  SControl::eventProc(&press);
  EXPECT_FALSE(box.IsShowing());
  EXPECT_FALSE(box.IsMapped());
  EXPECT_EQ(box.GetButton()->GetValue(), 0);
  EXPECT_FALSE(box.GetButton()->GetInput()->state[context::kMouseLeftDown]);
}

TEST_F(MessageBox, TheModalLoopRunsUntilTheButtonClosesTheBox) {
  Queue(ButtonEvent(*box.GetButton(), ButtonPress, Button3, 20000), ButtonPressMask);
  Queue(ButtonEvent(*box.GetButton(), ButtonRelease, Button3, 20030), ButtonReleaseMask);
  Queue(ButtonEvent(*box.GetButton(), ButtonPress, Button1, 21000), ButtonPressMask);
  box.ShowModal("Failed to load program", "Vantorine");
  EXPECT_FALSE(box.IsShowing());
  EXPECT_FALSE(box.Looping());
}

TEST_F(MessageBox, AWindowManagerCloseRequestEndsTheModalLoopAndClosesTheBox) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.display = dps;
  request.xclient.window = box.GetWindow();
  request.xclient.message_type = XInternAtom(dps, "WM_PROTOCOLS", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = static_cast<long>(XInternAtom(dps, "WM_DELETE_WINDOW", False));
  Queue(request, NoEventMask);
  box.ShowModal("Failed to load plugin", "Vantorine");
  EXPECT_FALSE(box.IsShowing());
  EXPECT_FALSE(box.IsMapped());
}

}  // namespace
}  // namespace tovo::gui
