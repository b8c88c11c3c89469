// Pointer and modifier state of a control.
#include "gui/SInput.h"

namespace tovo::gui::context {

void SInput::Reset() {
  reserved = 0;
  x = -1;
  y = -1;
  dx = 0;
  dy = 0;
  for (bool& entry : state) entry = false;
  button = 0;
  pressTime = 0;
  reserved2 = -1;
  modifiers = 0;
  atEvent = false;
  eventX = 0;
  eventY = 0;
}

}  // namespace tovo::gui::context
