// The toolkit's two X connections. `dps` is our own, opened when a VST 2 instance is made or an editor
// first opens; `dp` is the host's,
// taken from the first editor request that passes one and never replaced. Every toolkit call uses dp when
// set, else dps, unless the calling thread works for a window of the other connection for a while (an event
// from that connection, the message box, which always lives on dps): that thread then names its connection
// with a ScopedDisplay.
#pragma once

#include <functional>

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace tovo::gui {

class SGlobals;

extern Display* dp;
extern Display* dps;

// The connection toolkit calls on this thread use: the scoped one, else the host's when known, else our own.
Display* CurrentDisplay();

// Makes CurrentDisplay() answer `display` on this thread while it lives (null: no change).
class ScopedDisplay {
 public:
  explicit ScopedDisplay(Display* display);
  ~ScopedDisplay();
  ScopedDisplay(const ScopedDisplay&) = delete;
  ScopedDisplay& operator=(const ScopedDisplay&) = delete;

 private:
  Display* previous;
};

// Unless dps is open already: turns on Xlib's thread support, opens dps on $DISPLAY (":0.0" when unset;
// failure leaves it null and says so on standard error) and installs the toolkit's X error handler. Returns
// dps. Unload: stops the idle thread, withdraws the published event entry and closes dps.
Display* OpenToolkitDisplay();
void CloseToolkitDisplay();
// Registers what must be released while dps is still open (windows that outlive every instance, such as the
// message box); run first by CloseToolkitDisplay, last registered first. Registering twice runs once.
void AtToolkitClose(void (*release)());

// Hands every event already queued on our own connection to SControl::eventProc, never waiting, and returns
// how many. The caller holds the toolkit lock. Only one thread reads dps at a time: when another thread is reading it, this returns 0 at once.
// Hosts that give the editor no display never call "_XEventProc", so while the editor's windows live on dps
// its idle pass drives them through here; the message box's server thread does the same while no editor does.
int PumpToolkitEvents();
// Whether some thread pumped dps within the last `milliseconds`.
bool ToolkitEventsServedWithin(int milliseconds);

// One turn of a loop that serves a connection by itself (a stand-alone window, a modal dialog, the message
// box's server): waits up to `milliseconds` for events without holding anything, then, under the toolkit lock
// and as the connection's only reader, hands each queued event to `handle` for as long as it returns true,
// and delivers the due timers of `timerScope` (all due timers for null). Returns false once `handle` did;
// true when it had nothing more to say or another thread was reading our own connection.
bool ServeDisplay(Display* display, int milliseconds, const std::function<bool(XEvent&)>& handle,
                  const SGlobals* timerScope);

// An atom by name; 0 when onlyIfExists and the server does not know it.
unsigned long InternAtom(const char* name, bool onlyIfExists);

}  // namespace tovo::gui
