// The process-wide idle thread: one thread for all plug-in instances that calls every registered idle
// function (the editors' update passes) in turn, then sleeps. The first idle timer of the process chooses
// the interval; the thread starts with the first idle timer and stops when the last registration goes.
#pragma once

#include <cstddef>

namespace tovo::gui {
class SControl;
}

namespace tovo::threading {

using IdleFunction = void (*)(void*);

class STimerIdle {
 public:
  // Starts the idle thread with this interval unless it already runs.
  STimerIdle(tovo::gui::SControl* control, int value, int interval, bool flag);
  // Withdraws this timer's registration; the last one gone stops (and joins) the idle thread.
  ~STimerIdle();
  STimerIdle(const STimerIdle&) = delete;
  STimerIdle& operator=(const STimerIdle&) = delete;

  // Stores the pair here and lists it unless the same pair is listed.
  void Register(IdleFunction function, void* argument);
  // Removes this timer's pair from the list (order kept).
  void Unregister();

  IdleFunction Function() const { return function; }
  void* Argument() const { return argument; }
  int Interval() const { return interval; }

  // The idle thread's routine.
  static void* timercallback(void* interval);

  // What the idle thread is doing, for the editor's checks and for tests.
  static bool Running();
  static unsigned RunningInterval();
  static std::size_t Registered();
  // Library unload: forgets every registration and stops the thread.
  static void Shutdown();

 private:
  tovo::gui::SControl* control;
  IdleFunction function = nullptr;
  void* argument = nullptr;
  int value;
  int interval;
  bool flag;
};

}  // namespace tovo::threading
