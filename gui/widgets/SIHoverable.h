// The hover state that buttons, dials and the text box share: whether the pointer is over the control,
// and the two frame colours the control shows meanwhile.
#pragma once

namespace tovo::gui {

class SIHoverable {
 public:
  virtual ~SIHoverable() = default;

  // Frame colours (pixels) while hovering: offHover with the value off, onHover with it on.
  virtual void SetHoverColours(int offHover, int onHover);

  int GetOnHoverColour() const { return onHoverColour; }
  int GetOffHoverColour() const { return offHoverColour; }
  bool IsHovering() const { return hovering; }

 protected:
  // Follows the pointer entering, moving over and leaving the control (other mouse entries are ignored);
  // true when the hover state changed, or the pointer came or went, so that the frame is to be redrawn.
  bool FollowPointer(int mouseEntry);

  int onHoverColour = 0;
  int offHoverColour = 0;
  bool hovering = false;
};

}  // namespace tovo::gui
