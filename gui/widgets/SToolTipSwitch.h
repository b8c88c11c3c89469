// The switch of a tooltip window as a control of its owner: a lamp in the switch's colour at the
// tooltip's indicator rectangle that turns every registered control's tip on or off when pressed. Its
// own tip tells what it does and shows while the others are off, since that is when it is looked for.
#pragma once

#include "gui/SControl.h"

namespace tovo::gui {

class SToolTip;

class SToolTipSwitch : public SControl {
 public:
  // A shown child of the tooltip's owner window, which holds it, over its indicator rectangle, with that
  // tip.
  SToolTipSwitch(SToolTip* tooltip, const char* name, const char* tip);

  void Draw(const SRect& rect) override;
  void MouseStateChanged(bool* mouse, int index) override;

 private:
  SToolTip* tooltip;
};

}  // namespace tovo::gui
