// The tooltip switch: its lamp, its presses and its own tip.
#include "gui/widgets/SToolTipSwitch.h"

#include "gui/SWindow.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SPressValue.h"
#include "gui/widgets/SToolTip.h"
#include "gui/widgets/SToolTipData.h"

namespace tovo::gui {

SToolTipSwitch::SToolTipSwitch(SToolTip* tips, const char* name, const char* tip) : tooltip(tips) {
  SWindow* owner = tips->GetOwner();
  const SRect& lamp = tips->GetIndicatorRect();
  Create(owner->GetGlobals(), owner, static_cast<unsigned>(owner->GetGlobals()->NextId()), name, 0, lamp.left,
         lamp.top, lamp.right - lamp.left, lamp.bottom - lamp.top, static_cast<int>(owner->GetWindow()),
         false);
  // Below it: the switch sits in its window's top-left corner.
  SetTooltip(tips, tip, kTipBelow);
  tips->KeepShowing(this);
  owner->Add(this);
  Show();
}

void SToolTipSwitch::Draw(const SRect&) {
  if (!drawing) return;
  drawing->SetBrush(context::statdata.FindBrush(tooltip->GetIndicatorColour()));
  drawing->FillRect(0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top);
}

void SToolTipSwitch::MouseStateChanged(bool* mouse, int index) {
  SControl::MouseStateChanged(mouse, index);
  if (!PressValue(index) || IsCleaningUp()) return;
  tooltip->ToggleTooltips();
  Refresh();
}

}  // namespace tovo::gui
