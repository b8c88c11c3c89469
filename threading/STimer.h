// Periodic timers for controls: each running timer has a thread of its own that sends a timer message
// (type 9, the timer id as value) to the control's listeners once per interval. Stopping a timer is prompt
// and joins its thread, also when the timer is stopped or deleted by a listener on that very thread.
#pragma once

#include <memory>

#include "gui/SEvent.h"

namespace tovo::gui {
class SControl;
}

namespace tovo::threading {

class SThread;

// The worker behind an STimer.
class STimerObject {
 public:
  STimerObject();
  virtual ~STimerObject();
  STimerObject(const STimerObject&) = delete;
  STimerObject& operator=(const STimerObject&) = delete;

  // Replaces any running worker by a new one that delivers to control every interval milliseconds.
  virtual void Start(tovo::gui::SControl* control, int id, unsigned interval);
  // Stops and joins the worker; the id returns to 0.
  virtual void Stop();

  // One delivery from the caller's thread.
  void Notification();
  // Sleeps one interval on the worker; false when a stop was requested.
  bool Sleep();
  bool Active() const;
  int Id() const { return id; }
  unsigned Interval() const { return interval; }
  const SThread* Thread() const { return thread; }

 private:
  // What one run of the worker reads. Shared with the running thread, so that a listener that stops or
  // deletes the timer during a delivery leaves the worker something valid to look at before it returns.
  struct Run;

  static void* Job(void* run);
  static void Deliver(Run& run);

  SThread* thread = nullptr;
  tovo::gui::SControl* control = nullptr;
  tovo::gui::SEvent event;
  int id = 0;
  unsigned interval = 0;
  std::shared_ptr<Run> run;
};

class STimer {
 public:
  STimer(tovo::gui::SControl* control, int id, int value);
  virtual ~STimer();
  STimer(const STimer&) = delete;
  STimer& operator=(const STimer&) = delete;

  virtual void Start(unsigned interval);
  virtual void Stop();

  bool Running() const { return running; }
  int Id() const { return id; }
  unsigned Interval() const { return interval; }
  STimerObject& Worker() { return *object; }

 private:
  tovo::gui::SControl* control;
  unsigned interval = 0;
  int value;
  int id;
  bool running = false;
  std::unique_ptr<STimerObject> object;
};

}  // namespace tovo::threading
