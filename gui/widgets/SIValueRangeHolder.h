// A value held within a range: minimum, maximum, the middle value and a step, on top of the current and
// default values. The default always lies inside the range; the value itself is only clipped when a
// caller asks for it (SetValueClipped), so code can still store any value.
#pragma once

#include "gui/widgets/SIValueHolder.h"

namespace tovo::gui {

template <typename T>
class SIValueRangeHolder;

template <>
class SIValueRangeHolder<int> : public SIValueHolder<int> {
 public:
  // Stores d clipped into the range.
  void SetValueDef(int d) override;
  // New bounds and default; the value is left as it is.
  virtual void SetValueRange(int min, int max, int def);
  // SetValue of v clipped into the range (with notify); whether the value changed.
  virtual bool SetValueClipped(int v);
  // A new bound; the default is pulled inside the range.
  virtual void SetValueMin(int m);
  virtual void SetValueMax(int m);
  // The value becomes the middle value, unreported; whether it changed.
  virtual bool SetValueMed();
  virtual void SetValueStep(int s);
  virtual int GetValueStep();
  // max - min.
  virtual int GetValueRange();
  virtual int GetValueMin();
  virtual int GetValueMax();
  virtual int GetValueMed();
  virtual void CalcValueMed();
  // toValue: the value at fraction amount of the range; else the fraction of the range at value amount
  // (0 for a range of one value).
  virtual float ScaleValue(float amount, bool toValue);

 protected:
  int Clip(int v) const { return v < valueMin ? valueMin : (v > valueMax ? valueMax : v); }

  int valueMin = 0;
  int valueMax = 0;
  int valueMed = 0;
  int valueStep = 1;
};

}  // namespace tovo::gui
