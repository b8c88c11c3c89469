// Containers, menus and the stand-alone event loop.
#include "gui/SWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

#include "gui/SInput.h"
#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

// How long a loop waits for an event before it looks for due timers.
constexpr int kTimerPollMs = 5;

}  // namespace

SWindow::SWindow(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name, int styleBits, int x,
                 int y, int width, int height, int hostWindow, bool flag) {
  Create(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag);
}

SWindow::~SWindow() {
  cleaning.store(true, std::memory_order_release);
  SControl::CleanUp();
  DeleteChildren();
}

void SWindow::DeleteChildren() {
  while (!children.empty()) {
    SControl* last = children.back().control;
    children.pop_back();
    delete last;
  }
  SetStyleBit(kStyleHasChildren, false);
}

int SWindow::Add(SControl* control) {
  if (!control) return 0;
  const unsigned childId = control->GetId();
  children.push_back({control, childId});
  SetStyleBit(kStyleHasChildren, true);
  const int value = static_cast<int>(childId);
  if (lowestId == -1 || value < lowestId) lowestId = value;
  if (highestId == -1 || value > highestId) highestId = value;
  return highestId;
}

int SWindow::Remove(SControl* control, bool destroy) {
  if (control) {
    for (auto it = children.begin(); it != children.end(); ++it) {
      if (it->id != control->GetId()) continue;
      children.erase(it);
      if (destroy) delete control;
      break;
    }
  }
  if (children.empty()) SetStyleBit(kStyleHasChildren, false);
  return static_cast<int>(children.size());
}

bool SWindow::IsSubcontrol(unsigned controlId) {
  if (controlId == id) return true;
  for (const Child& child : children)
    if (child.control->IsSubcontrol(controlId)) return true;
  return false;
}

bool SWindow::IsSubcontrol(int xWindow) {
  if (window && static_cast<unsigned long>(xWindow) == window) return true;
  for (const Child& child : children) {
    if (child.control->GetWindow() == static_cast<unsigned long>(xWindow)) return true;
    if (auto* holder = dynamic_cast<SWindow*>(child.control); holder && holder->IsSubcontrol(xWindow)) return true;
  }
  return false;
}

int SWindow::Loop() {
  Run();
  Display* display = CurrentDisplay();
  auto deliver = [this](XEvent& event) {
    eventProc(&event);
    return Looping();
  };
  while (display && Looping()) ServeDisplay(display, kTimerPollMs, deliver, nullptr);
  if (style & kStyleTopLevel) return 0;
  CleanRessources();
  std::exit(0);
}

void SWindow::Run() { running.store(true, std::memory_order_release); }
void SWindow::Stop() { running.store(false, std::memory_order_release); }

SControl* SWindow::GetMenu() { return menu; }
void SWindow::SetMenu(SControl* popup) { menu = popup; }

void SWindow::TooltipEnable(bool on) {
  EnableTooltip(on);
  for (const Child& child : children) child.control->EnableTooltip(on);
}

void SWindow::CleanRessources() {
  cleaning.store(true, std::memory_order_release);
  if (!(style & (kStyleTopLevel | kStyleApplication))) return;
  CleanUp();
  DeleteChildren();
  DestroyWindow();
}

void SWindow::EnableChildren(bool on) {
  for (const Child& child : children) child.control->Enable(on);
}

void SWindow::Minimized() {
  for (const Child& child : children) child.control->Minimized();
}

void SWindow::WindowClose() {
  if (parent)
    delete parent;
  else
    delete this;
  std::exit(0);
}

void SWindow::WindowMinimize(bool restore) {
  Display* display = CurrentDisplay();
  if (!display) return;
  static Atom changeState = XInternAtom(display, "WM_CHANGE_STATE", True);
  if (changeState == None) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = parent ? parent->GetWindow() : window;
  event.xclient.message_type = changeState;
  event.xclient.format = 32;
  event.xclient.data.l[0] = restore ? NormalState : IconicState;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
}

void SWindow::WindowMaximize(bool maximize) { SetStateBit(kStateMaximized, !maximize); }

void SWindow::UpdateModifiers(int, bool) {
  if (!input) return;
  Modifiers(input->modifiers);
  for (const Child& child : children) {
    context::SInput* other = child.control->GetInput();
    if (!other) continue;
    other->modifiers = input->modifiers;
    for (int entry : {context::kInputAlt, context::kInputShift, context::kInputControl})
      other->state[entry] = input->state[entry];
  }
}

void SWindow::ShowMenu(const SPoint& point) {
  if (!menu || menuShown) return;
  menu->SetPosition(point.x, point.y);
  menu->Show();
  menu->Focus(true);
  menuShown = true;
}

void SWindow::CloseMenu() {
  if (menu) menu->Hide();
  menuShown = false;
}

}  // namespace tovo::gui
