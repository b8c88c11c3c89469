// Shared ground for the widget tests: a fixture that hands synthesized X events to the toolkit's event
// entry with advancing server times, moves the real pointer (which the widgets query), lets the queued
// repaint requests run, and reads back the pixels the widgets drew.
#pragma once

#include <string>
#include <vector>

#include "../gui/GuiTest.h"

namespace tovo::gui::test {

// The pixels of a window, read once after everything queued was drawn.
class WindowPixels {
 public:
  WindowPixels(unsigned long window, int w, int h)
      : image(XGetImage(dps, window, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                        ZPixmap)),
        width(w),
        height(h) {}
  ~WindowPixels() {
    if (image) XDestroyImage(image);
  }
  WindowPixels(const WindowPixels&) = delete;
  WindowPixels& operator=(const WindowPixels&) = delete;

  bool Valid() const { return image != nullptr; }
  unsigned long At(int x, int y) const { return XGetPixel(image, x, y); }
  // How many pixels of the area (right and bottom exclusive) have the colour.
  int Count(int colour, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (At(x, y) == static_cast<unsigned long>(static_cast<unsigned>(colour))) ++count;
    return count;
  }
  int Count(int colour) const { return Count(colour, 0, 0, width, height); }

 private:
  XImage* image;
  int width;
  int height;
};

// XPM data of one colour, as the built-in images are given to the widgets.
class SolidImage {
 public:
  SolidImage(int width, int height, const char* colour) {
    rows.push_back(std::to_string(width) + " " + std::to_string(height) + " 1 1");
    rows.push_back(std::string("x c ") + colour);
    for (int y = 0; y < height; ++y) rows.push_back(std::string(static_cast<size_t>(width), 'x'));
    for (std::string& row : rows) pointers.push_back(row.data());
  }
  void* Data() { return pointers.data(); }

 private:
  std::vector<std::string> rows;
  std::vector<char*> pointers;
};

class WidgetTest : public ::testing::Test {
 protected:
  // Where the widgets live on the screen, and a place for the pointer away from all of them.
  static constexpr int kX = 200;
  static constexpr int kY = 100;
  static constexpr int kAwayX = 2000;
  static constexpr int kAwayY = 900;

  void SetUp() override { PointerTo(kAwayX, kAwayY); }
  void TearDown() override {
    XUngrabPointer(dps, CurrentTime);
    PointerTo(kAwayX, kAwayY);
    Settle();
  }

  // Delivers everything queued (repaints, outline notices) to the widgets.
  static void Settle() {
    XSync(dps, False);
    PumpToolkitEvents();
    XSync(dps, False);
  }

  // Moves the real pointer to a screen position and drops the crossing events that caused, so that only
  // the events a test sends reach the widgets.
  static void PointerTo(int x, int y) {
    XWarpPointer(dps, 0, DefaultRootWindow(dps), 0, 0, 0, 0, x, y);
    XSync(dps, False);
    XEvent dropped;
    while (XCheckMaskEvent(dps, EnterWindowMask | LeaveWindowMask | PointerMotionMask, &dropped)) {
    }
  }

  int Send(XEvent event) { return SControl::eventProc(&event); }

  // Each press comes well after the last one, so that presses pair into double clicks only on purpose.
  void Press(SControl& control, unsigned button, int x = 5, int y = 5, unsigned state = 0) {
    time += 1000;
    XEvent event = ButtonEvent(control, ButtonPress, button, time, x, y);
    event.xbutton.state = state;
    Send(event);
  }
  void DoublePress(SControl& control, unsigned button, int x = 5, int y = 5) {
    time += 100;
    Send(ButtonEvent(control, ButtonPress, button, time, x, y));
  }
  void Release(SControl& control, unsigned button, int x = 5, int y = 5) {
    time += 10;
    Send(ButtonEvent(control, ButtonRelease, button, time, x, y));
  }
  void Click(SControl& control, unsigned button, int x = 5, int y = 5) {
    Press(control, button, x, y);
    Release(control, button, x, y);
  }
  void Cross(SControl& control, int type, int x = 5, int y = 5) {
    XEvent event{};
    event.xcrossing.type = type;
    event.xcrossing.display = dps;
    event.xcrossing.window = control.GetWindow();
    event.xcrossing.x = x;
    event.xcrossing.y = y;
    Send(event);
  }
  void Motion(SControl& control, int x, int y, unsigned state = 0) {
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.display = dps;
    event.xmotion.window = control.GetWindow();
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.state = state;
    event.xmotion.same_screen = True;
    Send(event);
  }

  // The values of the messages of one type a listener received, in order.
  static std::vector<int> Values(const Probe& listener, int type) {
    std::vector<int> values;
    for (const SEvent& message : listener.messages)
      if (message.type == type) values.push_back(message.value);
    return values;
  }

  SGlobals globals;
  unsigned long time = 10000;
};

}  // namespace tovo::gui::test
