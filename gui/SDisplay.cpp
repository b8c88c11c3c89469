// Monitor geometry.
#include "gui/SDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

#include <algorithm>
#include <cmath>

#include "gui/SControl.h"
#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

bool Contains(const SDisplay::Rect& r, const SDisplay::Point& p) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

void SDisplay::AddMonitor(const Rect& rect) {
  if (monitors.empty()) {
    bounds = rect;
  } else {
    bounds.left = std::min(bounds.left, rect.left);
    bounds.top = std::min(bounds.top, rect.top);
    bounds.right = std::max(bounds.right, rect.right);
    bounds.bottom = std::max(bounds.bottom, rect.bottom);
  }
  monitors.push_back(rect);
}

std::vector<SDisplay::Rect> SDisplay::SplitScreen(int width, int height, bool* splitOut) {
  std::vector<Rect> parts;
  *splitOut = false;
  if (width <= 0 || height <= 0) {
    parts.push_back({0, 0, width, height});
    return parts;
  }
  // A monitor is taken to be at most a little wider than 5:4; a screen far taller or far wider than
  // that is several monitors.
  const double tall = height / (width * 0.8);
  const double wide = width * 0.8 / height;
  if (tall > 1.5) {
    const int n = Round(tall), each = Round(height / tall);
    for (int i = 0; i < n; ++i) parts.push_back({0, i * each, width, (i + 1) * each});
    *splitOut = true;
  } else if (wide > 1.5) {
    const int n = Round(wide), each = Round(width / wide);
    for (int i = 0; i < n; ++i) parts.push_back({i * each, 0, (i + 1) * each, height});
    *splitOut = true;
  } else {
    parts.push_back({0, 0, width, height});
  }
  return parts;
}

void SDisplay::AllMonitorRects() {
  monitors.clear();
  bounds = {0, 0, 0, 0};
  split = false;
  count = 0;
  Display* display = CurrentDisplay();
  if (!display) return;

  // Step 1: Xinerama's screens.
  int eventBase = 0, errorBase = 0;
  if (XineramaQueryExtension(display, &eventBase, &errorBase) && XineramaIsActive(display)) {
    int screens = 0;
    if (XineramaScreenInfo* info = XineramaQueryScreens(display, &screens)) {
      for (int i = 0; i < screens; ++i)
        AddMonitor({info[i].x_org, info[i].y_org, info[i].x_org + info[i].width, info[i].y_org + info[i].height});
      XFree(info);
    }
  }

  // Step 2: the work areas of several X screens.
  if (monitors.empty() && ScreenCount(display) > 1) {
    Atom workArea = XInternAtom(display, "_NET_WORKAREA", True);
    for (int screen = 0; workArea != None && screen < ScreenCount(display); ++screen) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, RootWindow(display, screen), workArea, 0, 4, False, XA_CARDINAL, &type,
                             &format, &items, &after, &data) == Success &&
          data && format == 32 && items == 4) {
        const long* area = reinterpret_cast<const long*>(data);
        AddMonitor({static_cast<int>(area[0]), static_cast<int>(area[1]), static_cast<int>(area[0] + area[2]),
                    static_cast<int>(area[1] + area[3])});
      }
      if (data) XFree(data);
    }
  }

  // Step 3: one screen, split when its shape calls for it.
  if (monitors.empty()) {
    const int screen = DefaultScreen(display);
    for (const Rect& part : SplitScreen(DisplayWidth(display, screen), DisplayHeight(display, screen), &split))
      AddMonitor(part);
  }
  count = static_cast<int>(monitors.size());
}

SDisplay::Rect SDisplay::MonitorRect(Point point) const {
  for (const Rect& monitor : monitors)
    if (Contains(monitor, point)) return monitor;
  return monitors.empty() ? Rect{0, 0, 0, 0} : monitors.front();
}

SDisplay::Point SDisplay::ControlCentre(SControl* control) {
  const Rect client = control->GetClientRect();
  Point centre{(client.right - client.left) / 2, (client.bottom - client.top) / 2};
  control->GetClient2Screen(centre);
  return centre;
}

SDisplay::Rect SDisplay::MonitorRect(SControl* control) const {
  if (!control) return monitors.empty() ? Rect{0, 0, 0, 0} : monitors.front();
  return MonitorRect(ControlCentre(control));
}

void SDisplay::CenterOnWindow(SControl* control, Point point) const {
  if (!control) return;
  const Rect monitor = MonitorRect(point);
  const Rect own = control->GetWindowRect();
  control->SetPosition(monitor.left + ((monitor.right - monitor.left) - (own.right - own.left)) / 2,
                       monitor.top + ((monitor.bottom - monitor.top) - (own.bottom - own.top)) / 2);
}

void SDisplay::CenterOnWindow(SControl* control) const {
  if (!control) return;
  CenterOnWindow(control, ControlCentre(control));
}

}  // namespace tovo::gui
