// The toolkit's two X connections. `dps` is our own, opened when the library is loaded; `dp` is the host's,
// taken from the first editor request that passes one and never replaced. Every toolkit call uses dp when
// set, else dps, unless the calling thread works for a window of the other connection for a while (an event
// from that connection, the message box, which always lives on dps): that thread then names its connection
// with a ScopedDisplay.
#pragma once

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace tovo::gui {

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

// Load time: turns on Xlib's thread support, opens dps on $DISPLAY (":0.0" when unset; failure leaves it null
// and says so on standard error) and installs the toolkit's X error handler. Unload: stops the idle thread,
// withdraws the published event entry and closes dps.
void OpenToolkitDisplay();
void CloseToolkitDisplay();

// Hands every event already queued on our own connection to SControl::eventProc, never waiting, and returns
// how many. Only one thread reads dps at a time: when another thread is reading it, this returns 0 at once.
// Hosts that give the editor no display never call "_XEventProc", so while the editor's windows live on dps
// its idle pass drives them through here; the message box's server thread does the same while no editor does.
int PumpToolkitEvents();
// Whether some thread pumped dps within the last `milliseconds`.
bool ToolkitEventsServedWithin(int milliseconds);

// Waits up to `milliseconds` for an event on `display` and takes it; false when none came. For the loops
// that serve a connection of their own and deliver timers between events.
bool WaitForEvent(Display* display, XEvent& event, int milliseconds);

// Holds the right to read events from dps. Recursive, so that a modal loop inside a pumped event can read on.
class ToolkitEventReader {
 public:
  ToolkitEventReader();
  ~ToolkitEventReader();
  ToolkitEventReader(const ToolkitEventReader&) = delete;
  ToolkitEventReader& operator=(const ToolkitEventReader&) = delete;
};

// An atom by name; 0 when onlyIfExists and the server does not know it.
unsigned long InternAtom(const char* name, bool onlyIfExists);

}  // namespace tovo::gui
