// One thread in the toolkit's controls at a time. Hosts hand X events to the editor on one thread of theirs
// (often not their main thread) and call its idle pass there too, while the toolkit's own threads (timers, the
// idle thread, the message box's server) have work for the same controls. Every entry into controls (event
// delivery, the editor's idle pass, timer deliveries, the message box) holds this process-wide lock; the
// toolkit's own threads otherwise only mark work for the lock holder to do.
#pragma once

#include <mutex>

typedef struct _XDisplay Display;

namespace tovo::gui {

class SToolkitLock {
 public:
  // Waits for the lock. Recursive: a handler may run a modal loop that delivers further events.
  SToolkitLock();
  // Takes the lock only if it is free (or already held by this thread); see Owns.
  explicit SToolkitLock(std::try_to_lock_t);
  ~SToolkitLock();
  SToolkitLock(const SToolkitLock&) = delete;
  SToolkitLock& operator=(const SToolkitLock&) = delete;

  bool Owns() const { return owns; }
  // True while the calling thread holds the lock.
  static bool HeldHere();

  // Whether the request with this serial on the host's connection was made by the toolkit: the outermost
  // section of each holder records the serials it used on that connection, so that the X error handler can
  // tell our errors from the host's.
  static bool MadeByToolkit(Display* display, unsigned long serial);

 private:
  void Entered();
  void Leaving();

  bool owns = false;
};

}  // namespace tovo::gui
