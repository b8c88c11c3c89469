// Hover colours of the shared hover state.
#include "gui/widgets/SIHoverable.h"

namespace tovo::gui {

void SIHoverable::SetHoverColours(int offHover, int onHover) {
  offHoverColour = offHover;
  onHoverColour = onHover;
}

}  // namespace tovo::gui
