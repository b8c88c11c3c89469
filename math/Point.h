// A point in D dimensions with elements of type T; the toolkit uses the 2-D int form for pixel
// positions. Plain aggregate so it can be brace-initialised and copied like the Xlib records it mirrors.
#pragma once

namespace tovo::math::geom {

template <typename T, unsigned D>
struct Point;

template <typename T>
struct Point<T, 2> {
  T x;
  T y;
};

}  // namespace tovo::math::geom
