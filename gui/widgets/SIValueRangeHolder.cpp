// Range, default and middle value of a ranged value.
#include "gui/widgets/SIValueRangeHolder.h"

namespace tovo::gui {

void SIValueRangeHolder<int>::SetValueDef(int d) {
  valueDef = Clip(d);
}

void SIValueRangeHolder<int>::SetValueRange(int min, int max, int def) {
  valueMin = min;
  valueMax = max;
  SetValueDef(def);
  CalcValueMed();
}

bool SIValueRangeHolder<int>::SetValueClipped(int v) {
  return SetValue(Clip(v), true);
}

void SIValueRangeHolder<int>::SetValueMin(int m) {
  valueMin = m;
  SetValueDef(valueDef);
  CalcValueMed();
}

void SIValueRangeHolder<int>::SetValueMax(int m) {
  valueMax = m;
  SetValueDef(valueDef);
  CalcValueMed();
}

bool SIValueRangeHolder<int>::SetValueMed() {
  return SetValue(valueMed, false);
}

void SIValueRangeHolder<int>::SetValueStep(int s) {
  valueStep = s;
}

int SIValueRangeHolder<int>::GetValueStep() {
  return valueStep;
}

int SIValueRangeHolder<int>::GetValueRange() {
  return valueMax - valueMin;
}

int SIValueRangeHolder<int>::GetValueMin() {
  return valueMin;
}

int SIValueRangeHolder<int>::GetValueMax() {
  return valueMax;
}

int SIValueRangeHolder<int>::GetValueMed() {
  return valueMed;
}

void SIValueRangeHolder<int>::CalcValueMed() {
  valueMed = valueMin + ((valueMax - valueMin) >> 1);
}

float SIValueRangeHolder<int>::ScaleValue(float amount, bool toValue) {
  const float range = static_cast<float>(valueMax - valueMin);
  if (toValue) return static_cast<float>(valueMin) + amount * range;
  return range == 0.0f ? 0.0f : (amount - static_cast<float>(valueMin)) / range;
}

}  // namespace tovo::gui
