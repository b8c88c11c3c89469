// Periodic timers for controls: each running timer has a thread of its own that marks the timer due once
// per interval; the thread that serves the control's windows (the editor's idle pass, a window's or a
// dialog's loop) delivers the timer message (type 9, the timer id as value) to the control's listeners when
// it finds the timer due, so that no control is ever entered by a timer thread. Stopping a timer is prompt
// and joins its thread.
#pragma once

#include <memory>

#include "gui/SEvent.h"

namespace tovo::gui {
class SControl;
class SGlobals;
}

namespace tovo::threading {

class SThread;

// The worker behind an STimer.
class STimerObject {
 public:
  // What one run of the worker reads. Shared with the running thread and the list of due-timer candidates,
  // so that a listener that stops or deletes the timer during a delivery leaves nothing dangling.
  struct Run;

  STimerObject();
  virtual ~STimerObject();
  STimerObject(const STimerObject&) = delete;
  STimerObject& operator=(const STimerObject&) = delete;

  // Replaces any running worker by a new one that marks the timer due every interval milliseconds.
  virtual void Start(tovo::gui::SControl* control, int id, unsigned interval);
  // Stops and joins the worker; the id returns to 0.
  virtual void Stop();

  // One delivery from the caller's thread.
  void Notification();
  // Whether the worker has marked the timer due since the last delivery.
  bool Due() const;
  // Sleeps one interval on the worker; false when a stop was requested.
  bool Sleep();
  bool Active() const;
  int Id() const { return id; }
  unsigned Interval() const { return interval; }
  const SThread* Thread() const { return thread; }

 private:

  static void* Job(void* run);
  static void Deliver(Run& run);
  friend int DeliverDueTimers(const tovo::gui::SGlobals* scope);

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

// Delivers the message of every due timer whose control belongs to `scope` (every due timer for null), each
// once however many intervals passed, and returns how many. The caller holds the toolkit lock.
int DeliverDueTimers(const tovo::gui::SGlobals* scope);

}  // namespace tovo::threading
