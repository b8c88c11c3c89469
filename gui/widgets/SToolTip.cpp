// The tooltip window: placement beside the owner control, painting of the content and its arrow, and the
// switch that enables the tips of all registered controls.
#include "gui/widgets/SToolTip.h"

#include <algorithm>
#include <array>
#include <string>

#include "gui/SDisplay.h"
#include "gui/SInput.h"
#include "gui/SWindow.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SDrawObject.h"
#include "gui/widgets/SToolTipData.h"

namespace tovo::gui {

using context::SDrawFont;
using context::SDrawing;
using context::statdata;

namespace {

constexpr int kTipFontSize = 10;
constexpr int kOutlineSlot = 20;
constexpr int kIndicatorOnSlot = 4;
constexpr int kIndicatorOffSlot = 10;
constexpr int kCornerRadius = 7;
// A tip is its content plus this much room, and keeps this gap to the control.
constexpr int kWidthRoom = 48;
constexpr int kHeightRoom = 16;
constexpr int kGap = 3;

// Halving that rounds towards minus infinity: a tip wider than its control starts left of it by half the
// difference, rounded outwards.
int FloorHalf(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

bool Listed(const std::vector<SControl*>& list, const SControl* control) {
  return std::find(list.begin(), list.end(), control) != list.end();
}

SRect WholeArea(const SRect& client) { return {0, 0, client.right - client.left, client.bottom - client.top}; }

}  // namespace

SToolTip::SToolTip(SWindow* owner, bool)
    : ownerWindow(owner),
      normalFont(new SDrawFont(kTipFontSize, false, false, false, nullptr)),
      boldFont(new SDrawFont(kTipFontSize, true, false, false, nullptr)),
      textColour(SCOL(0, 0, 0)),
      alertColour(SCOL(255, 0, 0)),
      arrowColour(SCOL(255, 128, 0)),
      indicatorColour(statdata.GetColour(kIndicatorOffSlot)) {
  SGlobals* shared = owner ? owner->GetGlobals() : nullptr;
  const SLabelText name(64, "%s (Tooltip)", owner ? owner->GetLabel().Get() : "");
  Create(shared, owner, shared ? static_cast<unsigned>(shared->NextId()) : 0, name.Get(),
         kStyleRootChild | kStyleTopLevel, 100, 100, 200, 32, owner ? static_cast<int>(owner->GetWindow()) : 0,
         false);
  const int white = SCOL(255, 255, 255), black = SCOL(0, 0, 0);
  SetColours(white, white, white, black, black, white, white);
  if (owner) owner->Add(this);
}

SToolTip::~SToolTip() {
  for (SControl* control : registered)
    if (SToolTipData* tip = control->GetTooltipData(); tip && tip->GetTooltip() == this) tip->Detach();
  registered.clear();
  // Deleted by anyone but the owner, the owner must not delete it again.
  if (ownerWindow) ownerWindow->Remove(this, false);
  delete normalFont;
  delete boldFont;
}

void SToolTip::TakeData(SToolTipData* next) {
  shown = next;
  // The window is named after its text, one line after the other, so that what reads windows rather than
  // pixels (a screen reader, a test) can read the tip.
  std::string name;
  for (const SToolTipData::Text& line : next->Lines())
    name.append(name.empty() ? "" : " ").append(line.Get());
  SetTitleText(name.c_str());
  const SRect& content = next->Bounds();
  SetSize(content.right - content.left + kWidthRoom, content.bottom - content.top + kHeightRoom);
  // The shape is cut for a size; a new size needs a new cut.
  if (roundShape) {
    SetRoundShape(false);
    SetRoundShape(true);
  }
}

void SToolTip::Open(SToolTipData* next, const SPoint& point) {
  if (!next) return;
  Close();
  TakeData(next);
  SetPosition(point.x, point.y);
  Show();
  open = true;
}

void SToolTip::Close() {
  if (!open) return;
  Hide();
  open = false;
}

int SToolTip::SetData(SToolTipData* next) {
  if (!next) return 0;
  Close();
  TakeData(next);
  return 1;
}

void SToolTip::Forget(SToolTipData* gone) {
  if (shown != gone) return;
  Close();
  shown = nullptr;
}

// A tip must be read whole, and a window edge of the editor's host cuts what crosses it in the user's eye
// if not on the screen: the tip stays inside its owner window where a side has room for it there, inside
// the monitors otherwise. The preferred side comes first, then the opposite one, then left and above, the
// sides a control at the window's right or bottom edge has room on. A tip never covers its control, which
// would take the pointer's presses from it, unless no side has room on the screen either.
SPoint SToolTip::Place(SToolTipData* tip) {
  SControl* control = tip ? tip->GetOwner() : nullptr;
  if (!control) return {0, 0};
  const SRect client = control->GetClientRect();
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  const SRect& content = tip->Bounds();
  const int tw = content.right - content.left + kWidthRoom, th = content.bottom - content.top + kHeightRoom;
  SDisplay monitors;
  monitors.AllMonitorRects();
  const SRect screen = monitors.Bounds();
  const SRect limit = PlacementLimit(screen, tw, th);
  SPoint origin{0, 0};
  control->GetClient2Screen(origin);

  const int preferred = tip->GetPlacement() >= kTipAbove && tip->GetPlacement() <= kTipLeft ? tip->GetPlacement()
                                                                                              : kTipLeft;
  auto besideOn = [&](int placement) {
    side = placement;
    flipped = placement != preferred;
    const SPoint offset = tip->GetOffset();  // the flipped side's offset while flipped
    SPoint at = origin;
    switch (placement) {
      case kTipAbove:
        at.x += FloorHalf(cw - tw), at.y += -th - kGap;
        break;
      case kTipRight:
        at.x += cw + kGap, at.y += FloorHalf(ch - th);
        break;
      case kTipBelow:
        at.x += FloorHalf(cw - tw), at.y += ch + kGap;
        break;
      default:
        at.x += -tw - kGap, at.y += FloorHalf(ch - th);
        break;
    }
    return SPoint{at.x + offset.x, at.y + offset.y};
  };
  auto whole = [&](const SPoint& at, const SRect& bounds) {
    return at.x >= bounds.left && at.y >= bounds.top && at.x + tw <= bounds.right && at.y + th <= bounds.bottom;
  };
  const int opposite = (preferred + 2) % 4;
  for (const SRect& bounds : {limit, screen}) {
    for (const int placement : {preferred, opposite, static_cast<int>(kTipLeft), static_cast<int>(kTipAbove),
                                static_cast<int>(kTipRight), static_cast<int>(kTipBelow)}) {
      const SPoint at = besideOn(placement);
      if (whole(at, bounds)) return at;
    }
  }
  const SPoint at = besideOn(preferred);
  return {std::clamp(at.x, screen.left, std::max(screen.left, screen.right - tw)),
          std::clamp(at.y, screen.top, std::max(screen.top, screen.bottom - th))};
}

// The owner window on the screen, when a tip of this size fits inside it; else the monitors' bounds.
SRect SToolTip::PlacementLimit(const SRect& screen, int tipWidth, int tipHeight) const {
  if (!ownerWindow) return screen;
  const SRect client = ownerWindow->GetClientRect();
  SPoint origin{0, 0};
  ownerWindow->GetClient2Screen(origin);
  const SRect visible{std::max(screen.left, origin.x), std::max(screen.top, origin.y),
                    std::min(screen.right, origin.x + client.right - client.left),
                    std::min(screen.bottom, origin.y + client.bottom - client.top)};
  const bool fits = visible.right - visible.left >= tipWidth && visible.bottom - visible.top >= tipHeight;
  return fits ? visible : screen;
}

void SToolTip::MouseStateChanged(bool* mouse, int index) {
  SControl::MouseStateChanged(mouse, index);
  if (index == context::kMouseLeft || (mouse && !mouse[context::kMouseInside])) Close();
}

void SToolTip::Draw(const SRect&) {
  if (!drawing) return;
  const SRect area = WholeArea(clientRect);
  const int outline = statdata.GetColour(kOutlineSlot);
  if (roundShape) {
    const int background = drawing->GetBackgroundColour();
    drawing->SetPen(statdata.FindPen(background));
    drawing->SetBrush(statdata.FindBrush(background));
    drawing->FillRoundedRect(area, kCornerRadius, kCornerRadius);
    drawing->SetPen(statdata.FindPen(outline));
    drawing->DrawRoundedRect(area, kCornerRadius, kCornerRadius);
  } else {
    drawing->DrawBackground(area, false);
    drawing->SetPen(statdata.FindPen(outline));
    drawing->DrawRect(area);
  }
  if (!shown || shown->Objects().empty()) return;
  // Text objects draw in the container's font.
  drawing->SetFont(normalFont);
  for (SDrawObject* object : shown->Objects()) object->Draw(drawing);
  DrawArrow();
}

// The arrow sits on the edge that faces the control.
void SToolTip::DrawArrow() {
  const int w = clientRect.right - clientRect.left, h = clientRect.bottom - clientRect.top;
  const bool atBottom = side == kTipAbove;
  const bool atTop = side == kTipBelow;
  const bool atLeft = side == kTipRight;
  using P = SDrawing::Point;
  std::array<P, 4> arrow;
  if (atBottom)
    arrow = {P{w / 2, h - 1}, P{w / 2 + 3, h - 5}, P{w / 2 - 3, h - 5}, P{w / 2, h - 1}};
  else if (atTop)
    arrow = {P{w / 2, 1}, P{w / 2 + 3, 5}, P{w / 2 - 3, 5}, P{w / 2, 1}};
  else if (atLeft)
    arrow = {P{1, h / 2}, P{5, h / 2 - 3}, P{5, h / 2 + 3}, P{1, h / 2}};
  else
    arrow = {P{w - 1, h / 2}, P{w - 5, h / 2 - 3}, P{w - 5, h / 2 + 3}, P{w - 1, h / 2}};
  drawing->SetPen(statdata.FindPen(arrowColour));
  drawing->SetBrush(statdata.FindBrush(arrowColour));
  drawing->FillPoly(arrow.data(), static_cast<int>(arrow.size()));
}

void SToolTip::EnableTooltips(bool on) {
  tooltipsEnabled = on;
  for (SControl* control : registered) control->EnableTooltip(on || Listed(alwaysShown, control));
  indicatorColour = statdata.GetColour(on ? kIndicatorOnSlot : kIndicatorOffSlot);
}

void SToolTip::ToggleTooltips() { EnableTooltips(!tooltipsEnabled); }

void SToolTip::DrawTiprect(SDrawing* target) {
  if (!target) return;
  target->SetBrush(statdata.FindBrush(indicatorColour));
  target->FillRect(indicatorRect);
}

void SToolTip::Register(SControl* control) {
  if (control && !Listed(registered, control)) registered.push_back(control);
}

void SToolTip::Unregister(SControl* control) {
  registered.erase(std::remove(registered.begin(), registered.end(), control), registered.end());
  alwaysShown.erase(std::remove(alwaysShown.begin(), alwaysShown.end(), control), alwaysShown.end());
}

void SToolTip::KeepShowing(SControl* control) {
  if (!control || !Listed(registered, control)) return;
  if (!Listed(alwaysShown, control)) alwaysShown.push_back(control);
  control->EnableTooltip(true);
}

void SToolTip::SetTipColours(int text, int alert, int arrow) {
  textColour = text;
  alertColour = alert;
  arrowColour = arrow;
}

}  // namespace tovo::gui
