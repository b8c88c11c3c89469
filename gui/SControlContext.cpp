// What a control takes from its drawing context and its SGlobals: painting, colours, the shared cursor,
// and the host's window for focus.
#include <X11/Xlib.h>

#include "gui/SControl.h"
#include "gui/SCursor.h"
#include "gui/SInput.h"
#include "gui/XDisplay.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui {

using context::SDrawing;
using context::statdata;

namespace {

constexpr int kFrameSlot = 20;
constexpr int kMarkSlot = 10;
constexpr int kFrameWidth = 10;

// A slot of the shared colour table; black until the table has been filled.
int SlotColour(int slot) { return statdata.ColoursAdded() ? statdata.GetColour(slot) : 0; }

}  // namespace

void SControl::CreateContexts() {
  ReleaseContexts();
  drawing = new SDrawing(this, globals);
  input = new context::SInput();
}

void SControl::ReleaseContexts() {
  delete drawing;
  drawing = nullptr;
  delete input;
  input = nullptr;
}

context::SDrawDevice* SControl::GetDevice() { return drawing ? drawing->GetDevice() : nullptr; }

void SControl::Draw(const SRect& rect) {
  if (!drawing) return;
  drawing->DrawBackground(rect, false);
  if (style & kStyleFramedDraw) {
    drawing->SetBrush(statdata.FindBrush(SlotColour(kFrameSlot)));
    drawing->FillRect(rect.left, rect.top, rect.right, rect.top + kFrameWidth);
    drawing->FillRect(rect.left, rect.top, rect.left + kFrameWidth, rect.bottom);
    drawing->FillRect(rect.right - kFrameWidth, rect.top, rect.right, rect.bottom);
    drawing->FillRect(rect.left, rect.bottom - kFrameWidth, rect.right, rect.bottom);
    drawing->SetPen(statdata.FindPen(SlotColour(kMarkSlot)));
    drawing->DrawRect(rect);
    drawing->SetBrush(statdata.FindBrush(SlotColour(kMarkSlot)));
    drawing->FillRect(rect.left + 1, rect.top + 1, rect.left + kFrameWidth, rect.top + kFrameWidth);
  }
  DrawOutlines(rect);
}

void SControl::DrawOutlines(const SRect& rect) {
  if (!drawing || !(style & kStyleFramedOutline)) return;
  drawing->SetPen(statdata.FindPen(GetFrameColour(Enabled(), false)));
  drawing->DrawRect(rect);
}

void SControl::DrawBorder(const SRect& rect) {
  if (!drawing || !(style & kStyleBordered)) return;
  drawing->SetBrush(statdata.FindBrush(SlotColour(kFrameSlot)));
  drawing->FillRect(rect);
}

void SControl::SetDrawingMode(bool highlighted) {
  if (!drawing) return;
  drawing->SetBackgroundColour(highlighted);
  drawing->SetForegroundColour(highlighted);
}

void SControl::SetBackgroundMode(bool transparent) {
  if (drawing) drawing->SetBackgroundMode(transparent);
}

void SControl::SetBackground(int colour, bool highlighted) {
  if (drawing) drawing->SetBackground(colour, highlighted);
}

void SControl::SetBackgroundColour(bool highlighted) {
  if (drawing) drawing->SetBackgroundColour(highlighted);
}

void SControl::SetBackgroundColour(int colour) {
  if (drawing) drawing->SetBackgroundColour(colour);
}

int SControl::GetBackgroundColour() { return drawing ? drawing->GetBackgroundColour() : 0; }

int SControl::GetForegroundColour() { return drawing ? drawing->GetForegroundColour() : 0; }

void SControl::SetColours(int background, int highlightBackground, int parentBackground, int foreground,
                          int highlightForeground, int text, int highlightText) {
  if (drawing)
    drawing->SetColours(background, highlightBackground, parentBackground, foreground, highlightForeground, text,
                        highlightText);
}

void SControl::SetTextColour(int colour) {
  if (drawing) drawing->SetTextColour(colour, false);
}

int SControl::GetFrameColour(bool enabled, bool highlighted) {
  return drawing ? drawing->GetFrameColour(enabled, highlighted) : 0;
}

void SControl::SetFrameColour(int enabled, int highlighted, int disabled) {
  if (drawing) drawing->SetFrameColour(enabled, highlighted, disabled);
}

void SControl::ApplySharedCursor() {
  if (globals && globals->GetCursor()) globals->GetCursor()->Set();
}

void SControl::ReleaseSharedCursor() {
  if (globals && globals->GetCursor()) globals->GetCursor()->Free();
}

bool SControl::PointerInClient(SPoint& point) {
  Display* display = CurrentDisplay();
  if (!display) return false;
  Window root, child;
  int x, y;
  unsigned mask;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &point.x, &point.y, &x, &y, &mask))
    return false;
  GetScreen2Client(point);
  return true;
}

bool SControl::PointerAtEvent(SPoint& point) {
  if (!input || !input->atEvent) return PointerInClient(point);
  point = {input->eventX, input->eventY};
  return true;
}

bool SControl::PointerInside() {
  SPoint point;
  if (!window || !PointerInClient(point)) return false;
  return point.x >= clientRect.left && point.x <= clientRect.right && point.y >= clientRect.top &&
         point.y <= clientRect.bottom;
}

void SControl::FocusTopParent() {
  Display* display = CurrentDisplay();
  if (!display || !globals || !globals->GetParentWindow()) return;
  Window host = globals->GetParentWindow();
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, host, &root, &up, &children, &count)) {
    if (children) XFree(children);
    if (up && up != root) host = up;
  }
  XSetInputFocus(display, host, RevertToNone, CurrentTime);
}

}  // namespace tovo::gui
