// A dial whose text reads upwards, centred on it, as the panel's column legend does: the controller rows'
// headers are dials that sit in the legend's narrow column.
#pragma once

#include "gui/widgets/SDial.h"

class SUpwardDial : public tovo::gui::SDial<int> {
 public:
  using tovo::gui::SDial<int>::SDial;

  void DrawValue() override;
};
