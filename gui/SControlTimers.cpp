// A control's timer, the timers it hands out, and its idle timer with the idle function it registers.
#include "gui/SControl.h"
#include "gui/context/SGlobals.h"
#include "threading/STimer.h"
#include "threading/STimerIdle.h"

namespace tovo::gui {

using tovo::threading::STimer;
using tovo::threading::STimerIdle;

namespace {

int FreshId(SGlobals* globals) { return globals ? globals->NextId() : 0; }

}  // namespace

void SControl::CreateTimer(int interval, bool start) {
  StopTimer(true);
  SetStyleBit(kStyleHasTimer, true);
  timerId = FreshId(globals);
  timer = new STimer(this, timerId, 0);
  if (start) timer->Start(static_cast<unsigned>(interval));
}

void SControl::StartTimer(int interval) {
  if (timer) timer->Start(static_cast<unsigned>(interval));
}

void SControl::StopTimer(bool destroy) {
  if (!timer) return;
  timer->Stop();
  if (!destroy) return;
  delete timer;
  timer = nullptr;
  timerId = 0;
}

STimer* SControl::AddTimer(int interval, bool start) {
  EnableEventHandler(kEventTimer);
  AddEventListener(this, kEventTimer);
  auto* added = new STimer(this, FreshId(globals), 0);
  if (start) added->Start(static_cast<unsigned>(interval));
  return added;
}

void SControl::CreateIdleTimer(int interval, bool flag) {
  if (!idleTimer) idleTimer = new STimerIdle(this, FreshId(globals), interval, flag);
}

void SControl::CreateIdleFunction(void (**function)(void*), void* argument) {
  if (!idleTimer || !function || !*function) return;
  idleTimer->Register(*function, argument);
}

void SControl::DestroyIdleFunction() {
  if (idleTimer) idleTimer->Unregister();
}

void SControl::DestroyIdleTimer() {
  delete idleTimer;
  idleTimer = nullptr;
}

}  // namespace tovo::gui
