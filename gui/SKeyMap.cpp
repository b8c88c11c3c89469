// The key symbol table.
#include "gui/SKeyMap.h"

#include <X11/keysym.h>

namespace tovo::gui {

namespace {

struct KeyRow {
  unsigned long keysym;
  SKey key;
};

const KeyRow kSpecialKeys[] = {
    {XK_Return, {kKeyReturn, kKeySpecial}},       {XK_KP_Enter, {kKeyReturn, kKeySpecial}},
    {XK_Escape, {kKeyEscape, kKeySpecial}},       {XK_Tab, {kKeyTab, kKeySpecial}},
    {XK_KP_Tab, {kKeyTab, kKeySpecial}},          {XK_BackSpace, {kKeyBackSpace, kKeySpecial}},
    {XK_Delete, {kKeyDelete, kKeySpecial}},       {XK_KP_Delete, {kKeyDelete, kKeySpecial}},
    {XK_Insert, {kKeyInsert, kKeySpecial}},       {XK_KP_Insert, {kKeyInsert, kKeySpecial}},
    {XK_Up, {kKeyUp, kKeySpecial}},               {XK_KP_Up, {kKeyUp, kKeySpecial}},
    {XK_Down, {kKeyDown, kKeySpecial}},           {XK_KP_Down, {kKeyDown, kKeySpecial}},
    {XK_Left, {kKeyLeft, kKeySpecial}},           {XK_KP_Left, {kKeyLeft, kKeySpecial}},
    {XK_Right, {kKeyRight, kKeySpecial}},         {XK_KP_Right, {kKeyRight, kKeySpecial}},
    {XK_Prior, {kKeyPrior, kKeySpecial}},         {XK_KP_Prior, {kKeyPrior, kKeySpecial}},
    {XK_Next, {kKeyNext, kKeySpecial}},           {XK_KP_Next, {kKeyNext, kKeySpecial}},
    {XK_Home, {kKeyHome, kKeySpecial}},           {XK_KP_Home, {kKeyHome, kKeySpecial}},
    {XK_End, {kKeyEnd, kKeySpecial}},             {XK_KP_End, {kKeyEnd, kKeySpecial}},
    {XK_Caps_Lock, {kKeyCapsLock, kKeySpecial}},  {XK_Print, {kKeyPrint, kKeySpecial}},
    {XK_Pause, {kKeyPause, kKeySpecial}},         {XK_Break, {kKeyPause, kKeySpecial}},
    {XK_Shift_L, {kKeyShift, kKeyModifier}},      {XK_Shift_R, {kKeyShift, kKeyModifier}},
    {XK_Control_L, {kKeyControl, kKeyModifier}},  {XK_Control_R, {kKeyControl, kKeyModifier}},
    {XK_Alt_L, {kKeyAlt, kKeyModifier}},          {XK_Alt_R, {kKeyAlt, kKeyModifier}},
};

}  // namespace

SKey TranslateKeySymbol(unsigned long keysym) {
  for (const KeyRow& row : kSpecialKeys)
    if (row.keysym == keysym) return row.key;
  const int symbol = static_cast<int>(keysym);
  if ((keysym >= XK_F1 && keysym <= XK_F24) || (keysym >= XK_KP_F1 && keysym <= XK_KP_F4))
    return {symbol, kKeyFunction};
  // The keypad's characters sit 0xFF80 above their ASCII codes: KP_Space, KP_Multiply ... KP_9, KP_Equal.
  if (keysym == XK_KP_Space || (keysym >= XK_KP_Multiply && keysym <= XK_KP_9) || keysym == XK_KP_Equal)
    return {symbol - 0xFF80, kKeyCharacter};
  return {symbol, kKeyCharacter};
}

}  // namespace tovo::gui
