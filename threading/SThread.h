// A POSIX thread with a priority level that its owner always gets back: the thread is joinable, stopping
// it is a cooperative request that also cuts short the thread's own sleeps, and the owner joins it, so no
// routine outlives the object it runs for (the delay timer, the timers and the idle thread build on this).
//
// A routine written as void* routine(void* arg) reaches its own object through SThread::Current() and
// sleeps with SleepFor, which returns false as soon as a stop is requested. There is no Detach: a detached
// thread could outlive its SThread and the object the routine works on.
#pragma once

#include <pthread.h>

#include <atomic>
#include <memory>

namespace tovo::threading {

class SThread {
 public:
  using Routine = void* (*)(void*);

  // Level 2 runs at the policy's middle priority, 3 and 4 at its highest, anything else at its lowest.
  explicit SThread(int priorityLevel = 0);
  // Stops and joins the thread (Cancel).
  ~SThread();
  SThread(const SThread&) = delete;
  SThread& operator=(const SThread&) = delete;

  // Stops a running thread first, then runs routine(argument) on a new thread. Returns 0, or the error of
  // the failing call (EINVAL for a null routine or argument, EDEADLK when called from the thread itself),
  // in which case nothing runs and Running() stays false. Start and Cancel are called from one
  // controlling thread at a time.
  int Start(Routine routine, void* argument);
  // Requests a stop, wakes the thread from SleepFor and Wait, and joins it. Harmless when the routine has
  // already returned or nothing was started. Called from the thread itself it cannot join, so it detaches;
  // the routine must then only return.
  void Cancel();
  // Sleeps up to ms milliseconds; returns false at once when a stop is requested (before or during).
  bool SleepFor(unsigned ms);
  bool StopRequested() const;
  // Holds the calling thread until Resume or a stop request, looking again every ms milliseconds.
  void Wait(unsigned ms);
  void Resume();
  void Finalize() {}

  // True from a successful Start until Cancel, even after the routine has returned by itself.
  bool Running() const { return running.load(std::memory_order_acquire); }
  // True once the routine has returned.
  bool Finished() const;
  bool Waiting() const;
  // The scheduling priority chosen by the last Start.
  int Priority() const { return priority; }

  // The SThread whose routine is running on the calling thread; null on any other thread.
  static SThread* Current();
  // A plain sleep that no stop request shortens.
  static void Sleep(unsigned ms);

 private:
  // State the thread itself touches, shared so that a routine that destroys its own SThread leaves the
  // thread's bookkeeping intact until the thread ends.
  struct Control;
  struct Launch;

  static void* Entry(void* launch);
  void RequestStop();

  Routine routine = nullptr;
  void* argument = nullptr;
  std::atomic<bool> running{false};
  int priorityLevel;
  int priority = 0;
  pthread_t thread{};
  std::shared_ptr<Control> control;
};

}  // namespace tovo::threading
