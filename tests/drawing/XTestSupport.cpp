// The X environment the drawing tests share: the toolkit's connection and its colour table live for the
// whole run and are released at the end, as the library does at unload.
#include "XTestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <climits>

#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"

namespace tovo::test {

namespace {

class ToolkitEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    tovo::gui::OpenToolkitDisplay();
    ASSERT_NE(nullptr, tovo::gui::dps) << "these tests need an X server in DISPLAY";
    tovo::gui::context::InitStaticData();
  }
  void TearDown() override {
    tovo::gui::context::ReleaseStaticData();
    tovo::gui::CloseToolkitDisplay();
  }
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

Display* TestDisplay() { return tovo::gui::dps; }

std::vector<int> ServerChannels(int pixel) {
  Display* display = TestDisplay();
  XColor colour{};
  colour.pixel = static_cast<unsigned long>(static_cast<unsigned>(pixel));
  XQueryColor(display, DefaultColormap(display, 0), &colour);
  return {colour.red >> 8, colour.green >> 8, colour.blue >> 8};
}

BareWindow::BareWindow(int w, int h, int x, int y) : width(w), height(h) {
  Display* display = TestDisplay();
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  window = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w),
                         static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                         CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XMapRaised(display, window);
  XEvent event;
  XWindowEvent(display, window, ExposureMask, &event);
  XSync(display, False);
}

BareWindow::~BareWindow() {
  Display* display = TestDisplay();
  XDestroyWindow(display, window);
  XSync(display, True);
}

Snapshot::Snapshot(unsigned long drawable, int width, int height) {
  Display* display = TestDisplay();
  XSync(display, False);
  image = XGetImage(display, drawable, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                    ZPixmap);
}

Snapshot::~Snapshot() {
  if (image) XDestroyImage(image);
}

unsigned long Snapshot::At(int x, int y) const { return image ? XGetPixel(image, x, y) : ULONG_MAX; }

PixelSet Snapshot::Except(unsigned long background, int left, int top, int right, int bottom) const {
  PixelSet out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (At(x, y) != background) out.insert({x, y});
  return out;
}

PixelSet Snapshot::Matching(unsigned long value, int left, int top, int right, int bottom) const {
  PixelSet out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (At(x, y) == value) out.insert({x, y});
  return out;
}

PixelSet Normalised(const PixelSet& pixels) {
  int minX = INT_MAX, minY = INT_MAX;
  for (const auto& p : pixels) {
    minX = std::min(minX, p.first);
    minY = std::min(minY, p.second);
  }
  PixelSet out;
  for (const auto& p : pixels) out.insert({p.first - minX, p.second - minY});
  return out;
}

}  // namespace tovo::test
