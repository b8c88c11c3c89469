// A ranged value that a control moves by the user's gestures: it adds the scale, the share of the range
// that one unit of the value stands for.
#pragma once

#include "gui/widgets/SIValueRangeHolder.h"

namespace tovo::gui {

template <typename T>
class SIControllable;

template <>
class SIControllable<int> : public SIValueRangeHolder<int> {
 public:
  // Also sets the scale to 1 / (max - min), or 1 for a range of one value.
  void SetValueRange(int min, int max, int def) override;
  // Back to the default value.
  virtual void Reset();

  float GetScale() const { return scale; }

 protected:
  float scale = 1.0f;
};

}  // namespace tovo::gui
