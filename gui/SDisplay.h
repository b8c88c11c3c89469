// The monitors the screen is made of, so that dialogs and menus open on one monitor rather than across
// two. Xinerama's screens when the server has them; else the work areas of several X screens; else one
// screen that is split when its shape says it is really two or more monitors side by side or stacked.
#pragma once

#include <vector>

#include "data/datastring.h"
#include "math/Point.h"
#include "math/Rectangle.h"

namespace tovo::gui {

class SControl;

struct SDisplayInfo {
  tovo::math::geom::Rectangle<int, 2> rect;
  tovo::data::datastring<32, char> name;
  int index;
};

class SDisplay {
 public:
  using Rect = tovo::math::geom::Rectangle<int, 2>;
  using Point = tovo::math::geom::Point<int, 2>;

  // Rebuilds the monitor list and the bounding rectangle from the server.
  void AllMonitorRects();
  // The monitors that one screen of width x height is taken to be; split tells whether it was split.
  static std::vector<Rect> SplitScreen(int width, int height, bool* split);
  void AllMonitorInfos() {}

  // The first monitor that holds the point (edges included), else the first monitor.
  Rect MonitorRect(Point point) const;
  // The same for the control's centre in screen coordinates; the first monitor for a null control.
  Rect MonitorRect(SControl* control) const;
  // Moves the control to the centre of the monitor that holds the point.
  void CenterOnWindow(SControl* control, Point point) const;
  // Moves the control to the centre of the monitor that holds its own centre.
  void CenterOnWindow(SControl* control) const;

  const std::vector<Rect>& Monitors() const { return monitors; }
  int Count() const { return count; }
  Rect Bounds() const { return bounds; }
  bool Split() const { return split; }

 private:
  void AddMonitor(const Rect& rect);
  static Point ControlCentre(SControl* control);

  std::vector<Rect> monitors;
  int count = 0;
  Rect bounds{0, 0, 0, 0};
  bool split = false;
};

}  // namespace tovo::gui
