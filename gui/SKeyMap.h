// How the toolkit names a key: a key symbol becomes a code and a class (a character, a modifier, a special
// key such as an arrow, or a function key), so widgets need not know X's key symbols.
#pragma once

namespace tovo::gui {

enum SKeyClass : int { kKeyCharacter = 0, kKeyModifier = 3, kKeySpecial = 4, kKeyFunction = 5 };

// Codes of the special and modifier keys.
enum SKeyCode : int {
  kKeyReturn = 0,
  kKeyEscape = 1,
  kKeyTab = 2,
  kKeyBackSpace = 3,
  kKeyDelete = 4,
  kKeyInsert = 5,
  kKeyUp = 6,
  kKeyDown = 7,
  kKeyLeft = 8,
  kKeyRight = 9,
  kKeyPrior = 10,
  kKeyNext = 11,
  kKeyHome = 12,
  kKeyEnd = 13,
  kKeyCapsLock = 14,
  kKeyPrint = 15,
  kKeyPause = 16,
  kKeyShift = 17,
  kKeyControl = 18,
  kKeyAlt = 19,
};

// Modifier bits handed to KeyStateChanged and carried by shortcut messages.
enum SKeyModifier : int { kModShift = 1, kModControl = 2, kModAlt = 4 };

struct SKey {
  int code;
  int keyClass;
};

SKey TranslateKeySymbol(unsigned long keysym);

}  // namespace tovo::gui
