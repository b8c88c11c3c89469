// A control's X window as other clients see it: its place in the window tree, the properties window
// managers read, the event entry a 64-bit host reads as one format-32 item and calls, the mark routing
// trusts, repaint requests, clean-up and the mouse capture.
#include "GuiTest.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <cstdint>

namespace tovo::gui {
namespace {

using test::Probe;

class ControlWindow : public ::testing::Test {
 protected:
  void TearDown() override { XSync(dps, True); }

  static std::vector<long> Property(Display* display, Window window, const char* name, long length) {
    Atom atom = XInternAtom(display, name, False);
    Atom type;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, atom, 0, length, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
      if (format == 32) items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
      XFree(data);
    }
    return items;
  }

  static Window ParentOf(Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(dps, window, &root, &parent, &children, &count);
    if (children) XFree(children);
    return parent;
  }

  static XEvent PaintArea(Display* display, Window window, long area) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.display = display;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PAINT_AREA", False);
    message.xclient.format = 32;
    message.xclient.data.l[1] = area;
    return message;
  }

  SGlobals globals;
};

TEST_F(ControlWindow, TopLevelWindowCarriesTreeNameHintsAndStartsHidden) {
  // Known to the server before the window is made, as it is wherever a window manager runs.
  XInternAtom(dps, "_MOTIF_WM_HINTS", False);
  Probe top(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 200, 100);
  Probe child(&globals, &top, 0, 50, 20);
  XSync(dps, False);

  EXPECT_EQ(ParentOf(top.GetWindow()), DefaultRootWindow(dps));
  EXPECT_EQ(ParentOf(child.GetWindow()), top.GetWindow());
  EXPECT_EQ(Property(dps, top.GetWindow(), "_MOTIF_WM_HINTS", 4), (std::vector<long>{2, 0, 0, 0}));

  XSizeHints hints{};
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(dps, top.GetWindow(), &hints, &supplied));
  EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
  EXPECT_EQ(hints.min_width, 200);
  EXPECT_EQ(hints.max_width, 200);
  EXPECT_EQ(hints.min_height, 100);
  EXPECT_EQ(hints.max_height, 100);

  char* name = nullptr;
  ASSERT_TRUE(XFetchName(dps, top.GetWindow(), &name));
  EXPECT_STREQ(name, "probe");
  XFree(name);

  XWindowAttributes attributes;
  XGetWindowAttributes(dps, top.GetWindow(), &attributes);
  EXPECT_EQ(attributes.map_state, IsUnmapped);
  EXPECT_FALSE(top.IsMapped());
}

TEST_F(ControlWindow, BorderedWindowIsLeftToTheWindowManager) {
  XInternAtom(dps, "_MOTIF_WM_HINTS", False);
  Probe bordered(&globals, nullptr, kStyleTopLevel | kStyleRootChild | kStyleBordered, 80, 60);
  XSync(dps, False);
  EXPECT_TRUE(Property(dps, bordered.GetWindow(), "_MOTIF_WM_HINTS", 4).empty());
  XWindowAttributes attributes;
  XGetWindowAttributes(dps, bordered.GetWindow(), &attributes);
  EXPECT_EQ(attributes.border_width, 3);
  EXPECT_FALSE(attributes.override_redirect);
}

// A 64-bit host reads "_XEventProc" from its own connection as one item, gets it back sign-extended,
// and calls it with the events of the window.
TEST_F(ControlWindow, HostReachesTheRightControlThroughThePublishedEntry) {
  Probe first(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  Probe second(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  first.Show();
  second.Show();
  XSync(dps, False);

  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  const std::vector<long> entry = Property(host, second.GetWindow(), "_XEventProc", 1);
  ASSERT_EQ(entry.size(), 1u);
  EXPECT_GE(entry[0], 0);
  EXPECT_LT(entry[0], 1L << 31);

  using EventEntry = int (*)(XEvent*);
  auto call = reinterpret_cast<EventEntry>(static_cast<intptr_t>(entry[0]));
  XEvent message = PaintArea(host, second.GetWindow(), 7);
  EXPECT_EQ(call(&message), 1);
  EXPECT_EQ(second.areas, std::vector<unsigned>{7});
  EXPECT_TRUE(first.areas.empty());
  XCloseDisplay(host);
}

TEST_F(ControlWindow, MarkHoldsTheWholeAddressAndIsTrustedOnlyOnItsOwnWindow) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  probe.Show();
  const std::vector<long> mark = Property(dps, probe.GetWindow(), "_TOVOWND", 4);
  ASSERT_EQ(mark.size(), sizeof(void*) / 4);
  uintptr_t address = 0;
  for (size_t i = 0; i < mark.size(); ++i) address |= (static_cast<uintptr_t>(mark[i]) & 0xFFFFFFFFu) << (32 * i);
  EXPECT_EQ(address, reinterpret_cast<uintptr_t>(&probe));

  // Another window claiming the same control is not routed to it.
  Window foreign = XCreateSimpleWindow(dps, DefaultRootWindow(dps), 0, 0, 10, 10, 0, 0, 0);
  Atom atom = XInternAtom(dps, "_TOVOWND", False);
  XChangeProperty(dps, foreign, atom, atom, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(mark.data()),
                  static_cast<int>(mark.size()));
  XEvent message = PaintArea(dps, foreign, 3);
  EXPECT_EQ(SControl::eventProc(&message), 0);
  EXPECT_TRUE(probe.areas.empty());
  XDestroyWindow(dps, foreign);

  // A window without the mark, and a window that no longer exists, are ignored quietly, without asking
  // the server anything (a property read of the destroyed window would have raised an error).
  SControl::xerror.store(0);
  message = PaintArea(dps, DefaultRootWindow(dps), 3);
  EXPECT_EQ(SControl::eventProc(&message), 0);
  message = PaintArea(dps, foreign, 3);
  EXPECT_EQ(SControl::eventProc(&message), 0);
  XSync(dps, False);
  EXPECT_EQ(SControl::xerror.load(), 0);
}

TEST_F(ControlWindow, RefreshSendsOneExposureOnlyWhileShown) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 120, 30);
  XSync(dps, True);
  auto sentExposures = [&probe] {
    XSync(dps, False);
    std::vector<XExposeEvent> sent;
    XEvent event;
    while (XCheckTypedWindowEvent(dps, probe.GetWindow(), Expose, &event))
      if (event.xexpose.send_event) sent.push_back(event.xexpose);
    return sent;
  };
  probe.Refresh();
  EXPECT_TRUE(sentExposures().empty());
  probe.Show();
  const std::vector<XExposeEvent> sent = sentExposures();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].width, 120);
  EXPECT_EQ(sent[0].height, 30);
}

TEST_F(ControlWindow, CleanUpRunsOnce) {
  struct Counting : Probe {
    using Probe::Probe;
    void CleanRessources() override {
      ++calls;
      Probe::CleanRessources();
    }
    int calls = 0;
  };
  Counting probe(&globals, nullptr, 0);
  probe.CreateTimer(1000, false);
  probe.CleanUp();
  probe.CleanUp();
  EXPECT_EQ(probe.calls, 1);
  EXPECT_TRUE(probe.IsCleanedUp());
  EXPECT_TRUE(probe.IsCleaningUp());
  EXPECT_EQ(probe.GetDrawing(), nullptr);
  EXPECT_EQ(probe.GetTimer(), nullptr);
}

TEST_F(ControlWindow, CaptureNeedsAViewableWindow) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  probe.MouseSetCapture();
  EXPECT_EQ(capture, nullptr);
  EXPECT_FALSE(probe.MouseState()[context::kMouseCaptured]);

  probe.Show();
  probe.MouseSetCapture();
  EXPECT_EQ(capture, &probe);
  EXPECT_TRUE(probe.MouseState()[context::kMouseCaptured]);
  probe.MouseReleaseCapture();
  EXPECT_EQ(capture, nullptr);
  EXPECT_FALSE(probe.MouseState()[context::kMouseCaptured]);
}

TEST_F(ControlWindow, RoundShapeCutsTheCorners) {
  Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 100, 40);
  probe.SetRoundShape(true);
  int count = 0, ordering = 0;
  XRectangle* spans = XShapeGetRectangles(dps, probe.GetWindow(), ShapeBounding, &count, &ordering);
  ASSERT_NE(spans, nullptr);
  auto covered = [&](int x, int y) {
    for (int i = 0; i < count; ++i)
      if (x >= spans[i].x && x < spans[i].x + spans[i].width && y >= spans[i].y && y < spans[i].y + spans[i].height)
        return true;
    return false;
  };
  EXPECT_FALSE(covered(0, 0));
  EXPECT_FALSE(covered(4, 0));
  EXPECT_FALSE(covered(0, 4));
  EXPECT_FALSE(covered(99, 39));
  EXPECT_TRUE(covered(5, 0));
  EXPECT_TRUE(covered(0, 5));
  EXPECT_TRUE(covered(50, 20));
  XFree(spans);
}

TEST_F(ControlWindow, WindowOwnsItsChildrenAndKeepsTheirIdRange) {
  SWindow holder(&globals, nullptr, 1, "holder", kStyleTopLevel | kStyleRootChild, 0, 0, 100, 100, 0, false);
  auto* seven = new SControl(&globals, &holder, 7, "seven", 0, 0, 0, 10, 10, 0, false);
  auto* three = new SControl(&globals, &holder, 3, "three", 0, 0, 0, 10, 10, 0, false);
  EXPECT_EQ(holder.Add(nullptr), 0);
  EXPECT_EQ(holder.Add(seven), 7);
  EXPECT_EQ(holder.Add(three), 7);
  EXPECT_EQ(holder.LowestId(), 3);
  EXPECT_EQ(holder.HighestId(), 7);
  EXPECT_TRUE(holder.GetStyle() & kStyleHasChildren);
  EXPECT_TRUE(holder.IsSubcontrol(3u));
  EXPECT_TRUE(holder.IsSubcontrol(static_cast<int>(seven->GetWindow())));
  EXPECT_FALSE(holder.IsSubcontrol(9u));

  holder.EnableChildren(false);
  EXPECT_FALSE(seven->Enabled());
  EXPECT_EQ(holder.Remove(seven, true), 1);
  EXPECT_TRUE(holder.GetStyle() & kStyleHasChildren);
  // The last child left is deleted with the window.
  EXPECT_EQ(holder.Remove(nullptr, false), 1);
  EXPECT_EQ(holder.Remove(three, false), 0);
  EXPECT_FALSE(holder.GetStyle() & kStyleHasChildren);
  holder.Add(three);
}

TEST_F(ControlWindow, StopDuringAnEventEndsTheLoopAfterIt) {
  struct Stopping : Probe {
    using Probe::Probe;
    void DrawArea(unsigned area) override {
      Probe::DrawArea(area);
      if (area == 2) Stop();
    }
  };
  Stopping probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  probe.Show();
  XSync(dps, False);
  PumpToolkitEvents();
  probe.RefreshArea(1);
  probe.RefreshArea(2);
  probe.RefreshArea(3);
  XFlush(dps);
  EXPECT_EQ(probe.Loop(), 0);
  EXPECT_EQ(probe.areas, (std::vector<unsigned>{1, 2}));
  EXPECT_FALSE(probe.Looping());
  XSync(dps, False);
  EXPECT_EQ(PumpToolkitEvents(), 1);
}

TEST_F(ControlWindow, MenuIsShownOnceUntilClosed) {
  Probe owner(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  Probe menu(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 60, 80);
  owner.ShowMenu({10, 10});
  EXPECT_FALSE(owner.MenuShown());
  owner.SetMenu(&menu);
  owner.ShowMenu({300, 200});
  owner.ShowMenu({500, 500});
  EXPECT_TRUE(owner.MenuShown());
  EXPECT_TRUE(menu.IsMapped());
  EXPECT_EQ(menu.GetWindowRect().left, 300);
  EXPECT_EQ(menu.GetWindowRect().top, 200);
  EXPECT_EQ(menu.GetWindowRect().right, 360);
  owner.CloseMenu();
  EXPECT_FALSE(owner.MenuShown());
  EXPECT_FALSE(menu.IsMapped());
  owner.SetMenu(nullptr);
}

}  // namespace
}  // namespace tovo::gui
