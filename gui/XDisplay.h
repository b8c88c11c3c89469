// The toolkit's X connections. `dps` is our own, opened when the library is
// loaded; `dp` is the host's, taken from the first editor request that passes
// one and never replaced. Every toolkit call uses dp when set, else dps.
#pragma once

typedef struct _XDisplay Display;

namespace tovo::gui {

extern Display* dp;
extern Display* dps;

// The connection toolkit calls use: the host's when known, else our own.
Display* CurrentDisplay();

// Load time: open dps on $DISPLAY (":0.0" when unset); failure leaves it null
// and says so on standard error. Unload: close it.
void OpenToolkitDisplay();
void CloseToolkitDisplay();

}  // namespace tovo::gui
