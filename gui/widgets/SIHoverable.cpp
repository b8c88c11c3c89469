// The shared hover state: its colours and how it follows the pointer.
#include "gui/widgets/SIHoverable.h"

#include "gui/SInput.h"

namespace tovo::gui {

void SIHoverable::SetHoverColours(int offHover, int onHover) {
  offHoverColour = offHover;
  onHoverColour = onHover;
}

bool SIHoverable::FollowPointer(int mouseEntry) {
  switch (mouseEntry) {
    case context::kMouseEntered:
      hovering = true;
      return true;
    case context::kMouseMoving:
      if (hovering) return false;
      hovering = true;
      return true;
    case context::kMouseLeft:
      hovering = false;
      return true;
    default:
      return false;
  }
}

}  // namespace tovo::gui
