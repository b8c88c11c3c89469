// Value controls: colours and zones, images and the double buffer, value steps and their reports, and
// the presses that start drags, step once or reset.
#include "gui/widgets/SControllable.h"

#include "gui/SInput.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui {

using namespace context;

namespace {

// Slots of the shared colour table the control colours start from: black, white, black, black.
constexpr int kBlackSlot = 20;
constexpr int kWhiteSlot = 0;

int SlotColour(int slot) {
  return statdata.ColoursAdded() ? statdata.GetColour(slot) : 0;
}

}  // namespace

SControllable<int, false>::SControllable(SGlobals* owner, SControl* parentControl, unsigned controlId,
                                         const char* name, int styleBits, int x, int y, int width, int height,
                                         int hostWindow, bool flag)
    : SLabel(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag),
      valueColour(SCOL(0, 255, 255)),
      controlColours{SlotColour(kBlackSlot), SlotColour(kWhiteSlot), SlotColour(kBlackSlot),
                     SlotColour(kBlackSlot)},
      bufferWidth(width),
      bufferHeight(height),
      handleRect{0, 0, width, height} {}

SControllable<int, false>::~SControllable() {
  DiscardBitmaps();
  delete bufferDevice;
  delete bufferBitmap;
}

// --- Settings --------------------------------------------------------------------------------------------

void SControllable<int, false>::SetControlColours(int first, int second, int third, int handle) {
  controlColours[0] = first;
  controlColours[1] = second;
  controlColours[2] = third;
  controlColours[3] = handle;
}

void SControllable<int, false>::SetValueColour(int colour) {
  valueColour = colour;
}

int SControllable<int, false>::GetValueColour() {
  return valueColour;
}

void SControllable<int, false>::SetValueFont(SDrawFont* newFont) {
  valueFont = newFont;
}

void SControllable<int, false>::SetHandleZone(const SRect& zone) {
  handleZone = zone;
}

void SControllable<int, false>::SetHandleColours(int handle, int third) {
  controlColours[3] = handle;
  controlColours[2] = third;
}

void SControllable<int, false>::SetValueZone(const SRect& zone) {
  valueZone = zone;
  type |= kControlValueZone;
}

void SControllable<int, false>::SetValueOffset(const SPoint& offset) {
  valueOffset = offset;
}

void SControllable<int, false>::SetType(int newType) {
  constexpr int kInternal = kControlImages | kControlValueZone;
  type = (newType & ~kInternal) | (type & kInternal);
  if (type & kControlWholeZone) handleZone = WholeClient();
}

void SControllable<int, false>::Reset() {
  SIControllable::Reset();
}

// --- Images and buffer -----------------------------------------------------------------------------------

void SControllable<int, false>::DiscardBitmaps() {
  delete backgroundDevice;
  delete handleDevice;
  delete backgroundImage;
  delete handleImage;
  backgroundDevice = handleDevice = nullptr;
  backgroundImage = handleImage = nullptr;
  type &= ~kControlImages;
}

void SControllable<int, false>::SetBitmaps(SDrawBitmap* background, SDrawBitmap* handle) {
  DiscardBitmaps();
  backgroundImage = background;
  handleImage = handle;
  if (!background || !handle || !background->GetPixmap() || !handle->GetPixmap() || !GetDevice()) {
    DiscardBitmaps();
    return;
  }
  backgroundDevice = new SDrawMemoryDevice(GetDevice(), background);
  handleDevice = new SDrawMemoryDevice(GetDevice(), handle);
  handleRect = {0, 0, handle->Width(), handle->Height()};
  type |= kControlImages;
}

void SControllable<int, false>::SetDoubleBuffer() {
  delete bufferDevice;
  delete bufferBitmap;
  bufferDevice = nullptr;
  bufferBitmap = new SDrawBitmap(nullptr, bufferWidth, bufferHeight, false);
  if (GetDevice()) bufferDevice = new SDrawMemoryDevice(GetDevice(), bufferBitmap);
}

int SControllable<int, false>::CalcHandleOffset() {
  const int travel = bufferHeight - (handleRect.bottom - handleRect.top);
  return static_cast<int>(static_cast<float>(value - valueMin) * scale * static_cast<float>(travel));
}

// --- Value changes ---------------------------------------------------------------------------------------

void SControllable<int, false>::ValueChange(bool up, int amount) {
  int next = value;
  if (up && next < valueMax)
    next += amount;
  else if (!up && next > valueMin)
    next -= amount;
  if (next == value) return;
  // A single step cannot leave the range from inside it; a larger one is clipped.
  if (amount == 1)
    SetValue(next, false);
  else if (!SetValueClipped(next))
    return;
  Refresh();
  SendControlEvent();
}

void SControllable<int, false>::SendControlEvent() {
  SendEvent(kEventControlChanged, kKindValue, value, 0.0f, nullptr, this, nullptr);
}

// --- Mouse -----------------------------------------------------------------------------------------------

void SControllable<int, false>::MouseStateChanged(bool* mouse, int index) {
  // Presses are reported as the label reports them, whatever they do to the value.
  SLabel::MouseStateChanged(mouse, index);
  if (FollowPointer(index)) RefreshOutlines();
  switch (index) {
    case kMouseReleased:
      hovering = PointerInside();
      RefreshOutlines();
      break;
    case kMouseLeftDown:
    case kMouseRightDown:
    case kMouseMiddleDown:
    case kMouseLeftDouble:
    case kMouseRightDouble:
    case kMouseMiddleDouble:
      OnPress(index);
      break;
    case kMouseCaptured: {
      // A press outside the handle zone starts no drag.
      SPoint client;
      if (capture == this && PointerAtEvent(client) && !InHandleZone(client)) MouseReleaseCapture();
      break;
    }
    default:
      break;
  }
}

void SControllable<int, false>::OnPress(int index) {
  if (!hovering) {
    hovering = true;
    RefreshOutlines();
  }
  SPoint client;
  if (!Live() || !PointerAtEvent(client) || !InHandleZone(client)) return;
  if (index == kMouseMiddleDown || index == kMouseMiddleDouble) {
    const int middle = handleZone.left + (handleZone.right - handleZone.left) / 2;
    int next = value;
    if (client.x > middle) {
      if (value < valueMax) next = value + 1;
    } else if (value > valueMin) {
      next = value - 1;
    }
    if (SetValue(next, true)) {
      Refresh();
      SendControlEvent();
    }
    return;
  }
  dragStart = client;
  // The reset is a change like any other: the owner must hear of it, or it keeps the old value.
  if (input && input->state[kInputControl] && ResetValue()) SendControlEvent();
}

}  // namespace tovo::gui
