// An axis-aligned rectangle in D dimensions with elements of type T, kept in corner form (left, top,
// right, bottom) rather than width and height; the toolkit uses the 2-D int form for pixel areas.
#pragma once

namespace tovo::math::geom {

template <typename T, unsigned D>
struct Rectangle;

template <typename T>
struct Rectangle<T, 2> {
  T left;
  T top;
  T right;
  T bottom;
};

}  // namespace tovo::math::geom
