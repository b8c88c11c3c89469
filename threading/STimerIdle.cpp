// The idle list and the thread that runs it.
#include "threading/STimerIdle.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "threading/SThread.h"

namespace tovo::threading {

namespace {

struct IdleEntry {
  void* argument;
  IdleFunction function;
  bool operator==(const IdleEntry& other) const {
    return argument == other.argument && function == other.function;
  }
};

// The list is changed by GUI threads and walked by the idle thread; the lock is held only to copy or
// change entries, never around a call, since an idle function may itself change the list.
std::mutex idleMutex;
std::vector<IdleEntry> idledata;

// Starting and stopping the thread is serialised separately so that a join never waits under idleMutex.
std::mutex idleLifeMutex;
SThread idlethread(2);
bool idletimerrunning = false;
// Copied from the first idle timer: the thread must not read a timer that may be deleted while it runs.
unsigned idleInterval = 0;

void StopIdleThread() {
  std::lock_guard<std::mutex> life(idleLifeMutex);
  if (!idletimerrunning) return;
  idlethread.Cancel();
  idletimerrunning = false;
}

}  // namespace

STimerIdle::STimerIdle(tovo::gui::SControl* owner, int third, int milliseconds, bool fourth)
    : control(owner), value(third), interval(milliseconds), flag(fourth) {
  std::lock_guard<std::mutex> life(idleLifeMutex);
  if (idletimerrunning) return;
  idleInterval = milliseconds > 0 ? static_cast<unsigned>(milliseconds) : 1u;
  if (idlethread.Start(&STimerIdle::timercallback, &idleInterval) == 0) idletimerrunning = true;
}

STimerIdle::~STimerIdle() {
  bool empty;
  {
    std::lock_guard<std::mutex> guard(idleMutex);
    auto found = std::find(idledata.begin(), idledata.end(), IdleEntry{argument, function});
    if (found != idledata.end()) idledata.erase(found);
    empty = idledata.empty();
  }
  if (empty) StopIdleThread();
}

void STimerIdle::Register(IdleFunction idleFunction, void* idleArgument) {
  function = idleFunction;
  argument = idleArgument;
  std::lock_guard<std::mutex> guard(idleMutex);
  const IdleEntry entry{idleArgument, idleFunction};
  if (std::find(idledata.begin(), idledata.end(), entry) == idledata.end()) idledata.push_back(entry);
}

void STimerIdle::Unregister() {
  std::lock_guard<std::mutex> guard(idleMutex);
  auto found = std::find(idledata.begin(), idledata.end(), IdleEntry{argument, function});
  if (found != idledata.end()) idledata.erase(found);
}

void* STimerIdle::timercallback(void* milliseconds) {
  const unsigned sleep = *static_cast<const unsigned*>(milliseconds);
  SThread* self = SThread::Current();
  for (;;) {
    // The extent is read again after every call: a call may add or remove entries.
    for (std::size_t index = 0;; ++index) {
      IdleEntry entry;
      {
        std::lock_guard<std::mutex> guard(idleMutex);
        if (index >= idledata.size()) break;
        entry = idledata[index];
      }
      if (entry.function) entry.function(entry.argument);
      if (self->StopRequested()) return nullptr;
    }
    if (!self->SleepFor(sleep)) return nullptr;
  }
}

bool STimerIdle::Running() {
  std::lock_guard<std::mutex> life(idleLifeMutex);
  return idletimerrunning;
}

unsigned STimerIdle::RunningInterval() {
  std::lock_guard<std::mutex> life(idleLifeMutex);
  return idletimerrunning ? idleInterval : 0;
}

std::size_t STimerIdle::Registered() {
  std::lock_guard<std::mutex> guard(idleMutex);
  return idledata.size();
}

void STimerIdle::Shutdown() {
  {
    std::lock_guard<std::mutex> guard(idleMutex);
    idledata.clear();
    idledata.shrink_to_fit();
  }
  StopIdleThread();
}

}  // namespace tovo::threading
