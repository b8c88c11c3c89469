// X errors never end the process: those the toolkit caused (on its own connection, or requests it made on the
// host's connection, even when the error comes back after its section) are flagged and kept from the host;
// the host's own errors still reach the handler the host installed before ours.
#include "GuiTest.h"
#include "gui/SToolkitLock.h"
#include "gui/XErrorTrap.h"

namespace tovo::gui {
namespace {

int hostErrors = 0;
int HostHandler(Display*, XErrorEvent*) {
  ++hostErrors;
  return 0;
}

// A window id that the server knows no more.
Window GoneWindow(Display* display) {
  Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XDestroyWindow(display, gone);
  XSync(display, False);
  return gone;
}

TEST(XErrors, OursAreFlaggedAndTheHostsGoToTheHostsHandler) {
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  const XErrorHandler before = XSetErrorHandler(HostHandler);
  InstallErrorHandler();
  Display* const saved = dp;
  dp = host;
  const Window gone = GoneWindow(host);

  hostErrors = 0;
  SControl::xerror.store(0);
  XMapWindow(host, gone);
  XSync(host, False);
  EXPECT_EQ(hostErrors, 1) << "the host's error did not reach the host's handler";
  EXPECT_EQ(SControl::xerror.load(), 0);

  {
    SToolkitLock inside;
    XMapWindow(host, gone);
    XSync(host, False);
  }
  EXPECT_EQ(SControl::xerror.load(), 1);
  SControl::xerror.store(0);
  // The error of a request without a reply comes back later, when the host next reads its connection.
  {
    SToolkitLock inside;
    XUnmapWindow(host, gone);
  }
  XSync(host, False);
  EXPECT_EQ(SControl::xerror.load(), 1);
  SControl::xerror.store(0);
  XMapWindow(dps, GoneWindow(dps));
  XSync(dps, False);
  EXPECT_EQ(SControl::xerror.load(), 1);
  EXPECT_EQ(hostErrors, 1) << "the toolkit's errors reached the host";

  dp = saved;
  UninstallErrorHandler();
  EXPECT_EQ(XSetErrorHandler(before), &HostHandler) << "unloading must give the host its handler back";
  InstallErrorHandler();
  XCloseDisplay(host);
}

}  // namespace
}  // namespace tovo::gui
