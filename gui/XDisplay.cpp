// The toolkit's two X connections, their lifetime, and the reading of our own connection.
#include "gui/XDisplay.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "gui/SControl.h"
#include "gui/SToolkitLock.h"
#include "gui/XErrorTrap.h"
#include "gui/XExtensionLibraries.h"
#include "gui/XEventEntry.h"
#include "threading/STimer.h"
#include "threading/STimerIdle.h"

namespace tovo::gui {

Display* dp = nullptr;
Display* dps = nullptr;

namespace {

thread_local Display* scopedDisplay = nullptr;

std::recursive_mutex readerMutex;

std::mutex closingMutex;
std::vector<void (*)()> atClose;
std::atomic<int64_t> lastServed{0};

int64_t NowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Display* CurrentDisplay() {
  if (scopedDisplay) return scopedDisplay;
  return dp ? dp : dps;
}

ScopedDisplay::ScopedDisplay(Display* display) : previous(scopedDisplay) {
  if (display) scopedDisplay = display;
}

ScopedDisplay::~ScopedDisplay() { scopedDisplay = previous; }

Display* OpenToolkitDisplay() {
  // Editors of several instances may open on several host threads.
  static std::mutex openingMutex;
  std::lock_guard<std::mutex> opening(openingMutex);
  if (dps) return dps;
  // The editor's windows are served from the host's thread and the message box from ours: Xlib must lock.
  XInitThreads();
  const char* name = std::getenv("DISPLAY");
  dps = XOpenDisplay(name ? name : ":0.0");
  if (dps)
    XFlush(dps);
  else
    std::fputs("Error: XOpenDisplay failed.\n", stderr);
  InstallErrorHandler();
  KeepExtensionLibrariesLoaded();
  return dps;
}

void AtToolkitClose(void (*release)()) {
  std::lock_guard<std::mutex> guard(closingMutex);
  for (auto registered : atClose)
    if (registered == release) return;
  atClose.push_back(release);
}

void CloseToolkitDisplay() {
  std::vector<void (*)()> releases;
  {
    std::lock_guard<std::mutex> guard(closingMutex);
    releases.swap(atClose);
  }
  for (auto it = releases.rbegin(); it != releases.rend(); ++it) (*it)();
  tovo::threading::STimerIdle::Shutdown();
  ReleaseEventEntry();
  if (dps) XCloseDisplay(dps);
  dps = nullptr;
  // Last: closing the connection may still report errors of ours.
  UninstallErrorHandler();
}

int PumpToolkitEvents() {
  if (!dps) return 0;
  std::unique_lock<std::recursive_mutex> reading(readerMutex, std::try_to_lock);
  if (!reading.owns_lock()) return 0;
  lastServed.store(NowMilliseconds(), std::memory_order_release);
  int handled = 0;
  while (XPending(dps) > 0) {
    XEvent event;
    XNextEvent(dps, &event);
    SControl::eventProc(&event);
    ++handled;
  }
  return handled;
}

bool ToolkitEventsServedWithin(int milliseconds) {
  return NowMilliseconds() - lastServed.load(std::memory_order_acquire) <= milliseconds;
}

bool ServeDisplay(Display* display, int milliseconds, const std::function<bool(XEvent&)>& handle,
                  const SGlobals* timerScope) {
  if (!display) return false;
  if (XPending(display) == 0) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, milliseconds);
  }
  SToolkitLock inside;
  std::unique_lock<std::recursive_mutex> reading(readerMutex, std::defer_lock);
  if (display == dps) {
    if (!reading.try_lock()) return true;
    lastServed.store(NowMilliseconds(), std::memory_order_release);
  }
  bool goOn = true;
  while (goOn && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    goOn = handle(event);
  }
  tovo::threading::DeliverDueTimers(timerScope);
  return goOn;
}

unsigned long InternAtom(const char* name, bool onlyIfExists) {
  Display* display = CurrentDisplay();
  if (!display) return 0;
  return XInternAtom(display, name, onlyIfExists ? True : False);
}

}  // namespace tovo::gui
