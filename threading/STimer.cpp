// Timer threads that mark timers due, and the delivery of due timers.
#include "threading/STimer.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>
#include <vector>

#include "gui/SControl.h"
#include "threading/SThread.h"

namespace tovo::threading {

using tovo::gui::SControl;
using tovo::gui::SEvent;

struct STimerObject::Run {
  std::atomic<bool> active{true};
  std::atomic<bool> due{false};
  SControl* control;
  SEvent event;
  unsigned interval;
};

namespace {

// The runs of all started timers, for the threads that deliver them.
std::mutex runsMutex;
std::vector<std::shared_ptr<STimerObject::Run>> runs;

}  // namespace

STimerObject::STimerObject() {
  event.type = tovo::gui::kEventTimer;
  event.kind = tovo::gui::kKindValue;
}

STimerObject::~STimerObject() { Stop(); }

void STimerObject::Start(SControl* target, int timerId, unsigned milliseconds) {
  Stop();
  control = target;
  id = timerId;
  interval = milliseconds;
  event.sender = target;
  event.value = timerId;
  run = std::make_shared<Run>();
  run->control = target;
  run->event = event;
  run->interval = milliseconds;
  {
    std::lock_guard<std::mutex> guard(runsMutex);
    runs.push_back(run);
  }
  thread = new SThread(2);
  auto* handed = new std::shared_ptr<Run>(run);
  if (thread->Start(&STimerObject::Job, handed) != 0) {
    delete handed;
    run->active.store(false, std::memory_order_release);
  }
}

void STimerObject::Stop() {
  if (run) run->active.store(false, std::memory_order_release);
  if (thread) {
    // Joins, or detaches when a listener stops the timer from the worker itself; the worker then sees
    // its run inactive and returns without touching this object.
    thread->Cancel();
    delete thread;
    thread = nullptr;
  }
  if (run) {
    std::lock_guard<std::mutex> guard(runsMutex);
    runs.erase(std::remove(runs.begin(), runs.end(), run), runs.end());
  }
  run.reset();
  id = 0;
}

bool STimerObject::Active() const { return run && run->active.load(std::memory_order_acquire); }

bool STimerObject::Due() const { return run && run->due.load(std::memory_order_acquire); }

void STimerObject::Deliver(Run& current) {
  if (!current.control) return;
  current.event.time = static_cast<int>(std::clock());
  if (!current.control->IsCleaningUp()) current.control->SendEvent(&current.event);
}

void STimerObject::Notification() {
  if (run) Deliver(*run);
}

bool STimerObject::Sleep() {
  SThread* self = SThread::Current();
  return thread && self == thread && self->SleepFor(interval);
}

void* STimerObject::Job(void* handed) {
  const std::shared_ptr<Run> current = *static_cast<std::shared_ptr<Run>*>(handed);
  delete static_cast<std::shared_ptr<Run>*>(handed);
  while (current->active.load(std::memory_order_acquire)) {
    current->due.store(true, std::memory_order_release);
    if (!SThread::Current()->SleepFor(current->interval)) break;
  }
  return nullptr;
}

int DeliverDueTimers(const tovo::gui::SGlobals* scope) {
  std::vector<std::shared_ptr<STimerObject::Run>> due;
  {
    std::lock_guard<std::mutex> guard(runsMutex);
    for (const auto& candidate : runs) {
      if (!candidate->due.load(std::memory_order_acquire)) continue;
      if (scope && (!candidate->control || candidate->control->GetGlobals() != scope)) continue;
      due.push_back(candidate);
    }
  }
  int delivered = 0;
  for (const auto& current : due) {
    // A delivery may stop this timer or another one; a stopped timer delivers nothing more.
    if (!current->active.load(std::memory_order_acquire)) continue;
    if (!current->due.exchange(false, std::memory_order_acq_rel)) continue;
    STimerObject::Deliver(*current);
    ++delivered;
  }
  return delivered;
}

STimer::STimer(SControl* owner, int timerId, int third)
    : control(owner), value(third), id(timerId), object(std::make_unique<STimerObject>()) {}

STimer::~STimer() {
  if (running) Stop();
}

void STimer::Start(unsigned milliseconds) {
  interval = milliseconds;
  object->Start(control, id, interval);
  running = true;
}

void STimer::Stop() {
  object->Stop();
  running = false;
}

}  // namespace tovo::threading
