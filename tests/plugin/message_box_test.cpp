// A chunk saved by a newer version, loaded while no editor is open (as a host restores a project), shows the
// message box: a thread of the toolkit serves it, so it is painted and closes on its OK button, and only on a
// left click; a second message reuses the box.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "PluginHarness.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SInfo.h"
#include "gui/widgets/SMessageDialog.h"

namespace {

using tovo::gui::SInfoBox;
using tovo::gui::SInfoShown;

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 300; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

class MessageBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tovo::gui::OpenToolkitDisplay();
    tovo::gui::context::InitStaticData();
  }
  static void TearDownTestSuite() {
    tovo::gui::context::ReleaseStaticData();
    tovo::gui::CloseToolkitDisplay();
  }
  void SetUp() override {
    ASSERT_NE(tovo::gui::dps, nullptr) << "the message box tests need DISPLAY";
    user = XOpenDisplay(nullptr);
    ASSERT_NE(user, nullptr);
  }
  void TearDown() override { XCloseDisplay(user); }

  void LoadNewerPreset(HostedPlugin<>& plugin) {
    std::vector<uint8_t> newer(500, 0);
    std::strcpy(reinterpret_cast<char*>(newer.data()), "from the future");
    testing::internal::CaptureStderr();
    plugin.dispatcher(effSetChunk, 1, static_cast<VstIntPtr>(newer.size()), newer.data(), 0.f);
    testing::internal::GetCapturedStderr();
  }

  // A click as the server delivers it: from another client, to the button's window.
  void Click(unsigned button) {
    Window target = SInfoBox()->GetButton()->GetWindow();
    for (int type : {ButtonPress, ButtonRelease}) {
      XEvent event{};
      event.xbutton.type = type;
      event.xbutton.window = target;
      event.xbutton.button = button;
      event.xbutton.x = event.xbutton.y = 5;
      event.xbutton.same_screen = True;
      XSendEvent(user, target, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XSync(user, False);
  }

  // The box's dark grey, read back from the server, inside its black frame.
  bool Painted() {
    Window window = SInfoBox()->GetWindow();
    XImage* image = XGetImage(user, window, 12, 12, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel == static_cast<unsigned long>(tovo::gui::context::statdata.GetColour(26));
  }

  PluginHarness harness;
  Display* user = nullptr;
};

TEST_F(MessageBoxTest, NewerChunkShowsABoxThatPaintsAndClosesOnOk) {
  HostedPlugin<> plugin = MakePlugin();
  LoadNewerPreset(plugin);
  ASSERT_TRUE(SInfoShown());
  ASSERT_NE(SInfoBox(), nullptr);
  EXPECT_NE(std::string(SInfoBox()->GetMessage().Get()).find("Saved with newer version"), std::string::npos);
  EXPECT_TRUE(Eventually([&] { return Painted(); })) << "nobody painted the box";

  Click(Button3);
  Click(Button2);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(SInfoShown()) << "the right or middle button closed the box";

  Click(Button1);
  EXPECT_TRUE(Eventually([] { return !SInfoShown(); })) << "OK did not close the box";
  XWindowAttributes attributes{};
  XGetWindowAttributes(user, SInfoBox()->GetWindow(), &attributes);
  EXPECT_EQ(attributes.map_state, IsUnmapped);

  // The next message comes in the same box, served again.
  tovo::gui::SMessageDialog* first = SInfoBox();
  LoadNewerPreset(plugin);
  EXPECT_EQ(SInfoBox(), first);
  ASSERT_TRUE(SInfoShown());
  Click(Button1);
  EXPECT_TRUE(Eventually([] { return !SInfoShown(); }));
}

}  // namespace
