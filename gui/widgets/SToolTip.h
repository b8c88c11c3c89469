// The tooltip window: one small top-level window that serves every control of its owner window. On
// EnterNotify of a registered control it is placed beside the control, on the control's preferred side
// unless it would then not lie whole inside the owner window, and paints that control's draw objects with an arrow pointing at
// the control; it closes when the pointer leaves. A panel-wide switch, shown by a small indicator lamp
// that the owner paints with DrawTiprect or that an SToolTipSwitch is, turns the tips of all registered
// controls on and off.
#pragma once

#include <vector>

#include "gui/SControl.h"

namespace tovo::gui {

class SWindow;
class SToolTipData;

namespace context {
class SDrawFont;
}

class SToolTip : public SControl {
 public:
  // A hidden window on the root, a child of owner, which holds it from then on. The flag is accepted
  // for callers that pass it and not used: the switch starts off.
  SToolTip(SWindow* owner, bool flag);
  // Leaves the data of the registered controls without a tooltip.
  ~SToolTip() override;

  // Shows the data at the screen point, sized to the data's content.
  virtual void Open(SToolTipData* data, const SPoint& point);
  virtual void Close();

  void Draw(const SRect& rect) override;
  void MouseStateChanged(bool* mouse, int index) override;
  void SetAlignment(int alignment) override { textAlignment = alignment; }

  // Takes the data and sizes the window to it without moving or showing; 0 for null data, else 1.
  int SetData(SToolTipData* data);
  // The screen point at which the data's tip goes beside its owner: on the first side, the preferred one
  // first, where it lies whole inside the owner window (or, when it is larger than that, the monitors);
  // records the side and whether it is not the preferred one.
  SPoint Place(SToolTipData* data);

  // Sets or inverts the switch, applies it to every registered control and colours the indicator.
  void EnableTooltips(bool on);
  void ToggleTooltips();
  // Fills the indicator rectangle in the indicator colour on an owner's drawing.
  void DrawTiprect(context::SDrawing* drawing);

  // A control is listed once, however often it registers.
  void Register(SControl* control);
  void Unregister(SControl* control);
  // A registered control whose tip shows whatever the switch says: the switch's own, which is needed
  // most while the tips are off, and places whose text may be shortened and whose tip holds the whole.
  void KeepShowing(SControl* control);
  // The data is going away: close it if shown and forget it.
  void Forget(SToolTipData* data);

  // Colours (pixels) of the text, the alert and the arrow.
  void SetTipColours(int text, int alert, int arrow);
  void SetRound(bool round) { roundShape = round; }

  SWindow* GetOwner() const { return ownerWindow; }
  SToolTipData* GetData() const { return shown; }
  context::SDrawFont* GetFont() const { return normalFont; }
  context::SDrawFont* GetBoldFont() const { return boldFont; }
  bool IsOpen() const { return open; }
  bool IsFlipped() const { return flipped; }
  bool TooltipsEnabled() const { return tooltipsEnabled; }
  int GetTextColour() const { return textColour; }
  int GetTextAlignment() const { return textAlignment; }
  int GetAlertColour() const { return alertColour; }
  int GetArrowColour() const { return arrowColour; }
  int GetIndicatorColour() const { return indicatorColour; }
  const SRect& GetIndicatorRect() const { return indicatorRect; }
  const std::vector<SControl*>& Registered() const { return registered; }

 private:
  void TakeData(SToolTipData* next);
  void DrawArrow();
  SRect PlacementLimit(const SRect& screen, int tipWidth, int tipHeight) const;

  SWindow* ownerWindow;
  SToolTipData* shown = nullptr;
  context::SDrawFont* normalFont;
  context::SDrawFont* boldFont;
  bool open = false;
  int textColour;
  int textAlignment = 0;
  int alertColour;
  int arrowColour;
  int indicatorColour;
  bool roundShape = false;
  bool flipped = false;
  int side = 0;  // the placement the tip is shown on
  std::vector<SControl*> registered;
  std::vector<SControl*> alwaysShown;
  SRect indicatorRect{1, 1, 10, 10};
  bool tooltipsEnabled = false;
};

}  // namespace tovo::gui
