// Buttons: value changes and their reports, the mouse rules of each button type, images, and drawing.
#include "gui/widgets/SButton.h"

#include "gui/SInput.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui {

using namespace context;

SButton<false>::SButton(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name,
                        int styleBits, int x, int y, int width, int height, int hostWindow, bool flag)
    : SLabel(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag),
      labelColourActive(SCOL(255, 255, 255)) {
  // The hover frame has to follow the pointer in and out.
  SetStyleBit(kStyleOutlineOnHover, true);
}

SButton<false>::~SButton() {
  DiscardBitmaps();
}

// --- Value -----------------------------------------------------------------------------------------------

bool SButton<false>::SetValue(int v, bool notify) {
  if (v == value) return false;
  value = v;
  SetDrawingMode(v != 0);
  Refresh();
  if (notify) SendEvent(kEventValueChanged, kKindValue, value, 0.0f, nullptr, this, nullptr);
  return true;
}

int SButton<false>::GetValue() {
  return value;
}

void SButton<false>::SetType(int newType) {
  type = newType;
}

void SButton<false>::Reset() {
  SetValue(0, true);
  menuJustClosed = true;
}

void SButton<false>::Toggle() {
  if (value != 0) {
    if (type & kButtonMenu) CloseMenu();
    SetValue(0, (type & (kButtonReportOff | kButtonReportOffAlso)) != 0);
    return;
  }
  if (!(type & kButtonMenu)) {
    SetValue(1, true);
    return;
  }
  if (GetMenu() && !MenuShown()) {
    SPoint below{0, 0};
    GetClient2Screen(below);
    below.y += clientRect.bottom - clientRect.top;
    ShowMenu(below);
    SetValue(1, true);
    return;
  }
  menuJustClosed = false;
  if (GetMenu()) GetMenu()->Hide();
  CloseMenu();
}

// --- Mouse -----------------------------------------------------------------------------------------------

void SButton<false>::MouseStateChanged(bool*, int index) {
  if (!Live()) return;
  if (index == kMouseLeft && (type & kButtonMomentary) && value == 1) Toggle();
  if (FollowPointer(index)) RefreshOutlines();
  switch (index) {
    case kMouseMoving:
    case kMouseLeft:
      menuJustClosed = false;
      break;
    case kMouseLeftDown:
    case kMouseLeftDouble:
      OnLeftPress();
      break;
    case kMouseRightDown:
    case kMouseRightDouble:
      OnRightPress();
      break;
    case kMouseMiddleDown:
    case kMouseMiddleDouble:
      OnMiddlePress();
      break;
    case kMouseReleased:
      OnRelease();
      break;
    default:
      break;
  }
}

void SButton<false>::OnLeftPress() {
  hovering = true;
  if (type & kButtonClick) {
    // Reported as pressed, shown released at once: a click button has no lasting state.
    Toggle();
    value = 0;
    SetDrawingMode(false);
    hovering = PointerInside();
    Refresh();
  } else if (type & kButtonMenu) {
    if (value != 0 || menuJustClosed)
      menuJustClosed = false;
    else
      Toggle();
  } else if (!(type & kButtonCodeOnly)) {
    Toggle();
  }
}

void SButton<false>::OnRightPress() {
  if (type & kButtonMenu) {
    if (value == 0 && !menuJustClosed)
      Toggle();
    else
      menuJustClosed = false;
  }
  hovering = true;
  if (type & kButtonClick) ReportClick(3);
}

void SButton<false>::OnMiddlePress() {
  if (type & kButtonMenu) {
    CloseMenu();
    SetValue(0, true);
    return;
  }
  hovering = true;
  if (type & kButtonClick) ReportClick(2);
}

void SButton<false>::ReportClick(int buttonValue) {
  SetDrawingMode(true);
  Refresh();
  SendEvent(kEventValueChanged, kKindValue, buttonValue, 0.0f, nullptr, this, nullptr);
  hovering = PointerInside();
  RefreshOutlines();
}

void SButton<false>::OnRelease() {
  if ((type & kButtonMomentary) && value == 1) Toggle();
  hovering = PointerInside();
  RefreshOutlines();
  if ((type & kButtonMenu) && value == 0) menuJustClosed = false;
}

void SButton<false>::ClearState() {
  CloseTip();
  if (capture == this) MouseReleaseCapture();
  if (input) input->Reset();
  MouseTracker(false);
  hovering = false;
  if ((type & kButtonMomentary) && value != 0) {
    value = 0;
    SetDrawingMode(false);
  }
  Refresh();
}

// --- Colours and texts -----------------------------------------------------------------------------------

void SButton<false>::SetLabelColourActive(int colour) {
  labelColourActive = colour;
}

void SButton<false>::SetLabelColours(int colour, int disabledColour) {
  SLabel::SetLabelColours(colour, disabledColour);
  labelColourActive = colour;
}

int SButton<false>::GetLabelColour() {
  if (!Enabled()) return labelColourDisabled;
  return value == 1 ? labelColourActive : labelColour;
}

void SButton<false>::SetLabelAlternative(const char* newText, bool use) {
  alternative.Clear(false).Append(newText);
  useAlternative = use;
}

// --- Images ----------------------------------------------------------------------------------------------

void SButton<false>::DiscardBitmaps() {
  delete releasedDevice;
  delete pressedDevice;
  delete releasedImage;
  delete pressedImage;
  releasedDevice = pressedDevice = nullptr;
  releasedImage = pressedImage = nullptr;
  type &= ~kButtonImages;
}

void SButton<false>::AdoptBitmaps(SDrawBitmap* released, SDrawBitmap* pressed) {
  releasedImage = released;
  pressedImage = pressed;
  if (!released || !pressed || !released->GetPixmap() || !pressed->GetPixmap() || !GetDevice()) {
    DiscardBitmaps();
    return;
  }
  releasedDevice = new SDrawMemoryDevice(GetDevice(), released);
  pressedDevice = new SDrawMemoryDevice(GetDevice(), pressed);
  type |= kButtonImages;
}

void SButton<false>::SetBitmaps(void* released, void* pressed, int width, int height) {
  DiscardBitmaps();
  if (!released || !pressed) return;
  AdoptBitmaps(new SDrawBitmap(released, width, height, false),
               new SDrawBitmap(pressed, width, height, false));
}

void SButton<false>::SetBitmaps(SDrawBitmap* released, SDrawBitmap* pressed) {
  DiscardBitmaps();
  AdoptBitmaps(released, pressed);
}

// --- Drawing ---------------------------------------------------------------------------------------------

void SButton<false>::Draw(const SRect&) {
  if (!drawing) return;
  const SRect r = WholeClient();
  if (type & kButtonImages) {
    SDrawMemoryDevice* image = value != 0 ? pressedDevice : releasedDevice;
    drawing->DrawMemory(image, 0, 0, r.left, r.top, r.right, r.bottom);
  } else {
    drawing->SetBackgroundColour(value > 0);
    if (roundShape) {
      drawing->DrawBackground(r, true);
      FillRounded(r, labelRounding);
    } else {
      drawing->DrawBackground(r, false);
    }
    DrawLabel();
  }
  DrawOutlines(r);
}

void SButton<false>::DrawLabel() {
  if (lines.empty() || !font || !drawing) return;
  drawing->SetFont(font);
  drawing->SetTextColour(GetLabelColour(), value > 0);
  if (value == 1 && useAlternative)
    drawing->DrawLabel(alternative.Get(), WholeClient(), alignment, labelOffset);
  else
    DrawLines();
}

void SButton<false>::DrawOutlines(const SRect& rect) {
  if (!drawing) return;
  int colour;
  if (highlighted)
    colour = highlightColour;
  else if (hovering)
    colour = value >= 1 ? onHoverColour : offHoverColour;
  else if (HasFrame())
    colour = GetFrameColour(Enabled(), value > 0);
  else
    // No frame: the outline takes the parent's colour and so disappears.
    colour = drawing->GetParentBackgroundColour();
  DrawFrame(rect, colour, labelRounding);
}

}  // namespace tovo::gui
