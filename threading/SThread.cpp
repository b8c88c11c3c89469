// Thread start with scheduling attributes, the cooperative stop and the interruptible waits.
#include "threading/SThread.h"

#include <cxxabi.h>
#include <sched.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "threading/ThreadSleep.h"

namespace tovo::threading {

struct SThread::Control {
  std::mutex lock;
  std::condition_variable wake;
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> waiting{false};
};

struct SThread::Launch {
  SThread* owner;
  std::shared_ptr<Control> control;
  Routine routine;
  void* argument;
};

namespace {

thread_local SThread* currentThread = nullptr;

// Chooses the priority for a level within the bounds of the attributes' scheduling policy.
int PriorityFor(int level, int policy) {
  const int lowest = sched_get_priority_min(policy);
  const int highest = sched_get_priority_max(policy);
  if (lowest == -1 || highest == -1) return 0;
  if (level == 2) return lowest + (highest - lowest) / 2;
  if (level == 3 || level == 4) return highest;
  return lowest;
}

}  // namespace

SThread::SThread(int level) : priorityLevel(level), control(std::make_shared<Control>()) {}

SThread::~SThread() {
  Cancel();
}

SThread* SThread::Current() {
  return currentThread;
}

void SThread::Sleep(unsigned ms) {
  ThreadSleep(ms);
}

int SThread::Start(Routine startRoutine, void* startArgument) {
  // The routine cannot stop and join itself; a second routine beside it would share its stop request.
  if (Current() == this) return EDEADLK;
  Cancel();
  routine = startRoutine;
  argument = startArgument;
  if (routine == nullptr || argument == nullptr) return EINVAL;

  // Set up the attributes: SCHED_OTHER with the level's priority, set explicitly so that a thread
  // started from a host's real-time audio thread does not inherit its real-time policy.
  pthread_attr_t attributes;
  int result = pthread_attr_init(&attributes);
  if (result != 0) return result;
  int policy = SCHED_OTHER;
  result = pthread_attr_getschedpolicy(&attributes, &policy);
  if (result == 0) {
    priority = PriorityFor(priorityLevel, policy);
    sched_param parameters{};
    parameters.sched_priority = priority;
    result = pthread_attr_setinheritsched(&attributes, PTHREAD_EXPLICIT_SCHED);
    if (result == 0) result = pthread_attr_setschedpolicy(&attributes, SCHED_OTHER);
    if (result == 0) result = pthread_attr_setschedparam(&attributes, &parameters);
  }

  // Create the thread; the launch record travels to it and is freed there, or here on failure.
  if (result == 0) {
    control->stop.store(false, std::memory_order_release);
    control->finished.store(false, std::memory_order_release);
    control->waiting.store(false, std::memory_order_release);
    // Marked running before the thread exists, so a routine that asks at once already sees it so.
    running.store(true, std::memory_order_release);
    auto* launch = new Launch{this, control, routine, argument};
    result = pthread_create(&thread, &attributes, &SThread::Entry, launch);
    if (result != 0) {
      delete launch;
      running.store(false, std::memory_order_release);
    }
  }
  pthread_attr_destroy(&attributes);
  return result;
}

// Thread entry: nothing may throw out of it, and after the routine returns it touches only the shared
// control, since the routine may have destroyed its SThread.
void* SThread::Entry(void* launchRecord) {
  std::unique_ptr<Launch> launch(static_cast<Launch*>(launchRecord));
  currentThread = launch->owner;
  void* result = nullptr;
  try {
    result = launch->routine(launch->argument);
  } catch (abi::__forced_unwind&) {
    // pthread_exit unwinds through here and must be let through.
    launch->control->finished.store(true, std::memory_order_release);
    currentThread = nullptr;
    throw;
  } catch (...) {
  }
  launch->control->finished.store(true, std::memory_order_release);
  currentThread = nullptr;
  return result;
}

void SThread::RequestStop() {
  {
    // Set under the lock so a waiter cannot test the flag and then miss the wake-up.
    std::lock_guard<std::mutex> guard(control->lock);
    control->stop.store(true, std::memory_order_release);
  }
  control->wake.notify_all();
}

void SThread::Cancel() {
  if (!running.exchange(false, std::memory_order_acq_rel)) return;
  RequestStop();
  if (Current() == this) {
    pthread_detach(pthread_self());
  } else {
    pthread_join(thread, nullptr);
  }
}

bool SThread::SleepFor(unsigned ms) {
  Control& state = *control;
  std::unique_lock<std::mutex> guard(state.lock);
  const bool stopped = state.wake.wait_for(guard, std::chrono::milliseconds(ms),
                                           [&state] { return state.stop.load(std::memory_order_acquire); });
  return !stopped;
}

bool SThread::StopRequested() const {
  return control->stop.load(std::memory_order_acquire);
}

bool SThread::Finished() const {
  return control->finished.load(std::memory_order_acquire);
}

bool SThread::Waiting() const {
  return control->waiting.load(std::memory_order_acquire);
}

void SThread::Wait(unsigned ms) {
  Control& state = *control;
  const auto slice = std::chrono::milliseconds(ms == 0 ? 1 : ms);
  std::unique_lock<std::mutex> guard(state.lock);
  state.waiting.store(true, std::memory_order_release);
  while (state.waiting.load(std::memory_order_acquire) && !state.stop.load(std::memory_order_acquire)) {
    state.wake.wait_for(guard, slice);
  }
}

void SThread::Resume() {
  {
    std::lock_guard<std::mutex> guard(control->lock);
    control->waiting.store(false, std::memory_order_release);
  }
  control->wake.notify_all();
}

}  // namespace tovo::threading
