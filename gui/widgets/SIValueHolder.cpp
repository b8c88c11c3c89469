// The plain value holder.
#include "gui/widgets/SIValueHolder.h"

namespace tovo::gui {

bool SIValueHolder<int>::SetValue(int v, bool) {
  if (v == value) return false;
  value = v;
  return true;
}

int SIValueHolder<int>::GetValue() {
  return value;
}

int SIValueHolder<int>::GetValueDef() {
  return valueDef;
}

bool SIValueHolder<int>::ResetValue() {
  return SetValue(valueDef, true);
}

void SIValueHolder<int>::SetValueDef(int d) {
  valueDef = d;
}

}  // namespace tovo::gui
