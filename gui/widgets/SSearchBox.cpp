#include "gui/widgets/SSearchBox.h"

#include <string>

#include "gui/SEvent.h"
#include "gui/SKeyMap.h"

namespace tovo::gui {

namespace {

bool MovesThroughList(int code) {
  return code == kKeyUp || code == kKeyDown || code == kKeyPrior || code == kKeyNext || code == kKeyTab;
}

}  // namespace

void SSearchBox::KeyStateChanged(int code, bool pressed, int modifiers, int keyClass) {
  if (keyClass == kKeySpecial && MovesThroughList(code)) {
    if (pressed) SendEvent(kEventShortcut, kKindValue, code, 0.0f, nullptr, this, nullptr);
    return;
  }
  // Return and Escape count once, when pressed: the release may reach another box the press moved to.
  const bool endsTyping = keyClass == kKeySpecial && (code == kKeyReturn || code == kKeyEscape);
  if (endsTyping && !pressed) return;
  const std::string before = GetLine(0).Get();
  STextBox::KeyStateChanged(code, pressed, modifiers, keyClass);
  if (before != GetLine(0).Get()) SendEvent(kEventControlChanged, kKindValue, 0, 0.0f, nullptr, this, nullptr);
}

}  // namespace tovo::gui
