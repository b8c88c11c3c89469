// The scale of a controllable value.
#include "gui/widgets/SIControllable.h"

namespace tovo::gui {

void SIControllable<int>::SetValueRange(int min, int max, int def) {
  SIValueRangeHolder::SetValueRange(min, max, def);
  scale = max == min ? 1.0f : 1.0f / static_cast<float>(max - min);
}

void SIControllable<int>::Reset() {
  ResetValue();
}

}  // namespace tovo::gui
