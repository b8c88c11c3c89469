// A one-line text box for typing a filter over a list: besides Return and Escape, which it reports as the
// text box does but only when they are pressed, it reports each change of its text as a control-changed event (type 5) and hands the
// keys that move through the list (Up, Down, Page Up, Page Down, Tab) to its listeners as shortcut events
// (type 11, value the key's code) instead of using them itself.
#pragma once

#include "gui/widgets/STextBox.h"

namespace tovo::gui {

class SSearchBox : public STextBox {
 public:
  using STextBox::STextBox;

  void KeyStateChanged(int code, bool pressed, int modifiers, int keyClass) override;
};

}  // namespace tovo::gui
