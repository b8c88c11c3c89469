// The value a label-like control reports for a mouse press: 1 for the left button, 3 for the right, 2 for
// the middle (double clicks count as presses); 0 for any other change of the mouse state.
#pragma once

#include "gui/SInput.h"

namespace tovo::gui {

inline int PressValue(int index) {
  switch (index) {
    case context::kMouseLeftDown:
    case context::kMouseLeftDouble:
      return 1;
    case context::kMouseRightDown:
    case context::kMouseRightDouble:
      return 3;
    case context::kMouseMiddleDown:
    case context::kMouseMiddleDouble:
      return 2;
    default:
      return 0;
  }
}

}  // namespace tovo::gui
