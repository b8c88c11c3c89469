// The GUI resources one plug-in instance hands to every control it creates.
// Interim form: the toolkit's controls that use its fields come later.
#pragma once

namespace tovo::gui {

class SGlobals {
 public:
  SGlobals() = default;
  SGlobals(const SGlobals&) = delete;
  SGlobals& operator=(const SGlobals&) = delete;
};

}  // namespace tovo::gui
