// The toolkit's two X connections. `dps` is our own, opened when the library is loaded; `dp` is the host's,
// taken from the first editor request that passes one and never replaced. Every toolkit call uses dp when
// set, else dps.
#pragma once

typedef struct _XDisplay Display;

namespace tovo::gui {

extern Display* dp;
extern Display* dps;

// The connection toolkit calls use: the host's when known, else our own.
Display* CurrentDisplay();

// Load time: open dps on $DISPLAY (":0.0" when unset); failure leaves it null and says so on standard
// error. Unload: stops the idle thread, withdraws the published event entry and closes dps.
void OpenToolkitDisplay();
void CloseToolkitDisplay();

// Hands every event already queued on our own connection to SControl::eventProc and returns how many.
// Hosts that give the editor no display never call "_XEventProc", so while our windows live on dps the
// editor's idle pass drives them through here. The host's connection is never read: its events are the
// host's to dispatch.
int PumpToolkitEvents();

// An atom by name; 0 when onlyIfExists and the server does not know it.
unsigned long InternAtom(const char* name, bool onlyIfExists);

}  // namespace tovo::gui
