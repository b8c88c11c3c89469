// Conversions between the toolkit's geometry and Xlib's records. Rectangles are corner form here and
// origin-plus-size in Xlib. Included by the toolkit's .cpp files only, so Xlib stays out of public headers.
#pragma once

#include <X11/Xlib.h>

#include "math/Point.h"
#include "math/Rectangle.h"

namespace tovo::gui {

inline XPoint S2POINT(const tovo::math::geom::Point<int, 2>& p) {
  return XPoint{static_cast<short>(p.x), static_cast<short>(p.y)};
}

inline tovo::math::geom::Point<int, 2> POINT2S(const XPoint& p) { return {p.x, p.y}; }

inline XRectangle S2RECT(const tovo::math::geom::Rectangle<int, 2>& r) {
  return XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                    static_cast<unsigned short>(r.right - r.left), static_cast<unsigned short>(r.bottom - r.top)};
}

inline tovo::math::geom::Rectangle<int, 2> RECT2S(const XRectangle& r) {
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

}  // namespace tovo::gui
