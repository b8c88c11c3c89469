// The dial: construction, drawing through the double buffer, display texts, and the wheel and drag steps.
#include "gui/widgets/SDial.h"

#include "gui/SInput.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui {

using namespace context;

namespace {

constexpr int kDialRounding = 5;

}  // namespace

SDial<int>::SDial(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name,
                  int styleBits, int x, int y, int width, int height, bool labelled, bool wholeZone,
                  int hostWindow, int v, int min, int max, int def)
    : SControllable(owner, parentControl, controlId, name,
                    styleBits | kStyleOutlineOnHover | kStyleCaptureOnPress, x, y, width, height, hostWindow,
                    false) {
  SetType((labelled ? kControlLabelled : 0) | (wholeZone ? kControlWholeZone : 0));
  SIControllable::SetValueRange(min, max, def);
  value = v;
  SetDoubleBuffer();
}

SDial<int>::~SDial() {
  Free(textsA);
  Free(textsB);
}

// --- Value and texts -------------------------------------------------------------------------------------

bool SDial<int>::SetValue(int v, bool) {
  if (v == value) return false;
  value = v;
  Refresh();
  return true;
}

int SDial<int>::Value2Index(int) {
  return 0;
}

int SDial<int>::Index2Value(int) {
  return 0;
}

void SDial<int>::Free(SDisplayTable& table) {
  if (table.owned) delete[] table.texts;
  table.texts = nullptr;
  table.owned = false;
}

void SDial<int>::SetDisplayTextsA(SDisplayText* texts, bool owned, bool enabled) {
  if (texts != textsA.texts) Free(textsA);
  textsA.texts = texts;
  textsA.owned = owned;
  textsA.enabled = enabled;
}

void SDial<int>::SetDisplayTextsB(SDisplayText* texts, int count, bool owned, bool enabled) {
  if (texts != textsB.texts) Free(textsB);
  textsB.texts = texts;
  textsB.count = count;
  textsB.owned = owned;
  textsB.enabled = enabled;
}

// Code may store any value, so an index is looked up only where the table has an entry: table B knows
// its length, table A covers the range from 0.
const char* SDial<int>::DisplayText() const {
  if (textsA.enabled && textsA.texts) {
    if (value >= 0 && value >= valueMin && value <= valueMax) return textsA.texts[value].Get();
  } else if (textsB.enabled && textsB.texts && value >= 0 && value < textsB.count) {
    return textsB.texts[value].Get();
  }
  return nullptr;
}

// --- Drawing ---------------------------------------------------------------------------------------------

// Everything is drawn into the buffer and then copied at once, so the box never flickers through its
// layers on screen.
void SDial<int>::Draw(const SRect&) {
  if (!bufferDevice || !drawing) return;
  SDrawDevice* screen = drawing->GetDevice();
  drawing->SetDevice(bufferDevice);
  const SRect r = WholeClient();
  if ((type & kControlImages) && backgroundDevice) {
    drawing->DrawMemory(backgroundDevice, 0, 0, r.left, r.top, r.right, r.bottom);
  } else if (type & kControlLabelled) {
    SLabel::Draw(r);
  } else if (roundShape) {
    drawing->DrawBackground(r, true);
    FillRounded(r, kDialRounding);
  } else {
    drawing->DrawBackground(r, false);
  }
  DrawHandle();
  DrawValue();
  DrawOutlines(r);
  drawing->SetDevice(screen);
  drawing->DrawMemory(bufferDevice, 0, 0, r.left, r.top, r.right, r.bottom);
}

void SDial<int>::DrawHandle() {
  if (type & kControlImages) {
    if (backgroundDevice)
      drawing->DrawMemory(handleDevice, handleRect.left, handleRect.top, 0, 0,
                          handleRect.right - handleRect.left, handleRect.bottom - handleRect.top);
    return;
  }
  const int colour = controlColours[3];
  drawing->SetPen(statdata.FindPen(colour));
  drawing->SetBrush(statdata.FindBrush(colour));
  if (roundShape)
    drawing->FillRoundedRect(handleRect, kDialRounding, kDialRounding);
  else
    drawing->FillRect(handleRect);
}

void SDial<int>::DrawValue() {
  if (!valueFont) return;
  drawing->SetFont(valueFont);
  drawing->SetTextColour(SLabel::GetLabelColour(), false);
  const SRect at{handleRect.left + labelOffset.x, handleRect.top + labelOffset.y,
                 handleRect.right + labelOffset.x, handleRect.bottom + labelOffset.y};
  if (const char* shown = DisplayText()) {
    drawing->DrawLabel(shown, at, 0, {0, 0});
    return;
  }
  const SLabelText number(16, "%i", value);
  drawing->DrawLabel(number.Get(), at, 0, {0, 0});
}

void SDial<int>::DrawOutlines(const SRect& rect) {
  if (!drawing) return;
  DrawFrame(rect, hovering ? onHoverColour : offHoverColour, kDialRounding);
}

// --- Mouse -----------------------------------------------------------------------------------------------

void SDial<int>::MouseStateChanged(bool* mouse, int index) {
  SControllable::MouseStateChanged(mouse, index);
  if (index != kMouseWheel || !Live()) return;
  if (mouse[kMouseWheelUp])
    ValueChange(true, 1);
  else if (mouse[kMouseWheelDown])
    ValueChange(false, 1);
}

void SDial<int>::MousePosChanged(int, int dy) {
  if (!Live() || !input || !input->state[kMouseCaptured]) return;
  // Each motion counts where it happened: a host that reads many at once hands them on late.
  SPoint at;
  if (!PointerAtEvent(at)) return;
  const bool* mouse = input->state;
  if (mouse[kMouseLeftDown] && fineDrag) {
    DragStep(dy, at.y, fineDragDistance);
  } else if (mouse[kMouseLeftDown]) {
    // Coarse drag: every pixel beyond the last position is one unit.
    if (dy > 0 && at.y > dragStart.y) {
      ValueChange(false, dy);
      dragStart.y = at.y;
    } else if (dy < 0 && at.y < dragStart.y) {
      ValueChange(true, -dy);
      dragStart.y = at.y;
    }
  } else if (mouse[kMouseRightDown]) {
    DragStep(dy, at.y, rightDragDistance);
  }
}

void SDial<int>::DragStep(int dy, int y, int distance) {
  if (dy > 0 && y > dragStart.y + distance) {
    ValueChange(false, 1);
    dragStart.y = y;
  } else if (dy < 0 && y < dragStart.y - distance) {
    ValueChange(true, 1);
    dragStart.y = y;
  }
}

}  // namespace tovo::gui
